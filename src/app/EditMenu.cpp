#include "EditMenu.h"

#include "AppLocale.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>
#include <QWidget>

namespace {

// Walks from the focused widget outward to the first one that can do `slot`.
void sendToFocusedWidget(const char* slot) {
    const QByteArray signature = QByteArray(slot) + "()";
    for (QWidget* widget = QApplication::focusWidget(); widget; widget = widget->parentWidget()) {
        if (widget->metaObject()->indexOfMethod(signature.constData()) >= 0) {
            QMetaObject::invokeMethod(widget, slot);
            return;
        }
    }
}

} // namespace

EditMenu::EditMenu()
    : menuBar_(std::make_unique<QMenuBar>()) {
    QMenu* application = menuBar_->addMenu(QString());
    QAction* quit = application->addAction(AppLocale::text("Quit Glimber", "Glimber を終了"));
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    connect(quit, &QAction::triggered, qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    shortcutActions_.append(quit);

    QMenu* edit = menuBar_->addMenu(AppLocale::text("Edit", "編集"));
    addForwardingAction(*edit, "Undo", "取り消す", Qt::CTRL | Qt::Key_Z, QKeySequence::Undo,
                        "undo");
    addForwardingAction(*edit, "Redo", "やり直す", Qt::CTRL | Qt::SHIFT | Qt::Key_Z,
                        QKeySequence::Redo, "redo");
    edit->addSeparator();
    addForwardingAction(*edit, "Cut", "カット", Qt::CTRL | Qt::Key_X, QKeySequence::Cut, "cut");
    addForwardingAction(*edit, "Copy", "コピー", Qt::CTRL | Qt::Key_C, QKeySequence::Copy, "copy");
    addForwardingAction(*edit, "Paste", "ペースト", Qt::CTRL | Qt::Key_V, QKeySequence::Paste,
                        "paste");
    addForwardingAction(*edit, "Select All", "すべてを選択", Qt::CTRL | Qt::Key_A,
                        QKeySequence::SelectAll, "selectAll");

    // Windows that are already open get the shortcuts now, later ones as they show.
    for (QWidget* window : QApplication::topLevelWidgets())
        eventFilter(window, nullptr);
    qApp->installEventFilter(this);
}

EditMenu::~EditMenu() {
    qApp->removeEventFilter(this);
}

QAction* EditMenu::addForwardingAction(QMenu& menu, const char* english, const char* japanese,
                                       QKeyCombination primary, QKeySequence::StandardKey standard,
                                       const char* slot) {
    QAction* action = menu.addAction(AppLocale::text(english, japanese));
    // The menu's own key first, then whatever else the desktop binds to the
    // same command (Ctrl+Y for Redo, Shift+Insert for Paste, …).
    QList<QKeySequence> keys{QKeySequence(primary)};
    for (const QKeySequence& key : QKeySequence::keyBindings(standard)) {
        if (!keys.contains(key))
            keys.append(key);
    }
    action->setShortcuts(keys);
    connect(action, &QAction::triggered, this, [slot] { sendToFocusedWidget(slot); });
    shortcutActions_.append(action);
    return action;
}

bool EditMenu::eventFilter(QObject* watched, QEvent* event) {
    // A hidden menu's shortcuts are dead in Qt; the same actions added to each
    // program window are live there, and the window's own text fields still
    // take these keys first.
    if (event && event->type() != QEvent::Show)
        return false;
    auto* window = qobject_cast<QWidget*>(watched);
    if (!window || !window->isWindow() || window->windowType() == Qt::Popup ||
        window->windowType() == Qt::ToolTip || window == menuBar_.get())
        return false;
    const QList<QKeySequence> taken = ownKeys(*window);
    for (QAction* action : std::as_const(shortcutActions_)) {
        // A window that binds the key itself (an editor's own Ctrl+Z) keeps it:
        // two bindings of one key in a window would make Qt fire neither.
        if (!window->actions().contains(action) && !taken.contains(action->shortcut()))
            window->addAction(action);
    }
    return false;
}

QList<QKeySequence> EditMenu::ownKeys(const QWidget& window) const {
    QList<QKeySequence> keys;
    for (const QShortcut* shortcut : window.findChildren<QShortcut*>()) {
        if (shortcut->isEnabled())
            keys += shortcut->keys();
    }
    QList<const QWidget*> widgets{&window};
    for (const QWidget* child : window.findChildren<QWidget*>())
        widgets.append(child);
    for (const QWidget* widget : widgets) {
        for (const QAction* action : widget->actions()) {
            if (!shortcutActions_.contains(action))
                keys += action->shortcuts();
        }
    }
    return keys;
}
