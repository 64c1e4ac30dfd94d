#include "QxocrProcess.h"
#include "SandboxHome.h"
#include "TestImages.h"
#include "TextRecognizer.h"

#include <QHeaderView>
#include <QPainter>
#include <QTableWidget>

#include <gtest/gtest.h>

namespace {

const QString japaneseFont = QStringLiteral("Noto Sans CJK JP");

struct Sample {
    QString name;
    QImage picture;
    QStringList words;
};

QImage whiteOnBlue(const QString& line) {
    TestImages::TextStyle style;
    style.pixelSize = 14;
    style.ink = Qt::white;
    style.paper = QColor(0x2f, 0x6f, 0xd6);
    const QImage bar = TestImages::text({line}, style);
    QImage window(bar.width() + 80, bar.height() + 80, QImage::Format_RGB32);
    window.fill(QColor(0xef, 0xef, 0xef));
    QPainter(&window).drawImage(40, 40, bar);
    return window;
}

// Short kanji words between numbers, which the English model reads as Latin gibberish.
QImage japaneseTable() {
    QTableWidget table(4, 4);
    QFont font(japaneseFont);
    font.setPixelSize(15);
    table.setFont(font);
    table.setHorizontalHeaderLabels({QStringLiteral("住所"), QStringLiteral("単価"),
                                     QStringLiteral("期限"), QStringLiteral("氏名")});
    const QStringList cells{"住所",  "部署",   "4799",  "完了",   "閉じる", "見積書",
                            "43473", "請求書", "開く",  "請求書", "51456",  "部署",
                            "言語",  "口座",   "25578", "残高"};
    for (int i = 0; i < cells.size(); ++i)
        table.setItem(i / 4, i % 4, new QTableWidgetItem(cells[i]));
    table.resizeColumnsToContents();
    table.resize(360, 200);
    table.setAttribute(Qt::WA_DontShowOnScreen);
    table.show();
    QImage picture(table.size(), QImage::Format_RGB32);
    table.render(&picture);
    return picture;
}

QList<Sample> samples() {
    TestImages::TextStyle plain;
    TestImages::TextStyle small;
    small.pixelSize = 11;
    TestImages::TextStyle dark;
    dark.ink = QColor(0xdd, 0xdd, 0xdd);
    dark.paper = QColor(0x25, 0x25, 0x28);
    TestImages::TextStyle japanese;
    japanese.family = japaneseFont;
    TestImages::TextStyle smallJapanese = japanese;
    smallJapanese.pixelSize = 12;
    return {
        {QStringLiteral("plain"),
         TestImages::text({QStringLiteral("Quarterly invoice overview")}, plain),
         {QStringLiteral("Quarterly"), QStringLiteral("invoice"), QStringLiteral("overview")}},
        {QStringLiteral("small"),
         TestImages::text({QStringLiteral("Download finished"), QStringLiteral("Open folder")},
                          small),
         {QStringLiteral("Download"), QStringLiteral("finished"), QStringLiteral("folder")}},
        {QStringLiteral("dark"),
         TestImages::text({QStringLiteral("Network settings")}, dark),
         {QStringLiteral("Network"), QStringLiteral("settings")}},
        {QStringLiteral("selected"),
         whiteOnBlue(QStringLiteral("Selected account")),
         {QStringLiteral("Selected"), QStringLiteral("account")}},
        {QStringLiteral("japanese"),
         TestImages::text({QStringLiteral("請求書を送信しました"), QStringLiteral("環境設定")},
                          japanese),
         {QStringLiteral("請求書"), QStringLiteral("送信"), QStringLiteral("環境設定")}},
        // A column of short labels (cut from a dark-mode list) in which sparse-text
        // layout finds nothing at all.
        {QStringLiteral("japanese-column"),
         QImage(QStringLiteral(QXOCR_TEST_DATA "/japanese-label-column.png")),
         {QStringLiteral("状態"), QStringLiteral("送信"), QStringLiteral("接続"),
          QStringLiteral("設定"), QStringLiteral("発送")}},
        {QStringLiteral("japanese-table"),
         japaneseTable(),
         {QStringLiteral("部署"), QStringLiteral("見積書"), QStringLiteral("請求書"),
          QStringLiteral("残高")}},
        {QStringLiteral("japanese-small"),
         TestImages::text({QStringLiteral("ファイル 編集 表示 ヘルプ")}, smallJapanese),
         {QStringLiteral("ファイル"), QStringLiteral("編集"), QStringLiteral("ヘルプ")}},
    };
}

} // namespace

