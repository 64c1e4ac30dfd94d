// Entry point of the end-to-end tests over several screens: a sandboxed home
// for the whole process, which runs Qt without a screen of its own. Each test
// starts the desktop it needs (sway with its outputs, Xorg with its monitors),
// and shows windows there through a program of its own.
#include "SandboxHome.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests))
        return RUN_ALL_TESTS();
    SandboxHome processHome;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
