#pragma once

#include <QString>

namespace ExecutableLocation {

// Folder holding the running program's executable file, without a trailing slash.
// Helper programs are looked up here, beside whoever starts them.
QString directory();

} // namespace ExecutableLocation
