#pragma once

#include <QImage>
#include <QMutex>
#include <QSize>
#include <QTimer>

#include <functional>
#include <memory>

struct pw_thread_loop;
struct pw_context;
struct pw_core;
struct pw_stream;
struct spa_hook;
struct spa_pod;

// A PipeWire video stream of an output's pictures, as a desktop's screen cast
// sends it: raw BGRx in shared memory, a picture whenever the test's clock
// ticks. Stands in for the portal backend's stream on a desktop whose backend
// cannot give one.
class OutputPictureStream {
public:
    // `picture` gives the output as it is now, at `size`; asked on this thread
    // every `intervalMs` (0: as often as the event loop comes round).
    OutputPictureStream(std::function<QImage()> picture, QSize size, int intervalMs = 33);
    ~OutputPictureStream();
    OutputPictureStream(const OutputPictureStream&) = delete;
    OutputPictureStream& operator=(const OutputPictureStream&) = delete;

    // Publishes the stream on the PipeWire at `socket`: its node, or 0.
    unsigned int start(const QString& socket);
    // Ends the stream, as when the desktop stops sharing.
    void stop();

    // Called on PipeWire's thread.
    void stateChanged();
    void takeFormat(const spa_pod* format);
    void fill();

private:
    void tick();

    std::function<QImage()> picture_;
    QSize size_;
    QTimer ticks_;
    pw_thread_loop* loop_ = nullptr;
    pw_context* context_ = nullptr;
    pw_core* core_ = nullptr;
    pw_stream* stream_ = nullptr;
    std::unique_ptr<spa_hook> listener_;
    QMutex mutex_;
    QImage newest_;
};
