#include "AnnotationToolbar.h"

#include "AnnotationEditorState.h"
#include "AppLocale.h"

#include <QButtonGroup>
#include <QColorDialog>
#include <QFrame>
#include <QHBoxLayout>
#include <QPainter>
#include <QPixmap>
#include <QShortcut>
#include <QSlider>
#include <QToolButton>

#include <cmath>

namespace {

struct ToolLook {
    const char* english;
    const char* japanese;
    EditorIcons::Symbol symbol;
    Qt::Key key;
    const char* keyName;
};

ToolLook lookOf(AnnotationTool tool) {
    using EditorIcons::Symbol;
    switch (tool) {
    case AnnotationTool::select:
        return {"Select / Move", "選択 / 移動", Symbol::select, Qt::Key_V, "V"};
    case AnnotationTool::crop:
        return {"Crop", "クロップ", Symbol::crop, Qt::Key_C, "C"};
    case AnnotationTool::text:
        return {"Text", "テキスト", Symbol::text, Qt::Key_T, "T"};
    case AnnotationTool::line:
        return {"Line", "直線", Symbol::line, Qt::Key_Backslash, "\\"};
    case AnnotationTool::arrow:
        return {"Arrow", "矢印", Symbol::arrow, Qt::Key_A, "A"};
    case AnnotationTool::rect:
        return {"Rectangle", "四角", Symbol::rectangle, Qt::Key_M, "M"};
    case AnnotationTool::ellipse:
        return {"Ellipse", "丸", Symbol::circle, Qt::Key_L, "L"};
    case AnnotationTool::blur:
        return {"Blur", "ぼかし", Symbol::pixellate, Qt::Key_B, "B"};
    }
    return {"", "", Symbol::select, Qt::Key_unknown, ""};
}

const char* objectNameOf(AnnotationTool tool) {
    switch (tool) {
    case AnnotationTool::select:
        return "tool-select";
    case AnnotationTool::crop:
        return "tool-crop";
    case AnnotationTool::text:
        return "tool-text";
    case AnnotationTool::line:
        return "tool-line";
    case AnnotationTool::arrow:
        return "tool-arrow";
    case AnnotationTool::rect:
        return "tool-rect";
    case AnnotationTool::ellipse:
        return "tool-ellipse";
    case AnnotationTool::blur:
        return "tool-blur";
    }
    return "";
}

QToolButton* iconButton(QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setAutoRaise(false);
    button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    button->setIconSize(QSize(18, 18));
    return button;
}

QIcon swatch(const QColor& color) {
    QPixmap pixmap(QSize(36, 36));
    pixmap.setDevicePixelRatio(2);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    // A checkerboard under the colour shows its opacity.
    painter.fillRect(QRectF(1, 1, 16, 16), Qt::white);
    for (int y = 0; y < 4; ++y)
        for (int x = (y % 2); x < 4; x += 2)
            painter.fillRect(QRectF(1 + x * 4, 1 + y * 4, 4, 4), QColor(200, 200, 200));
    painter.fillRect(QRectF(1, 1, 16, 16), color);
    painter.setPen(QPen(QColor(0, 0, 0, 90), 1));
    painter.drawRect(QRectF(1.5, 1.5, 15, 15));
    return QIcon(pixmap);
}

} // namespace

