#include "OutputPictureStream.h"

#include <QDeadlineTimer>
#include <QMutexLocker>

#include <cstring>
#include <pipewire/pipewire.h>
#include <spa/param/video/format-utils.h>
#include <spa/pod/builder.h>

namespace {

void onParamChanged(void* data, uint32_t id, const spa_pod* param) {
    if (id == SPA_PARAM_Format && param)
        static_cast<OutputPictureStream*>(data)->takeFormat(param);
}

void onProcess(void* data) {
    static_cast<OutputPictureStream*>(data)->fill();
}

void onStateChanged(void* data, pw_stream_state, pw_stream_state, const char*) {
    static_cast<OutputPictureStream*>(data)->stateChanged();
}

const pw_stream_events streamEvents = [] {
    pw_stream_events events{};
    events.version = PW_VERSION_STREAM_EVENTS;
    events.state_changed = onStateChanged;
    events.param_changed = onParamChanged;
    events.process = onProcess;
    return events;
}();

const spa_pod* videoFormat(spa_pod_builder* builder, QSize size) {
    spa_pod_frame object;
    spa_pod_builder_push_object(builder, &object, SPA_TYPE_OBJECT_Format, SPA_PARAM_EnumFormat);
    spa_pod_builder_prop(builder, SPA_FORMAT_mediaType, 0);
    spa_pod_builder_id(builder, SPA_MEDIA_TYPE_video);
    spa_pod_builder_prop(builder, SPA_FORMAT_mediaSubtype, 0);
    spa_pod_builder_id(builder, SPA_MEDIA_SUBTYPE_raw);
    spa_pod_builder_prop(builder, SPA_FORMAT_VIDEO_format, 0);
    spa_pod_builder_id(builder, SPA_VIDEO_FORMAT_BGRx);
    spa_pod_builder_prop(builder, SPA_FORMAT_VIDEO_size, 0);
    spa_pod_builder_rectangle(builder, uint32_t(size.width()), uint32_t(size.height()));
    spa_pod_builder_prop(builder, SPA_FORMAT_VIDEO_framerate, 0);
    spa_pod_builder_fraction(builder, 0, 1);
    return static_cast<const spa_pod*>(spa_pod_builder_pop(builder, &object));
}

const spa_pod* sharedMemoryBuffers(spa_pod_builder* builder, QSize size) {
    spa_pod_frame object;
    spa_pod_builder_push_object(builder, &object, SPA_TYPE_OBJECT_ParamBuffers, SPA_PARAM_Buffers);
    // As many as the wlroots portal offers: two by default, up to 32.
    spa_pod_builder_prop(builder, SPA_PARAM_BUFFERS_buffers, 0);
    spa_pod_frame count;
    spa_pod_builder_push_choice(builder, &count, SPA_CHOICE_Range, 0);
    spa_pod_builder_int(builder, 2);
    spa_pod_builder_int(builder, 2);
    spa_pod_builder_int(builder, 32);
    spa_pod_builder_pop(builder, &count);
    spa_pod_builder_prop(builder, SPA_PARAM_BUFFERS_blocks, 0);
    spa_pod_builder_int(builder, 1);
    spa_pod_builder_prop(builder, SPA_PARAM_BUFFERS_size, 0);
    spa_pod_builder_int(builder, size.width() * 4 * size.height());
    spa_pod_builder_prop(builder, SPA_PARAM_BUFFERS_stride, 0);
    spa_pod_builder_int(builder, size.width() * 4);
    spa_pod_builder_prop(builder, SPA_PARAM_BUFFERS_dataType, 0);
    spa_pod_builder_int(builder, 1 << SPA_DATA_MemFd);
    return static_cast<const spa_pod*>(spa_pod_builder_pop(builder, &object));
}

} // namespace

OutputPictureStream::OutputPictureStream(std::function<QImage()> picture, QSize size,
                                         int intervalMs)
    : picture_(std::move(picture))
    , size_(size) {
    ticks_.setInterval(intervalMs);
    QObject::connect(&ticks_, &QTimer::timeout, [this] { tick(); });
}

