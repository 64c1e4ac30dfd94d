// Opens the annotation editor on an image, for trying it by hand:
//   build/tests/annotate_window path/to/shot.png
// Saves go to the real save folder, as they will from the tray program.
#include "AnnotationWindowController.h"

#include <QApplication>
#include <QFileInfo>

#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: annotate_window IMAGE\n");
        return 2;
    }
    AnnotationWindowController controller;
    controller.open(QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath());
    if (!controller.window())
        return 1;
    return app.exec();
}