TEST(QxocrRecognitionTest, FindsEnglishAndJapaneseWordsOnScreenshotLikePictures) {
    SandboxHome home;
    const QList<Sample> pictures = samples();
    QStringList paths;
    for (const Sample& sample : pictures) {
        paths.append(home.file(sample.name + QStringLiteral(".png")));
        ASSERT_TRUE(sample.picture.save(paths.last()));
    }
    const QxocrProcess::Run run = QxocrProcess::run(paths);
    ASSERT_EQ(run.lines.size(), pictures.size()) << run.output.toStdString();
    for (qsizetype i = 0; i < pictures.size(); ++i) {
        QString text;
        for (const QJsonObject& line : run.lines) {
            if (line.value(QStringLiteral("path")).toString() == paths[i])
                text = line.value(QStringLiteral("text")).toString();
        }
        for (const QString& word : pictures[i].words)
            EXPECT_TRUE(text.contains(word, Qt::CaseInsensitive))
                << pictures[i].name.toStdString() << ": no \"" << word.toStdString() << "\" in \""
                << text.toStdString() << "\"";
    }
}

// With the setting at 0 Tesseract puts spaces between Japanese words, and a
// search for a phrase across them fails.
TEST(QxocrRecognitionTest, EngineKeepsInterwordSpacesAsTheyAre) {
    TextRecognizer recognizer;
    QString error;
    ASSERT_TRUE(recognizer.load(error)) << error.toStdString();
    EXPECT_EQ(recognizer.setting("preserve_interword_spaces"), QStringLiteral("1"));
    EXPECT_EQ(recognizer.setting("tessedit_pageseg_mode"), QStringLiteral("11"));
}

// A page with more lines than Tesseract reads at once goes in bands: every line
// must come out, once, in order.
TEST(QxocrRecognitionTest, ReadsALongCaptureInOrder) {
    SandboxHome home;
    QStringList lines;
    for (int i = 1; i <= 150; ++i)
        lines.append(QStringLiteral("Entry %1 of the transfer log").arg(i));
    TestImages::TextStyle style;
    style.pixelSize = 14;
    const QString path = home.file(QStringLiteral("long.png"));
    ASSERT_TRUE(TestImages::text(lines, style).save(path));
    const QxocrProcess::Run run = QxocrProcess::run(QStringList{path});
    ASSERT_EQ(run.lines.size(), 1);
    const QStringList read = run.lines[0].value(QStringLiteral("text")).toString().split(u'\n');
    EXPECT_EQ(read, lines);
}

// Tesseract refuses pictures longer than 32767 pixels; a long scrolling capture
// is read in pieces instead.
TEST(QxocrRecognitionTest, ReadsAPictureTooTallForTesseract) {
    SandboxHome home;
    QImage tall(400, 34000, QImage::Format_RGB32);
    tall.fill(Qt::white);
    QPainter painter(&tall);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(20);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(20, 40, QStringLiteral("Topmost heading"));
    painter.drawText(20, 17000, QStringLiteral("Middle section"));
    painter.drawText(20, 33960, QStringLiteral("Bottom footer"));
    painter.end();
    const QString path = home.file(QStringLiteral("tall.png"));
    ASSERT_TRUE(tall.save(path));
    const QxocrProcess::Run run = QxocrProcess::run(QStringList{path});
    ASSERT_EQ(run.lines.size(), 1);
    EXPECT_EQ(run.lines[0].value(QStringLiteral("text")).toString(),
              QStringLiteral("Topmost heading\nMiddle section\nBottom footer"));
}

TEST(QxocrRecognitionTest, ReadsEveryIndexedFormat) {
    SandboxHome home;
    TestImages::TextStyle style;
    style.pixelSize = 24;
    const QImage picture = TestImages::text({QStringLiteral("Format check")}, style);
    QStringList paths;
    for (const char* format : {"png", "jpg", "tiff", "webp"}) {
        paths.append(home.file(QStringLiteral("sample.") + QLatin1String(format)));
        ASSERT_TRUE(picture.save(paths.last(), format));
    }
    paths.append(home.file(QStringLiteral("sample.gif")));
    TestImages::writeGif(paths.last(), {picture});
    paths.append(home.file(QStringLiteral("sample.heic")));
    TestImages::writeHeic(paths.last(), picture);
    const QxocrProcess::Run run = QxocrProcess::run(paths);
    ASSERT_EQ(run.lines.size(), paths.size());
    for (const QJsonObject& line : run.lines)
        EXPECT_EQ(line.value(QStringLiteral("text")).toString(), QStringLiteral("Format check"))
            << line.value(QStringLiteral("path")).toString().toStdString();
}
