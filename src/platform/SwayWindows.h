#pragma once

#include <QByteArray>
#include <QRect>

#include <optional>
#include <vector>

// The windows sway shows, from its IPC socket (SWAYSOCK): what the window
// capture lights up and takes under sway, where no client may ask the
// compositor where other windows are.
namespace SwayWindows {

// The visible windows, topmost first, in the compositor's logical layout,
// borders and title bars included; nothing when sway cannot be asked.
std::optional<std::vector<QRect>> topmostFirst();

// The same, read from the answer to GET_TREE.
std::vector<QRect> fromTree(const QByteArray& json);

} // namespace SwayWindows
