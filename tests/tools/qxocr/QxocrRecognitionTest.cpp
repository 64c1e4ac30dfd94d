#include "QxocrProcess.h"
#include "SandboxHome.h"
#include "TestImages.h"
#include "TextRecognizer.h"

#include <QPainter>

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
