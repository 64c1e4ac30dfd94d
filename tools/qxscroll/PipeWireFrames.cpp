#include "PipeWireFrames.h"

#include <QMutexLocker>

#include <cstring>
#include <pipewire/pipewire.h>
#include <spa/param/video/format-utils.h>
#include <spa/pod/builder.h>
#include <sys/mman.h>
#include <unistd.h>

namespace {

// The layouts a QImage takes without a conversion, in the order we prefer.
constexpr spa_video_format offered[] = {SPA_VIDEO_FORMAT_BGRx, SPA_VIDEO_FORMAT_BGRA,
                                        SPA_VIDEO_FORMAT_RGBx, SPA_VIDEO_FORMAT_RGBA};

QImage::Format imageFormatOf(spa_video_format format) {
    switch (format) {
    case SPA_VIDEO_FORMAT_BGRx:
    case SPA_VIDEO_FORMAT_BGRA:
        return QImage::Format_RGB32;
    case SPA_VIDEO_FORMAT_RGBx:
    case SPA_VIDEO_FORMAT_RGBA:
        return QImage::Format_RGBX8888;
    default:
        return QImage::Format_Invalid;
    }
}

void onStateChanged(void* data, pw_stream_state, pw_stream_state state, const char* error) {
    static_cast<PipeWireFrames*>(data)->takeState(int(state), error);
}

void onParamChanged(void* data, uint32_t id, const spa_pod* param) {
    if (id == SPA_PARAM_Format && param)
        static_cast<PipeWireFrames*>(data)->takeFormat(param);
}

void onProcess(void* data) {
    static_cast<PipeWireFrames*>(data)->takeBuffer();
}

const pw_stream_events streamEvents = [] {
    pw_stream_events events{};
    events.version = PW_VERSION_STREAM_EVENTS;
    events.state_changed = onStateChanged;
    events.param_changed = onParamChanged;
    events.process = onProcess;
    return events;
}();

// Raw video in one of the offered layouts, at whatever size and rate the
// desktop sends.
const spa_pod* enumFormat(spa_pod_builder* builder) {
    spa_pod_frame object;
    spa_pod_builder_push_object(builder, &object, SPA_TYPE_OBJECT_Format, SPA_PARAM_EnumFormat);
    spa_pod_builder_prop(builder, SPA_FORMAT_mediaType, 0);
    spa_pod_builder_id(builder, SPA_MEDIA_TYPE_video);
    spa_pod_builder_prop(builder, SPA_FORMAT_mediaSubtype, 0);
    spa_pod_builder_id(builder, SPA_MEDIA_SUBTYPE_raw);
    spa_pod_builder_prop(builder, SPA_FORMAT_VIDEO_format, 0);
    spa_pod_frame choice;
    spa_pod_builder_push_choice(builder, &choice, SPA_CHOICE_Enum, 0);
    spa_pod_builder_id(builder, offered[0]); // the default
    for (const spa_video_format format : offered)
        spa_pod_builder_id(builder, format);
    spa_pod_builder_pop(builder, &choice);
    return static_cast<const spa_pod*>(spa_pod_builder_pop(builder, &object));
}

// Buffers in memory this process can map: a buffer on the graphics card would
// need a GPU to read back, and the region is read on the CPU anyway.
const spa_pod* mappableBuffers(spa_pod_builder* builder) {
    spa_pod_frame object;
    spa_pod_builder_push_object(builder, &object, SPA_TYPE_OBJECT_ParamBuffers, SPA_PARAM_Buffers);
    // Only the newest picture is kept: two buffers let one fill while the
    // other is read, and each more holds a whole output's pixels.
    spa_pod_builder_prop(builder, SPA_PARAM_BUFFERS_buffers, 0);
    spa_pod_frame count;
    spa_pod_builder_push_choice(builder, &count, SPA_CHOICE_Range, 0);
    spa_pod_builder_int(builder, 2);
    spa_pod_builder_int(builder, 2);
    spa_pod_builder_int(builder, 16);
    spa_pod_builder_pop(builder, &count);
    spa_pod_builder_prop(builder, SPA_PARAM_BUFFERS_dataType, 0);
    spa_pod_frame choice;
    spa_pod_builder_push_choice(builder, &choice, SPA_CHOICE_Flags, 0);
    spa_pod_builder_int(builder, (1 << SPA_DATA_MemPtr) | (1 << SPA_DATA_MemFd));
    spa_pod_builder_pop(builder, &choice);
    return static_cast<const spa_pod*>(spa_pod_builder_pop(builder, &object));
}

} // namespace

