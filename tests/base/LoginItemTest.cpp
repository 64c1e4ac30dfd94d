#include "LoginItem.h"

#include "AutostartEntry.h"
#include "ExecutableLocation.h"
#include "SandboxHome.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

QString entryText() {
    return QString::fromUtf8(TestFiles::read(AutostartEntry::path()));
}

TEST(LoginItem, AnAutostartEntryStartsTheTrayProgramUntilItIsRemoved) {
    SandboxHome home;
    EXPECT_EQ(AutostartEntry::path(), home.file(".config/autostart/glimber.desktop"));
    EXPECT_FALSE(LoginItem::isEnabled());
    LoginItem::setEnabled(true);
    EXPECT_TRUE(LoginItem::isEnabled());
    const QString text = entryText();
    EXPECT_TRUE(text.startsWith("[Desktop Entry]\n"));
    EXPECT_TRUE(text.contains("\nType=Application\n"));
    EXPECT_TRUE(text.contains(QRegularExpression("\nExec=\"/[^\"]*/glimber\"\n")))
        << text.toStdString();
    EXPECT_TRUE(text.contains("\nTryExec=" + AutostartEntry::program() + "\n"))
        << "sessions skip the entry once the program is gone";
    LoginItem::setEnabled(false);
    EXPECT_FALSE(QFile::exists(AutostartEntry::path()));
    EXPECT_NO_THROW(LoginItem::setEnabled(false)) << "harmless when it is gone";
    // A file where the autostart folder should be: the caller reports the failure.
    ASSERT_TRUE(QDir(home.file(".config/autostart")).removeRecursively());
    TestFiles::write(home.file(".config/autostart"), "in the way");
    EXPECT_THROW(LoginItem::setEnabled(true), LoginItemError);
}

TEST(LoginItem, EntrySwitchedOffByTheSessionCountsAsOffAndIsWrittenAnew) {
    SandboxHome home;
    for (const char* switchedOff : {"Hidden=true", "X-GNOME-Autostart-enabled=false"}) {
        TestFiles::write(AutostartEntry::path(),
                         QByteArray("[Desktop Entry]\nType=Application\nExec=glimber\n") +
                             switchedOff + "\n");
        EXPECT_FALSE(LoginItem::isEnabled()) << switchedOff;
        LoginItem::setEnabled(true);
        EXPECT_TRUE(LoginItem::isEnabled()) << switchedOff;
    }
    // Keys of other groups do not count.
    TestFiles::write(AutostartEntry::path(),
                     "[Desktop Entry]\nExec=glimber\n[Desktop Action x]\nHidden=true\n");
    EXPECT_TRUE(LoginItem::isEnabled());
}

TEST(LoginItem, AnEntryWhoseProgramMovedAwayIsPointedHereAgainOthersAreLeftAlone) {
    SandboxHome home;
    TestFiles::write(AutostartEntry::path(), "[Desktop Entry]\nType=Application\n"
                                             "Exec=\"/gone/build folder/bin/glimber\"\n");
    LoginItem::mendIfMoved();
    EXPECT_EQ(AutostartEntry::program(), QDir(ExecutableLocation::directory()).filePath("glimber"));
    EXPECT_TRUE(LoginItem::isEnabled());
    for (const QByteArray& entry : {
             QByteArray("[Desktop Entry]\nExec=/bin/sh\n"),                        // still there
             QByteArray("[Desktop Entry]\nExec=glimber\n"),                        // found on PATH
             QByteArray("[Desktop Entry]\nExec=\"/gone/glimber\"\nHidden=true\n"), // switched off
         }) {
        TestFiles::write(AutostartEntry::path(), entry);
        LoginItem::mendIfMoved();
        EXPECT_EQ(TestFiles::read(AutostartEntry::path()), entry);
    }
}

TEST(AutostartEntry, ExecLineQuotesTheReservedCharactersOfAPathAndReadsItBack) {
    SandboxHome home;
    QString error;
    // A tab or line break would otherwise go into the file raw.
    const QString program = R"(/opt/My "Apps"/$HOME/100%/a\b/)" + QString("tab\there/glimber");
    ASSERT_TRUE(AutostartEntry::install(program, &error));
    EXPECT_EQ(AutostartEntry::program(), program);
    // Quoted for the Exec syntax ("\"", "\$", "\\"), then every backslash
    // doubled for the file's string syntax; "%" doubled as no field code.
    EXPECT_TRUE(
        entryText().contains(R"(Exec="/opt/My \\"Apps\\"/\\$HOME/100%%/a\\\\b/tab\there/glimber")"))
        << entryText().toStdString();
}

} // namespace
