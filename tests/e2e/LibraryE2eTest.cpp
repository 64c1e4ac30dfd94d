// A person finds a screenshot by a word in it: the real glimber indexes a shot
// with the real OCR helper, the library finds it, Return copies it and "Show in
// Folder" asks a fake file manager on the test's bus to show it.
#include "FakeDBusService.h"
#include "GlimberDesktopTest.h"

#include <QUrl>

namespace {

class LibraryE2e : public GlimberTrayTest {};

// `xdotool type` or `key`, slowly enough for the window to follow.
void xdotool(const char* command, const QStringList& keys) {
    runToEnd("xdotool", QStringList{command, "--delay", "60"} + keys);
}

TEST_F(LibraryE2e, TypedWordFindsTheShotReturnCopiesItShowInFolderUsesAFakeFileManager) {
    FakeDBusService fileManager("org.freedesktop.FileManager1", "/org/freedesktop/FileManager1");
    ASSERT_TRUE(fileManager.registered());
    showTextWindow("Glimber finds pelicans");
    const QImage seen = screenPixels(textWindowRect());
    textWindow.reset();
    const QString shot = saveFolder() + "/Glimber 2026-01-02-10-00-00.png";
    ASSERT_TRUE(QDir().mkpath(saveFolder()) && seen.save(shot));

    const auto glimber = startGlimber();
    ASSERT_TRUE(qxcFinds("pelicans", shot)) << "the OCR helper read the shot";
    ASSERT_EQ(tellGlimber({"--library"}), 0);
    ASSERT_EQ(glimberWindows(2).size(), 2u) << "the library window opened beside the tray icon";
    QTest::qWait(500);
    xdotool("type", {"pelic"});
    QTest::qWait(800); // past the pause in typing that starts the search
    xdotool("key", {"Down", "Return"});
    EXPECT_EQ(clipboardImage(), seen);

    xdotool("key",
            {"Tab", "Tab", "Tab", "Tab", "space"}); // Copy, Copy Text, Annotate…, Show in Folder
    ASSERT_TRUE(QTest::qWaitFor([&] { return !fileManager.calls.isEmpty(); }, 10'000));
    EXPECT_EQ(fileManager.calls.first().value(0),
              QStringList{QUrl::fromLocalFile(shot).toString()});
}

} // namespace
