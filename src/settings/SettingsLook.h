#pragma once

class QWidget;

// The few text styles the settings window uses beside the desktop's own.
namespace SettingsLook {

// The dimmer text colour of values and notes, taken from the widget's palette
// so it follows light and dark themes.
void makeSecondary(QWidget& widget);

// The widget's font at `factor` times its size: 0.85 for captions, 1.6 for a title.
void scaleFont(QWidget& widget, double factor, bool bold = false);

} // namespace SettingsLook
