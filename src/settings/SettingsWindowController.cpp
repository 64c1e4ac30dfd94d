#include "SettingsWindowController.h"

#include "AppLocale.h"
#include "SettingsView.h"
#include "WindowPlacement.h"

#include <QVBoxLayout>

SettingsWindowController::SettingsWindowController(std::function<void()> onSave)
    : onSave_(std::move(onSave)) {}

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
    window_->show();
    window_->raise();
    window_->activateWindow();
}
