#include "LoginItem.h"

#include "AutostartEntry.h"
#include "ExecutableLocation.h"

#include <QDir>

namespace LoginItem {

void setEnabled(bool enabled) {
    const bool registered = AutostartEntry::isEnabled();
    QString error;
    if (enabled && !registered &&
        !AutostartEntry::install(QDir(ExecutableLocation::directory()).filePath("glimber"), &error))
        throw LoginItemError(error.toStdString());
    if (!enabled && registered && !AutostartEntry::remove(&error))
        throw LoginItemError(error.toStdString());
}

bool isEnabled() {
    return AutostartEntry::isEnabled();
}

} // namespace LoginItem
