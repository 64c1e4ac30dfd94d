#include "WaylandScrollDisplay.h"

// The protocol names a parameter after a C++ keyword.
#define namespace layerNamespace
#include "wlr-layer-shell-unstable-v1-client-protocol.h"
#undef namespace
#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QScreen>

#include <cmath>
#include <cstring>
#include <vector>
#include <wayland-client.h>

namespace {

// One wheel notch, as a mouse's wheel sends it.
constexpr double notchDistance = 15;

struct NamedOutput {
    wl_output* output = nullptr;
    QString name;
};

uint32_t millisecondsNow() {
    static QElapsedTimer clock = [] {
        QElapsedTimer started;
        started.start();
        return started;
    }();
    return uint32_t(clock.elapsed());
}

} // namespace

struct WaylandScrollDisplay::Globals {
    wl_display* display = nullptr;
    wl_registry* registry = nullptr;
    wl_compositor* compositor = nullptr;
    wl_shm* shm = nullptr;
    zwlr_layer_shell_v1* layers = nullptr;
    wl_seat* seat = nullptr;
    zwlr_virtual_pointer_manager_v1* pointers = nullptr;
    std::vector<std::unique_ptr<NamedOutput>> outputs;

    ~Globals() {
        for (const auto& output : outputs)
            wl_output_destroy(output->output);
        if (pointers)
            zwlr_virtual_pointer_manager_v1_destroy(pointers);
        if (seat)
            wl_seat_destroy(seat);
        if (layers)
            zwlr_layer_shell_v1_destroy(layers);
        if (shm)
            wl_shm_destroy(shm);
        if (compositor)
            wl_compositor_destroy(compositor);
        if (registry)
            wl_registry_destroy(registry);
        if (display)
            wl_display_disconnect(display);
    }
};

namespace {

const wl_output_listener outputListener{
    [](void*, wl_output*, int32_t, int32_t, int32_t, int32_t, int32_t, const char*, const char*,
       int32_t) {},
    [](void*, wl_output*, uint32_t, int32_t, int32_t, int32_t) {},
    [](void*, wl_output*) {},
    [](void*, wl_output*, int32_t) {},
    [](void* data, wl_output*, const char* name) {
        static_cast<NamedOutput*>(data)->name = QString::fromUtf8(name);
    },
    [](void*, wl_output*, const char*) {},
};

void announced(void* data, wl_registry* registry, uint32_t name, const char* interface,
               uint32_t version) {
    auto* globals = static_cast<WaylandScrollDisplay::Globals*>(data);
    const auto is = [interface](const wl_interface& known) {
        return std::strcmp(interface, known.name) == 0;
    };
    if (is(wl_compositor_interface)) {
        globals->compositor = static_cast<wl_compositor*>(
            wl_registry_bind(registry, name, &wl_compositor_interface, std::min(version, 4u)));
    } else if (is(wl_shm_interface)) {
        globals->shm = static_cast<wl_shm*>(wl_registry_bind(registry, name, &wl_shm_interface, 1));
    } else if (is(zwlr_layer_shell_v1_interface)) {
        globals->layers = static_cast<zwlr_layer_shell_v1*>(
            wl_registry_bind(registry, name, &zwlr_layer_shell_v1_interface, 1));
    } else if (is(wl_seat_interface) && !globals->seat) {
        globals->seat = static_cast<wl_seat*>(
            wl_registry_bind(registry, name, &wl_seat_interface, std::min(version, 5u)));
    } else if (is(zwlr_virtual_pointer_manager_v1_interface)) {
        globals->pointers = static_cast<zwlr_virtual_pointer_manager_v1*>(
            wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1));
    } else if (is(wl_output_interface) && version >= 4) {
        // Version 4 tells the output's name, which is how Qt tells its screens apart.
        auto output = std::make_unique<NamedOutput>();
        output->output =
            static_cast<wl_output*>(wl_registry_bind(registry, name, &wl_output_interface, 4));
        wl_output_add_listener(output->output, &outputListener, output.get());
        globals->outputs.push_back(std::move(output));
    }
}

const wl_registry_listener registryListener{announced, [](void*, wl_registry*, uint32_t) {}};

// Without an overlay layer, a window over the whole screen of the region,
// which Qt knows by the compositor's name for it or by its place.
std::unique_ptr<FullScreenRegionOverlay>
windowOverlayOn(const WaylandScrollDisplay::Output& output) {
    for (QScreen* screen : QGuiApplication::screens()) {
        if (screen->name() == output.name || screen->geometry() == output.geometry)
            return std::make_unique<FullScreenRegionOverlay>(screen);
    }
    return nullptr;
}

} // namespace

WaylandScrollDisplay::WaylandScrollDisplay(std::unique_ptr<PipeWireFrames> frames,
                                           const Output& output, QRect layout)
    : frames_(std::move(frames))
    , output_(output)
    , layout_(layout)
    , globals_(std::make_unique<Globals>()) {}

WaylandScrollDisplay::~WaylandScrollDisplay() {
    layerOverlay_.reset();
    events_.reset();
    if (virtualPointer_)
        zwlr_virtual_pointer_v1_destroy(virtualPointer_);
}

