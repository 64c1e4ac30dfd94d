#pragma once

#include <QMimeData>
#include <QString>

// A shot dragged out of the list: its file, as a file manager offers one, and
// its picture for programs that take only images. The picture is read only if
// the drop target asks for it.
class ShotMimeData : public QMimeData {
    Q_OBJECT

public:
    explicit ShotMimeData(QString path);

    static QStringList offeredFormats();

    QStringList formats() const override;
    bool hasFormat(const QString& mimeType) const override;

protected:
    QVariant retrieveData(const QString& mimeType, QMetaType type) const override;

private:
    QString path_;
};
