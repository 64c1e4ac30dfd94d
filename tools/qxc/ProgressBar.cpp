#include "ProgressBar.h"

#include <algorithm>
#include <string>
#include <unistd.h>

ProgressBar::ProgressBar(std::FILE* stream, long long total, const char* label)
    : stream_(stream)
    , total_(std::max(total, 1LL))
    , label_(label)
    , enabled_(isatty(fileno(stream)) == 1) {
    draw();
}

ProgressBar::~ProgressBar() {
    clear();
}

void ProgressBar::advance() {
    advanceTo(done_ + 1);
}

void ProgressBar::advanceTo(long long done) {
    done_ = std::clamp(done, 0LL, total_);
    draw();
}

void ProgressBar::draw() {
    if (!enabled_)
        return;
    constexpr int width = 30;
    const int filled = int(done_ * width / total_);
    const std::string bar =
        std::string(std::size_t(filled), '#') + std::string(std::size_t(width - filled), '-');
    std::fprintf(stream_, "\r[%s] %lld/%lld %s", bar.c_str(), done_, total_, label_);
    std::fflush(stream_);
    drawn_ = true;
}

void ProgressBar::clear() {
    if (!drawn_)
        return;
    std::fprintf(stream_, "\r\033[K");
    std::fflush(stream_);
    drawn_ = false;
}
