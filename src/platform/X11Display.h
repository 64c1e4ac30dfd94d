#pragma once

// Whether the X server that DISPLAY names takes a connection. Qt's own
// platform would abort the program when it does not.
namespace X11Display {

bool answers();

} // namespace X11Display
