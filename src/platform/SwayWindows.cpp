#include "SwayWindows.h"

#include <QDeadlineTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace SwayWindows {

namespace {

constexpr char magic[] = {'i', '3', '-', 'i', 'p', 'c'};
constexpr uint32_t getTree = 4;
// A compositor that is alive answers in milliseconds.
constexpr int answerTimeoutMs = 3000;

class Socket {
public:
    explicit Socket(int fd)
        : fd_(fd) {}
    ~Socket() {
        if (fd_ >= 0)
            close(fd_);
    }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;

    bool isOpen() const { return fd_ >= 0; }
    int fd() const { return fd_; }

private:
    int fd_;
};

bool connectTo(const Socket& socket, const QByteArray& path) {
    sockaddr_un address{};
    if (!socket.isOpen() || path.isEmpty() || size_t(path.size()) >= sizeof address.sun_path)
        return false;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
    return ::connect(socket.fd(), reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
}

bool sendAll(int fd, const QByteArray& bytes) {
    qsizetype sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n =
            ::send(fd, bytes.constData() + sent, size_t(bytes.size() - sent), MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        sent += n;
    }
    return true;
}

bool receiveExactly(int fd, char* into, size_t count, QDeadlineTimer deadline) {
    size_t received = 0;
    while (received < count) {
        pollfd readable{fd, POLLIN, 0};
        const int polled = poll(&readable, 1, int(deadline.remainingTime()));
        if (polled < 0 && errno == EINTR)
            continue;
        if (polled <= 0)
            return false;
        const ssize_t n = ::recv(fd, into + received, count - received, 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        received += size_t(n);
    }
    return true;
}

std::optional<QByteArray> ask(const QByteArray& socketPath, uint32_t type) {
    const Socket socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!connectTo(socket, socketPath))
        return std::nullopt;
    QByteArray message(magic, sizeof magic);
    const uint32_t header[2] = {0, type};
    message.append(reinterpret_cast<const char*>(header), sizeof header);
    if (!sendAll(socket.fd(), message))
        return std::nullopt;
    const QDeadlineTimer deadline(answerTimeoutMs);
    char answerHeader[sizeof magic + 2 * sizeof(uint32_t)];
    if (!receiveExactly(socket.fd(), answerHeader, sizeof answerHeader, deadline) ||
        std::memcmp(answerHeader, magic, sizeof magic) != 0)
        return std::nullopt;
    uint32_t length = 0;
    std::memcpy(&length, answerHeader + sizeof magic, sizeof length);
    QByteArray payload(qsizetype(length), Qt::Uninitialized);
    if (!receiveExactly(socket.fd(), payload.data(), length, deadline))
        return std::nullopt;
    return payload;
}

QRect rectOf(const QJsonObject& node) {
    const QJsonObject rect = node.value(QLatin1String("rect")).toObject();
    return {rect.value(QLatin1String("x")).toInt(), rect.value(QLatin1String("y")).toInt(),
            rect.value(QLatin1String("width")).toInt(),
            rect.value(QLatin1String("height")).toInt()};
}

bool isWindow(const QJsonObject& node) {
    return node.contains(QLatin1String("pid")) && node.value(QLatin1String("visible")).toBool();
}

// Windows below `node`, each list topmost first: full-screen ones, then the
// floating ones, last raised first, then the tiled ones, which never overlap.
void collect(const QJsonObject& node, std::vector<QRect>& fullscreen, std::vector<QRect>& others) {
    if (isWindow(node)) {
        auto& list = node.value(QLatin1String("fullscreen_mode")).toInt() ? fullscreen : others;
        list.push_back(rectOf(node));
    }
    const QJsonArray floating = node.value(QLatin1String("floating_nodes")).toArray();
    for (qsizetype i = floating.size(); i-- > 0;)
        collect(floating.at(i).toObject(), fullscreen, others);
    for (const QJsonValue child : node.value(QLatin1String("nodes")).toArray())
        collect(child.toObject(), fullscreen, others);
}

} // namespace

std::vector<QRect> fromTree(const QByteArray& json) {
    std::vector<QRect> fullscreen;
    std::vector<QRect> others;
    collect(QJsonDocument::fromJson(json).object(), fullscreen, others);
    fullscreen.insert(fullscreen.end(), others.begin(), others.end());
    std::erase_if(fullscreen, [](const QRect& rect) { return rect.isEmpty(); });
    return fullscreen;
}

std::optional<std::vector<QRect>> topmostFirst() {
    const std::optional<QByteArray> tree = ask(qgetenv("SWAYSOCK"), getTree);
    if (!tree)
        return std::nullopt;
    return fromTree(*tree);
}

} // namespace SwayWindows
