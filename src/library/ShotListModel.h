#pragma once

#include "Shot.h"
#include "ShotRowText.h"

#include <QAbstractListModel>
#include <QImage>
#include <QList>
#include <QSet>

#include <optional>

class ThumbnailCache;

// The rows of the shot list: one shot each, with its row texts and, once the
// cache has made it, its thumbnail. Thumbnails are asked for only when a row is
// painted, so only the rows on screen cost a decode; each arrival repaints its row.
class ShotListModel : public QAbstractListModel {
    Q_OBJECT

public:
    enum Role {
        ShotRole = Qt::UserRole + 1,
        DateRole,
        ExcerptRole,
        ExcerptHitsRole,     // QList<std::pair<int, int>>: where the searched words stand
        ThumbnailRole,       // QImage, invalid until it arrived
        ThumbnailFailedRole, // bool: the file gave no picture
        CaptionRole,         // a word on how the search found it, or nothing
    };

    explicit ShotListModel(ThumbnailCache& cache, QObject* parent = nullptr);

    const QList<Shot>& shots() const { return shots_; }
    // Replaces the rows, whose excerpts show where `searched` (the words of the
    // query that found them) stand. Views reset only when the sequence of ids
    // changed; else the rows keep their place and just repaint with the new texts.
    void setShots(QList<Shot> shots, const QStringList& searched = {});
    // The row of the shot with this id; none when absent or not listed.
    std::optional<int> rowOf(std::optional<qint64> id) const;

    // Thumbnails are asked for at this many pixels (160 points times the
    // screen's device pixel ratio).
    void setThumbnailEdge(int pixels);
    int thumbnailEdge() const { return thumbnailEdge_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;

private:
    struct RowText {
        QString date;
        ShotRowText::Excerpt excerpt;
    };

    QVariant thumbnail(const Shot& shot) const;
    void thumbnailArrived(const QString& path, const QImage& image);

    ThumbnailCache& cache_;
    QList<Shot> shots_;
    QList<RowText> texts_;
    int thumbnailEdge_ = 160;
    // Paths asked for and not answered yet, and paths that gave no picture.
    mutable QSet<QString> requested_;
    QSet<QString> failed_;
};
