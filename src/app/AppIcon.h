#pragma once

#include <QIcon>

// Glimber's own icon, drawn from the SVG that is also installed for the
// desktop's application menu.
namespace AppIcon {

QIcon icon();

} // namespace AppIcon
