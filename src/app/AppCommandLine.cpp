#include "AppCommandLine.h"

#include "AppCommand.h"

#include <QFileInfo>

namespace {

AppCommandLine usageError(const QString& message) {
    return {AppCommandLine::Kind::usageError, {}, message};
}

} // namespace

AppCommandLine AppCommandLine::parse(const QStringList& arguments) {
    if (arguments.isEmpty())
        return {};
    const QString& option = arguments.first();
    if (option == QLatin1String("--help") || option == QLatin1String("-h"))
        return {Kind::help, {}, {}};
    const AppCommand* command =
        option.startsWith(QLatin1String("--")) ? findAppCommand(option.mid(2)) : nullptr;
    if (!command)
        return usageError(QStringLiteral("unknown option %1").arg(option));
    const qsizetype expected = command->takesPath ? 2 : 1;
    if (arguments.size() != expected || (command->takesPath && arguments[1].isEmpty()))
        return usageError(command->takesPath
                              ? QStringLiteral("%1 takes one path").arg(option)
                              : QStringLiteral("%1 takes nothing after it").arg(option));
    if (!command->takesPath)
        return {Kind::request, {command->name}, {}};
    return {Kind::request, {command->name, QFileInfo(arguments[1]).absoluteFilePath()}, {}};
}

QString AppCommandLine::usage() {
    QString text = QStringLiteral("usage: glimber [OPTION]\n"
                                  "Starts Glimber in the tray, or hands the option to the Glimber\n"
                                  "that is running already.\n\n");
    for (const AppCommand& command : appCommands()) {
        const QString option = QStringLiteral("--") + command.name +
                               (command.takesPath ? QStringLiteral(" PATH") : QString());
        text += QStringLiteral("  %1  %2\n").arg(option, -22).arg(command.description);
    }
    text += QStringLiteral("  %1  %2\n").arg(QStringLiteral("--help"), -22).arg("show this help");
    return text;
}
