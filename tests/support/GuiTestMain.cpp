// Entry point of the test programs with widgets: a sandboxed home for the whole
// process, and Qt's offscreen platform unless a display was asked for on purpose
// (GLIMBER_TEST_PLATFORM=xcb under Xvfb).
#include "SandboxHome.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    SandboxHome processHome;
    const QByteArray platform = qgetenv("GLIMBER_TEST_PLATFORM");
    qputenv("QT_QPA_PLATFORM", platform.isEmpty() ? QByteArray("offscreen") : platform);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
