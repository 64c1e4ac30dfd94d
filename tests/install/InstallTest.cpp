// The installed layout, as a package or `cmake --install` leaves it: programs
// in libexec/glimber, links in bin, and nothing that points back at the build.
#include "SandboxHome.h"
#include "TestImages.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct Outcome {
    int exitCode = -1;
    QString out;
};

Outcome run(const QString& program, const QStringList& arguments,
            const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    if (!process.waitForFinished(180'000))
        return {};
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError())};
}

class Installed : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        destination_ = new QTemporaryDir;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("DESTDIR", destination_->path());
        const Outcome install =
            run(CMAKE_COMMAND, {"--install", GLIMBER_BUILD_DIR, "--prefix", "/usr"}, environment);
        ASSERT_EQ(install.exitCode, 0) << install.out.toStdString();
    }
    static void TearDownTestSuite() { delete destination_; }

    static QString file(const QString& relative) {
        return destination_->path() + QStringLiteral("/usr/") + relative;
    }

    static QTemporaryDir* destination_;
};

QTemporaryDir* Installed::destination_ = nullptr;

TEST_F(Installed, ProgramsLiveTogetherAndBinHoldsLinksToTheTwoPeopleStart) {
    for (const char* program : {"glimber", "qxc", "qxocr", "qxcapture", "qxscroll"})
        EXPECT_TRUE(QFileInfo(file(QStringLiteral("libexec/glimber/") + program)).isExecutable())
            << program;
    for (const char* program : {"glimber", "qxc"}) {
        const QFileInfo link(file(QStringLiteral("bin/") + program));
        EXPECT_TRUE(link.isSymLink()) << program;
        EXPECT_EQ(link.symLinkTarget(), file(QStringLiteral("libexec/glimber/") + program));
    }
    EXPECT_EQ(run(file("bin/glimber"), {"--help"}).exitCode, 0) << "qxc runs in the next test";
}

TEST_F(Installed, QxcThroughItsLinkFindsTheInstalledHelperAndTheText) {
    SandboxHome home;
    const QString captures = home.file(".glimvault/captures");
    ASSERT_TRUE(QDir().mkpath(captures));
    ASSERT_TRUE(TestImages::text({"Quarterly invoice"})
                    .save(captures + "/Glimber 2026-01-05-10-00-00.png"));
    ASSERT_TRUE(
        TestImages::text({"Payment received"}).save(captures + "/Glimber 2026-01-05-10-01-00.png"));
    const Outcome ocr = run(file("bin/qxc"), {"ocr"});
    EXPECT_EQ(ocr.exitCode, 0) << ocr.out.toStdString();
    EXPECT_TRUE(ocr.out.contains("2 new, 2 recognised")) << ocr.out.toStdString();
    EXPECT_EQ(run(file("bin/qxc"), {"search", "invoice"}).out,
              captures + "/Glimber 2026-01-05-10-00-00.png\n");
}

TEST_F(Installed, DesktopFilesValidateAndNothingPointsAtTheBuildTree) {
    for (const char* entry :
         {"glimber.desktop", "glimber-annotate.desktop", "glimber-capture.desktop"}) {
        const Outcome valid =
            run("desktop-file-validate", {file(QStringLiteral("share/applications/") + entry)});
        EXPECT_EQ(valid.exitCode, 0) << entry;
        EXPECT_EQ(valid.out, QString()) << entry;
    }
    QFile capture(file("share/applications/glimber-capture.desktop"));
    ASSERT_TRUE(capture.open(QIODevice::ReadOnly));
    EXPECT_TRUE(capture.readAll().contains("Exec=/usr/libexec/glimber/qxcapture -i %f"))
        << "KWin knows the capture tool by its installed path";
    const Outcome valid =
        run("appstreamcli",
            {"validate", "--no-net", file("share/metainfo/net.glimvault.Glimber.metainfo.xml")});
    EXPECT_EQ(valid.exitCode, 0) << valid.out.toStdString();
    for (const char* page : {"glimber.1.gz", "qxc.1.gz"})
        EXPECT_TRUE(QFileInfo::exists(file(QStringLiteral("share/man/man1/") + page))) << page;
    QDirIterator files(destination_->path(), QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        QFile installed(files.next());
        ASSERT_TRUE(installed.open(QIODevice::ReadOnly));
        const QByteArray content = installed.readAll();
        if (!content.startsWith("\x7f"
                                "ELF")) // programs may keep the build path in their debug data
            EXPECT_FALSE(content.contains(GLIMBER_BUILD_DIR)) << installed.fileName().toStdString();
    }
}

} // namespace
