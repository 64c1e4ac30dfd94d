#include "ShotActions.h"

#include "FileManager.h"
#include "ImageDecoder.h"
#include "RequestGenerations.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QUrl>
#include <QtConcurrent>

namespace ShotActions {

// Copying A and then B must leave B on the clipboard even when A's larger file
// is read after B's, or B is a text.
RequestGenerations& copies() {
    static RequestGenerations generations;
    return generations;
}

QFuture<bool> copyToClipboard(const Shot& shot) {
    const quint64 generation = copies().start();
    return QtConcurrent::run(&ImageDecoder::read, shot.path)
        .then(qApp, [generation](const QImage& image) {
            if (image.isNull() || !copies().isLatest(generation))
                return false;
            QGuiApplication::clipboard()->setImage(image);
            return true;
        });
}

bool copyText(const Shot& shot) {
    copies().start();
    if (!shot.ocrText || shot.ocrText->isEmpty())
        return false;
    QGuiApplication::clipboard()->setText(*shot.ocrText);
    return true;
}

void showInFolder(const Shot& shot) {
    FileManager::showItem(shot.path);
}

void open(const Shot& shot) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(shot.path));
}

} // namespace ShotActions
