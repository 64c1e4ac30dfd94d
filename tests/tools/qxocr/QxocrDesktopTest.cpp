#include "QxocrProcess.h"
#include "SandboxHome.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

void expectHelperReads(const QImage& screen, const QStringList& phrases) {
    SandboxHome home;
    const QString path = home.file(QStringLiteral("desktop.png"));
    ASSERT_TRUE(screen.save(path));
    const QString text =
        QxocrProcess::run(QStringList{path}).lineFor(path).value("text").toString();
    for (const QString& phrase : phrases)
        EXPECT_TRUE(text.contains(phrase))
            << phrase.toStdString() << " not in " << text.toStdString();
}

void drawLogLines(QPainter& painter, int pixelSize, QPoint start, const QStringList& lines) {
    QFont mono(QStringLiteral("DejaVu Sans Mono"));
    mono.setPixelSize(pixelSize);
    painter.setFont(mono);
    const int spacing = pixelSize * 6 / 5;
    for (qsizetype i = 0; i < lines.size(); ++i)
        painter.drawText(start + QPoint(0, spacing * int(i)), lines[i]);
}

} // namespace

// A whole screen: a plain desktop with a light terminal of log lines, their
// times aligned row under row (Tesseract's layout cuts such lines at the
// colons), and a dark window.
TEST(QxocrDesktopTest, ReadsEveryWindowOfAWholeScreenWithTheTimesOfALogWhole) {
    QImage screen(2560, 1440, QImage::Format_RGB32);
    screen.fill(QColor(0x2e, 0x5a, 0x7e));
    QPainter painter(&screen);
    painter.fillRect(1200, 100, 900, 300, Qt::white);
    const QStringList log{"2024-03-14 09:12:01 INFO  backup started for volume archive7",
                          "2024-03-14 09:12:05 INFO  copied 1832 files to harbour",
                          "2024-03-14 09:13:44 WARN  disk quota at 91 percent",
                          "2024-03-14 09:14:02 ERROR connection refused by mirror-east",
                          "2024-03-14 09:14:03 INFO  retrying in 30 seconds",
                          "2024-03-14 09:14:33 INFO  backup finished with 1 warning"};
    drawLogLines(painter, 13, QPoint(1204, 116), log);
    const QStringList phrases{"09:12:01 INFO", "09:12:05 INFO", "09:13:44 WARN", "09:14:02 ERROR",
                              "Network settings"};
    painter.fillRect(300, 800, 600, 200, QColor(0x24, 0x24, 0x24));
    QFont sans(QStringLiteral("DejaVu Sans"));
    sans.setPixelSize(15);
    painter.setFont(sans);
    painter.setPen(QColor(0xee, 0xee, 0xee));
    painter.drawText(330, 850, phrases.back());
    painter.end();
    expectHelperReads(screen, phrases);
}

// A screen at twice the scale with a terminal at the plain scale over an
// editor: the terminal's lines, half the size of the editor's, run on from
// its menu bar and from a dark banner.
TEST(QxocrDesktopTest, ReadsATerminalsSmallTextBesideAnEditorsTextTwiceAsLarge) {
    QImage screen(3200, 1800, QImage::Format_RGB32);
    screen.fill(QColor(0x2d, 0x5a, 0x7b));
    QPainter painter(&screen);
    painter.fillRect(80, 80, 2160, 680, Qt::white);
    painter.fillRect(80, 80, 2160, 70, QColor(0xcf, 0xcf, 0xcf));
    painter.fillRect(80, 155, 2160, 60, QColor(0xbe, 0x22, 0x4c));
    QFont large(QStringLiteral("Noto Sans CJK JP"));
    large.setPixelSize(52);
    painter.setFont(large);
    painter.drawText(92, 130,
                     QStringLiteral("ファイル(F)  編集(E)  検索(S)  表示(V)  文書(D)  ヘルプ(H)"));
    painter.drawText(92, 290, QStringLiteral("会議のメモ  春の計画"));
    painter.drawText(92, 350, QStringLiteral("港のプロジェクトは四月に出荷"));
    painter.setPen(Qt::white);
    painter.drawText(92, 200,
                     QStringLiteral("警告: あなたは root アカウントを使用しています。システム"));
    painter.fillRect(1600, 110, 1300, 580, Qt::white);
    painter.setPen(Qt::black);
    painter.drawRect(1600, 110, 1300, 580);
    const QStringList log{"2024-03-14 09:12:01 情報 バックアップを開始しました",
                          "2024-03-14 09:13:44 警告 ディスクの使用量が上限に近づいています",
                          "2024-03-14 09:14:02 エラー サーバーに接続できません",
                          "2024-03-14 09:14:33 情報 バックアップが完了しました"};
    drawLogLines(painter, 26, QPoint(1604, 136), log);
    painter.end();
    expectHelperReads(screen, {"使用量が上限", "サーバーに接続", "09:14:33", "四月に出荷"});
}
