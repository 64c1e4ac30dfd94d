#pragma once

#include "Annotation.h"
#include "AnnotationTool.h"
#include "EditorIcons.h"

#include <QColor>
#include <QMap>
#include <QWidget>

#include <optional>

struct AnnotationEditorState;
class QAbstractButton;
class QColorDialog;
class QKeySequence;
class QSlider;
class QToolButton;

// The editor's top row: the tools, the blur shape, colour and width, delete,
// zoom, undo and redo. It shows the editor state it is given and reports what
// the user asks for; the editor decides.
class AnnotationToolbar : public QWidget {
    Q_OBJECT
public:
    explicit AnnotationToolbar(QWidget* parent = nullptr);

    void showState(const AnnotationEditorState& state);

    // "Crop (C)": the tool's name and its key.
    static QString toolHelp(AnnotationTool tool);

signals:
    void toolChosen(AnnotationTool tool);
    void blurShapeChosen(Annotation::BlurShape shape);
    void colorChosen(const QColor& color);
    void lineWidthChosen(double width);
    void deleteClicked();
    void zoomOutClicked();
    void zoomResetClicked();
    void zoomInClicked();
    void undoClicked();
    void redoClicked();

private:
    QToolButton* addToolButton(AnnotationTool tool);
    QToolButton* addActionButton(EditorIcons::Symbol symbol, const QString& help,
                                 const char* objectName);
    void addDivider();
    // The key clicks the button at once; a disabled button ignores it.
    void bindKey(const QKeySequence& key, QAbstractButton* button);
    QWidget* makeBlurShapePicker();
    void addColorButton();
    void addWidthSlider();
    void chooseColor();
    void showTool(AnnotationTool current);

    QMap<AnnotationTool, QToolButton*> toolButtons_;
    // What the icons show, so that they are drawn again only when it changes.
    std::optional<AnnotationTool> shownTool_;
    QWidget* blurShapePicker_ = nullptr;
    QToolButton* blurRectButton_ = nullptr;
    QToolButton* blurEllipseButton_ = nullptr;
    QToolButton* colorButton_ = nullptr;
    QColorDialog* colorDialog_ = nullptr;
    QColor color_;
    QSlider* widthSlider_ = nullptr;
    QToolButton* deleteButton_ = nullptr;
    QToolButton* zoomLabel_ = nullptr;
    QToolButton* undoButton_ = nullptr;
    QToolButton* redoButton_ = nullptr;
};
