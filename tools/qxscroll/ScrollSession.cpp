#include "ScrollSession.h"

#include "AppLocale.h"
#include "TallPng.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

constexpr int maxHeight = 100'000;
constexpr int tickMs = 40;
// The screen under the overlay needs a moment to be painted again.
constexpr int firstGrabDelayMs = 250;
// A program that scrolls smoothly is still moving until its picture holds still this long.
constexpr int settledMs = 120;
// No movement this long after a step: the end of the page.
constexpr int endOfPageMs = 1500;
// A grab that cannot be placed for this long is worth telling the person.
constexpr int unplacedWarningMs = 700;
constexpr int barGap = 6;

bool samePicture(const QImage& a, const QImage& b) {
    return a.size() == b.size() &&
           std::memcmp(a.constBits(), b.constBits(), std::size_t(a.sizeInBytes())) == 0;
}

} // namespace

ScrollSession::ScrollSession(ScrollDisplay& display, const ScreenPlacement& screen,
                             const QRect& region, QString outputPath)
    : display_(display)
    , screen_(screen)
    , region_(region)
    , outputPath_(std::move(outputPath)) {
    ticks_.setInterval(tickMs);
    connect(&ticks_, &QTimer::timeout, this, &ScrollSession::tick);
    connect(&controls_, &ScrollControls::doneClicked, this, [this] { finish(true); });
    connect(&controls_, &ScrollControls::cancelClicked, this, [this] { finish(false); });
    connect(&controls_, &ScrollControls::autoScrollToggled, this, &ScrollSession::setAutoScrolling);
    connect(&display_, &ScrollDisplay::donePressed, this, [this] { finish(true); });
    connect(&display_, &ScrollDisplay::cancelPressed, this, [this] { finish(false); });
    connect(&display_, &ScrollDisplay::failed, this, &ScrollSession::fail);
    connect(&controls_, &ScrollControls::changed, this, &ScrollSession::present);
}

QRect ScrollSession::toLogical(const QRect& native) const {
    return screen_.toLocal(native).translated(screen_.geometry.topLeft()).toAlignedRect();
}

bool ScrollSession::start() {
    if (!display_.grabDoneAndCancelKeys())
        std::fputs("qxscroll: Return and Escape cannot be taken here; use the bar's buttons\n",
                   stderr);
    controls_.setAutoScrollOffered(display_.canScroll());
    controls_.adjustSize();
    const QRect screen = toLogical(screen_.geometry);
    const QRect region = toLogical(region_);
    QRect bar(QPoint(region.left(), region.bottom() + 1 + barGap), controls_.size());
    if (bar.bottom() > screen.bottom())
        bar.moveBottom(region.top() - 1 - barGap);
    if (bar.top() < screen.top()) {
        // No room above or below: the bar covers the region's top, and those
        // rows are left out of the capture so the bar never shows in it.
        bar.moveTop(region.top());
        const int covered = int(std::ceil((bar.height() + barGap) * screen_.unitsPerLocal));
        region_.setTop(region_.top() + covered);
    }
    bar.moveLeft(std::clamp(bar.left(), screen.left(), screen.right() + 1 - bar.width()));
    if (region_.height() < 2) {
        std::fputs("qxscroll: the region is too small to scroll\n", stderr);
        return false;
    }
    stitcher_ = std::make_unique<ScrollStitcher>(region_.size(), maxHeight);
    barCorner_ = bar.topLeft();
    present();
    QTimer::singleShot(firstGrabDelayMs, this, [this] { ticks_.start(); });
    return true;
}

void ScrollSession::present() {
    if (stitcher_ && !finished_)
        display_.present(toLogical(region_), QRect(barCorner_, controls_.size()), controls_);
}

void ScrollSession::fail(const QString& reason) {
    if (finished_)
        return;
    finished_ = true;
    std::fprintf(stderr, "qxscroll: %s\n", qUtf8Printable(reason));
    ticks_.stop();
    QCoreApplication::exit(2);
}

void ScrollSession::tick() {
    const QImage grab = display_.grab(region_);
    if (grab.isNull())
        return;
    const bool changed = !samePicture(grab, lastGrab_);
    if (changed) {
        lastGrab_ = grab;
        sinceChange_.start();
    }
    if (autoScrolling_)
        autoScroll(changed);
    // Only a picture that held still is placed: one caught halfway through a
    // repaint would be half old, half new.
    if (!changed && sinceChange_.isValid() && sinceChange_.elapsed() >= tickMs)
        place(grab);
}

