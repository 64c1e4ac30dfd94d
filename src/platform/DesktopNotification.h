#pragma once

#include <QString>

#include <functional>

// A message in the desktop's notification area, through the notification
// service on the session bus (org.freedesktop.Notifications).
namespace DesktopNotification {

// Asks the service to show `title` and `body` (plain text) and returns at
// once. `fallback` runs later on this thread when there is no session bus or
// no service took the notification.
void show(const QString& title, const QString& body, std::function<void()> fallback);

} // namespace DesktopNotification
