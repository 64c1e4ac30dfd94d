#pragma once

#include <QByteArray>
#include <QImage>
#include <QPoint>
#include <QProcess>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>
#include <vector>

class WaylandInput;

// A Wayland desktop without a screen for end-to-end runs: a headless sway with
// its Xwayland and a D-Bus session bus, all exported to this process's
// environment (and so to every program it starts), plus, on request, the
// screenshot portal. Sway refuses to run as root, so under root it runs as the
// system user glimber-e2e, made on first use. Every process it starts dies
// with the test program, however that ends.
class SwayDesktop {
public:
    struct Output {
        // As sway's headless backend names them, in order: HEADLESS-1, HEADLESS-2, …
        QString name;
        QSize mode;
        // In the compositor's logical units, as are all positions on this desktop.
        QPoint position;
        qreal scale = 1;
        // Mode-sized: shown pixel for pixel, so a test knows which pixel is where.
        QImage background;

        QRect geometry() const;
    };

    // HEADLESS-1 1280x800 at (0,0) and HEADLESS-2 1920x1080 at (1280,0) at
    // scale 2, every pixel of both in a colour of its own.
    static std::vector<Output> twoOutputs();

    explicit SwayDesktop(std::vector<Output> outputs = twoOutputs());
    ~SwayDesktop();
    SwayDesktop(const SwayDesktop&) = delete;
    SwayDesktop& operator=(const SwayDesktop&) = delete;

    // Sway answers, every output shows its background at its place and scale,
    // and this process may use Xwayland.
    bool ready() const { return ready_; }

    // The desktop of this test program.
    static SwayDesktop& current();

    const std::vector<Output>& outputs() const { return outputs_; }
    // The bounding box of all outputs; its corner may lie left of or above 0,0.
    QRect layout() const;

    // The pointer and keyboard of the desktop's person. They are there from
    // the start: a client that sees a keyboard appear takes a moment to get
    // ready for it, and misses the keys typed meanwhile.
    WaylandInput& input() { return *input_; }

    // Standard output of swaymsg with these arguments.
    QByteArray swaymsg(const QStringList& arguments) const;
    // What the desktop shows in `geometry` ("x,y wxh", all of it when empty),
    // at the largest scale of the outputs in it. Headless outputs draw the
    // pointer's arrow into the picture; every arrow on this desktop is see-through.
    QImage grim(const QString& geometry = {}) const;

    // PipeWire, xdg-desktop-portal-wlr and xdg-desktop-portal on this
    // desktop's bus; true once the portal offers org.freedesktop.portal.Screenshot.
    bool startPortals();
    // PipeWire and its session manager, also alone for a test that brings a
    // portal of its own; PipeWire's socket.
    bool startPipeWire();
    QString pipeWireSocket() const;

private:
    QProcessEnvironment serviceEnvironment() const;
    bool startBus();
    bool writeSwayConfig(const QString& path) const;
    bool startSway();
    bool exportSockets();
    bool outputsShown() const;
    bool admitToXwayland();

    std::vector<Output> outputs_;
    QTemporaryDir runtime_;
    QProcess sway_;
    QProcess bus_;
    QProcess pipewire_;
    QProcess sessionManager_;
    QProcess portalBackend_;
    QProcess portal_;
    std::unique_ptr<WaylandInput> input_;
    bool ready_ = false;
};
