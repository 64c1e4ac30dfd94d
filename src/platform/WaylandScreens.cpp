#include "WaylandScreens.h"

#include "wlr-screencopy-unstable-v1-client-protocol.h"
#include "xdg-output-unstable-v1-client-protocol.h"

#include <QTransform>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>
#include <poll.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

namespace {

struct OutputState {
    uint32_t globalName = 0;
    wl_output* output = nullptr;
    zxdg_output_v1* xdgOutput = nullptr;
    QString name;
    QPoint position;
    QSize logicalSize;
    QSize modeSize;
    int32_t scale = 1;
    int32_t transform = WL_OUTPUT_TRANSFORM_NORMAL;
};

// One output's picture on its way: the compositor says what buffer it wants,
// we hand it one in shared memory, it fills it and says ready or failed.
struct FrameState {
    OutputState* output = nullptr;
    zwlr_screencopy_frame_v1* frame = nullptr;
    uint32_t version = 1;
    uint32_t format = 0;
    QSize size;
    uint32_t stride = 0;
    bool shmOffered = false;
    bool yInverted = false;
    bool ready = false;
    bool failed = false;
    QString problem;
    wl_shm* shm = nullptr;
    wl_buffer* buffer = nullptr;
    void* pixels = MAP_FAILED;
    size_t bytes = 0;

    bool finished() const { return ready || failed; }
    void fail(QString why) {
        failed = true;
        problem = std::move(why);
    }
    ~FrameState() {
        if (buffer)
            wl_buffer_destroy(buffer);
        if (pixels != MAP_FAILED)
            munmap(pixels, bytes);
        if (frame)
            zwlr_screencopy_frame_v1_destroy(frame);
    }
};

template <typename T>
T* bound(wl_registry* registry, uint32_t name, const wl_interface* interface, uint32_t offered,
         uint32_t wanted) {
    return static_cast<T*>(wl_registry_bind(registry, name, interface, std::min(offered, wanted)));
}

} // namespace

struct WaylandScreens::Connection {
    wl_display* display = nullptr;
    wl_registry* registry = nullptr;
    wl_shm* shm = nullptr;
    zxdg_output_manager_v1* xdgOutputs = nullptr;
    zwlr_screencopy_manager_v1* screencopy = nullptr;
    uint32_t screencopyVersion = 0;
    std::vector<std::unique_ptr<OutputState>> outputs;

    ~Connection() {
        for (const auto& output : outputs) {
            if (output->xdgOutput)
                zxdg_output_v1_destroy(output->xdgOutput);
            wl_output_destroy(output->output);
        }
        if (screencopy)
            zwlr_screencopy_manager_v1_destroy(screencopy);
        if (xdgOutputs)
            zxdg_output_manager_v1_destroy(xdgOutputs);
        if (shm)
            wl_shm_destroy(shm);
        if (registry)
            wl_registry_destroy(registry);
        if (display)
            wl_display_disconnect(display);
    }

    // Reads and handles the compositor's events until `done` holds. Waits in
    // poll(), never in libwayland, so a compositor that stops answering costs
    // no more than the deadline.
    bool dispatchUntil(const std::function<bool()>& done, QDeadlineTimer deadline,
                       QString* problem) {
        while (!done()) {
            if (!dispatchOnce(deadline, problem))
                return false;
        }
        return true;
    }

    bool dispatchOnce(QDeadlineTimer deadline, QString* problem) {
        while (wl_display_prepare_read(display) != 0) {
            if (wl_display_dispatch_pending(display) < 0)
                return broken(problem);
        }
        if (wl_display_flush(display) < 0 && errno != EAGAIN) {
            wl_display_cancel_read(display);
            return broken(problem);
        }
        pollfd readable{wl_display_get_fd(display), POLLIN, 0};
        const int polled = poll(&readable, 1, int(deadline.remainingTime()));
        if (polled <= 0) {
            wl_display_cancel_read(display);
            if (polled < 0 && errno == EINTR)
                return true;
            if (polled < 0)
                return broken(problem);
            *problem = QStringLiteral("the Wayland compositor did not answer in time");
            return false;
        }
        if (wl_display_read_events(display) < 0 || wl_display_dispatch_pending(display) < 0)
            return broken(problem);
        return true;
    }

