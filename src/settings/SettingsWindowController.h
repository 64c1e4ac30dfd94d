#pragma once

#include "DesktopShortcutState.h"

#include <QDialog>

#include <functional>
#include <memory>

class SettingsView;

// Owns the one settings window. It is made at the first show() and kept:
// closing only hides it, and the next show() brings back the same window with
// whatever its controls held, saved or not.
class SettingsWindowController {
public:
    // `onSave` runs after every successful save, before the window closes;
    // `shortcuts` tells, at every showing, how the desktop's shortcuts stand.
    explicit SettingsWindowController(
        std::function<void()> onSave,
        std::function<DesktopShortcutState()> shortcuts = [] { return DesktopShortcutState{}; });
    ~SettingsWindowController();

    // Shows the window on the screen under the pointer (at its first showing)
    // and brings it and the program to the front.
    void show();

    // The window and its content, once shown.
    QDialog* window() const { return window_.get(); }
    SettingsView* view() const { return view_; }

private:
    std::function<void()> onSave_;
    std::function<DesktopShortcutState()> shortcuts_;
    std::unique_ptr<QDialog> window_;
    SettingsView* view_ = nullptr;
};