AnnotationToolbar::AnnotationToolbar(QWidget* parent)
    : QWidget(parent) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(8, 8, 8, 8);
    row->setSpacing(6);
    addToolButton(AnnotationTool::select);
    addDivider();
    for (AnnotationTool tool : allAnnotationTools) {
        if (tool != AnnotationTool::select)
            addToolButton(tool);
    }
    row->addWidget(makeBlurShapePicker());
    addColorButton();
    addWidthSlider();
    row->addStretch(1);
    using EditorIcons::Symbol;
    deleteButton_ =
        addActionButton(Symbol::trash, AppLocale::text("Delete selected", "選択を削除"), "delete");
    connect(deleteButton_, &QToolButton::clicked, this, &AnnotationToolbar::deleteClicked);
    addDivider();
    connect(addActionButton(Symbol::zoomOut, AppLocale::text("Zoom out", "縮小"), "zoom-out"),
            &QToolButton::clicked, this, &AnnotationToolbar::zoomOutClicked);
    zoomLabel_ = new QToolButton(this);
    zoomLabel_->setObjectName("zoom-reset");
    zoomLabel_->setToolTip(AppLocale::text("Reset zoom", "等倍に戻す"));
    zoomLabel_->setMinimumWidth(40);
    row->addWidget(zoomLabel_);
    connect(zoomLabel_, &QToolButton::clicked, this, &AnnotationToolbar::zoomResetClicked);
    connect(addActionButton(Symbol::zoomIn, AppLocale::text("Zoom in", "拡大"), "zoom-in"),
            &QToolButton::clicked, this, &AnnotationToolbar::zoomInClicked);
    addDivider();
    undoButton_ = addActionButton(Symbol::undo, AppLocale::text("Undo", "元に戻す"), "undo");
    bindKey(QKeySequence(Qt::CTRL | Qt::Key_Z), undoButton_);
    connect(undoButton_, &QToolButton::clicked, this, &AnnotationToolbar::undoClicked);
    redoButton_ = addActionButton(Symbol::redo, AppLocale::text("Redo", "やり直す"), "redo");
    bindKey(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), redoButton_);
    connect(redoButton_, &QToolButton::clicked, this, &AnnotationToolbar::redoClicked);
}

QString AnnotationToolbar::toolHelp(AnnotationTool tool) {
    const ToolLook look = lookOf(tool);
    return AppLocale::text(look.english, look.japanese) + QStringLiteral(" (") +
           QString::fromLatin1(look.keyName) + QStringLiteral(")");
}

QToolButton* AnnotationToolbar::addToolButton(AnnotationTool tool) {
    const ToolLook look = lookOf(tool);
    QToolButton* button = iconButton(this);
    button->setObjectName(objectNameOf(tool));
    button->setCheckable(true);
    button->setToolTip(toolHelp(tool));
    bindKey(QKeySequence(look.key), button);
    connect(button, &QToolButton::clicked, this, [this, tool] { emit toolChosen(tool); });
    layout()->addWidget(button);
    toolButtons_.insert(tool, button);
    return button;
}

void AnnotationToolbar::bindKey(const QKeySequence& key, QAbstractButton* button) {
    // A button's own shortcut clicks it only after a short animation, so a
    // drag begun right after the key would still use the previous tool.
    auto* shortcut = new QShortcut(key, this);
    connect(shortcut, &QShortcut::activated, button, &QAbstractButton::click);
}

QToolButton* AnnotationToolbar::addActionButton(EditorIcons::Symbol symbol, const QString& help,
                                                const char* objectName) {
    QToolButton* button = iconButton(this);
    button->setObjectName(objectName);
    button->setToolTip(help);
    button->setIcon(EditorIcons::icon(symbol, palette().color(QPalette::ButtonText)));
    layout()->addWidget(button);
    return button;
}

void AnnotationToolbar::addDivider() {
    auto* divider = new QFrame(this);
    divider->setFrameShape(QFrame::VLine);
    divider->setFrameShadow(QFrame::Sunken);
    divider->setFixedHeight(20);
    layout()->addWidget(divider);
}

