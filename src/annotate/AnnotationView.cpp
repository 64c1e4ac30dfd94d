#include "AnnotationView.h"

#include "AnnotationCanvasView.h"
#include "AnnotationExport.h"
#include "AnnotationToolbar.h"
#include "AppLocale.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

constexpr double zoomStep = 1.25;

QFrame* divider(QWidget* parent) {
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

} // namespace

AnnotationView::AnnotationView(const QImage& image, const QString& sourcePath, QWidget* parent)
    : QWidget(parent)
    , toolbar_(new AnnotationToolbar(this))
    , canvas_(new AnnotationCanvasView(this)) {
    state_.doc.source = image;
    state_.sourcePath = sourcePath;
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(toolbar_);
    column->addWidget(divider(this));
    column->addWidget(canvas_, 1);
    column->addWidget(divider(this));
    column->addWidget(makeBottomRow());
    connectCanvas();
    connectToolbar();
    canvas_->setFocus();
    refresh();
}

QWidget* AnnotationView::makeBottomRow() {
    auto* bottom = new QWidget(this);
    auto* row = new QHBoxLayout(bottom);
    row->setContentsMargins(8, 8, 8, 8);
    status_ = new QLabel(bottom);
    status_->setObjectName("status");
    QFont caption = status_->font();
    caption.setPointSizeF(caption.pointSizeF() * 0.85);
    status_->setFont(caption);
    status_->setForegroundRole(QPalette::PlaceholderText);
    row->addWidget(status_);
    row->addStretch(1);
    auto* saveButton = new QPushButton(AppLocale::text("Save", "保存"), bottom);
    auto* copyButton =
        // "        new QPushButton(AppLocale::text("Annotate && Copy"        new
        // QPushButton(AppLocale::text("Annotate && Copy"" shows one ampersand; a single one would
        // mark a mnemonic.
        new QPushButton(AppLocale::text("Annotate && Copy", "注釈してコピー"), bottom);
    auto* closeButton = new QPushButton(AppLocale::text("Close", "閉じる"), bottom);
    saveButton->setObjectName("save");
    copyButton->setObjectName("copy");
    closeButton->setObjectName("close");
    copyButton->setDefault(true);
    for (QPushButton* button : {saveButton, copyButton, closeButton}) {
        button->setAutoDefault(false);
        row->addWidget(button);
    }
    connect(saveButton, &QPushButton::clicked, this, &AnnotationView::save);
    connect(copyButton, &QPushButton::clicked, this, &AnnotationView::copyAnnotated);
    // Each window's Close closes that window, whichever editor was opened last.
    connect(closeButton, &QPushButton::clicked, this, [this] { window()->close(); });
    return bottom;
}

void AnnotationView::connectCanvas() {
    connect(canvas_, &AnnotationCanvasView::committed, this, [this](const Annotation& item) {
        state_.commitItem(item);
        refresh();
    });
    connect(canvas_, &AnnotationCanvasView::cropped, this, [this](const QRectF& crop) {
        state_.setCrop(crop);
        refresh();
    });
    connect(canvas_, &AnnotationCanvasView::itemsReplaced, this,
            [this](const QList<Annotation>& items) {
                state_.replaceItems(items);
                refresh();
            });
    connect(canvas_, &AnnotationCanvasView::snapshotRequested, this, [this] {
        state_.snapshot();
        refresh();
    });
    connect(canvas_, &AnnotationCanvasView::zoomChanged, this, [this](double zoom) {
        state_.zoom = zoom;
        refresh();
    });
    connect(canvas_, &AnnotationCanvasView::selectionChanged, this,
            [this](std::optional<int> index) {
                state_.selectedIndex = index;
                refresh();
            });
    connect(canvas_, &AnnotationCanvasView::deleteRequested, this, &AnnotationView::deleteSelected);
}

void AnnotationView::connectToolbar() {
    connect(toolbar_, &AnnotationToolbar::toolChosen, this, &AnnotationView::chooseTool);
    connect(toolbar_, &AnnotationToolbar::blurShapeChosen, this,
            [this](Annotation::BlurShape shape) {
                state_.blurShape = shape;
                refresh();
            });
    connect(toolbar_, &AnnotationToolbar::colorChosen, this, &AnnotationView::chooseColor);
    connect(toolbar_, &AnnotationToolbar::lineWidthChosen, this, &AnnotationView::chooseLineWidth);
    connect(toolbar_, &AnnotationToolbar::deleteClicked, this, &AnnotationView::deleteSelected);
    connect(toolbar_, &AnnotationToolbar::zoomOutClicked, this,
            [this] { setZoom(state_.zoom / zoomStep); });
    connect(toolbar_, &AnnotationToolbar::zoomResetClicked, this, [this] { setZoom(1); });
    connect(toolbar_, &AnnotationToolbar::zoomInClicked, this,
            [this] { setZoom(state_.zoom * zoomStep); });
    connect(toolbar_, &AnnotationToolbar::undoClicked, this, &AnnotationView::undo);
    connect(toolbar_, &AnnotationToolbar::redoClicked, this, &AnnotationView::redo);
}

void AnnotationView::refresh() {
    toolbar_->showState(state_);
    canvas_->setDocument(state_.doc);
    canvas_->setTool(state_.tool);
    canvas_->setStrokeColor(state_.color);
    canvas_->setStrokeWidth(state_.lineWidth);
    canvas_->setBlurShape(state_.blurShape);
    if (canvas_->selectedIndex() != state_.selectedIndex)
        canvas_->setSelectedIndex(state_.selectedIndex);
    if (std::abs(canvas_->zoom() - state_.zoom) > 0.0001)
        canvas_->setZoomAboutCentre(state_.zoom);
    status_->setText(state_.statusText);
}

void AnnotationView::undo() {
    state_.undo();
    refresh();
}

void AnnotationView::redo() {
    state_.redo();
    refresh();
}

void AnnotationView::deleteSelected() {
    state_.deleteSelected();
    refresh();
}

void AnnotationView::save() {
    state_.statusText = AnnotationExport::save(state_.doc, state_.sourcePath);
    refresh();
}

void AnnotationView::copyAnnotated() {
    state_.statusText = AnnotationExport::copyAnnotated(state_.doc);
    refresh();
}

void AnnotationView::chooseTool(AnnotationTool tool) {
    state_.tool = tool;
    refresh();
}

void AnnotationView::chooseColor(const QColor& color) {
    state_.setColor(color);
    refresh();
}

void AnnotationView::chooseLineWidth(double width) {
    state_.setLineWidth(width);
    refresh();
}

void AnnotationView::setZoom(double zoom) {
    state_.zoom = std::clamp(zoom, 0.2, 8.0);
    refresh();
}

void AnnotationView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        copyAnnotated();
        return;
    }
    QWidget::keyPressEvent(event);
}
