#include "ShotMimeData.h"

#include "ImageDecoder.h"

#include <QUrl>

namespace {

const QString imageFormat = QStringLiteral("application/x-qt-image");

} // namespace

ShotMimeData::ShotMimeData(QString path)
    : path_(std::move(path)) {
    setUrls({QUrl::fromLocalFile(path_)});
}

QStringList ShotMimeData::offeredFormats() {
    return {QStringLiteral("text/uri-list"), imageFormat};
}

QStringList ShotMimeData::formats() const {
    return offeredFormats();
}

bool ShotMimeData::hasFormat(const QString& mimeType) const {
    return offeredFormats().contains(mimeType);
}

QVariant ShotMimeData::retrieveData(const QString& mimeType, QMetaType type) const {
    if (mimeType == imageFormat)
        return ImageDecoder::read(path_);
    return QMimeData::retrieveData(mimeType, type);
}
