// Entry point of the test programs without widgets: one sandboxed home for the
// whole process first, so even a test that forgets its own never sees the real one.
#include "SandboxHome.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    SandboxHome processHome;
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
