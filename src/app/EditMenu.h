#pragma once

#include <QKeySequence>
#include <QObject>

#include <memory>

class QAction;
class QMenuBar;

// The hidden main menu: a Quit item and the Edit menu (Undo, Redo, Cut, Copy,
// Paste, Select All). It is never shown; only its shortcuts matter. They are
// live in every window of the program and go to the focused widget, or the
// nearest of its parents that has the matching slot (undo(), copy(), …), the
// way a responder chain would. Text fields handle these keys themselves first.
class EditMenu : public QObject {
    Q_OBJECT

public:
    EditMenu();
    ~EditMenu() override;

    // Its two top-level items: the untitled one with Quit, and "Edit".
    const QMenuBar& menuBar() const { return *menuBar_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QAction* addForwardingAction(class QMenu& menu, const char* english, const char* japanese,
                                 QKeyCombination primary, QKeySequence::StandardKey standard,
                                 const char* slot);

    // Keys the window binds itself, which the menu leaves to it.
    QList<QKeySequence> ownKeys(const QWidget& window) const;

    std::unique_ptr<QMenuBar> menuBar_;
    QList<QAction*> shortcutActions_;
};
