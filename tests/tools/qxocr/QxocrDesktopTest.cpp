#include "QxocrProcess.h"
#include "SandboxHome.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

// A whole screen: a plain desktop with a light terminal of log lines, their
// times aligned row under row (Tesseract's layout cuts such lines at the
// colons), and a dark window.
TEST(QxocrDesktopTest, ReadsEveryWindowOfAWholeScreenWithTheTimesOfALogWhole) {
    SandboxHome home;
    QImage screen(2560, 1440, QImage::Format_RGB32);
    screen.fill(QColor(0x2e, 0x5a, 0x7e));
    QPainter painter(&screen);
    painter.fillRect(1200, 100, 900, 300, Qt::white);
    QFont mono(QStringLiteral("DejaVu Sans Mono"));
    mono.setPixelSize(13);
    painter.setFont(mono);
    const QStringList log{"2024-03-14 09:12:01 INFO  backup started for volume archive7",
                          "2024-03-14 09:12:05 INFO  copied 1832 files to harbour",
                          "2024-03-14 09:13:44 WARN  disk quota at 91 percent",
                          "2024-03-14 09:14:02 ERROR connection refused by mirror-east",
                          "2024-03-14 09:14:03 INFO  retrying in 30 seconds",
                          "2024-03-14 09:14:33 INFO  backup finished with 1 warning"};
    for (qsizetype i = 0; i < log.size(); ++i)
        painter.drawText(1204, 116 + 15 * int(i), log[i]);
    const QStringList phrases{"09:12:01 INFO", "09:12:05 INFO", "09:13:44 WARN", "09:14:02 ERROR",
                              "Network settings"};
    painter.fillRect(300, 800, 600, 200, QColor(0x24, 0x24, 0x24));
    QFont sans(QStringLiteral("DejaVu Sans"));
    sans.setPixelSize(15);
    painter.setFont(sans);
    painter.setPen(QColor(0xee, 0xee, 0xee));
    painter.drawText(330, 850, phrases.back());
    painter.end();
    const QString path = home.file(QStringLiteral("desktop.png"));
    ASSERT_TRUE(screen.save(path));
    const QString text =
        QxocrProcess::run(QStringList{path}).lineFor(path).value("text").toString();
    for (const QString& phrase : phrases)
        EXPECT_TRUE(text.contains(phrase))
            << phrase.toStdString() << " not in " << text.toStdString();
}
