#include "LoginItem.h"

#include "AutostartEntry.h"
#include "ExecutableLocation.h"

#include <QDir>
#include <QFileInfo>

namespace LoginItem {

namespace {

QString thisProgram() {
    return QDir(ExecutableLocation::directory()).filePath(QStringLiteral("glimber"));
}

} // namespace

void setEnabled(bool enabled) {
    const bool registered = AutostartEntry::isEnabled();
    QString error;
    if (enabled && !registered && !AutostartEntry::install(thisProgram(), &error))
        throw LoginItemError(error.toStdString());
    if (!enabled && registered && !AutostartEntry::remove(&error))
        throw LoginItemError(error.toStdString());
}

bool isEnabled() {
    return AutostartEntry::isEnabled();
}

void mendIfMoved() {
    if (!AutostartEntry::isEnabled())
        return;
    const QString program = AutostartEntry::program();
    if (program.isEmpty() || QFileInfo::exists(program) || !program.startsWith(QLatin1Char('/')))
        return;
    QString ignored;
    AutostartEntry::install(thisProgram(), &ignored);
}

} // namespace LoginItem
