#pragma once

#include <QObject>

class QMenu;

// A shortcut shown beside a menu item chooses it while the menu is open, as the
// label promises; an open Qt menu otherwise takes only its arrow keys and
// mnemonics. Owned by the menu it watches.
class MenuShortcutKeys : public QObject {
public:
    static void install(QMenu& menu);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit MenuShortcutKeys(QMenu& menu);
    QMenu& menu_;
};
