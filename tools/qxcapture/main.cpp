// qxcapture: the interactive capture tool. X11 gets a frozen overlay of its
// own; every other platform goes through the desktop portal. Exit status 0
// with the PNG written, 1 when the user cancelled (or another capture is
// choosing on this display), 2 when nothing could be written (the reason on
// standard error); only status 0 leaves a file.
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
        if (!selection.start()) {
            std::fputs("qxcapture: there is no screen to capture\n", stderr);
            return 2;
        }
        return app.exec();
    }
    PortalCapture capture(arguments->outputPath);
    capture.start();
    return app.exec();
}
