// show_picture FILE [X Y]: shows a picture pixel for pixel in a window of
// its own size, on whatever platform Qt runs; at X,Y as an X11 window that no
// window manager places, when they are given. Says "shown" on standard output
// once the window is on the screen, and stays until it is killed.
#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <QWindow>

#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2 && argc != 4) {
        std::fputs("usage: show_picture FILE [X Y]\n", stderr);
        return 2;
    }
    const QImage picture(QString::fromLocal8Bit(argv[1]));
    if (picture.isNull())
        return 2;
    QLabel window;
    window.setPixmap(QPixmap::fromImage(picture));
    // A window of a fixed size floats under sway, where the test can find it.
    window.setFixedSize(picture.size());
    if (argc == 4) {
        window.setWindowFlags(Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint);
        window.move(std::atoi(argv[2]), std::atoi(argv[3]));
    }
    window.show();
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (!window.windowHandle()->isExposed())
            return;
        poll.stop();
        std::puts("shown");
        std::fflush(stdout);
    });
    poll.start(20);
    return app.exec();
}