QWidget* AnnotationToolbar::makeBlurShapePicker() {
    blurShapePicker_ = new QWidget(this);
    auto* segments = new QHBoxLayout(blurShapePicker_);
    segments->setContentsMargins(0, 0, 0, 0);
    segments->setSpacing(0);
    auto* group = new QButtonGroup(blurShapePicker_);
    const QColor ink = palette().color(QPalette::ButtonText);
    blurRectButton_ = iconButton(blurShapePicker_);
    blurRectButton_->setObjectName("blur-rect");
    blurRectButton_->setIcon(EditorIcons::icon(EditorIcons::Symbol::rectangle, ink));
    blurEllipseButton_ = iconButton(blurShapePicker_);
    blurEllipseButton_->setObjectName("blur-ellipse");
    blurEllipseButton_->setIcon(EditorIcons::icon(EditorIcons::Symbol::circle, ink));
    for (QToolButton* segment : {blurRectButton_, blurEllipseButton_}) {
        segment->setCheckable(true);
        group->addButton(segment);
        segments->addWidget(segment);
    }
    connect(blurRectButton_, &QToolButton::clicked, this,
            [this] { emit blurShapeChosen(Annotation::BlurShape::rect); });
    connect(blurEllipseButton_, &QToolButton::clicked, this,
            [this] { emit blurShapeChosen(Annotation::BlurShape::ellipse); });
    blurShapePicker_->setVisible(false);
    return blurShapePicker_;
}

void AnnotationToolbar::addColorButton() {
    colorButton_ = iconButton(this);
    colorButton_->setObjectName("color");
    colorButton_->setIconSize(QSize(18, 18));
    connect(colorButton_, &QToolButton::clicked, this, &AnnotationToolbar::chooseColor);
    layout()->addWidget(colorButton_);
}

void AnnotationToolbar::chooseColor() {
    if (!colorDialog_) {
        colorDialog_ = new QColorDialog(this);
        colorDialog_->setOption(QColorDialog::ShowAlphaChannel);
        connect(colorDialog_, &QColorDialog::colorSelected, this, &AnnotationToolbar::colorChosen);
    }
    colorDialog_->setCurrentColor(color_);
    colorDialog_->open();
}

void AnnotationToolbar::addWidthSlider() {
    // Tenths of a point, so the width moves smoothly from 1 to 12.
    widthSlider_ = new QSlider(Qt::Horizontal, this);
    widthSlider_->setObjectName("line-width");
    widthSlider_->setRange(10, 120);
    widthSlider_->setFixedWidth(80);
    widthSlider_->setTracking(true);
    connect(widthSlider_, &QSlider::valueChanged, this,
            [this](int tenths) { emit lineWidthChosen(tenths / 10.0); });
    layout()->addWidget(widthSlider_);
}

void AnnotationToolbar::showTool(AnnotationTool current) {
    // A click on the current tool's button unchecks it; the state says otherwise.
    for (auto it = toolButtons_.cbegin(); it != toolButtons_.cend(); ++it)
        it.value()->setChecked(it.key() == current);
    if (shownTool_ == current)
        return;
    shownTool_ = current;
    const QColor ink = palette().color(QPalette::ButtonText);
    const QColor accent = palette().color(QPalette::Highlight);
    for (auto it = toolButtons_.cbegin(); it != toolButtons_.cend(); ++it) {
        const std::optional<QColor> tint =
            it.key() == current ? std::optional(accent) : std::nullopt;
        it.value()->setIcon(EditorIcons::icon(lookOf(it.key()).symbol, ink, tint));
    }
}

void AnnotationToolbar::showState(const AnnotationEditorState& state) {
    showTool(state.tool);
    blurShapePicker_->setVisible(state.tool == AnnotationTool::blur);
    blurRectButton_->setChecked(state.blurShape == Annotation::BlurShape::rect);
    blurEllipseButton_->setChecked(state.blurShape == Annotation::BlurShape::ellipse);
    if (color_ != state.color || colorButton_->icon().isNull()) {
        color_ = state.color;
        colorButton_->setIcon(swatch(state.color));
    }
    const QSignalBlocker quiet(widthSlider_);
    widthSlider_->setValue(int(std::lround(state.lineWidth * 10)));
    deleteButton_->setEnabled(state.validSelection().has_value());
    zoomLabel_->setText(QString::number(std::lround(state.zoom * 100)) + QStringLiteral("%"));
    undoButton_->setEnabled(!state.undoStack.isEmpty());
    redoButton_->setEnabled(!state.redoStack.isEmpty());
}
