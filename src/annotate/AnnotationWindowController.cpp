#include "AnnotationWindowController.h"

#include "AnnotationView.h"
#include "AppLocale.h"
#include "WindowPlacement.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <algorithm>
#include <cmath>

QSize AnnotationWindowController::contentSize(const ScreenRect& frame) {
    return QSize(int(std::lround(std::min(frame.width - 120, 940.0))),
                 int(std::lround(std::min(frame.height - 160, 660.0))));
}

QSize AnnotationWindowController::maximumContentSize(const ScreenRect& frame) {
    const QSize largest(int(std::lround(frame.width)), int(std::lround(frame.height - 40)));
    return largest.expandedTo(minimumContentSize);
}

QString AnnotationWindowController::unreadableReason(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return file.errorString();
    QImageReader reader(&file);
    if (!reader.canRead() || !reader.size().isValid())
        return QStringLiteral("not an image Glimber can read");
    return {};
}

void AnnotationWindowController::open(const QString& path) {
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QImage image = reader.read();
    if (image.isNull()) {
        QApplication::beep();
        return;
    }
    auto* view = new AnnotationView(image, path);
    // Closing discards the editor and everything in it; nothing else refers to it.
    view->setAttribute(Qt::WA_DeleteOnClose);
    view->setWindowTitle(AppLocale::text("Annotate — ", "注釈 — ") + QFileInfo(path).fileName());
    const ScreenRect frame = WindowPlacement::activeScreenVisibleFrame();
    view->setMinimumSize(minimumContentSize);
    view->setMaximumSize(maximumContentSize(frame));
    view->resize(contentSize(frame));
    WindowPlacement::placeOnActiveScreen(*view);
    window_ = view;
    view->show();
    view->raise();
    view->activateWindow();
}
