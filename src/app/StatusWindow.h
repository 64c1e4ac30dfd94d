#pragma once

#include <QWidget>

class QMenu;

// The status menu as a small window, for desktops without a tray (stock GNOME,
// a bare X server): shown at launch when no tray turns up, and whenever
// Glimber is started again while it runs. Closing it keeps Glimber running.
class StatusWindow : public QWidget {
    Q_OBJECT

public:
    explicit StatusWindow(QMenu& statusMenu);

    // Shows the window on the screen under the pointer and brings it to the front.
    void present();
};