bool ScrollSession::place(const QImage& grab) {
    const std::optional<int> sent = stepsUnplaced_ > 0 && pixelsPerStep_
                                        ? std::optional(stepsUnplaced_ * *pixelsPerStep_)
                                        : std::nullopt;
    const ScrollStitcher::Outcome outcome = stitcher_->add(grab, sent);
    QString message;
    switch (outcome) {
    case ScrollStitcher::Outcome::started:
    case ScrollStitcher::Outcome::unchanged:
        break;
    case ScrollStitcher::Outcome::appended:
        if (stepsUnplaced_ > 0 && stitcher_->lastOffset() % stepsUnplaced_ == 0)
            pixelsPerStep_ = stitcher_->lastOffset() / stepsUnplaced_;
        stepsUnplaced_ = 0;
        sinceUnplaced_.invalidate();
        break;
    case ScrollStitcher::Outcome::ambiguous:
    case ScrollStitcher::Outcome::lost:
        if (!sinceUnplaced_.isValid())
            sinceUnplaced_.start();
        if (outcome == ScrollStitcher::Outcome::lost)
            setAutoScrolling(false);
        if (sinceUnplaced_.elapsed() >= unplacedWarningMs ||
            outcome == ScrollStitcher::Outcome::lost)
            message =
                outcome == ScrollStitcher::Outcome::lost
                    ? AppLocale::text("Scrolled too far at once: scroll back up a little",
                                      "一度に進みすぎました。少し戻してください")
                    : AppLocale::text("Cannot tell how far this moved: scroll back up a little",
                                      "どれだけ動いたか分かりません。少し戻してください");
        break;
    case ScrollStitcher::Outcome::full:
        message = AppLocale::text("100,000 px reached: press Done to save",
                                  "100,000 px に達しました。「完了」で保存します");
        setAutoScrolling(false);
        break;
    case ScrollStitcher::Outcome::failed:
        fail(stitcher_->error());
        return false;
    }
    controls_.showMessage(message);
    controls_.showHeight(stitcher_->height());
    return true;
}

void ScrollSession::setAutoScrolling(bool on) {
    if (on == autoScrolling_)
        return;
    autoScrolling_ = on;
    controls_.setAutoScrolling(on);
    if (!on) {
        // Back where the person left the pointer, unless they took it.
        if (pointerBefore_ && display_.pointer() == pointerParked_)
            display_.movePointer(*pointerBefore_);
        return;
    }
    // Wheel steps go to the window under the pointer: park it in the region.
    pointerBefore_ = display_.pointer();
    pointerParked_ = region_.center();
    display_.movePointer(pointerParked_);
    sinceStep_.invalidate();
}

void ScrollSession::step() {
    display_.wheel(1);
    ++stepsUnplaced_;
    movedSinceStep_ = false;
    sinceStep_.start();
}

void ScrollSession::autoScroll(bool changed) {
    // Any key, any button, any move of the pointer hands control back.
    if (display_.anythingPressed() || display_.pointer() != pointerParked_) {
        autoScrolling_ = false;
        controls_.setAutoScrolling(false);
        return;
    }
    // The first step waits for the first picture, or the page's top would be lost.
    if (stitcher_->height() == 0)
        return;
    if (!sinceStep_.isValid())
        return step();
    movedSinceStep_ = movedSinceStep_ || changed;
    if (!movedSinceStep_) {
        if (sinceStep_.elapsed() >= endOfPageMs)
            setAutoScrolling(false);
        return;
    }
    // The next step once the content held still, and so was placed.
    if (sinceChange_.elapsed() >= settledMs)
        step();
}

void ScrollSession::finish(bool save) {
    if (finished_)
        return;
    ticks_.stop();
    if (autoScrolling_)
        setAutoScrolling(false);
    if (!save) {
        finished_ = true;
        return QCoreApplication::exit(1);
    }
    // What the region shows now counts too: the last scroll may have been just before.
    const QImage last = display_.grab(region_);
    if (!last.isNull() && !place(last))
        return;
    finished_ = true;
    display_.hidePresentation();
    if (!stitcher_->finish()) {
        std::fprintf(stderr, "qxscroll: %s\n", qPrintable(stitcher_->error()));
        return QCoreApplication::exit(2);
    }
    const QString error = TallPng::write(stitcher_->rows(), outputPath_);
    if (!error.isEmpty()) {
        std::fprintf(stderr, "qxscroll: %s\n", qPrintable(error));
        return QCoreApplication::exit(2);
    }
    QCoreApplication::exit(0);
}
