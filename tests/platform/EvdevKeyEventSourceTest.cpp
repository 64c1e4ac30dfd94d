#include "EvdevKeyEventSource.h"

#include "SandboxHome.h"
#include "TestFiles.h"

#include <QDir>

#include <gtest/gtest.h>

namespace {

TEST(EvdevKeyEventSource, CannotStartWithoutAKeyboardItMayRead) {
    SandboxHome home;
    QDir().mkpath(home.file("input"));
    EXPECT_FALSE(EvdevKeyEventSource(home.file("input")).start()) << "no devices at all";
    // Nodes that are no input devices, or that this user may not read.
    TestFiles::write(home.file("input/event0"), "not a device");
    TestFiles::write(home.file("input/event1"));
    QFile::setPermissions(home.file("input/event1"), QFile::WriteOwner);
    EXPECT_FALSE(EvdevKeyEventSource(home.file("input")).start());
    EXPECT_FALSE(EvdevKeyEventSource(home.file("missing")).start());
}

} // namespace
