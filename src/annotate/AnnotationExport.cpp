#include "AnnotationExport.h"

#include "AnnotationRenderer.h"
#include "AppLocale.h"
#include "ConfigStore.h"

#include <QBuffer>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageWriter>

#include <optional>

namespace AnnotationExport {

namespace {

QString failed() {
    return AppLocale::text("Failed to save", "保存に失敗しました");
}

std::optional<QByteArray> encodePng(const QImage& image) {
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(image) || data.isEmpty())
        return std::nullopt;
    return data;
}

QString baseName(const QString& sourcePath) {
    const QFileInfo info(sourcePath);
    const QString base = info.completeBaseName();
    // A name such as ".hidden" has no extension to drop.
    return base.isEmpty() ? info.fileName() : base;
}

// Creates the first free name exclusively, so that two saves racing for the
// same name cannot both get it. Returns the name, or nothing when the folder
// cannot take a new file.
std::optional<QString> createFreeFile(QFile& file, const QString& folder, const QString& base) {
    QString name = base + QStringLiteral("-annotated.png");
    for (int n = 2;; ++n) {
        file.setFileName(QDir(folder).filePath(name));
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return name;
        if (!QFileInfo::exists(file.fileName()))
            return std::nullopt;
        name = base + QStringLiteral("-annotated-%1.png").arg(n);
    }
}

} // namespace

QString copyAnnotated(const AnnotationDoc& doc) {
    QGuiApplication::clipboard()->setImage(AnnotationRenderer::render(doc));
    return AppLocale::text("Copied", "コピーしました");
}

QString save(const AnnotationDoc& doc, const QString& sourcePath) {
    return saveInto(doc, sourcePath, ConfigStore::resolveCaptureDir());
}

QString saveInto(const AnnotationDoc& doc, const QString& sourcePath, const QString& folder) {
    const std::optional<QByteArray> png = encodePng(AnnotationRenderer::render(doc));
    if (!png)
        return failed();
    QDir().mkpath(folder);
    QFile file;
    const std::optional<QString> name = createFreeFile(file, folder, baseName(sourcePath));
    if (!name)
        return failed();
    const bool written = file.write(*png) == png->size() && file.flush();
    file.close();
    if (!written || file.error() != QFileDevice::NoError) {
        file.remove();
        return failed();
    }
    return AppLocale::text("Saved: ", "保存: ") + *name;
}

} // namespace AnnotationExport
