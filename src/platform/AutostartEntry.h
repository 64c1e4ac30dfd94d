#pragma once

#include <QString>

// The XDG autostart entry that starts the program at login:
// $XDG_CONFIG_HOME/autostart/glimber.desktop (~/.config/autostart by default),
// which every freedesktop session honours.
namespace AutostartEntry {

QString path();

// The entry exists and neither hides nor disables itself (a session's settings
// switch an entry off that way rather than deleting it).
bool isEnabled();

// The program the entry's Exec line starts, unquoted; empty without an entry.
QString program();

// Writes an entry that starts `executable`; false with `error` set on failure.
// It names the icon only when the desktop's icon theme can find it (an installed
// Glimber), since a panel shows nothing better than a missing-icon sign.
bool install(const QString& executable, QString* error);

// Removes the entry; false with `error` set on failure.
bool remove(QString* error);

} // namespace AutostartEntry
