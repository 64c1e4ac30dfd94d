#pragma once

#include "HotkeyModifier.h"

#include <QString>

#include <stdexcept>

// A folder that a save would make the program write into, but that it cannot
// use; what() is a sentence for the user.
class SettingsFolderError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// What the settings window edits: the three folders as stored (empty means the
// default), the trigger key, the hold threshold, automatic OCR, the notification
// after each capture and the start at login. A plain value; the window keeps one and changes it as
// the controls move.
struct SettingsForm {
    QString captures;
    QString source;
    QString cloud;
    HotkeyModifier modifier = HotkeyModifier::rightShift;
    double holdThreshold = 0.4; // seconds
    bool autoOcr = true;
    bool notifyAfterCapture = true;
    bool launchAtLogin = false;

    // The configuration as stored, folders unresolved, and whether the program
    // is registered to start at login.
    static SettingsForm stored();

    // Writes every value: first the folders are checked, so that nothing is
    // written when a folder cannot be used; then cloud, captures, source,
    // hotkey, autoOcr, notifyAfterCapture and the login item, in this order. The first failure
    // stops the sequence and the steps before it stay written. Throws
    // SettingsFolderError, ConfigWriteError or LoginItemError.
    void save() const;
};
