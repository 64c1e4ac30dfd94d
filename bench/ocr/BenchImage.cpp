#include "BenchImage.h"

#include "BenchScene.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace BenchImages {

namespace {

const char* const wordsSuffix = ".words";

// Rendered pictures are named "layout-language-colours-scale-size", e.g.
// "table-ja-dark-2x-11px"; the group leaves out the layout.
QString groupOf(const QString& baseName) {
    const QStringList parts = baseName.split(u'-');
    if (parts.size() != 5)
        return {};
    return QStringList{parts[1], parts[3], parts[4], parts[2]}.join(u' ');
}

QStringList readWords(const QString& imagePath) {
    QFile file(QFileInfo(imagePath).path() + u'/' + QFileInfo(imagePath).completeBaseName() +
               QLatin1String(wordsSuffix));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

void writeWords(const QString& imagePath, const QStringList& words) {
    QFile file(QFileInfo(imagePath).path() + u'/' + QFileInfo(imagePath).completeBaseName() +
               QLatin1String(wordsSuffix));
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(words.join(u'\n').toUtf8() + '\n');
}

} // namespace

QList<BenchImage> render(const QString& folder, bool quick) {
    QDir().mkpath(folder);
    const QList<BenchScene> scenes = BenchScenes::all();
    for (qsizetype i = 0; i < scenes.size(); ++i) {
        const BenchScene& scene = scenes[i];
        // A quarter that still covers every scale and type size.
        if (quick && i % 4 != int(scene.layout) % 4)
            continue;
        const RenderedScene rendered = BenchScenes::render(scene);
        const QString path = folder + u'/' + scene.name() + QStringLiteral(".png");
        rendered.image.save(path);
        writeWords(path, rendered.words);
    }
    return load(folder);
}

QList<BenchImage> load(const QString& folder) {
    QList<BenchImage> images;
    const QStringList names =
        QDir(folder).entryList({"*.png", "*.jpg", "*.jpeg", "*.gif", "*.heic", "*.tiff", "*.webp"},
                               QDir::Files, QDir::Name);
    for (const QString& name : names) {
        BenchImage image{QDir(folder).absoluteFilePath(name), {}, {}, {}};
        image.words = readWords(image.path);
        image.group = groupOf(QFileInfo(name).completeBaseName());
        if (!image.words.isEmpty() && !image.group.isEmpty())
            image.language = image.group.section(u' ', 0, 0);
        images.append(image);
    }
    return images;
}

} // namespace BenchImages
