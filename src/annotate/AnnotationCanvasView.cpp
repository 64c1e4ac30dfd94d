#include "AnnotationCanvasView.h"

#include "AnnotationHitTest.h"
#include "AnnotationRenderer.h"
#include "ImageGeometry.h"
#include "SelectionPainter.h"
#include "TextEntryField.h"
#include "YUpPainting.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace {

constexpr double maxPreviewDimension = 3000;
constexpr QSize textFieldSize(200, 24);
// A mouse wheel reports notches rather than distances; one notch pans this far.
constexpr double viewPointsPerNotch = 40;
// Smallest drawn shape, in image points, that is kept.
constexpr double minimumShape = 3;

bool drawsSquares(AnnotationTool tool) {
    return tool == AnnotationTool::crop || tool == AnnotationTool::rect ||
           tool == AnnotationTool::ellipse || tool == AnnotationTool::blur;
}

Annotation::Kind kindFor(AnnotationTool tool) {
    switch (tool) {
    case AnnotationTool::line:
        return Annotation::Kind::line;
    case AnnotationTool::arrow:
        return Annotation::Kind::arrow;
    case AnnotationTool::ellipse:
        return Annotation::Kind::ellipse;
    case AnnotationTool::blur:
        return Annotation::Kind::blur;
    default:
        return Annotation::Kind::rect;
    }
}

} // namespace

AnnotationCanvasView::AnnotationCanvasView(QWidget* parent)
    : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

CanvasViewport AnnotationCanvasView::viewport() const {
    return CanvasViewport{QSizeF(size()), doc_.visibleRect(), zoom_, panOffset_};
}

void AnnotationCanvasView::applyViewport(const CanvasViewport& viewport) {
    zoom_ = viewport.zoom;
    panOffset_ = viewport.panOffset;
    update();
}

QPointF AnnotationCanvasView::toViewPoint(QPointF widgetPosition) const {
    return QPointF(widgetPosition.x(), height() - widgetPosition.y());
}

QPointF AnnotationCanvasView::toWidgetPosition(QPointF viewPoint) const {
    return QPointF(viewPoint.x(), height() - viewPoint.y());
}

void AnnotationCanvasView::setDocument(const AnnotationDoc& doc) {
    doc_ = doc;
    update();
}

void AnnotationCanvasView::setTool(AnnotationTool tool) {
    tool_ = tool;
    update();
}

void AnnotationCanvasView::setStrokeColor(const QColor& color) {
    strokeColor_ = color;
}

void AnnotationCanvasView::setStrokeWidth(double width) {
    strokeWidth_ = width;
}

void AnnotationCanvasView::setBlurShape(Annotation::BlurShape shape) {
    blurShape_ = shape;
}

void AnnotationCanvasView::setSelectedIndex(std::optional<int> index) {
    selectedIndex_ = index;
    update();
}

void AnnotationCanvasView::setZoom(double zoom, QPointF imagePoint, QPointF viewPoint) {
    CanvasViewport v = viewport();
    v.setZoom(zoom, imagePoint, viewPoint);
    applyViewport(v);
}

void AnnotationCanvasView::setZoomAboutCentre(double zoom) {
    const QPointF centre(width() / 2.0, height() / 2.0);
    setZoom(zoom, viewport().viewToImage(centre), centre);
}

std::optional<int> AnnotationCanvasView::validSelection() const {
    if (selectedIndex_ && *selectedIndex_ >= 0 && *selectedIndex_ < doc_.items.size())
        return selectedIndex_;
    return std::nullopt;
}

Annotation AnnotationCanvasView::makeAnnotation(QPointF from, QPointF to) const {
    Annotation item;
    item.kind = kindFor(tool_);
    item.rect = QRectF(from.x(), from.y(), to.x() - from.x(), to.y() - from.y());
    item.color = strokeColor_;
    item.lineWidth = strokeWidth_;
    if (item.kind == Annotation::Kind::blur)
        item.blurShape = blurShape_;
    return item;
}

QPointF AnnotationCanvasView::constrained(QPointF start, QPointF end, bool shift) const {
    if (!shift || !drawsSquares(tool_))
        return end;
    const double side = std::max(std::abs(end.x() - start.x()), std::abs(end.y() - start.y()));
    return QPointF(start.x() + (end.x() >= start.x() ? side : -side),
                   start.y() + (end.y() >= start.y() ? side : -side));
}

void AnnotationCanvasView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    const CanvasViewport view = viewport();
    const QRectF display = view.displayRect();
    if (display.width() > 0 && display.height() > 0) {
        AnnotationDoc shown = doc_;
        if (draft_)
            shown.items.append(*draft_);
        const double longer = devicePixelRatioF() * std::max(display.width(), display.height());
        const QImage image =
            AnnotationRenderer::render(shown, std::min(longer, maxPreviewDimension));
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(
            QRectF(toWidgetPosition(QPointF(display.x(), display.y() + display.height())),
                   display.size()),
            image);
    }
    const std::optional<int> selected = validSelection();
    if (tool_ == AnnotationTool::select && selected) {
        YUpPainting::flip(painter, height());
        SelectionPainter::draw(painter, doc_.items[*selected], view,
                               palette().color(QPalette::Highlight));
    }
}