    bool broken(QString* problem) const {
        const int error = wl_display_get_error(display);
        *problem = QStringLiteral("the connection to the Wayland compositor broke: %1")
                       .arg(QString::fromLocal8Bit(std::strerror(error ? error : EPIPE)));
        return false;
    }

    bool roundtrip(QDeadlineTimer deadline, QString* problem) {
        bool done = false;
        static const wl_callback_listener listener{[](void* data, wl_callback* callback, uint32_t) {
            *static_cast<bool*>(data) = true;
            wl_callback_destroy(callback);
        }};
        wl_callback_add_listener(wl_display_sync(display), &listener, &done);
        return dispatchUntil([&done] { return done; }, deadline, problem);
    }
};

namespace {

const wl_output_listener outputListener{
    [](void* data, wl_output*, int32_t x, int32_t y, int32_t, int32_t, int32_t, const char*,
       const char*, int32_t transform) {
        auto* output = static_cast<OutputState*>(data);
        // Until xdg-output tells the logical place, the physical one stands in.
        if (output->logicalSize.isEmpty())
            output->position = {x, y};
        output->transform = transform;
    },
    [](void* data, wl_output*, uint32_t flags, int32_t width, int32_t height, int32_t) {
        if (flags & WL_OUTPUT_MODE_CURRENT)
            static_cast<OutputState*>(data)->modeSize = {width, height};
    },
    [](void*, wl_output*) {},
    [](void* data, wl_output*, int32_t scale) { static_cast<OutputState*>(data)->scale = scale; },
    [](void*, wl_output*, const char*) {},
    [](void*, wl_output*, const char*) {},
};

const zxdg_output_v1_listener xdgOutputListener{
    [](void* data, zxdg_output_v1*, int32_t x, int32_t y) {
        static_cast<OutputState*>(data)->position = {x, y};
    },
    [](void* data, zxdg_output_v1*, int32_t width, int32_t height) {
        static_cast<OutputState*>(data)->logicalSize = {width, height};
    },
    [](void*, zxdg_output_v1*) {},
    [](void* data, zxdg_output_v1*, const char* name) {
        static_cast<OutputState*>(data)->name = QString::fromUtf8(name);
    },
    [](void*, zxdg_output_v1*, const char*) {},
};

const wl_registry_listener registryListener{
    [](void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t version) {
        auto* c = static_cast<WaylandScreens::Connection*>(data);
        const std::string_view kind(interface);
        if (kind == wl_output_interface.name) {
            auto output = std::make_unique<OutputState>();
            output->globalName = name;
            output->output = bound<wl_output>(registry, name, &wl_output_interface, version, 3);
            wl_output_add_listener(output->output, &outputListener, output.get());
            c->outputs.push_back(std::move(output));
        } else if (kind == wl_shm_interface.name) {
            c->shm = bound<wl_shm>(registry, name, &wl_shm_interface, version, 1);
        } else if (kind == zxdg_output_manager_v1_interface.name) {
            c->xdgOutputs = bound<zxdg_output_manager_v1>(
                registry, name, &zxdg_output_manager_v1_interface, version, 3);
        } else if (kind == zwlr_screencopy_manager_v1_interface.name) {
            c->screencopyVersion = std::min(version, 3u);
            c->screencopy = bound<zwlr_screencopy_manager_v1>(
                registry, name, &zwlr_screencopy_manager_v1_interface, version, 3);
        }
    },
    [](void*, wl_registry*, uint32_t) {},
};

// The pixel layouts of wl_shm that QImage reads as they are.
std::optional<QImage::Format> imageFormat(uint32_t format) {
    switch (format) {
    case WL_SHM_FORMAT_ARGB8888:
        return QImage::Format_ARGB32_Premultiplied;
    case WL_SHM_FORMAT_XRGB8888:
        return QImage::Format_RGB32;
    case WL_SHM_FORMAT_ABGR8888:
        return QImage::Format_RGBA8888_Premultiplied;
    case WL_SHM_FORMAT_XBGR8888:
        return QImage::Format_RGBX8888;
    case WL_SHM_FORMAT_XRGB2101010:
        return QImage::Format_RGB30;
    case WL_SHM_FORMAT_XBGR2101010:
        return QImage::Format_BGR30;
    default:
        return std::nullopt;
    }
}

void giveBuffer(FrameState* frame) {
    if (!frame->shmOffered)
        return frame->fail(QStringLiteral("the compositor offers no shared-memory buffer"));
    if (!imageFormat(frame->format))
        return frame->fail(QStringLiteral("the compositor's pixel format %1 is not supported")
                               .arg(frame->format, 8, 16, QLatin1Char('0')));
    frame->bytes = size_t(frame->stride) * size_t(frame->size.height());
    const int fd = memfd_create("glimber-screencopy", MFD_CLOEXEC);
    if (fd < 0 || ftruncate(fd, off_t(frame->bytes)) < 0) {
        const QString reason = QString::fromLocal8Bit(std::strerror(errno));
        if (fd >= 0)
            close(fd);
        return frame->fail(QStringLiteral("no memory for the picture: %1").arg(reason));
    }
    frame->pixels = mmap(nullptr, frame->bytes, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (frame->pixels == MAP_FAILED) {
        const QString reason = QString::fromLocal8Bit(std::strerror(errno));
        close(fd);
        return frame->fail(QStringLiteral("no memory for the picture: %1").arg(reason));
    }
    wl_shm_pool* pool = wl_shm_create_pool(frame->shm, fd, int32_t(frame->bytes));
    frame->buffer = wl_shm_pool_create_buffer(pool, 0, frame->size.width(), frame->size.height(),
                                              int32_t(frame->stride), frame->format);
    wl_shm_pool_destroy(pool);
    close(fd);
    zwlr_screencopy_frame_v1_copy(frame->frame, frame->buffer);
}

const zwlr_screencopy_frame_v1_listener frameListener{
    [](void* data, zwlr_screencopy_frame_v1*, uint32_t format, uint32_t width, uint32_t height,
       uint32_t stride) {
        auto* frame = static_cast<FrameState*>(data);
        frame->shmOffered = true;
        frame->format = format;
        frame->size = QSize(int(width), int(height));
        frame->stride = stride;
        // Before version 3 this is the only offer; later ones end with buffer_done.
        if (frame->version < 3)
            giveBuffer(frame);
    },
    [](void* data, zwlr_screencopy_frame_v1*, uint32_t flags) {
        static_cast<FrameState*>(data)->yInverted = flags & ZWLR_SCREENCOPY_FRAME_V1_FLAGS_Y_INVERT;
    },
    [](void* data, zwlr_screencopy_frame_v1*, uint32_t, uint32_t, uint32_t) {
        static_cast<FrameState*>(data)->ready = true;
    },
    [](void* data, zwlr_screencopy_frame_v1*) {
        static_cast<FrameState*>(data)->fail(QStringLiteral("the compositor could not copy it"));
    },
    [](void*, zwlr_screencopy_frame_v1*, uint32_t, uint32_t, uint32_t, uint32_t) {},
    [](void*, zwlr_screencopy_frame_v1*, uint32_t, uint32_t, uint32_t) {},
    [](void* data, zwlr_screencopy_frame_v1*) {
        auto* frame = static_cast<FrameState*>(data);
        if (!frame->finished() && !frame->buffer)
            giveBuffer(frame);
    },
};

// The buffer holds the output's pixels as its panel scans them out; a rotated
// or mirrored output shows them turned by its transform.
QImage shownAs(const QImage& buffer, int32_t transform) {
    QTransform turn;
    switch (transform & ~WL_OUTPUT_TRANSFORM_FLIPPED) {
    case WL_OUTPUT_TRANSFORM_90:
        turn.rotate(90);
        break;
    case WL_OUTPUT_TRANSFORM_180:
        turn.rotate(180);
        break;
    case WL_OUTPUT_TRANSFORM_270:
        turn.rotate(-90);
        break;
    default:
        break;
    }
    const QImage turned = turn.isIdentity() ? buffer : buffer.transformed(turn);
    return (transform & WL_OUTPUT_TRANSFORM_FLIPPED) ? turned.mirrored(true, false) : turned;
}

QImage pictureOf(const FrameState& frame) {
    const QImage wrapped(static_cast<const uchar*>(frame.pixels), frame.size.width(),
                         frame.size.height(), qsizetype(frame.stride), *imageFormat(frame.format));
    // The copy outlives the shared memory; a screen has no transparent parts,
    // whatever its buffer's alpha says.
    QImage picture = wrapped.copy().convertToFormat(QImage::Format_RGB32);
    if (frame.yInverted)
        picture.mirror(false, true);
    return shownAs(picture, frame.output->transform);
}

QRect logicalGeometry(const OutputState& output) {
    if (!output.logicalSize.isEmpty())
        return {output.position, output.logicalSize};
    // A compositor without xdg-output: the mode, turned, over the output's scale.
    QSize size = output.modeSize / std::max(output.scale, 1);
    if (output.transform & WL_OUTPUT_TRANSFORM_90)
        size.transpose();
    return {output.position, size};
}

} // namespace

WaylandScreens::WaylandScreens(std::unique_ptr<Connection> connection)
    : connection_(std::move(connection)) {}

WaylandScreens::~WaylandScreens() = default;

std::unique_ptr<WaylandScreens> WaylandScreens::connect(QDeadlineTimer deadline, QString* problem) {
    auto c = std::make_unique<Connection>();
    c->display = wl_display_connect(nullptr);
    if (!c->display) {
        const QString name = qEnvironmentVariable("WAYLAND_DISPLAY", QStringLiteral("wayland-0"));
        *problem = QStringLiteral("cannot reach the Wayland compositor at %1: %2")
                       .arg(name, QString::fromLocal8Bit(std::strerror(errno)));
        return nullptr;
    }
    c->registry = wl_display_get_registry(c->display);
    wl_registry_add_listener(c->registry, &registryListener, c.get());
    // The first answer lists the globals, the second what the bound outputs
    // said, the third what xdg-output said of them.
    if (!c->roundtrip(deadline, problem) || !c->roundtrip(deadline, problem))
        return nullptr;
    if (c->xdgOutputs) {
        for (const auto& output : c->outputs) {
            output->xdgOutput =
                zxdg_output_manager_v1_get_xdg_output(c->xdgOutputs, output->output);
            zxdg_output_v1_add_listener(output->xdgOutput, &xdgOutputListener, output.get());
        }
        if (!c->roundtrip(deadline, problem))
            return nullptr;
    }
    return std::unique_ptr<WaylandScreens>(new WaylandScreens(std::move(c)));
}

std::vector<WaylandScreens::Output> WaylandScreens::outputs() const {
    std::vector<Output> found;
    for (const auto& output : connection_->outputs)
        found.push_back({output->name, logicalGeometry(*output)});
    return found;
}

bool WaylandScreens::offersScreencopy() const {
    return connection_->screencopy && connection_->shm;
}

ScreenGrab WaylandScreens::copyOutputs(QDeadlineTimer deadline) {
    if (!offersScreencopy())
        return ScreenGrab::failure(ScreenGrab::Outcome::failed,
                                   QStringLiteral("the compositor offers no screencopy"));
    // Every output at once: the compositor renders them in the same frame.
    std::vector<std::unique_ptr<FrameState>> frames;
    for (const auto& output : connection_->outputs) {
        auto frame = std::make_unique<FrameState>();
        frame->output = output.get();
        frame->version = connection_->screencopyVersion;
        frame->shm = connection_->shm;
        frame->frame =
            zwlr_screencopy_manager_v1_capture_output(connection_->screencopy, 0, output->output);
        zwlr_screencopy_frame_v1_add_listener(frame->frame, &frameListener, frame.get());
        frames.push_back(std::move(frame));
    }
    QString problem;
    const bool answered = connection_->dispatchUntil(
        [&frames] {
            return std::all_of(frames.begin(), frames.end(),
                               [](const auto& frame) { return frame->finished(); });
        },
        deadline, &problem);
    if (!answered)
        return ScreenGrab::failure(ScreenGrab::Outcome::failed, problem);
    std::vector<ScreenPicture> pictures;
    for (const auto& frame : frames) {
        if (frame->failed)
            return ScreenGrab::failure(
                ScreenGrab::Outcome::failed,
                QStringLiteral("no picture of %1: %2").arg(frame->output->name, frame->problem));
        pictures.push_back(
            {frame->output->name, logicalGeometry(*frame->output), pictureOf(*frame)});
    }
    return ScreenGrab::taken(std::move(pictures));
}
