// Entry point of the end-to-end test programs: a sandboxed home and a headless
// desktop for the whole process, then this process itself as a Qt program on
// that desktop, so that tests can show windows and own the clipboard.
#include "HeadlessDesktop.h"
#include "SandboxHome.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests))
        return RUN_ALL_TESTS();
    SandboxHome processHome;
    HeadlessDesktop desktop;
    if (!desktop.ready()) {
        std::fputs("e2e: could not start Xvfb and a D-Bus session\n", stderr);
        return 1;
    }
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
