// glimber: the tray program. A start while Glimber runs hands its command line
// to the running one and ends; only the first start opens a display at all.
#include "AppCommand.h"
#include "AppCommandLine.h"
#include "AppDelegate.h"
#include "AppIcon.h"
#include "AppLocale.h"
#include "ProcessMemory.h"
#include "SingleInstance.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>

namespace {

void perform(AppDelegate& delegate, const QStringList& request) {
    if (request.isEmpty())
        return delegate.presentStatusWindow();
    if (const AppCommand* command = findAppCommand(request.first()))
        command->run(delegate, request.value(1));
}

} // namespace

int main(int argc, char** argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const AppCommandLine commandLine = AppCommandLine::parse(arguments);
    if (commandLine.kind == AppCommandLine::Kind::help) {
        std::fputs(qPrintable(AppCommandLine::usage()), stdout);
        return 0;
    }
    if (commandLine.kind == AppCommandLine::Kind::usageError) {
        std::fprintf(stderr, "glimber: %s\n%s", qPrintable(commandLine.error),
                     qPrintable(AppCommandLine::usage()));
        return 2;
    }

    if (commandLine.kind == AppCommandLine::Kind::request && commandLine.request.size() == 2) {
        const QString reason =
            findAppCommand(commandLine.request[0])->refusal(commandLine.request[1]);
        if (!reason.isEmpty()) {
            std::fprintf(stderr, "glimber: cannot open %s: %s\n", qPrintable(arguments.value(1)),
                         qPrintable(reason));
            return 1;
        }
    }

    SingleInstance instance;
    if (!instance.claim()) {
        if (instance.send(commandLine.request))
            return 0;
        std::fputs("glimber: the running Glimber does not answer\n", stderr);
        return 1;
    }

    // The tray program lives for days and decodes pictures now and then; what
    // it held for them goes back to the system when the library closes.
    ProcessMemory::returnLargeBlocksAtOnce();
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("glimvault"));
    QApplication::setApplicationName(QStringLiteral("Glimber"));
    AppLocale::translateQtTexts();
    QApplication::setDesktopFileName(QStringLiteral("glimber"));
    QApplication::setWindowIcon(AppIcon::icon());
    AppDelegate delegate;
    QObject::connect(&instance, &SingleInstance::requestReceived, &delegate,
                     [&delegate](const QStringList& request) { perform(delegate, request); });
    QTimer::singleShot(0, &delegate, [&] {
        delegate.applicationDidFinishLaunching();
        instance.listen();
        // The first start performs its own command too, once launched; a plain
        // first start has nothing to show.
        if (!commandLine.request.isEmpty())
            perform(delegate, commandLine.request);
    });
    return app.exec();
}
