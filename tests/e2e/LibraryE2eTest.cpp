// A person finds a screenshot by a word in it: the real glimber indexes a shot
// with the real OCR helper, the library finds it, Return copies it and "Show in
// Folder" asks the desktop's file manager (a fake on the test's bus) to show it.
#include "GlimberDesktopTest.h"
#include "HeadlessDesktop.h"

#include <QDBusConnection>
#include <QDir>
#include <QFile>
#include <QTest>
#include <QUrl>

namespace {

// Stands in for a file manager on the session bus and remembers what it was asked to show.
class FakeFileManager : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")

public:
    FakeFileManager() {
        QDBusConnection bus = QDBusConnection::sessionBus();
        registered = bus.registerService("org.freedesktop.FileManager1") &&
                     bus.registerObject("/org/freedesktop/FileManager1", this,
                                        QDBusConnection::ExportAllSlots);
    }
    ~FakeFileManager() override {
        QDBusConnection bus = QDBusConnection::sessionBus();
        bus.unregisterObject("/org/freedesktop/FileManager1");
        bus.unregisterService("org.freedesktop.FileManager1");
    }

    bool registered = false;
    QStringList shown;

public Q_SLOTS:
    void ShowItems(const QStringList& uris, const QString&) { shown += uris; }
};

class LibraryE2e : public GlimberDesktopTest {
protected:
    void SetUp() override { ASSERT_TRUE(HeadlessDesktop::current().startTray()); }
    void TearDown() override {
        HeadlessDesktop::current().stopTray();
        GlimberDesktopTest::TearDown();
    }
    static void keys(const QStringList& names) {
        runToEnd("xdotool", QStringList{"key", "--delay", "60"} + names);
    }
};

TEST_F(LibraryE2e, TypedWordFindsTheShotReturnCopiesItShowInFolderUsesAFakeFileManager) {
    if (!QFile::exists(RunningProgram::path("qxocr")))
        GTEST_SKIP() << "needs the OCR helper qxocr, which is not built";
    FakeFileManager fileManager;
    ASSERT_TRUE(fileManager.registered);
    showTextWindow("Glimber finds pelicans");
    const QImage seen = screenPixels(textWindowRect());
    textWindow.reset();
    const QString shot = saveFolder() + "/Glimber 2026-01-02-10-00-00.png";
    ASSERT_TRUE(QDir().mkpath(saveFolder()) && seen.save(shot));

    const auto glimber = startGlimber();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return runToEnd(RunningProgram::path("qxc"), {"search", "pelicans"})
                .contains(QFile::encodeName(shot));
        },
        30'000))
        << "the OCR helper read the shot";

    int exitCode = -1;
    runToEnd(RunningProgram::path("glimber"), {"--library"}, &exitCode);
    ASSERT_EQ(exitCode, 0);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            for (const QRect& window : x.windowsOf("glimber"))
                if (window.width() >= 720 && window.height() >= 480)
                    return true;
            return false;
        },
        10'000))
        << "the library window opened";
    QTest::qWait(500);
    runToEnd("xdotool", {"type", "--delay", "60", "pelic"});
    QTest::qWait(800); // past the pause in typing that starts the search
    keys({"Down", "Return"});
    QImage pasted;
    ASSERT_TRUE(QTest::qWaitFor([&] { return !(pasted = clipboardImage()).isNull(); }, 10'000));
    EXPECT_EQ(pasted.convertToFormat(QImage::Format_RGB32),
              seen.convertToFormat(QImage::Format_RGB32));

    keys({"Tab", "Tab", "Tab", "space"}); // Copy, Annotate…, Show in Folder
    ASSERT_TRUE(QTest::qWaitFor([&] { return !fileManager.shown.isEmpty(); }, 10'000));
    EXPECT_EQ(fileManager.shown, QStringList{QUrl::fromLocalFile(shot).toString()});
}

} // namespace

#include "LibraryE2eTest.moc"
