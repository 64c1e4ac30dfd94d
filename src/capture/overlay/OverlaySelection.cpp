#include "OverlaySelection.h"

#include "X11TopLevelWindows.h"

#include <QCursor>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QWindow>

namespace {

// Another client may hold the keyboard for a moment (a menu closing, the key
// that started the capture); Escape must still reach the overlay.
constexpr int keyboardGrabIntervalMs = 50;
constexpr int keyboardGrabAttempts = 40;

} // namespace

OverlaySelection::OverlaySelection(CaptureOverlay::Mode mode)
    : mode_(mode) {
    keyboardGrabRetry_.setInterval(keyboardGrabIntervalMs);
    connect(&keyboardGrabRetry_, &QTimer::timeout, this, &OverlaySelection::grabKeyboard);
}

OverlaySelection::~OverlaySelection() = default;

FrozenDesktop OverlaySelection::freeze(CaptureOverlay::Mode mode) {
    std::vector<FrozenScreen> screens;
    for (QScreen* screen : QGuiApplication::screens()) {
        const QImage grab = screen->grabWindow(0).toImage();
        // Qt keeps a screen's top-left corner in root-window pixels and scales
        // only its size, so the corner and the grab's size give its pixels.
        screens.push_back(
            {QRect(screen->geometry().topLeft(), grab.size()), screen->devicePixelRatio(), grab});
    }
    std::vector<QRect> windows;
    if (mode == CaptureOverlay::Mode::window)
        windows = X11TopLevelWindows::topmostFirst();
    return {std::move(screens), std::move(windows)};
}

bool OverlaySelection::start() {
    const QList<QScreen*> screens = QGuiApplication::screens();
    if (screens.isEmpty())
        return false;
    desktop_ = std::make_unique<FrozenDesktop>(freeze(mode_));
    for (qsizetype i = 0; i < screens.size(); ++i) {
        auto overlay = std::make_unique<CaptureOverlay>(*desktop_, std::size_t(i), mode_);
        overlay->setGeometry(screens[i]->geometry());
        connect(overlay.get(), &CaptureOverlay::regionSelected, this,
                [this](const QRect& native) { finish(native); });
        connect(overlay.get(), &CaptureOverlay::pointedAt, this,
                &OverlaySelection::highlightWindowAt);
        connect(overlay.get(), &CaptureOverlay::clickedAt, this, &OverlaySelection::takeWindowAt);
        connect(overlay.get(), &CaptureOverlay::cancelled, this, [this] { finish(std::nullopt); });
        overlay->show();
        overlays_.push_back(std::move(overlay));
    }
    if (mode_ == CaptureOverlay::Mode::window)
        highlightWindowUnderThePointer();
    grabKeyboard();
    return true;
}

void OverlaySelection::highlightWindowUnderThePointer() {
    // The window under the pointer lights up at once, before the first move.
    const QPoint pointer = QCursor::pos();
    const QList<QScreen*> screens = QGuiApplication::screens();
    for (qsizetype i = 0; i < screens.size(); ++i) {
        const QRect geometry = screens[i]->geometry();
        if (geometry.contains(pointer))
            return highlightWindowAt(
                desktop_->screens()[std::size_t(i)].toNative(pointer - geometry.topLeft()));
    }
}

void OverlaySelection::grabKeyboard() {
    if (overlays_.empty())
        return;
    QWindow* window = overlays_.front()->windowHandle();
    if (window && window->setKeyboardGrabEnabled(true)) {
        keyboardGrabRetry_.stop();
        return;
    }
    if (++keyboardGrabAttempts_ < keyboardGrabAttempts)
        keyboardGrabRetry_.start();
}

void OverlaySelection::highlightWindowAt(const QPoint& native) {
    const std::optional<QRect> window = desktop_->windowAt(native);
    for (const auto& overlay : overlays_)
        overlay->setHighlight(window);
}

void OverlaySelection::takeWindowAt(const QPoint& native) {
    // A click beside every window selects nothing; the user clicks again or
    // presses Escape.
    if (const std::optional<QRect> window = desktop_->windowAt(native))
        finish(*window);
}

void OverlaySelection::finish(const std::optional<QRect>& native) {
    if (finished_)
        return;
    finished_ = true;
    for (const auto& overlay : overlays_)
        overlay->hide();
    if (native)
        Q_EMIT chosen(*native);
    else
        Q_EMIT cancelled();
}