void AnnotationCanvasView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    setFocus(Qt::MouseFocusReason);
    const QPointF p = toViewPoint(event->position());
    if (tool_ == AnnotationTool::text) {
        beginText(p);
        return;
    }
    const QPointF ip = viewport().viewToImage(p);
    if (tool_ != AnnotationTool::select) {
        dragStart_ = ip;
        draft_ = makeAnnotation(ip, ip);
        update();
        return;
    }
    pressWithSelectTool(p, ip);
}

bool AnnotationCanvasView::grabRotationHandle(QPointF p, QPointF ip) {
    const std::optional<int> selected = validSelection();
    if (!selected || !doc_.items[*selected].isBox())
        return false;
    const Annotation& item = doc_.items[*selected];
    const CanvasViewport view = viewport();
    const QPointF handle = AnnotationHitTest::rotationHandle(item, view);
    if (ImageGeometry::length(p - handle) >= AnnotationHitTest::handleRadius)
        return false;
    const QPointF centre = view.imageToView(ImageGeometry::standardized(item.rect).center());
    dragMode_ = DragMode::rotate;
    rotateStartAngle_ = std::atan2(p.y() - centre.y(), p.x() - centre.x());
    rotateOrigRotation_ = item.rotation;
    moveStartImg_ = ip;
    moveOriginalRect_ = item.rect;
    emit snapshotRequested();
    update();
    return true;
}

void AnnotationCanvasView::pressWithSelectTool(QPointF p, QPointF ip) {
    if (grabRotationHandle(p, ip))
        return;
    const CanvasViewport view = viewport();
    selectedIndex_ = AnnotationHitTest::itemAt(doc_.items, ip, view);
    dragMode_ = DragMode::none;
    // The editor hears of the selection first, so that it already holds the new
    // one when the snapshot makes it show its state again.
    emit selectionChanged(selectedIndex_);
    if (selectedIndex_) {
        const Annotation item = doc_.items[*selectedIndex_];
        const double radius = view.displayScale() * AnnotationHitTest::handleRadius;
        if (const auto end = AnnotationHitTest::endpointAt(item, ip, radius)) {
            dragMode_ =
                *end == AnnotationHitTest::SegmentEnd::start ? DragMode::start : DragMode::end;
        } else if (const auto fixed = AnnotationHitTest::cornerFixedPoint(item, ip, radius)) {
            dragMode_ = DragMode::resize;
            resizeFixedCorner_ = fixed;
        } else {
            dragMode_ = DragMode::whole;
        }
        moveStartImg_ = ip;
        moveOriginalRect_ = item.rect;
        emit snapshotRequested();
    }
    update();
}

void AnnotationCanvasView::mouseMoveEvent(QMouseEvent* event) {
    const QPointF p = toViewPoint(event->position());
    const QPointF ip = viewport().viewToImage(p);
    if (tool_ == AnnotationTool::select) {
        dragSelected(p, ip);
        return;
    }
    if (!dragStart_)
        return;
    const bool shift = event->modifiers().testFlag(Qt::ShiftModifier);
    draft_ = makeAnnotation(*dragStart_, constrained(*dragStart_, ip, shift));
    update();
}

QRectF AnnotationCanvasView::draggedRect(const Annotation& item, QPointF ip) const {
    const QRectF o = *moveOriginalRect_;
    const QPointF delta = ip - *moveStartImg_;
    switch (dragMode_) {
    case DragMode::whole:
        return o.translated(delta);
    case DragMode::start: {
        const QPointF origin = o.topLeft() + delta;
        const QPointF end = o.topLeft() + QPointF(o.width(), o.height());
        return QRectF(origin.x(), origin.y(), end.x() - origin.x(), end.y() - origin.y());
    }
    case DragMode::end:
        return QRectF(o.x(), o.y(), o.width() + delta.x(), o.height() + delta.y());
    case DragMode::resize:
        if (item.kind == Annotation::Kind::text) {
            const double size = std::max(std::abs(ip.y() - o.y()), 8.0);
            return QRectF(o.x(), o.y(),
                          AnnotationRenderer::measureTextWidth(item.text.value_or(QString()), size),
                          size);
        } else {
            const QPointF k = *resizeFixedCorner_;
            return QRectF(std::min(k.x(), ip.x()), std::min(k.y(), ip.y()),
                          std::abs(ip.x() - k.x()), std::abs(ip.y() - k.y()));
        }
    default:
        return item.rect;
    }
}

