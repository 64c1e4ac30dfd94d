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

QFuture<bool> copyToClipboard(const Shot& shot) {
    // Copying A and then B must leave B on the clipboard even when A's larger
    // file is read after B's.
    static RequestGenerations copies;
    const quint64 generation = copies.start();
    return QtConcurrent::run(&ImageDecoder::read, shot.path)
        .then(qApp, [generation](const QImage& image) {
            if (image.isNull() || !copies.isLatest(generation))
                return false;
            QGuiApplication::clipboard()->setImage(image);
            return true;
        });
}

void showInFolder(const Shot& shot) {
    FileManager::showItem(shot.path);
}

void open(const Shot& shot) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(shot.path));
}

} // namespace ShotActions
