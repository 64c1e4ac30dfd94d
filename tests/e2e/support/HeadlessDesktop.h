#pragma once

#include <QProcess>
#include <QSize>
#include <QString>

// A desktop without a screen for end-to-end runs: Xvfb on a free display and a
// D-Bus session bus, both exported to this process's environment (and so to
// every program it starts), plus, on request, a tray host. Every process it
// starts dies with the test program, however that ends.
class HeadlessDesktop {
public:
    static constexpr int width = 1280;
    static constexpr int height = 800;

    explicit HeadlessDesktop(QSize screen = {width, height});
    ~HeadlessDesktop();
    HeadlessDesktop(const HeadlessDesktop&) = delete;
    HeadlessDesktop& operator=(const HeadlessDesktop&) = delete;

    bool ready() const { return ready_; }

    // The desktop of this test program.
    static HeadlessDesktop& current();

    // trayer, docked at the top right; true once it owns the tray selection.
    bool startTray();
    void stopTray();

    // Starts `program` like startDetached would, but tied to the test's life.
    static void tieToThisProcess(QProcess& process);

private:
    QProcess xvfb_;
    QProcess bus_;
    QProcess tray_;
    bool ready_ = false;
};
