#pragma once

#include <QString>

// The desktop's file manager.
namespace FileManager {

// Opens a file manager window on the file's folder with the file selected
// (org.freedesktop.FileManager1.ShowItems on the session bus); when no file
// manager answers, opens the folder itself with the desktop's default program.
void showItem(const QString& path);

} // namespace FileManager