std::unique_ptr<PipeWireFrames> PipeWireFrames::open(int fd, unsigned int node, QString* problem) {
    static const bool initialised = [] {
        pw_init(nullptr, nullptr);
        return true;
    }();
    Q_UNUSED(initialised);
    std::unique_ptr<PipeWireFrames> frames(new PipeWireFrames);
    if (!frames->connect(fd, node, problem))
        return nullptr;
    return frames;
}

bool PipeWireFrames::connect(int fd, unsigned int node, QString* problem) {
    loop_ = pw_thread_loop_new("glimber-scroll", nullptr);
    if (!loop_) {
        ::close(fd);
        *problem = QStringLiteral("PipeWire could not make its thread");
        return false;
    }
    // PipeWire locks what it maps into memory, as audio's deadlines want; for
    // pictures that would hold every buffer's whole output in this program.
    context_ = pw_context_new(pw_thread_loop_get_loop(loop_),
                              pw_properties_new("mem.allow-mlock", "false", nullptr), 0);
    if (!context_) {
        ::close(fd);
        *problem = QStringLiteral("PipeWire could not start");
        return false;
    }
    // From here the descriptor belongs to PipeWire, connected or not.
    core_ = pw_context_connect_fd(context_, fd, nullptr, 0);
    if (!core_) {
        *problem = QStringLiteral("the desktop's PipeWire connection could not be used");
        return false;
    }
    stream_ = pw_stream_new(core_, "Glimber scrolling capture",
                            pw_properties_new(PW_KEY_MEDIA_TYPE, "Video", PW_KEY_MEDIA_CATEGORY,
                                              "Capture", PW_KEY_MEDIA_ROLE, "Screen", nullptr));
    if (!stream_) {
        *problem = QStringLiteral("PipeWire made no stream");
        return false;
    }
    listener_ = std::make_unique<spa_hook>();
    pw_stream_add_listener(stream_, listener_.get(), &streamEvents, this);
    uint8_t buffer[512];
    spa_pod_builder builder = SPA_POD_BUILDER_INIT(buffer, sizeof(buffer));
    const spa_pod* params[] = {enumFormat(&builder)};
    const int connected = pw_stream_connect(
        stream_, PW_DIRECTION_INPUT, node,
        // The output's node going away ends the stream, instead of linking it
        // to another. Buffers are mapped here, a region's rows at a time.
        pw_stream_flags(PW_STREAM_FLAG_AUTOCONNECT | PW_STREAM_FLAG_DONT_RECONNECT), params, 1);
    if (connected < 0) {
        *problem = QStringLiteral("the screen's stream could not be joined: %1")
                       .arg(QString::fromLocal8Bit(std::strerror(-connected)));
        return false;
    }
    if (pw_thread_loop_start(loop_) < 0) {
        *problem = QStringLiteral("PipeWire could not start its thread");
        return false;
    }
    return true;
}

PipeWireFrames::~PipeWireFrames() {
    if (loop_)
        pw_thread_loop_stop(loop_);
    if (stream_)
        pw_stream_destroy(stream_);
    if (core_)
        pw_core_disconnect(core_);
    if (context_)
        pw_context_destroy(context_);
    if (loop_)
        pw_thread_loop_destroy(loop_);
}

QSize PipeWireFrames::size() const {
    const QMutexLocker lock(&mutex_);
    return size_;
}

void PipeWireFrames::keep(const QRect& pixels) {
    const QMutexLocker lock(&mutex_);
    if (pixels == keep_)
        return;
    keep_ = pixels;
    newest_ = QImage();
}

QImage PipeWireFrames::newest() const {
    const QMutexLocker lock(&mutex_);
    return newest_;
}

quint64 PipeWireFrames::received() const {
    const QMutexLocker lock(&mutex_);
    return received_;
}

QString PipeWireFrames::problem() const {
    const QMutexLocker lock(&mutex_);
    return problem_;
}

void PipeWireFrames::takeFormat(const spa_pod* format) {
    uint32_t mediaType = 0;
    uint32_t mediaSubtype = 0;
    spa_video_info_raw info{};
    if (spa_format_parse(format, &mediaType, &mediaSubtype) < 0 ||
        mediaType != SPA_MEDIA_TYPE_video || mediaSubtype != SPA_MEDIA_SUBTYPE_raw ||
        spa_format_video_raw_parse(format, &info) < 0)
        return;
    {
        const QMutexLocker lock(&mutex_);
        size_ = QSize(int(info.size.width), int(info.size.height));
        format_ = imageFormatOf(info.format);
        newest_ = QImage();
    }
    uint8_t buffer[256];
    spa_pod_builder builder = SPA_POD_BUILDER_INIT(buffer, sizeof(buffer));
    const spa_pod* params[] = {mappableBuffers(&builder)};
    pw_stream_update_params(stream_, params, 1);
}

