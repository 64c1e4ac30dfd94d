#pragma once

#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

// One screenshot-like picture for the OCR benchmark: real Qt widgets laid out
// like a dialog, a main window, a table, an article or a whole desktop, rendered
// in light or dark colours, at 1x or 2x, with small or large type, in English
// or Japanese.
struct BenchScene {
    enum class Layout { dialog, mainWindow, table, article, desktop };
    enum class Language { english, japanese };

    Layout layout = Layout::dialog;
    Language language = Language::english;
    bool dark = false;
    int scale = 1;
    int fontPx = 12;
    int seed = 0;

    // A file-name friendly description, e.g. "table-ja-dark-2x-11px".
    QString name() const;
};

struct RenderedScene {
    QImage image;
    // Every vocabulary word that is fully visible in the picture, once each.
    QStringList words;
};

namespace BenchScenes {

// Every combination of layout, language, colours, scale and type size.
QList<BenchScene> all();

// Needs a QApplication; the Fusion style keeps the pictures the same everywhere.
RenderedScene render(const BenchScene& scene);

} // namespace BenchScenes
