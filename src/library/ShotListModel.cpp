#include "ShotListModel.h"

#include "AppLocale.h"
#include "ShotMimeData.h"
#include "ShotRowText.h"
#include "ThumbnailCache.h"

#include <algorithm>

ShotListModel::ShotListModel(ThumbnailCache& cache, QObject* parent)
    : QAbstractListModel(parent)
    , cache_(cache) {}

void ShotListModel::setShots(QList<Shot> shots, const QStringList& searched) {
    const bool sameRows = std::equal(shots_.begin(), shots_.end(), shots.begin(), shots.end(),
                                     [](const Shot& a, const Shot& b) { return a.id == b.id; });
    QList<RowText> texts;
    texts.reserve(shots.size());
    for (const Shot& shot : shots)
        texts.append(
            {ShotRowText::dateLine(shot.takenAt), ShotRowText::ocrExcerpt(shot.ocrText, searched)});
    // A new result may name a file that has been mended since it failed.
    failed_.clear();
    if (sameRows) {
        shots_ = std::move(shots);
        texts_ = std::move(texts);
        if (!shots_.isEmpty())
            Q_EMIT dataChanged(index(0), index(int(shots_.size()) - 1));
        return;
    }
    beginResetModel();
    shots_ = std::move(shots);
    texts_ = std::move(texts);
    endResetModel();
}

std::optional<int> ShotListModel::rowOf(std::optional<qint64> id) const {
    if (!id)
        return std::nullopt;
    for (qsizetype row = 0; row < shots_.size(); ++row) {
        if (shots_[row].id == *id)
            return int(row);
    }
    return std::nullopt;
}

void ShotListModel::setThumbnailEdge(int pixels) {
    if (pixels == thumbnailEdge_)
        return;
    thumbnailEdge_ = pixels;
    failed_.clear();
    if (!shots_.isEmpty())
        Q_EMIT dataChanged(index(0), index(int(shots_.size()) - 1), {ThumbnailRole});
}

int ShotListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(shots_.size());
}

QVariant ShotListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= shots_.size())
        return {};
    const Shot& shot = shots_[index.row()];
    switch (role) {
    case Qt::DisplayRole:
        return shot.filename;
    case ShotRole:
        return QVariant::fromValue(shot);
    case DateRole:
        return texts_[index.row()].date;
    case ExcerptRole:
        return texts_[index.row()].excerpt.text;
    case ExcerptHitsRole:
        return QVariant::fromValue(texts_[index.row()].excerpt.hits);
    case ThumbnailRole:
        return thumbnail(shot);
    case ThumbnailFailedRole:
        return failed_.contains(shot.path);
    case CaptionRole:
        // Found by a word one letter off, which may be another word altogether.
        return shot.match == ShotMatch::near ? AppLocale::text("Similar text", "似たテキスト")
                                             : QString();
    default:
        return {};
    }
}

QVariant ShotListModel::thumbnail(const Shot& shot) const {
    if (std::optional<QImage> image = cache_.cached(shot.path, thumbnailEdge_))
        return *image;
    if (failed_.contains(shot.path) || requested_.contains(shot.path))
        return {};
    requested_.insert(shot.path);
    auto* self = const_cast<ShotListModel*>(this);
    cache_.image(shot.path, thumbnailEdge_, self, [self, path = shot.path](const QImage& image) {
        self->thumbnailArrived(path, image);
    });
    // A hit has already answered inside the call above.
    if (std::optional<QImage> image = cache_.cached(shot.path, thumbnailEdge_))
        return *image;
    return {};
}

void ShotListModel::thumbnailArrived(const QString& path, const QImage& image) {
    requested_.remove(path);
    if (image.isNull())
        failed_.insert(path);
    for (qsizetype row = 0; row < shots_.size(); ++row) {
        if (shots_[row].path == path)
            Q_EMIT dataChanged(index(int(row)), index(int(row)),
                               {ThumbnailRole, ThumbnailFailedRole});
    }
}

Qt::ItemFlags ShotListModel::flags(const QModelIndex& index) const {
    return QAbstractListModel::flags(index) |
           (index.isValid() ? Qt::ItemIsDragEnabled : Qt::NoItemFlags);
}

QStringList ShotListModel::mimeTypes() const {
    return ShotMimeData::offeredFormats();
}

QMimeData* ShotListModel::mimeData(const QModelIndexList& indexes) const {
    if (indexes.isEmpty() || indexes.first().row() >= shots_.size())
        return nullptr;
    return new ShotMimeData(shots_[indexes.first().row()].path);
}
