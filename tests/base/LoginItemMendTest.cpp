#include "AutostartEntry.h"
#include "ExecutableLocation.h"
#include "LoginItem.h"
#include "SandboxHome.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

QString thisGlimber() {
    return QDir(ExecutableLocation::directory()).filePath("glimber");
}

TEST(LoginItemMend, AnEntryWhoseProgramMovedAwayIsPointedHereAgain) {
    SandboxHome home;
    TestFiles::write(AutostartEntry::path(),
                     "[Desktop Entry]\nType=Application\n"
                     "Exec=\"/gone/build folder/bin/glimber\"\nIcon=glimber\n");
    EXPECT_EQ(AutostartEntry::program(), "/gone/build folder/bin/glimber");
    LoginItem::mendIfMoved();
    EXPECT_EQ(AutostartEntry::program(), thisGlimber());
    EXPECT_TRUE(LoginItem::isEnabled());
}

TEST(LoginItemMend, EntriesThatStillWorkOrAreSwitchedOffAreLeftAlone) {
    SandboxHome home;
    const QByteArray cases[] = {
        "[Desktop Entry]\nExec=/bin/sh\n",                        // still there
        "[Desktop Entry]\nExec=glimber\n",                        // found on PATH
        "[Desktop Entry]\nExec=\"/gone/glimber\"\nHidden=true\n", // switched off
    };
    for (const QByteArray& entry : cases) {
        SCOPED_TRACE(entry.toStdString());
        TestFiles::write(AutostartEntry::path(), entry);
        LoginItem::mendIfMoved();
        QFile file(AutostartEntry::path());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), entry);
    }
}

TEST(LoginItemMend, WrittenEntriesReadBackTheirProgramWhateverItsName) {
    SandboxHome home;
    for (const QString& program : {QString("/opt/a b/glimber"), QString("/x/\"q\"$`\\%/glimber")}) {
        QString error;
        ASSERT_TRUE(AutostartEntry::install(program, &error)) << error.toStdString();
        EXPECT_EQ(AutostartEntry::program(), program);
    }
}

} // namespace
