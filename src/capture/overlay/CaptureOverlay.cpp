#include "CaptureOverlay.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

namespace {

const QColor dimming(0, 0, 0, 100);
const QColor accent(0x2f, 0x8c, 0xff);

} // namespace

CaptureOverlay::CaptureOverlay(const FrozenDesktop& desktop, ScreenPlacement placement,
                               const OverlayState& state)
    : QWidget(nullptr,
              Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::X11BypassWindowManagerHint)
    , desktop_(desktop)
    , placement_(placement)
    , state_(state) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setCursor(Qt::CrossCursor);
}

void CaptureOverlay::paintFrozen(QPainter& painter, const QRectF& area) const {
    for (const FrozenScreen& screen : desktop_.screens()) {
        const QRectF part = area.intersected(QRectF(screen.geometry));
        if (part.isEmpty())
            continue;
        const QRectF source((part.topLeft() - screen.geometry.topLeft()) * screen.scale(),
                            part.size() * screen.scale());
        painter.drawImage(placement_.toLocal(part), screen.image, source);
    }
}

void CaptureOverlay::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    paintFrozen(painter, QRectF(placement_.geometry));
    painter.fillRect(rect(), dimming);
    if (state_.lit)
        paintLit(painter, *state_.lit);
    const bool pointerHere =
        state_.pointer && QRectF(placement_.geometry).contains(*state_.pointer);
    if (state_.mode == OverlayMode::region && pointerHere) {
        const QPointF local = placement_.toLocal(QRectF(*state_.pointer, QSizeF())).topLeft();
        if (state_.dragStart && state_.lit)
            paintSizeLabel(painter, local, state_.lit->pixelSize());
        else
            paintCrosshair(painter, local);
    }
    if (!state_.hint.isEmpty())
        paintHint(painter);
}

void CaptureOverlay::paintLit(QPainter& painter, const CaptureArea& lit) const {
    const QRectF part = lit.area.intersected(QRectF(placement_.geometry));
    if (part.isEmpty())
        return;
    paintFrozen(painter, part);
    // The frame goes round the whole selection; each screen draws its part.
    painter.save();
    painter.setClipRect(rect());
    painter.setPen(QPen(accent, 2));
    painter.drawRect(placement_.toLocal(lit.area).adjusted(1, 1, -1, -1));
    if (state_.mode == OverlayMode::window)
        painter.fillRect(placement_.toLocal(part),
                         QColor(accent.red(), accent.green(), accent.blue(), 40));
    painter.restore();
}

void CaptureOverlay::paintCrosshair(QPainter& painter, QPointF local) const {
    painter.setPen(QPen(QColor(255, 255, 255, 160), 1));
    painter.drawLine(QPointF(0, local.y()), QPointF(width(), local.y()));
    painter.drawLine(QPointF(local.x(), 0), QPointF(local.x(), height()));
}

void CaptureOverlay::paintSizeLabel(QPainter& painter, QPointF local, QSize pixels) const {
    // Sizes in pixels of the file that will be written, not in logical units.
    const QString text = QStringLiteral("%1 × %2").arg(pixels.width()).arg(pixels.height());
    const QFontMetrics metrics(painter.font());
    QRectF box(local + QPointF(14, 14),
               QSizeF(metrics.horizontalAdvance(text) + 12, metrics.height() + 6));
    // Keep the label on the screen near its right and bottom edges.
    if (box.right() > width())
        box.moveRight(local.x() - 14);
    if (box.bottom() > height())
        box.moveBottom(local.y() - 14);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 180));
    painter.drawRoundedRect(box, 4, 4);
    painter.setPen(Qt::white);
    painter.drawText(box, Qt::AlignCenter, text);
}

void CaptureOverlay::paintHint(QPainter& painter) const {
    const QFontMetrics metrics(painter.font());
    const QRectF line(0, 0, metrics.horizontalAdvance(state_.hint) + 24, metrics.height() + 12);
    QRectF box = line;
    box.moveCenter(QPointF(width() / 2.0, 24 + line.height() / 2));
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 200));
    painter.drawRoundedRect(box, 6, 6);
    painter.setPen(Qt::white);
    painter.drawText(box, Qt::AlignCenter, state_.hint);
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

void CaptureOverlay::mousePressEvent(QMouseEvent* event) {
    Q_EMIT pressed(placement_.toDesktop(precise_), event->button());
}

void CaptureOverlay::mouseMoveEvent(QMouseEvent*) {
    // While the button is down the window that took the press keeps getting
    // the pointer, past its own edges and over the next screen too.
    Q_EMIT moved(placement_.toDesktop(precise_));
}

void CaptureOverlay::mouseReleaseEvent(QMouseEvent* event) {
    Q_EMIT released(placement_.toDesktop(precise_), event->button());
}

void CaptureOverlay::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape)
        Q_EMIT escapePressed();
}

void CaptureOverlay::leaveEvent(QEvent*) {
    Q_EMIT pointerLeft();
}
