#include "WaylandRegionOverlay.h"

#include "RegionFrame.h"
#include "ScrollControls.h"

// The protocol names a parameter after a C++ keyword.
#define namespace layerNamespace
#include "wlr-layer-shell-unstable-v1-client-protocol.h"
#undef namespace

#include <QLayout>
#include <QPainter>
#include <QPushButton>

#include <linux/input-event-codes.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

namespace {

constexpr int thickness = RegionFrame::thickness;

const zwlr_layer_surface_v1_listener layerListener{
    [](void* data, zwlr_layer_surface_v1*, uint32_t serial, uint32_t, uint32_t) {
        static_cast<WaylandRegionOverlay*>(data)->configured(serial);
    },
    [](void* data, zwlr_layer_surface_v1*) { static_cast<WaylandRegionOverlay*>(data)->closed(); },
};

const wl_buffer_listener bufferListener{
    [](void* data, wl_buffer* buffer) {
        static_cast<WaylandRegionOverlay*>(data)->released(buffer);
    },
};

QPointF pointOf(wl_fixed_t x, wl_fixed_t y) {
    return {wl_fixed_to_double(x), wl_fixed_to_double(y)};
}

const wl_pointer_listener pointerListener{
    [](void* data, wl_pointer*, uint32_t, wl_surface*, wl_fixed_t x, wl_fixed_t y) {
        static_cast<WaylandRegionOverlay*>(data)->pointerAt(pointOf(x, y));
    },
    [](void* data, wl_pointer*, uint32_t, wl_surface*) {
        static_cast<WaylandRegionOverlay*>(data)->pointerLeft();
    },
    [](void* data, wl_pointer*, uint32_t, wl_fixed_t x, wl_fixed_t y) {
        static_cast<WaylandRegionOverlay*>(data)->pointerAt(pointOf(x, y));
    },
    [](void* data, wl_pointer*, uint32_t, uint32_t, uint32_t button, uint32_t state) {
        if (button == BTN_LEFT)
            static_cast<WaylandRegionOverlay*>(data)->pointerButton(
                state == WL_POINTER_BUTTON_STATE_PRESSED);
    },
    [](void*, wl_pointer*, uint32_t, uint32_t, wl_fixed_t) {},
    [](void*, wl_pointer*) {},
    [](void*, wl_pointer*, uint32_t) {},
    [](void*, wl_pointer*, uint32_t, uint32_t) {},
    [](void*, wl_pointer*, uint32_t, int32_t) {},
    [](void*, wl_pointer*, uint32_t, int32_t) {},
};

} // namespace

WaylandRegionOverlay::WaylandRegionOverlay(const Globals& globals, QPoint outputCorner,
                                           int bufferScale)
    : globals_(globals)
    , outputCorner_(outputCorner)
    , bufferScale_(std::max(1, bufferScale)) {
    if (globals_.seat) {
        pointer_ = wl_seat_get_pointer(globals_.seat);
        wl_pointer_add_listener(pointer_, &pointerListener, this);
    }
}

WaylandRegionOverlay::~WaylandRegionOverlay() {
    hide();
    if (pointer_)
        wl_pointer_destroy(pointer_);
    wl_display_flush(globals_.display);
}

void WaylandRegionOverlay::show(const QRect& frame, const QRect& bar, ScrollControls& controls) {
    controls_ = &controls;
    const QRect outer = frame.adjusted(-thickness, -thickness, thickness, thickness);
    const QRect bounds = outer.united(bar).translated(-outputCorner_);
    frame_ = frame.translated(-outputCorner_ - bounds.topLeft());
    bar_ = bar.translated(-outputCorner_ - bounds.topLeft());
    drawPending_ = true;
    if (!surface_ || bounds != bounds_) {
        bounds_ = bounds;
        place();
        return;
    }
    draw();
}

void WaylandRegionOverlay::place() {
    if (!surface_) {
        surface_ = wl_compositor_create_surface(globals_.compositor);
        layer_ = zwlr_layer_shell_v1_get_layer_surface(globals_.layers, surface_, globals_.output,
                                                       ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY,
                                                       "glimber-scroll");
        zwlr_layer_surface_v1_add_listener(layer_, &layerListener, this);
        zwlr_layer_surface_v1_set_anchor(layer_, ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP |
                                                     ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT);
        // Measured from the output's edges, whatever panels reserve.
        zwlr_layer_surface_v1_set_exclusive_zone(layer_, -1);
        zwlr_layer_surface_v1_set_keyboard_interactivity(layer_, 0);
        wl_surface_set_buffer_scale(surface_, bufferScale_);
    }
    configured_ = false;
    zwlr_layer_surface_v1_set_size(layer_, uint32_t(bounds_.width()), uint32_t(bounds_.height()));
    zwlr_layer_surface_v1_set_margin(layer_, bounds_.top(), 0, 0, bounds_.left());
    wl_region* input = wl_compositor_create_region(globals_.compositor);
    wl_region_add(input, bar_.x(), bar_.y(), bar_.width(), bar_.height());
    wl_surface_set_input_region(surface_, input);
    wl_region_destroy(input);
    wl_surface_commit(surface_);
    wl_display_flush(globals_.display);
}

void WaylandRegionOverlay::configured(uint32_t serial) {
    zwlr_layer_surface_v1_ack_configure(layer_, serial);
    configured_ = true;
    if (drawPending_)
        draw();
}

