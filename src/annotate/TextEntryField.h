#pragma once

#include <QLineEdit>

// The canvas's temporary field for a new text item. Return and Escape end it
// here and go no further, so they never reach the window's default button.
class TextEntryField : public QLineEdit {
    Q_OBJECT
public:
    explicit TextEntryField(QWidget* parent = nullptr);

signals:
    void entered();
    void cancelled();

protected:
    void keyPressEvent(QKeyEvent* event) override;
};
