#pragma once

#include "DesktopShortcutState.h"
#include "SettingsForm.h"

#include <QWidget>

#include <functional>
#include <vector>

class ElidedLabel;
class QLabel;
class QPushButton;

// The first tab of the settings window: the save, scan and cloud folders, the
// trigger key and its hold threshold, automatic OCR and the start at login.
// Edits stay in the form until Save writes them all.
class GeneralSettingsView : public QWidget {
    Q_OBJECT

public:
    // Reads the stored configuration once; later changes on disk are not shown.
    explicit GeneralSettingsView(QWidget* parent = nullptr);

    // Writes the form. On failure an alert says why, the window stays open
    // and the edits stay in it.
    void save();

    // A folder chooser that puts the chosen folder into `field`; cancelling
    // changes nothing.
    void chooseFolder(QString SettingsForm::*field, const QString& startAt);

    // Under Wayland, how the desktop's shortcuts stand, in the Hotkey section;
    // nothing there when they are not used.
    void showDesktopShortcuts(const DesktopShortcutState& state);

Q_SIGNALS:
    void saved();

private:
    struct PathRow {
        QString SettingsForm::*field;
        ElidedLabel* value;
    };

    QWidget* storageSection();
    QWidget* hotkeySection();
    QWidget* pathRow(const char* english, const char* japanese, QString SettingsForm::*field,
                     bool allowClear, std::function<QString()> startDir);
    void showPaths();
    void showFailure(const QString& reason);

    SettingsForm form_;
    std::vector<PathRow> pathRows_;
    QLabel* holdThresholdLabel_ = nullptr;
    QLabel* desktopShortcuts_ = nullptr;
    QPushButton* changeShortcuts_ = nullptr;
    std::function<void()> configureShortcuts_;
};
