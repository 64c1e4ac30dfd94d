// What real screenshots hold and rendered pages do not: a mid-grey menu with a
// dim item beside a white margin, terminal lines that sparse layout reads in
// pieces, letters cut by a tight capture.
#include "QxocrProcess.h"
#include "SandboxHome.h"

#include <QPainter>

#include <gtest/gtest.h>

namespace {

struct Screen {
    QString name;
    QImage picture;
    QStringList phrases;
};

// Lines of `family` text at `pixelSize`, the first one in `firstInk`, on a
// `panel` rectangle inside white; the part `crop` of it.
QImage screen(const QString& family, int pixelSize, QColor panel, QColor firstInk,
              const QStringList& lines, QRect crop) {
    QImage picture(420, 40 + 30 * int(lines.size()), QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.fillRect(picture.rect().adjusted(30, 8, -8, -8), panel);
    QFont font(family);
    font.setPixelSize(pixelSize);
    painter.setFont(font);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        painter.setPen(i == 0 ? firstInk : QColor(0x16, 0x16, 0x16));
        painter.drawText(40, 34 + 30 * int(i), lines[i]);
    }
    return crop.isNull() ? picture : picture.copy(crop);
}

} // namespace

TEST(QxocrScreenshotTest, ReadsGreyMenusTerminalLinesAndTightCropsQuietly) {
    const QString sans = QStringLiteral("DejaVu Sans"), mono = QStringLiteral("DejaVu Sans Mono");
    const QStringList menu{"Paste Special", "Delete Selection", "Duplicate Line"};
    const QStringList log{"row 0002 charlie golf", "2024-03-14 09:12:05 INFO  copied 1832 files"};
    const QList<Screen> screens{
        {"grey-menu",
         screen(sans, 13, QColor(0xb7, 0xb7, 0xb7), QColor(0x80, 0x80, 0x80), menu, {}), menu},
        {"terminal",
         screen(mono, 13, Qt::white, Qt::black, log, {}),
         {"row 0002 charlie golf", "09:12:05 INFO copied 1832 files"}},
        {"tight",
         screen(sans, 22, Qt::white, Qt::black, {"GLIMBER KIWI 4711"}, {42, 18, 220, 20}),
         {"GLIMBER KIWI 4711"}},
    };
    SandboxHome home;
    QStringList paths;
    for (const Screen& each : screens) {
        paths.append(home.file(each.name + QStringLiteral(".png")));
        ASSERT_TRUE(each.picture.save(paths.last()));
    }
    const QxocrProcess::Run run = QxocrProcess::run(paths);
    ASSERT_EQ(run.lines.size(), screens.size()) << run.output.toStdString();
    for (const QJsonObject& line : run.lines) {
        const qsizetype i = paths.indexOf(line.value(QStringLiteral("path")).toString());
        SCOPED_TRACE(screens[i].name.toStdString());
        const QString text = line.value(QStringLiteral("text")).toString();
        for (const QString& phrase : screens[i].phrases)
            EXPECT_TRUE(text.contains(phrase, Qt::CaseInsensitive))
                << "no \"" << phrase.toStdString() << "\" in \"" << text.toStdString() << "\"";
    }
    // Standard error carries none of Tesseract's chatter, nor the resolution it would guess.
    EXPECT_TRUE(run.errors.isEmpty()) << run.errors.toStdString();
}
