#pragma once

#include <QMenu>

#include <memory>

class AppDelegate;

// The tray icon's menu, built once at launch: the three captures, the save
// folder, the library and the settings, and Quit.
std::unique_ptr<QMenu> buildStatusMenu(AppDelegate& delegate);