void PipeWireFrames::takeBuffer() {
    // Only the newest picture matters: older ones go straight back.
    pw_buffer* newest = nullptr;
    while (pw_buffer* next = pw_stream_dequeue_buffer(stream_)) {
        if (newest)
            pw_stream_queue_buffer(stream_, newest);
        newest = next;
    }
    if (!newest)
        return;
    const spa_data& data = newest->buffer->datas[0];
    const QMutexLocker lock(&mutex_);
    if (fits(data)) {
        if (QImage kept = copyKept(data); !kept.isNull()) {
            newest_ = std::move(kept);
            ++received_;
        }
    }
    pw_stream_queue_buffer(stream_, newest);
}

bool PipeWireFrames::fits(const spa_data& data) const {
    const bool readable = data.data || (data.type == SPA_DATA_MemFd && data.fd >= 0);
    if (!readable || !data.chunk || data.chunk->size == 0 ||
        (data.chunk->flags & SPA_CHUNK_FLAG_CORRUPTED) != 0 || format_ == QImage::Format_Invalid ||
        keep_.isEmpty() || !QRect(QPoint(0, 0), size_).contains(keep_))
        return false;
    // A buffer smaller than its picture would be read past its end.
    const qsizetype end = qsizetype(data.chunk->offset) + qsizetype(keep_.bottom()) * stride(data) +
                          qsizetype(keep_.right() + 1) * 4;
    return end <= qsizetype(data.maxsize);
}

int PipeWireFrames::stride(const spa_data& data) const {
    return data.chunk->stride > 0 ? data.chunk->stride : size_.width() * 4;
}

QImage PipeWireFrames::copyKept(const spa_data& data) {
    const qsizetype firstByte = qsizetype(data.chunk->offset) +
                                qsizetype(keep_.y()) * stride(data) + qsizetype(keep_.x()) * 4;
    const qsizetype endByte = qsizetype(data.chunk->offset) +
                              qsizetype(keep_.bottom()) * stride(data) +
                              qsizetype(keep_.right() + 1) * 4;
    const uchar* first = nullptr;
    void* mapped = MAP_FAILED;
    std::size_t mappedBytes = 0;
    if (data.data) {
        first = static_cast<const uchar*>(data.data) + firstByte;
    } else {
        // Only the region's rows are mapped, and only while they are copied:
        // the whole output's pixels would count in this program's memory.
        const qsizetype page = sysconf(_SC_PAGESIZE);
        const qsizetype start = qsizetype(data.mapoffset) + firstByte;
        const qsizetype mapStart = start - start % page;
        mappedBytes = std::size_t(qsizetype(data.mapoffset) + endByte - mapStart);
        mapped = mmap(nullptr, mappedBytes, PROT_READ, MAP_SHARED, int(data.fd), off_t(mapStart));
        if (mapped == MAP_FAILED)
            return {};
        first = static_cast<const uchar*>(mapped) + (start - mapStart);
    }
    // A view of the buffer, copied out before the buffer goes back.
    const QImage view(first, keep_.width(), keep_.height(), stride(data), format_);
    QImage kept;
    if (format_ != QImage::Format_RGB32) {
        kept = view.convertToFormat(QImage::Format_RGB32);
    } else if (QImage* spare = spareImage()) {
        for (int y = 0; y < keep_.height(); ++y)
            std::memcpy(spare->scanLine(y), view.constScanLine(y), std::size_t(keep_.width()) * 4);
        kept = *spare;
    }
    if (mapped != MAP_FAILED)
        munmap(mapped, mappedBytes);
    return kept;
}

QImage* PipeWireFrames::spareImage() {
    // A picture nobody but this list holds any more is written over: a new
    // one of megabytes for every picture would be made on this thread and
    // freed on another, which the C library keeps as memory of this program.
    for (QImage& image : spares_) {
        if (image.size() == keep_.size() && image.isDetached())
            return &image;
    }
    QImage& replaced = spares_[nextSpare_];
    nextSpare_ = (nextSpare_ + 1) % spares_.size();
    replaced = QImage(keep_.size(), QImage::Format_RGB32);
    return replaced.isNull() ? nullptr : &replaced;
}

void PipeWireFrames::takeState(int state, const char* error) {
    const QMutexLocker lock(&mutex_);
    if (state == PW_STREAM_STATE_ERROR)
        problem_ = QStringLiteral("the screen cast failed: %1")
                       .arg(QString::fromUtf8(error ? error : "no reason given"));
    else if (state == PW_STREAM_STATE_UNCONNECTED && problem_.isEmpty())
        problem_ = QStringLiteral("the screen cast ended");
}
