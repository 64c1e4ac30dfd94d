// qxcapture: the interactive capture tool. X11 gets a frozen overlay of its
// own; every other platform goes through the desktop portal.
#include "OverlayLock.h"
#include "OverlaySelection.h"
#include "PngFile.h"
#include "PortalCapture.h"
#include "QxcaptureArguments.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char** argv) {
    QStringList raw;
    for (int i = 1; i < argc; ++i)
        raw.append(QString::fromLocal8Bit(argv[i]));
    const std::optional<QxcaptureArguments> arguments = QxcaptureArguments::parse(raw);
    if (!arguments) {
        std::fputs(qPrintable(QxcaptureArguments::usage()), stderr);
        return 2;
    }
    QApplication app(argc, argv);
    // The overlay must not end the program when it hides before the file is written.
    app.setQuitOnLastWindowClosed(false);
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        OverlayLock lock;
        if (!lock.claim()) {
            std::fputs("qxcapture: another capture is already choosing on this display\n", stderr);
            return 1;
        }
        OverlaySelection selection(arguments->window ? CaptureOverlay::Mode::window
                                                     : CaptureOverlay::Mode::region);
        QObject::connect(&selection, &OverlaySelection::chosen, [&](const QRect& native) {
            const bool written =
                PngFile::write(selection.desktop().crop(native), arguments->outputPath);
            QCoreApplication::exit(written ? 0 : 2);
        });
        QObject::connect(&selection, &OverlaySelection::cancelled,
                         [] { QCoreApplication::exit(1); });
        return selection.start() ? app.exec() : 2;
    }
    PortalCapture capture(arguments->outputPath);
    capture.start();
    return app.exec();
}
