#include "OverlaySelection.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QWindow>

namespace {

// Another client may hold the keyboard for a moment (a menu closing, the key
// that started the capture); Escape must still reach the overlay.
constexpr int keyboardGrabIntervalMs = 50;
constexpr int keyboardGrabAttempts = 40;

bool onWayland() {
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

// An X server reports the pointer in whole root pixels, Xwayland's too, whose
// root pixels are the compositor's logical units; Wayland in 1/256 of a unit.
qreal pointerStep() {
    return onWayland() ? 0 : 1;
}

} // namespace

OverlaySelection::OverlaySelection(const FrozenDesktop& desktop, OverlayMode mode, QString hint,
                                   Coverage coverage)
    : desktop_(desktop)
    , coverage_(coverage) {
    state_.mode = mode;
    state_.hint = std::move(hint);
    keyboardGrabRetry_.setInterval(keyboardGrabIntervalMs);
    connect(&keyboardGrabRetry_, &QTimer::timeout, this, &OverlaySelection::grabKeyboard);
}

OverlaySelection::~OverlaySelection() = default;

bool OverlaySelection::start(QString* problem) {
    const QList<QScreen*> screens = QGuiApplication::screens();
    if (screens.isEmpty()) {
        *problem = QStringLiteral("there is no screen to capture");
        return false;
    }
    const bool covered = coverage_ == Coverage::wholeDesktop
                             ? coverDesktop(problem)
                             : std::all_of(screens.begin(), screens.end(),
                                           [&](QScreen* screen) { return cover(screen, problem); });
    if (!covered) {
        hideOverlays();
        return false;
    }
    connect(qApp, &QGuiApplication::screenAdded, this, &OverlaySelection::screensChanged);
    connect(qApp, &QGuiApplication::screenRemoved, this, &OverlaySelection::screensChanged);
    if (state_.mode == OverlayMode::window)
        lightWindowUnderThePointer();
    grabKeyboard();
    return true;
}

namespace {

// The frozen screen that Qt's `screen` shows. Qt keeps a screen's top-left
// corner in desktop units under every platform and scales only its size, so
// the corner names it.
const FrozenScreen* frozenScreenOf(const FrozenDesktop& desktop, const QScreen* screen) {
    const auto& frozen = desktop.screens();
    const auto match = std::find_if(frozen.begin(), frozen.end(), [&](const FrozenScreen& s) {
        return s.geometry.topLeft() == screen->geometry().topLeft();
    });
    return match == frozen.end() || screen->geometry().isEmpty() ? nullptr : &*match;
}

QString noPictureOf(const QScreen* screen) {
    return QStringLiteral("no picture of the screen %1 at %2,%3")
        .arg(screen->name())
        .arg(screen->geometry().x())
        .arg(screen->geometry().y());
}

} // namespace

bool OverlaySelection::cover(QScreen* screen, QString* problem) {
    const FrozenScreen* frozen = frozenScreenOf(desktop_, screen);
    if (!frozen) {
        *problem = noPictureOf(screen);
        return false;
    }
    const QRect logical = screen->geometry();
    show({frozen->geometry, qreal(frozen->geometry.width()) / logical.width()}, logical, screen);
    return true;
}

bool OverlaySelection::coverDesktop(QString* problem) {
    QScreen* primary = QGuiApplication::primaryScreen();
    const FrozenScreen* frozen = frozenScreenOf(desktop_, primary);
    if (!frozen) {
        *problem = noPictureOf(primary);
        return false;
    }
    const qreal unitsPerLocal = qreal(frozen->geometry.width()) / primary->geometry().width();
    const QRect bounds = desktop_.bounds();
    show({bounds, unitsPerLocal},
         QRect(bounds.topLeft(), (QSizeF(bounds.size()) / unitsPerLocal).toSize()), primary);
    return true;
}

void OverlaySelection::show(ScreenPlacement placement, const QRect& logical, QScreen* screen) {
    auto overlay = std::make_unique<CaptureOverlay>(desktop_, placement, state_);
    CaptureOverlay* raw = overlay.get();
    connect(raw, &CaptureOverlay::pressed, this,
            [this, raw](QPointF point, Qt::MouseButton button) { press(*raw, point, button); });
    connect(raw, &CaptureOverlay::moved, this, &OverlaySelection::move);
    connect(raw, &CaptureOverlay::released, this, &OverlaySelection::release);
    connect(raw, &CaptureOverlay::pointerLeft, this, &OverlaySelection::pointerLeft);
    connect(raw, &CaptureOverlay::escapePressed, this, [this] { finish(std::nullopt); });
    if (onWayland()) {
        // A compositor places windows itself; full screen on an output is the
        // one placement every compositor honours.
        raw->winId();
        raw->windowHandle()->setScreen(screen);
        raw->setGeometry(logical);
        raw->showFullScreen();
    } else {
        raw->setGeometry(logical);
        raw->show();
    }
    // A compositor may keep an output it turned off and move its windows
    // elsewhere, and a screen may move or change its size: either way the
    // frozen picture no longer matches what the person sees.
    connect(raw->windowHandle(), &QWindow::screenChanged, this, &OverlaySelection::screensChanged);
    connect(screen, &QScreen::geometryChanged, this, &OverlaySelection::screensChanged);
    overlays_.push_back(std::move(overlay));
}

void OverlaySelection::screensChanged() {
    abandon(QStringLiteral("the screens changed while choosing; nothing was captured"));
}

void OverlaySelection::press(const CaptureOverlay& overlay, QPointF point, Qt::MouseButton button) {
    if (button == Qt::RightButton)
        return finish(std::nullopt);
    if (button != Qt::LeftButton)
        return;
    state_.pointer = point;
    if (state_.mode == OverlayMode::window) {
        // A click beside every window selects nothing; the person clicks
        // again or presses Escape.
        if (const std::optional<CaptureArea> window = desktop_.windowAt(point))
            finish(*window);
        return;
    }
    state_.dragStart = point;
    state_.lit = desktop_.selection(point, point, pointerStep());
    pressUnitsPerLocal_ = overlay.placement().unitsPerLocal;
    repaint();
}

void OverlaySelection::move(QPointF point) {
    state_.pointer = point;
    if (state_.mode == OverlayMode::window)
        state_.lit = desktop_.windowAt(point);
    else if (state_.dragStart)
        state_.lit = desktop_.selection(*state_.dragStart, point, pointerStep());
    repaint();
}

void OverlaySelection::release(QPointF point, Qt::MouseButton button) {
    if (button != Qt::LeftButton || !state_.dragStart)
        return;
    // A click without a drag selects nothing, and ends the capture like Escape.
    const qreal moved = (point - *state_.dragStart).manhattanLength() / pressUnitsPerLocal_;
    if (moved < QApplication::startDragDistance())
        return finish(std::nullopt);
    finish(desktop_.selection(*state_.dragStart, point, pointerStep()));
}

void OverlaySelection::pointerLeft() {
    if (state_.dragStart)
        return;
    state_.pointer.reset();
    if (state_.mode == OverlayMode::window)
        state_.lit.reset();
    repaint();
}

void OverlaySelection::lightWindowUnderThePointer() {
    // Under X11 the window under the pointer lights up at once, before the
    // first move; Wayland tells no program where the pointer is until it
    // enters one of its windows.
    const QPoint pointer = QCursor::pos();
    for (const auto& overlay : overlays_) {
        const QRect logical = overlay->geometry();
        if (logical.contains(pointer))
            return move(overlay->placement().toDesktop(pointer - logical.topLeft()));
    }
}

void OverlaySelection::grabKeyboard() {
    // A Wayland compositor gives the keyboard to the full-screen window it
    // just showed; grabbing it is an X11 matter.
    if (overlays_.empty() || onWayland())
        return;
    QWindow* window = overlays_.front()->windowHandle();
    if (window && window->setKeyboardGrabEnabled(true)) {
        keyboardGrabRetry_.stop();
        return;
    }
    if (++keyboardGrabAttempts_ < keyboardGrabAttempts)
        keyboardGrabRetry_.start();
}

void OverlaySelection::repaint() {
    for (const auto& overlay : overlays_)
        overlay->update();
}

void OverlaySelection::hideOverlays() {
    for (const auto& overlay : overlays_)
        overlay->hide();
}

void OverlaySelection::finish(const std::optional<CaptureArea>& area) {
    if (finished_)
        return;
    finished_ = true;
    hideOverlays();
    if (area)
        Q_EMIT chosen(*area);
    else
        Q_EMIT cancelled();
}

void OverlaySelection::abandon(const QString& reason) {
    if (finished_)
        return;
    finished_ = true;
    hideOverlays();
    Q_EMIT abandoned(reason);
}
