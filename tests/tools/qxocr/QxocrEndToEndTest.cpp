#include "SandboxHome.h"
#include "TestImages.h"

#include <QDir>
#include <QProcess>

#include <gtest/gtest.h>

namespace {

struct Output {
    int exitCode = -1;
    QString text;
};

// A real qxc from the build, with the sandboxed home of this test.
Output qxc(const QStringList& arguments) {
    QProcess process;
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(QStringLiteral(GLIMBER_BIN_DIR "/qxc"), arguments);
    EXPECT_TRUE(process.waitForFinished(180'000));
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput())};
}

} // namespace

TEST(QxocrEndToEndTest, QxcFindsCapturedShotsByEnglishAndJapaneseWords) {
    SandboxHome home;
    const QString captures = home.file(QStringLiteral(".glimvault/captures"));
    ASSERT_TRUE(QDir().mkpath(captures));
    const QString english = captures + QStringLiteral("/Glimber 2026-01-05-10-00-00.png");
    const QString japanese = captures + QStringLiteral("/Glimber 2026-01-05-10-01-00.png");
    ASSERT_TRUE(
        TestImages::text({QStringLiteral("Quarterly invoice"), QStringLiteral("Payment received")})
            .save(english));
    TestImages::TextStyle style;
    style.family = QStringLiteral("Noto Sans CJK JP");
    ASSERT_TRUE(TestImages::text({QStringLiteral("請求書を送信しました")}, style).save(japanese));

    const Output ocr = qxc({QStringLiteral("ocr")});
    EXPECT_EQ(ocr.exitCode, 0);
    EXPECT_EQ(ocr.text, QStringLiteral("2 new, 2 recognised, 0 pending, 0 unreadable\n"));

    EXPECT_EQ(qxc({QStringLiteral("search"), QStringLiteral("invoice")}).text, english + u'\n');
    EXPECT_EQ(qxc({QStringLiteral("search"), QStringLiteral("PAYMENT")}).text, english + u'\n');
    EXPECT_EQ(qxc({QStringLiteral("search"), QStringLiteral("請求書")}).text, japanese + u'\n');
    EXPECT_EQ(qxc({QStringLiteral("search"), QStringLiteral("送信")}).text, japanese + u'\n');
}
