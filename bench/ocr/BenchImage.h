#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// One picture of the benchmark set and, when known, the words shown in it.
struct BenchImage {
    QString path;
    QString language; // "en", "ja", or empty when the words are unknown
    QString group;    // e.g. "ja 1x 11px dark"
    QStringList words;
};

namespace BenchImages {

// Renders every scene (or one in four with `quick`) into `folder` as PNG
// files, each with a "NAME.words" file listing its words.
QList<BenchImage> render(const QString& folder, bool quick);

// The images already in `folder`; words come from "NAME.words" files where present.
QList<BenchImage> load(const QString& folder);

} // namespace BenchImages
