#include "ProgressBar.h"

#include <algorithm>
#include <string>
#include <unistd.h>

ProgressBar::ProgressBar(std::FILE* stream, long long total)
    : stream_(stream)
    , total_(std::max(total, 1LL))
    , enabled_(isatty(fileno(stream)) == 1) {
    draw();
}

ProgressBar::~ProgressBar() {
    clear();
}

void ProgressBar::advance() {
    done_ = std::min(done_ + 1, total_);
    draw();
}

void ProgressBar::draw() {
    if (!enabled_)
        return;
    constexpr int width = 30;
    const int filled = int(done_ * width / total_);
    const std::string bar =
        std::string(std::size_t(filled), '#') + std::string(std::size_t(width - filled), '-');
    std::fprintf(stream_, "\r[%s] %lld/%lld recognising", bar.c_str(), done_, total_);
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
