#include "SettingsWindowController.h"

#include "AppLocale.h"
#include "GeneralSettingsView.h"
#include "SettingsView.h"
#include "WindowPlacement.h"

#include <QVBoxLayout>

SettingsWindowController::SettingsWindowController(std::function<void()> onSave,
                                                   std::function<DesktopShortcutState()> shortcuts)
    : onSave_(std::move(onSave))
    , shortcuts_(std::move(shortcuts)) {}

SettingsWindowController::~SettingsWindowController() = default;

void SettingsWindowController::show() {
    if (!window_) {
        // A dialog, so that Return presses the default button (Save); shown
        // without modality, like any other window of the program.
        window_ = std::make_unique<QDialog>(nullptr, Qt::Window | Qt::WindowTitleHint |
                                                         Qt::WindowCloseButtonHint);
        window_->setWindowTitle(AppLocale::text("Glimber Settings", "Glimber 設定"));
        view_ = new SettingsView;
        auto* layout = new QVBoxLayout(window_.get());
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(view_);
        layout->setSizeConstraint(QLayout::SetFixedSize);
        QObject::connect(view_, &SettingsView::saved, window_.get(), [this] {
            onSave_();
            window_->close();
        });
        window_->adjustSize();
        WindowPlacement::placeOnActiveScreen(*window_);
    }
    view_->general().showDesktopShortcuts(shortcuts_());
    window_->adjustSize();
    window_->show();
    window_->raise();
    window_->activateWindow();
}