void WaylandRegionOverlay::closed() {
    // The compositor took the surface away (its output went): nothing more to draw on.
    configured_ = false;
    drawPending_ = false;
}

void WaylandRegionOverlay::draw() {
    if (!configured_ || !controls_)
        return;
    Buffer* buffer = freeBuffer();
    if (!buffer)
        return; // drawn when the compositor hands one back
    drawPending_ = false;
    QPainter painter(&buffer->image);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(buffer->image.rect(), Qt::transparent);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.scale(bufferScale_, bufferScale_);
    RegionFrame::paint(painter, frame_);
    // The bar is never shown as a window of its own: it is laid out and drawn here.
    controls_->resize(bar_.size());
    controls_->layout()->setGeometry(QRect(QPoint(0, 0), bar_.size()));
    controls_->render(&painter, bar_.topLeft(), QRegion(),
                      QWidget::DrawWindowBackground | QWidget::DrawChildren);
    painter.end();
    buffer->busy = true;
    wl_surface_attach(surface_, buffer->buffer, 0, 0);
    wl_surface_damage_buffer(surface_, 0, 0, bufferSize_.width(), bufferSize_.height());
    wl_surface_commit(surface_);
    wl_display_flush(globals_.display);
}

WaylandRegionOverlay::Buffer* WaylandRegionOverlay::freeBuffer() {
    const QSize size = bounds_.size() * bufferScale_;
    if (size != bufferSize_) {
        freeBuffers();
        bufferSize_ = size;
        if (!makeBuffers())
            return nullptr;
    }
    for (Buffer& buffer : buffers_) {
        if (!buffer.busy)
            return &buffer;
    }
    return nullptr;
}

bool WaylandRegionOverlay::makeBuffers() {
    const int stride = bufferSize_.width() * 4;
    const qsizetype bytes = qsizetype(stride) * bufferSize_.height();
    const int fd = memfd_create("glimber-scroll-overlay", MFD_CLOEXEC);
    if (fd < 0 || ftruncate(fd, off_t(bytes * 2)) != 0) {
        if (fd >= 0)
            ::close(fd);
        return false;
    }
    void* memory = mmap(nullptr, size_t(bytes * 2), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (memory == MAP_FAILED) {
        ::close(fd);
        return false;
    }
    wl_shm_pool* pool = wl_shm_create_pool(globals_.shm, fd, int32_t(bytes * 2));
    for (int i = 0; i < 2; ++i) {
        Buffer& buffer = buffers_[std::size_t(i)];
        buffer.buffer =
            wl_shm_pool_create_buffer(pool, int32_t(bytes * i), bufferSize_.width(),
                                      bufferSize_.height(), stride, WL_SHM_FORMAT_ARGB8888);
        wl_buffer_add_listener(buffer.buffer, &bufferListener, this);
        buffer.image = QImage(static_cast<uchar*>(memory) + bytes * i, bufferSize_.width(),
                              bufferSize_.height(), stride, QImage::Format_ARGB32_Premultiplied);
        buffer.busy = false;
    }
    wl_shm_pool_destroy(pool);
    ::close(fd);
    mapping_ = memory;
    mappingBytes_ = size_t(bytes * 2);
    return true;
}

void WaylandRegionOverlay::freeBuffers() {
    for (Buffer& buffer : buffers_) {
        if (buffer.buffer)
            wl_buffer_destroy(buffer.buffer);
        buffer = Buffer();
    }
    if (mapping_)
        munmap(mapping_, mappingBytes_);
    mapping_ = nullptr;
    bufferSize_ = QSize();
}

void WaylandRegionOverlay::released(wl_buffer* released) {
    for (Buffer& buffer : buffers_) {
        if (buffer.buffer == released)
            buffer.busy = false;
    }
    if (drawPending_)
        draw();
}

void WaylandRegionOverlay::hide() {
    if (layer_)
        zwlr_layer_surface_v1_destroy(layer_);
    if (surface_)
        wl_surface_destroy(surface_);
    layer_ = nullptr;
    surface_ = nullptr;
    configured_ = false;
    freeBuffers();
    wl_display_flush(globals_.display);
}

QPushButton* WaylandRegionOverlay::buttonAt(QPointF local) const {
    if (!controls_)
        return nullptr;
    const QPoint inBar = (local - bar_.topLeft()).toPoint();
    for (QPushButton* button : controls_->findChildren<QPushButton*>()) {
        if (!button->isHidden() && button->geometry().contains(inBar))
            return button;
    }
    return nullptr;
}

void WaylandRegionOverlay::pointerAt(QPointF local) {
    pointerAt_ = local;
}

void WaylandRegionOverlay::pointerLeft() {
    pointerAt_ = {-1, -1};
    if (pressed_) {
        pressed_->setDown(false);
        pressed_ = nullptr;
        drawPending_ = true;
        draw();
    }
}

void WaylandRegionOverlay::pointerButton(bool pressed) {
    QPushButton* under = buttonAt(pointerAt_);
    if (pressed) {
        pressed_ = under;
        if (pressed_)
            pressed_->setDown(true);
    } else if (pressed_) {
        QPushButton* was = pressed_;
        pressed_ = nullptr;
        was->setDown(false);
        // Released over the button it was pressed on, as any button wants.
        if (was == under)
            was->click();
    }
    drawPending_ = true;
    draw();
}
