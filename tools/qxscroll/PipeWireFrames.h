#pragma once

#include <QImage>
#include <QMutex>
#include <QRect>
#include <QSize>
#include <QString>

#include <array>
#include <memory>

struct pw_thread_loop;
struct pw_context;
struct pw_core;
struct pw_stream;
struct spa_data;
struct spa_hook;

// The pictures of one screen-cast stream, as PipeWire delivers them on a
// thread of its own. Each picture is cut to the part asked for as it arrives,
// so a region of a 4K output costs a copy of the region, not of the output.
class PipeWireFrames {
public:
    // Connects through `fd` (taken, also on failure) to the stream of `node`;
    // nothing, with the reason in `problem`, when PipeWire refuses.
    static std::unique_ptr<PipeWireFrames> open(int fd, unsigned int node, QString* problem);
    ~PipeWireFrames();
    PipeWireFrames(const PipeWireFrames&) = delete;
    PipeWireFrames& operator=(const PipeWireFrames&) = delete;

    // The pictures' size in pixels, once the stream has agreed on it.
    QSize size() const;
    // The part to keep of each picture from now on.
    void keep(const QRect& pixels);
    // The newest picture's kept part, as RGB32: null until one has arrived
    // since keep() last changed the part.
    QImage newest() const;
    // Why the stream ended, when it did.
    QString problem() const;
    // The pictures that arrived whole so far.
    quint64 received() const;

    // Called on PipeWire's thread.
    void takeFormat(const struct spa_pod* format);
    void takeBuffer();
    void takeState(int state, const char* error);

private:
    PipeWireFrames() = default;
    bool connect(int fd, unsigned int node, QString* problem);
    // With the lock held: the buffer holds the whole kept part of a picture.
    bool fits(const spa_data& data) const;
    int stride(const spa_data& data) const;
    QImage copyKept(const spa_data& data);
    QImage* spareImage();

    pw_thread_loop* loop_ = nullptr;
    pw_context* context_ = nullptr;
    pw_core* core_ = nullptr;
    pw_stream* stream_ = nullptr;
    std::unique_ptr<spa_hook> listener_;

    mutable QMutex mutex_;
    QSize size_;
    QImage::Format format_ = QImage::Format_Invalid;
    QRect keep_;
    QImage newest_;
    // Pictures of the kept part to copy into, reused once nobody holds them.
    std::array<QImage, 4> spares_;
    std::size_t nextSpare_ = 0;
    quint64 received_ = 0;
    QString problem_;
};
