#include "MenuShortcutKeys.h"

#include <QAction>
#include <QKeyEvent>
#include <QMenu>

MenuShortcutKeys::MenuShortcutKeys(QMenu& menu)
    : QObject(&menu)
    , menu_(menu) {}

void MenuShortcutKeys::install(QMenu& menu) {
    menu.installEventFilter(new MenuShortcutKeys(menu));
}

bool MenuShortcutKeys::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &menu_ || event->type() != QEvent::KeyPress)
        return false;
    const QKeySequence pressed(static_cast<QKeyEvent*>(event)->keyCombination());
    for (QAction* action : menu_.actions()) {
        if (action->isEnabled() && !action->shortcut().isEmpty() &&
            action->shortcut().matches(pressed) == QKeySequence::ExactMatch) {
            menu_.hide();
            action->trigger();
            return true;
        }
    }
    return false;
}