std::unique_ptr<WaylandScrollDisplay>
WaylandScrollDisplay::connect(std::unique_ptr<PipeWireFrames> frames, const Output& output,
                              QRect layout, QString* problem) {
    std::unique_ptr<WaylandScrollDisplay> display(
        new WaylandScrollDisplay(std::move(frames), output, layout));
    if (!display->bind(problem))
        return nullptr;
    return display;
}

bool WaylandScrollDisplay::bind(QString* problem) {
    Globals& globals = *globals_;
    globals.display = wl_display_connect(nullptr);
    if (!globals.display) {
        *problem = QStringLiteral("cannot connect to the Wayland compositor");
        return false;
    }
    globals.registry = wl_display_get_registry(globals.display);
    wl_registry_add_listener(globals.registry, &registryListener, &globals);
    // The globals, then what the outputs say of themselves.
    if (wl_display_roundtrip(globals.display) < 0 || wl_display_roundtrip(globals.display) < 0) {
        *problem = QStringLiteral("the Wayland compositor did not answer");
        return false;
    }
    if (!globals.compositor || !globals.shm) {
        *problem = QStringLiteral("the Wayland compositor offers no surfaces to draw on");
        return false;
    }
    if (globals.pointers && globals.seat)
        virtualPointer_ =
            zwlr_virtual_pointer_manager_v1_create_virtual_pointer(globals.pointers, globals.seat);
    WaylandRegionOverlay::Globals forOverlay{globals.display, globals.compositor, globals.shm,
                                             globals.layers,  globals.seat,       nullptr};
    for (const auto& known : globals.outputs) {
        if (known->name == output_.name)
            forOverlay.output = known->output;
    }
    const int bufferScale = int(std::ceil(output_.pixelsPerUnit - 0.01));
    if (globals.layers)
        layerOverlay_ = std::make_unique<WaylandRegionOverlay>(
            forOverlay, output_.geometry.topLeft(), bufferScale);
    else if (!(windowOverlay_ = windowOverlayOn(output_))) {
        *problem = QStringLiteral("no screen to draw the frame and the bar on");
        return false;
    }
    events_ = std::make_unique<QSocketNotifier>(wl_display_get_fd(globals.display),
                                                QSocketNotifier::Read);
    QObject::connect(events_.get(), &QSocketNotifier::activated, this,
                     &WaylandScrollDisplay::dispatch);
    flush();
    return true;
}

void WaylandScrollDisplay::dispatch() {
    if (wl_display_dispatch(globals_->display) < 0 && !failed_) {
        failed_ = true;
        events_->setEnabled(false);
        Q_EMIT failed(QStringLiteral("the Wayland compositor closed the connection"));
        return;
    }
    flush();
}

void WaylandScrollDisplay::flush() {
    wl_display_dispatch_pending(globals_->display);
    wl_display_flush(globals_->display);
}

QImage WaylandScrollDisplay::grab(const QRect& native) {
    if (const QString problem = frames_->problem(); !problem.isEmpty()) {
        if (!failed_) {
            failed_ = true;
            Q_EMIT failed(problem);
        }
        return {};
    }
    frames_->keep(native.translated(-output_.geometry.topLeft()));
    return frames_->newest();
}

void WaylandScrollDisplay::wheel(int steps) {
    if (!virtualPointer_)
        return;
    const uint32_t now = millisecondsNow();
    zwlr_virtual_pointer_v1_axis_source(virtualPointer_, WL_POINTER_AXIS_SOURCE_WHEEL);
    zwlr_virtual_pointer_v1_axis_discrete(virtualPointer_, now, WL_POINTER_AXIS_VERTICAL_SCROLL,
                                          wl_fixed_from_double(notchDistance * steps), steps);
    zwlr_virtual_pointer_v1_frame(virtualPointer_);
    flush();
}

void WaylandScrollDisplay::movePointer(QPoint native) {
    if (!virtualPointer_)
        return;
    pointer_ = native;
    const QPointF corner = output_.geometry.topLeft();
    const QPointF at = corner + (QPointF(native) - corner) / output_.pixelsPerUnit;
    // In 1/256 of a unit, which reaches every pixel of a scaled output.
    constexpr int steps = 256;
    zwlr_virtual_pointer_v1_motion_absolute(
        virtualPointer_, millisecondsNow(), uint32_t(std::lround((at.x() - layout_.x()) * steps)),
        uint32_t(std::lround((at.y() - layout_.y()) * steps)), uint32_t(layout_.width() * steps),
        uint32_t(layout_.height() * steps));
    zwlr_virtual_pointer_v1_frame(virtualPointer_);
    flush();
}

void WaylandScrollDisplay::present(const QRect& frame, const QRect& bar, ScrollControls& controls) {
    if (windowOverlay_)
        return windowOverlay_->present(frame, bar, controls);
    layerOverlay_->show(frame, bar, controls);
    flush();
}

void WaylandScrollDisplay::hidePresentation() {
    if (windowOverlay_)
        return windowOverlay_->hide();
    layerOverlay_->hide();
}
