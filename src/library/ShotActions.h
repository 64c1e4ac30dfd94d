#pragma once

#include "Shot.h"

#include <QFuture>

// What the library does with a shot.
namespace ShotActions {

// Puts the shot's picture, read from its file at full size, on the clipboard as
// a capture does. The file is read off the main thread; when it cannot be read
// the clipboard keeps what it had. Of copies asked for in quick succession only
// the last one lands. The result says whether this copy landed.
QFuture<bool> copyToClipboard(const Shot& shot);

// Puts the shot's recognised text on the clipboard as plain UTF-8 text, its
// lines kept; false, the clipboard untouched, when it has none.
bool copyText(const Shot& shot);

// The file selected in a file manager window; its folder when no file manager answers.
void showInFolder(const Shot& shot);

// The file in the desktop's default program for its type.
void open(const Shot& shot);

} // namespace ShotActions
