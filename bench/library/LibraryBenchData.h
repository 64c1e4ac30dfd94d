#pragma once

#include <QString>

// The library benchmark's world: real screenshots of programs on a headless
// screen, many shot files made from them, and a shot database of 100,000 rows
// with a couple of thousand characters of text each, all below one folder
// that later runs reuse.
namespace LibraryBenchData {

// Words every row has, and a word only a handful of rows have.
inline constexpr char commonWord[] = "settings";
inline constexpr char rareWord[] = "pelican";
inline constexpr int rowsWithRareWord = 3;

// Shows real windows (documentation in text views, file trees, tables, and the
// X programs xcalc, xclock, xman, xlogo) on the current display and saves the
// whole screen after each arrangement into `folder`. Returns how many.
int makeScreens(const QString& folder);

// Makes `root`/home with `rows` shot files (hard links to variants of the
// screenshots in `screens`) and its indexed database, unless it is there.
// HOME and XDG_CACHE_HOME must already point below `root`.
bool prepare(const QString& root, const QString& screens, int rows);

// The distinct picture files behind the shot files.
QStringList distinctFiles(const QString& root);

} // namespace LibraryBenchData
