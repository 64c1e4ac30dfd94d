#include "CaptureOverlay.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

namespace {

const QColor dimming(0, 0, 0, 100);
const QColor accent(0x2f, 0x8c, 0xff);

} // namespace

CaptureOverlay::CaptureOverlay(const FrozenDesktop& desktop, std::size_t screenIndex, Mode mode)
    : QWidget(nullptr,
              Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::X11BypassWindowManagerHint)
    , desktop_(desktop)
    , screenIndex_(screenIndex)
    , mode_(mode) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setCursor(Qt::CrossCursor);
}

void CaptureOverlay::setHighlight(const std::optional<QRect>& window) {
    if (highlight_ == window)
        return;
    highlight_ = window;
    update();
}

std::optional<QRect> CaptureOverlay::currentSelection() const {
    if (!dragStart_ || !pointer_)
        return std::nullopt;
    return desktop_.selection(screenIndex_, *dragStart_, *pointer_);
}

void CaptureOverlay::paintFrozen(QPainter& painter, const QRectF& localArea) const {
    const FrozenScreen& screen = frozen();
    const QRectF source(
        localArea.x() * screen.devicePixelRatio, localArea.y() * screen.devicePixelRatio,
        localArea.width() * screen.devicePixelRatio, localArea.height() * screen.devicePixelRatio);
    painter.drawImage(localArea, screen.image, source);
}

void CaptureOverlay::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paintFrozen(painter, rect());
    const std::optional<QRect> lit = mode_ == Mode::region ? currentSelection() : highlight_;
    painter.fillRect(rect(), dimming);
    if (lit && !lit->isEmpty()) {
        const QRectF local = frozen().toLocal(*lit).intersected(QRectF(rect()));
        paintFrozen(painter, local);
        painter.setPen(QPen(accent, 2));
        painter.drawRect(local.adjusted(1, 1, -1, -1));
        if (mode_ == Mode::window)
            painter.fillRect(local, QColor(accent.red(), accent.green(), accent.blue(), 40));
    }
    if (mode_ == Mode::region && pointer_) {
        if (dragStart_)
            paintSizeLabel(painter, lit.value_or(QRect()));
        else
            paintCrosshair(painter);
    }
}

void CaptureOverlay::paintCrosshair(QPainter& painter) const {
    painter.setPen(QPen(QColor(255, 255, 255, 160), 1));
    painter.drawLine(QPointF(0, pointer_->y()), QPointF(width(), pointer_->y()));
    painter.drawLine(QPointF(pointer_->x(), 0), QPointF(pointer_->x(), height()));
}

void CaptureOverlay::paintSizeLabel(QPainter& painter, const QRect& native) const {
    // Sizes in pixels of the file that will be written, not in logical units.
    const QString text = QStringLiteral("%1 × %2").arg(native.width()).arg(native.height());
    const QFontMetrics metrics(painter.font());
    QRectF box(*pointer_ + QPointF(14, 14),
               QSizeF(metrics.horizontalAdvance(text) + 12, metrics.height() + 6));
    // Keep the label on the screen near its right and bottom edges.
    if (box.right() > width())
        box.moveRight(pointer_->x() - 14);
    if (box.bottom() > height())
        box.moveBottom(pointer_->y() - 14);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 180));
    painter.drawRoundedRect(box, 4, 4);
    painter.setPen(Qt::white);
    painter.drawText(box, Qt::AlignCenter, text);
}

void CaptureOverlay::showEvent(QShowEvent*) {
    windowHandle()->installEventFilter(this);
}

bool CaptureOverlay::eventFilter(QObject*, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::MouseMove || type == QEvent::MouseButtonPress ||
        type == QEvent::MouseButtonRelease)
        precise_ = static_cast<QMouseEvent*>(event)->position();
    return false;
}

bool CaptureOverlay::draggedFarEnough(QPointF end) const {
    return (end - *dragStart_).manhattanLength() >= QApplication::startDragDistance();
}

void CaptureOverlay::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton)
        return Q_EMIT cancelled();
    if (event->button() != Qt::LeftButton)
        return;
    pointer_ = precise_;
    if (mode_ == Mode::window)
        return Q_EMIT clickedAt(frozen().toNative(precise_));
    dragStart_ = precise_;
    update();
}

void CaptureOverlay::mouseMoveEvent(QMouseEvent*) {
    pointer_ = precise_;
    if (mode_ == Mode::window)
        Q_EMIT pointedAt(frozen().toNative(precise_));
    update();
}

void CaptureOverlay::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !dragStart_)
        return;
    pointer_ = precise_;
    // A click without a drag selects nothing, and ends the capture like Escape.
    const std::optional<QRect> selection = currentSelection();
    if (!draggedFarEnough(precise_) || !selection || selection->isEmpty())
        return Q_EMIT cancelled();
    Q_EMIT regionSelected(*selection);
}

void CaptureOverlay::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape)
        Q_EMIT cancelled();
}

void CaptureOverlay::leaveEvent(QEvent*) {
    if (dragStart_)
        return;
    pointer_.reset();
    update();
}
