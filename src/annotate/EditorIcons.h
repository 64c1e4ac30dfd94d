#pragma once

#include <QColor>
#include <QIcon>

#include <optional>

// The pictures of the editor's buttons: the desktop's icon theme where it has
// one, else drawn here, so that every button shows a picture on a bare system.
namespace EditorIcons {

enum class Symbol {
    select,
    crop,
    text,
    line,
    arrow,
    rectangle,
    circle,
    pixellate,
    trash,
    zoomOut,
    zoomIn,
    undo,
    redo
};

// In `ink` when drawn here; a themed picture keeps its own colours unless a
// `tint` recolours it (drawn pictures take the tint as their ink).
QIcon icon(Symbol symbol, const QColor& ink, std::optional<QColor> tint = std::nullopt);

} // namespace EditorIcons
