#pragma once

#include <QProcess>
#include <QRect>
#include <QTemporaryDir>

#include <vector>

// An X server with several monitors side by side, as a person's with two
// screens has: Xorg with its dummy driver, one framebuffer around all of them
// and a RandR monitor for each. Xvfb has no way to split its screen, and
// Xwayland without a root window of its own shows X clients no pixels of
// another's. DISPLAY is exported to this process while the object lives. Xorg
// wants root.
class X11MonitorsDesktop {
public:
    explicit X11MonitorsDesktop(std::vector<QRect> monitors);
    ~X11MonitorsDesktop();
    X11MonitorsDesktop(const X11MonitorsDesktop&) = delete;
    X11MonitorsDesktop& operator=(const X11MonitorsDesktop&) = delete;

    bool ready() const { return ready_; }

private:
    bool startXorg();
    bool layOut(const std::vector<QRect>& monitors, QSize framebuffer);

    QTemporaryDir folder_;
    QProcess xorg_;
    QByteArray previousDisplay_;
    bool ready_ = false;
};