void AnnotationCanvasView::dragSelected(QPointF p, QPointF ip) {
    const std::optional<int> selected = validSelection();
    if (!selected || !moveStartImg_ || !moveOriginalRect_ || dragMode_ == DragMode::none)
        return;
    const bool resizesBox =
        dragMode_ == DragMode::resize && doc_.items[*selected].kind != Annotation::Kind::text;
    if (resizesBox && !resizeFixedCorner_)
        return;
    QList<Annotation> items = doc_.items;
    Annotation& item = items[*selected];
    if (dragMode_ == DragMode::rotate) {
        const QPointF centre =
            viewport().imageToView(ImageGeometry::standardized(*moveOriginalRect_).center());
        const double angle = std::atan2(p.y() - centre.y(), p.x() - centre.x());
        item.rotation = rotateOrigRotation_ + (angle - rotateStartAngle_);
    } else {
        item.rect = draggedRect(item, ip);
    }
    doc_.items = items;
    emit itemsReplaced(items);
    update();
}

void AnnotationCanvasView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    if (tool_ == AnnotationTool::select) {
        moveStartImg_.reset();
        moveOriginalRect_.reset();
        resizeFixedCorner_.reset();
        dragMode_ = DragMode::none;
        update();
        return;
    }
    const QPointF ip = viewport().viewToImage(toViewPoint(event->position()));
    finishDrawing(ip, event->modifiers().testFlag(Qt::ShiftModifier));
}

void AnnotationCanvasView::finishDrawing(QPointF ip, bool shift) {
    if (!dragStart_)
        return;
    Annotation item = makeAnnotation(*dragStart_, constrained(*dragStart_, ip, shift));
    if (item.isBox())
        item.rect = ImageGeometry::standardized(item.rect);
    dragStart_.reset();
    draft_.reset();
    if (std::abs(item.rect.width()) >= minimumShape ||
        std::abs(item.rect.height()) >= minimumShape) {
        if (tool_ == AnnotationTool::crop)
            emit cropped(item.rect);
        else
            emit committed(item);
    }
    update();
}

void AnnotationCanvasView::beginText(QPointF p) {
    commitText();
    auto* field = new TextEntryField(this);
    // The field's bottom-left corner is the pressed point, where the text will sit.
    const QPointF topLeft = toWidgetPosition(p + QPointF(0, textFieldSize.height()));
    field->setGeometry(QRect(topLeft.toPoint(), textFieldSize));
    connect(field, &TextEntryField::entered, this, &AnnotationCanvasView::commitText);
    connect(field, &TextEntryField::cancelled, this, &AnnotationCanvasView::discardText);
    field->show();
    field->setFocus(Qt::OtherFocusReason);
    textField_ = field;
    textOrigin_ = viewport().viewToImage(p);
}

void AnnotationCanvasView::removeTextField() {
    const bool hadFocus = textField_->hasFocus();
    textField_->hide();
    textField_->deleteLater();
    textField_ = nullptr;
    textOrigin_.reset();
    if (hadFocus)
        setFocus(Qt::OtherFocusReason);
}

void AnnotationCanvasView::commitText() {
    if (!textField_ || !textOrigin_)
        return;
    const QString text = textField_->text();
    const QPointF origin = *textOrigin_;
    removeTextField();
    if (!text.isEmpty()) {
        const double size = Annotation::defaultTextSize(strokeWidth_);
        Annotation item;
        item.kind = Annotation::Kind::text;
        item.rect =
            QRectF(origin.x(), origin.y(), AnnotationRenderer::measureTextWidth(text, size), size);
        item.color = strokeColor_;
        item.lineWidth = strokeWidth_;
        item.text = text;
        emit committed(item);
    }
    update();
}

void AnnotationCanvasView::discardText() {
    if (textField_)
        removeTextField();
    update();
}

void AnnotationCanvasView::keyPressEvent(QKeyEvent* event) {
    const bool deleteKey = event->key() == Qt::Key_Delete || event->key() == Qt::Key_Backspace;
    if (deleteKey && selectedIndex_) {
        event->accept();
        emit deleteRequested();
        return;
    }
    event->ignore();
}

void AnnotationCanvasView::wheelEvent(QWheelEvent* event) {
    // Touchpads report distances in view points; wheels report notches of 120.
    const bool precise = !event->pixelDelta().isNull();
    const QPointF notches = QPointF(event->angleDelta()) / 120.0;
    if (event->modifiers().testFlag(Qt::ControlModifier)) {
        const QPointF p = toViewPoint(event->position());
        const double delta = precise ? event->pixelDelta().y() : notches.y();
        const double factor = precise ? 0.01 : 0.05;
        setZoom(zoom_ * (1 + delta * factor), viewport().viewToImage(p), p);
        emit zoomChanged(zoom_);
    } else {
        const QPointF delta = precise ? QPointF(event->pixelDelta()) : notches * viewPointsPerNotch;
        CanvasViewport view = viewport();
        view.panOffset += QPointF(delta.x(), -delta.y());
        view.clampPan();
        applyViewport(view);
    }
    event->accept();
}
