#include "StatusWindow.h"

#include "AppIcon.h"
#include "AppLocale.h"
#include "WindowPlacement.h"

#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QToolButton>
#include <QVBoxLayout>

StatusWindow::StatusWindow(QMenu& statusMenu) {
    setWindowTitle(QStringLiteral("Glimber"));
    setWindowIcon(AppIcon::icon());
    auto* layout = new QVBoxLayout(this);
    auto* note = new QLabel(AppLocale::text(
        "Glimber is running. No system tray was found, so its menu is here. Closing this "
        "window keeps Glimber running; start Glimber again to bring the window back.",
        "Glimber は動いています。システムトレイが見つからないため、メニューをここに表示しています。"
        "このウィンドウを閉じても Glimber は動き続けます。もう一度 Glimber "
        "を起動するとこのウィンドウが戻ります。"));
    note->setWordWrap(true);
    // A fixed width for the text and a window sized to its contents: a wrapped
    // label only reports its true height for a known width.
    note->setFixedWidth(360);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(note);
    for (QAction* action : statusMenu.actions()) {
        if (action->isSeparator()) {
            auto* line = new QFrame;
            line->setFrameShape(QFrame::HLine);
            line->setFrameShadow(QFrame::Sunken);
            layout->addWidget(line);
            continue;
        }
        auto* button = new QToolButton;
        button->setDefaultAction(action);
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        layout->addWidget(button);
    }
}

void StatusWindow::present() {
    adjustSize();
    WindowPlacement::placeOnActiveScreen(*this);
    show();
    raise();
    activateWindow();
}