OutputPictureStream::~OutputPictureStream() {
    stop();
    if (loop_)
        pw_thread_loop_stop(loop_);
    if (core_)
        pw_core_disconnect(core_);
    if (context_)
        pw_context_destroy(context_);
    if (loop_)
        pw_thread_loop_destroy(loop_);
}

unsigned int OutputPictureStream::start(const QString& socket) {
    pw_init(nullptr, nullptr);
    loop_ = pw_thread_loop_new("test-output-stream", nullptr);
    context_ = loop_ ? pw_context_new(pw_thread_loop_get_loop(loop_), nullptr, 0) : nullptr;
    core_ = context_ ? pw_context_connect(
                           context_,
                           pw_properties_new(PW_KEY_REMOTE_NAME, qPrintable(socket), nullptr), 0)
                     : nullptr;
    if (!core_)
        return 0;
    stream_ = pw_stream_new(core_, "test output",
                            pw_properties_new(PW_KEY_MEDIA_CLASS, "Video/Source", nullptr));
    listener_ = std::make_unique<spa_hook>();
    pw_stream_add_listener(stream_, listener_.get(), &streamEvents, this);
    uint8_t buffer[512];
    spa_pod_builder builder = SPA_POD_BUILDER_INIT(buffer, sizeof(buffer));
    const spa_pod* params[] = {videoFormat(&builder, size_)};
    pw_stream_connect(stream_, PW_DIRECTION_OUTPUT, PW_ID_ANY,
                      pw_stream_flags(PW_STREAM_FLAG_DRIVER | PW_STREAM_FLAG_MAP_BUFFERS), params,
                      1);
    // The node's id comes once PipeWire has added the stream to its graph,
    // which the stream's change of state signals.
    const QDeadlineTimer deadline(10'000);
    unsigned int node = PW_ID_ANY;
    pw_thread_loop_lock(loop_);
    pw_thread_loop_start(loop_);
    while ((node = pw_stream_get_node_id(stream_)) == PW_ID_ANY && !deadline.hasExpired())
        pw_thread_loop_timed_wait(loop_, 1);
    pw_thread_loop_unlock(loop_);
    if (node == PW_ID_ANY)
        return 0;
    ticks_.start();
    return node;
}

void OutputPictureStream::stop() {
    ticks_.stop();
    if (!stream_)
        return;
    pw_thread_loop_lock(loop_);
    pw_stream_destroy(stream_);
    stream_ = nullptr;
    pw_thread_loop_unlock(loop_);
}

void OutputPictureStream::tick() {
    QImage picture = picture_().convertToFormat(QImage::Format_RGB32);
    if (picture.size() != size_)
        return;
    {
        const QMutexLocker lock(&mutex_);
        newest_ = std::move(picture);
    }
    pw_thread_loop_lock(loop_);
    if (stream_)
        pw_stream_trigger_process(stream_);
    pw_thread_loop_unlock(loop_);
}

void OutputPictureStream::stateChanged() {
    pw_thread_loop_signal(loop_, false);
}

void OutputPictureStream::takeFormat(const spa_pod*) {
    uint8_t buffer[256];
    spa_pod_builder builder = SPA_POD_BUILDER_INIT(buffer, sizeof(buffer));
    const spa_pod* params[] = {sharedMemoryBuffers(&builder, size_)};
    pw_stream_update_params(stream_, params, 1);
}

void OutputPictureStream::fill() {
    pw_buffer* buffer = pw_stream_dequeue_buffer(stream_);
    if (!buffer)
        return;
    spa_data& data = buffer->buffer->datas[0];
    const QMutexLocker lock(&mutex_);
    const qsizetype bytes = newest_.sizeInBytes();
    if (data.data && !newest_.isNull() && bytes <= qsizetype(data.maxsize)) {
        std::memcpy(data.data, newest_.constBits(), std::size_t(bytes));
        data.chunk->offset = 0;
        data.chunk->stride = int32_t(newest_.bytesPerLine());
        data.chunk->size = uint32_t(bytes);
        data.chunk->flags = 0;
    } else if (data.chunk) {
        data.chunk->size = 0;
    }
    pw_stream_queue_buffer(stream_, buffer);
}
