#include "PortalCapture.h"

#include "PngFile.h"

#include <QCoreApplication>

PortalCapture::PortalCapture(QString outputPath)
    : outputPath_(std::move(outputPath)) {
    connect(&portal_, &ScreenshotPortal::finished, this,
            [this](const std::optional<QString>& file) {
                if (!file)
                    return QCoreApplication::exit(1);
                QCoreApplication::exit(PngFile::adopt(*file, outputPath_) ? 0 : 2);
            });
}

void PortalCapture::start() {
    portal_.request();
}
