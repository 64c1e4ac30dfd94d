#include "StatusMenu.h"

#include "AppDelegate.h"
#include "AppLocale.h"
#include "MenuShortcutKeys.h"

#include <QAction>
#include <QIcon>

namespace {

QAction* addItem(QMenu& menu, const char* english, const char* japanese) {
    return menu.addAction(AppLocale::text(english, japanese));
}

} // namespace

std::unique_ptr<QMenu> buildStatusMenu(AppDelegate& delegate) {
    auto menu = std::make_unique<QMenu>();
    // The gesture hints name the gesture, not the configured key.
    QObject::connect(addItem(*menu, "Capture Region  (tap)", "範囲を撮る  （タップ）"),
                     &QAction::triggered, &delegate, &AppDelegate::captureRangeAction);
    QObject::connect(addItem(*menu, "Capture Window  (hold)", "ウィンドウを撮る  （長押し）"),
                     &QAction::triggered, &delegate, &AppDelegate::captureWindowAction);
    QObject::connect(addItem(*menu, "Capture Text", "テキストを取り込む"), &QAction::triggered,
                     &delegate, &AppDelegate::captureTextAction);
    QObject::connect(
        addItem(*menu, "Scrolling Capture  (region)", "スクロールで撮る  （範囲選択）"),
        &QAction::triggered, &delegate, &AppDelegate::scrollCaptureAction);
    QObject::connect(addItem(*menu, "Open Save Folder", "保存先を開く"), &QAction::triggered,
                     &delegate, &AppDelegate::openStore);
    menu->addSeparator();
    QAction* library = addItem(*menu, "Library…", "ライブラリ…");
    library->setIcon(QIcon::fromTheme(QStringLiteral("image-x-generic")));
    library->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    QObject::connect(library, &QAction::triggered, &delegate, &AppDelegate::showLibrary);
    QAction* settings = addItem(*menu, "Settings…", "設定…");
    settings->setIcon(QIcon::fromTheme(QStringLiteral("preferences-system")));
    // Ctrl+, is a Mac habit, not a Linux one: show the desktop's own key for
    // preferences where it has one (KDE: Ctrl+Shift+,), else none.
    settings->setShortcut(QKeySequence(QKeySequence::Preferences));
    QObject::connect(settings, &QAction::triggered, &delegate, &AppDelegate::openSettings);
    menu->addSeparator();
    QAction* quit = addItem(*menu, "Quit Glimber", "Glimber を終了");
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    QObject::connect(quit, &QAction::triggered, &delegate, &AppDelegate::quit);
    MenuShortcutKeys::install(*menu);
    return menu;
}
