#pragma once

#include <QString>

// Menus show shortcuts as key names joined by "+", "Ctrl+Shift+Z". Short and
// outside any dictionary, the modifier names come out one letter off more often
// than any other word of a menu ("Ctri+", "Ctr+", "Shitt+"), and a search for
// the shortcut misses them.
namespace KeyNames {

// `line` with every word before a "+" that is one letter away from a modifier
// key's name spelt as that name.
QString restore(const QString& line);

} // namespace KeyNames
