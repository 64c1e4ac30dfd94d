// Entry point of widget tests that need two screens of different heights side
// by side: Qt's offscreen platform, laid out from a configuration file.
#include "SandboxHome.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    SandboxHome processHome;
    QTemporaryDir folder;
    const QString layout = folder.filePath("screens.json");
    QFile file(layout);
    if (!file.open(QIODevice::WriteOnly))
        return 2;
    file.write(R"({"screens": [
        {"name": "Laptop", "x": 0, "y": 0, "width": 1440, "height": 900,
         "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1},
        {"name": "Monitor", "x": 1440, "y": 0, "width": 1920, "height": 1200,
         "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
    file.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(layout));
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
