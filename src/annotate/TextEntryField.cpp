#include "TextEntryField.h"

#include <QFont>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QPalette>

TextEntryField::TextEntryField(QWidget* parent)
    : QLineEdit(parent) {
    setFrame(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Base, Qt::white);
    colours.setColor(QPalette::Text, Qt::black);
    setPalette(colours);
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPixelSize(16);
    font.setWeight(QFont::DemiBold);
    setFont(font);
}

void TextEntryField::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->accept();
        emit entered();
        return;
    case Qt::Key_Escape:
        event->accept();
        emit cancelled();
        return;
    default:
        QLineEdit::keyPressEvent(event);
    }
}
