#include "QtPrinters.h"
#include "QxocrProcess.h"
#include "SandboxHome.h"
#include "TestImages.h"

#include <QPainter>

#include <gtest/gtest.h>

namespace {

const QString japaneseFont = QStringLiteral("Noto Sans CJK JP");

struct Sample {
    QString name;
    QImage picture;
    QStringList words;
    bool exact = false; // the text must be the words, one per line, in this order
};

// Tesseract refuses pictures taller than 32767 pixels: a long scrolling capture
// is read in pieces.
QImage tooTallForTesseract(const QStringList& lines) {
    QImage tall = TestImages::filled(400, 34000, Qt::white);
    QPainter painter(&tall);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(20);
    painter.setFont(font);
    for (int i = 0; i < lines.size(); ++i)
        painter.drawText(20, 40 + i * 16960, lines[i]);
    return tall;
}

// More lines than Tesseract reads at once: the page goes in bands, and every
// line must come out once, in order.
QStringList transferLog() {
    QStringList lines;
    for (int i = 1; i <= 150; ++i)
        lines.append(QStringLiteral("Entry %1 of the transfer log").arg(i));
    return lines;
}

// What real screenshots hold and rendered pages do not: lines of `family` text
// at `pixelSize`, the first one in `firstInk`, on a `panel` rectangle inside
// white; the part `crop` of it.
QImage screen(const QString& family, int pixelSize, QColor panel, QColor firstInk,
              const QStringList& lines, QRect crop = {}) {
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

// Buttons and list rows with a coloured icon just before the word, round,
// rounded and square with a hole, as dialogs draw them.
QImage besideIcons(const QStringList& words) {
    QImage picture(360, 20 + 40 * int(words.size()), QImage::Format_RGB32);
    picture.fill(QColor(0xf6, 0xf5, 0xf4));
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(13);
    painter.setFont(font);
    const QColor colours[] = {QColor(0xd3, 0x2f, 0x2f), QColor(0x19, 0x76, 0xd2),
                              QColor(0x38, 0x8e, 0x3c), QColor(0x7b, 0x1f, 0xa2)};
    constexpr int side = 16;
    for (int i = 0; i < int(words.size()); ++i) {
        const QRect icon(20, 16 + 40 * i, side, side);
        painter.setPen(Qt::NoPen);
        painter.setBrush(colours[i % 4]);
        if (i % 3 == 0) {
            painter.drawEllipse(icon);
        } else if (i % 3 == 1) {
            painter.drawRoundedRect(icon, 3, 3);
        } else {
            painter.drawRect(icon);
            painter.setBrush(Qt::white);
            painter.drawEllipse(icon.adjusted(4, 4, -4, -4));
        }
        painter.setPen(Qt::black);
        painter.drawText(icon.right() + 5, icon.bottom() - 2, words[i]);
    }
    return picture;
}

// A docked panel whose title stands in light letters on a bar darker than
// its window, in a light theme or a dark one; a line of the window's own text
// below, and a row of check boxes before labels in `boxedLabels`.
QImage titledPanel(const QString& title, bool darkTheme, const QStringList& boxedLabels) {
    const QColor window = darkTheme ? QColor(0x45, 0x45, 0x45) : QColor(0xf2, 0xf2, 0xf2);
    const QColor text = darkTheme ? QColor(0xdc, 0xdc, 0xdc) : QColor(0x20, 0x20, 0x20);
    QImage picture(360, 60 + 28 * int(boxedLabels.size()), QImage::Format_RGB32);
    picture.fill(window);
    QPainter painter(&picture);
    const QRect bar(0, 0, picture.width(), 22);
    painter.fillRect(bar, darkTheme ? QColor(0x26, 0x26, 0x26) : QColor(0x3a, 0x3c, 0x40));
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(12);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(QColor(0xe8, 0xe8, 0xe8));
    painter.drawText(bar, Qt::AlignCenter, title);
    font.setBold(false);
    font.setFamily(japaneseFont);
    font.setPixelSize(13);
    painter.setFont(font);
    for (int i = 0; i < int(boxedLabels.size()); ++i) {
        const QRect box(14, 38 + 28 * i, 14, 14);
        painter.setPen(darkTheme ? QColor(0x90, 0x90, 0x90) : QColor(0x8a, 0x8a, 0x8a));
        painter.setBrush(darkTheme ? QColor(0x30, 0x30, 0x30) : Qt::white);
        painter.drawRoundedRect(box, 2, 2);
        painter.setPen(text);
        painter.drawText(box.right() + 9, box.bottom(), boxedLabels[i]);
    }
    return picture;
}

QList<Sample> samples() {
    const TestImages::TextStyle japanese{20, Qt::black, Qt::white, false, japaneseFont};
    const QStringList tallLines{"Topmost heading", "Middle section", "Bottom footer"};
    const QString sans = QStringLiteral("DejaVu Sans"), mono = QStringLiteral("DejaVu Sans Mono");
    const QStringList menu{"Paste Special", "Delete Selection", "Duplicate Line"};
    return {
        {"plain",
         TestImages::text({"Quarterly invoice overview"}),
         {"Quarterly", "invoice", "overview"}},
        {"small",
         TestImages::text({"Download finished", "Open folder"}, {11}),
         {"Download", "finished", "folder"}},
        {"dark",
         TestImages::text({"Network settings"},
                          {20, QColor(0xdd, 0xdd, 0xdd), QColor(0x25, 0x25, 0x28)}),
         {"Network", "settings"}},
        {"selected",
         screen(sans, 14, QColor(0x2f, 0x6f, 0xd6), Qt::white, {"Selected account"}),
         {"Selected", "account"}},
        {"japanese",
         TestImages::text({"請求書を送信しました", "環境設定"}, japanese),
         {"請求書", "送信", "環境設定"}},
        // A column of short labels (cut from a dark-mode list) in which sparse-text
        // layout finds nothing at all.
        {"japanese-column",
         QImage(QStringLiteral(QXOCR_TEST_DATA "/japanese-label-column.png")),
         {"状態", "送信", "接続", "設定", "発送"}},
        // Short kanji words between numbers, which the English model reads as Latin gibberish.
        {"japanese-table",
         TestImages::text({"住所 部署 4799 完了", "閉じる 見積書 43473 請求書",
                           "開く 請求書 51456 部署", "言語 口座 25578 残高"},
                          {15, Qt::black, Qt::white, false, japaneseFont}),
         {"部署", "見積書", "請求書", "残高"}},
        {"japanese-small",
         TestImages::text({"ファイル 編集 表示 ヘルプ"},
                          {12, Qt::black, Qt::white, false, japaneseFont}),
         {"ファイル", "編集", "ヘルプ"}},
        {"long", TestImages::text(transferLog(), {14}), transferLog(), true},
        {"tall", tooTallForTesseract(tallLines), tallLines, true},
        // A mid-grey menu with a dim item beside a white margin.
        {"grey-menu", screen(sans, 13, QColor(0xb7, 0xb7, 0xb7), QColor(0x80, 0x80, 0x80), menu),
         menu},
        // Disabled items of a grey menu, drawn hardly darker than it.
        {"disabled-menu",
         screen(japaneseFont, 13, QColor(0xb7, 0xb7, 0xb7), QColor(0x9a, 0x9a, 0x9a),
                {"元に戻す(U)", "貼り付け(P)"}),
         {"元に戻す(U)", "貼り付け(P)"}},
        // Terminal lines that sparse layout reads in pieces.
        {"terminal",
         screen(mono, 13, Qt::white, Qt::black,
                {"row 0002 charlie golf", "2024-03-14 09:12:05 INFO  copied 1832 files"}),
         {"row 0002 charlie golf", "09:12:05 INFO copied 1832 files"}},
        // Icons read as characters of their own, and took first letters with them.
        {"icons",
         besideIcons({"filter", "キャンセル", "Settings", "プリセット(P)", "Delete", "保存"}),
         {"filter", "キャンセル", "Settings", "プリセット(P)", "Delete", "保存"},
         true},
        // Light titles on dark bars; check boxes read as characters before their labels.
        {"title-bar",
         titledPanel("Brushes - Layers", false, {"行番号を表示する", "空白文字を表示する"}),
         {"Brushes - Layers", "行番号を表示する", "空白文字を表示する"},
         true},
        {"title-bar-dark",
         titledPanel("Brushes - Layers", true, {"行末を表示する", "行を折り返す"}),
         {"Brushes - Layers", "行末を表示する", "行を折り返す"},
         true},
        // Letters cut by a tight capture.
        {"tight",
         screen(sans, 22, Qt::white, Qt::black, {"GLIMBER KIWI 4711"}, {42, 18, 220, 20}),
         {"GLIMBER KIWI 4711"}},
    };
}

} // namespace

TEST(QxocrRecognitionTest, FindsEnglishAndJapaneseWordsOnScreenshotLikePicturesQuietly) {
    SandboxHome home;
    const QList<Sample> pictures = samples();
    QStringList paths;
    for (const Sample& sample : pictures) {
        paths.append(home.file(sample.name + ".png"));
        ASSERT_TRUE(sample.picture.save(paths.last()));
    }
    const QxocrProcess::Run run = QxocrProcess::run(paths);
    ASSERT_EQ(run.lines.size(), pictures.size()) << run.output.toStdString();
    for (qsizetype i = 0; i < pictures.size(); ++i) {
        SCOPED_TRACE(pictures[i].name.toStdString());
        const QString text = run.lineFor(paths[i]).value("text").toString();
        if (pictures[i].exact) {
            EXPECT_EQ(text.split('\n'), pictures[i].words);
            continue;
        }
        for (const QString& word : pictures[i].words)
            EXPECT_TRUE(text.contains(word, Qt::CaseInsensitive))
                << "no \"" << word.toStdString() << "\" in \"" << text.toStdString() << "\"";
    }
    // Standard error carries none of Tesseract's chatter, nor the resolution it would guess.
    EXPECT_TRUE(run.errors.isEmpty()) << run.errors.toStdString();
}
