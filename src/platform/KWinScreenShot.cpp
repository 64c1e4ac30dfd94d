#include "KWinScreenShot.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusPendingReply>
#include <QDBusUnixFileDescriptor>
#include <QThread>
#include <QVariantMap>

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <optional>
#include <poll.h>
#include <unistd.h>

namespace KWinScreenShot {

namespace {

const QString service = QStringLiteral("org.kde.KWin");
const QString objectPath = QStringLiteral("/org/kde/KWin/ScreenShot2");
const QString interface = QStringLiteral("org.kde.KWin.ScreenShot2");
// Once KWin has answered, the pixels follow at once.
constexpr int pixelsAfterAnswerMs = 10'000;
constexpr int pollStepMs = 20;
constexpr uint windowKind = 0;

class Pipe {
public:
    Pipe() {
        if (pipe2(ends_, O_CLOEXEC) != 0)
            ends_[0] = ends_[1] = -1;
    }
    ~Pipe() {
        closeWriteEnd();
        if (ends_[0] >= 0)
            close(ends_[0]);
    }
    Pipe(const Pipe&) = delete;
    Pipe& operator=(const Pipe&) = delete;

    bool isOpen() const { return ends_[0] >= 0; }
    int readEnd() const { return ends_[0]; }
    int writeEnd() const { return ends_[1]; }
    // KWin holds its own copy; ours must go, or the read end never sees the end.
    void closeWriteEnd() {
        if (ends_[1] >= 0)
            close(ends_[1]);
        ends_[1] = -1;
    }

private:
    int ends_[2];
};

// Drains the pipe while KWin works, so that a KWin that writes before it
// answers never blocks on a full pipe, until the answer has come and, with
// success, `stride` x `height` bytes with it. The pending call keeps a copy of
// the write end, so the pipe's end cannot tell when the pixels are complete.
std::optional<QByteArray> pixelsFor(QDBusPendingCall& pending, int fd,
                                    QDeadlineTimer answerDeadline) {
    QByteArray data;
    char chunk[65536];
    std::optional<qsizetype> expected;
    QDeadlineTimer deadline = answerDeadline;
    for (;;) {
        if (!expected && pending.isFinished()) {
            const QDBusPendingReply<QVariantMap> reply = pending;
            if (reply.isError())
                return std::nullopt;
            expected = reply.value().value(QStringLiteral("stride")).toLongLong() *
                       reply.value().value(QStringLiteral("height")).toLongLong();
            deadline = QDeadlineTimer(pixelsAfterAnswerMs);
        }
        if (expected && data.size() >= *expected)
            return data;
        if (deadline.hasExpired())
            return std::nullopt;
        pollfd readable{fd, POLLIN, 0};
        const int polled = poll(&readable, 1, pollStepMs);
        if (polled < 0 && errno != EINTR)
            return std::nullopt;
        if (polled <= 0)
            continue;
        const ssize_t n = read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return std::nullopt;
        // KWin's end closed before the pixels were all there.
        if (n == 0 && expected)
            return data;
        data.append(chunk, n);
        if (n == 0)
            QThread::msleep(pollStepMs);
    }
}

ScreenGrab failureOf(const QDBusError& error) {
    if (error.name().endsWith(QLatin1String(".NoAuthorized")))
        return ScreenGrab::failure(
            ScreenGrab::Outcome::refused,
            QStringLiteral("KWin does not let this program take the screen (%1): it answers only "
                           "programs whose desktop entry names org.kde.KWin.ScreenShot2 in "
                           "X-KDE-DBUS-Restricted-Interfaces, as Glimber's installed entries do")
                .arg(error.message()));
    if (error.name().endsWith(QLatin1String(".Cancelled")))
        return ScreenGrab::failure(ScreenGrab::Outcome::cancelled, error.message());
    return ScreenGrab::failure(ScreenGrab::Outcome::failed,
                               QStringLiteral("KWin's screenshot failed: %1").arg(error.message()));
}

// The picture KWin describes in its answer and wrote to the pipe.
std::optional<QImage> imageOf(const QVariantMap& results, const QByteArray& pixels) {
    if (results.value(QStringLiteral("type")).toString() != QLatin1String("raw"))
        return std::nullopt;
    const int width = results.value(QStringLiteral("width")).toInt();
    const int height = results.value(QStringLiteral("height")).toInt();
    const qsizetype stride = results.value(QStringLiteral("stride")).toLongLong();
    const int format = results.value(QStringLiteral("format")).toInt();
    if (width <= 0 || height <= 0 || format <= QImage::Format_Invalid ||
        format >= QImage::NImageFormats || stride <= 0 || stride * height > pixels.size())
        return std::nullopt;
    const QImage wrapped(reinterpret_cast<const uchar*>(pixels.constData()), width, height, stride,
                         QImage::Format(format));
    if (wrapped.bytesPerLine() > stride)
        return std::nullopt;
    // The copy outlives the pipe's bytes.
    return wrapped.copy().convertToFormat(QImage::Format_RGB32);
}

// One ScreenShot2 call: `arguments` come before the options and the pipe.
// `answerDeadline` bounds the wait for KWin's answer; interactive calls wait
// as long as the person takes.
ScreenGrab call(const QString& method, const QVariantList& arguments,
                QDeadlineTimer answerDeadline) {
    Pipe pipe;
    if (!pipe.isOpen())
        return ScreenGrab::failure(ScreenGrab::Outcome::failed,
                                   QStringLiteral("cannot make a pipe for KWin's pixels"));
    const QVariantMap options{{QStringLiteral("include-cursor"), false},
                              {QStringLiteral("include-decoration"), true},
                              {QStringLiteral("native-resolution"), true}};
    QDBusPendingCall pending = [&] {
        QDBusMessage message =
            QDBusMessage::createMethodCall(service, objectPath, interface, method);
        message.setArguments(
            arguments +
            QVariantList{options, QVariant::fromValue(QDBusUnixFileDescriptor(pipe.writeEnd()))});
        const int timeout = answerDeadline.isForever()
                                ? INT_MAX
                                : int(std::max<qint64>(1, answerDeadline.remainingTime()));
        return QDBusConnection::sessionBus().asyncCall(message, timeout);
    }();
    pipe.closeWriteEnd();
    const std::optional<QByteArray> pixels = pixelsFor(pending, pipe.readEnd(), answerDeadline);
    if (!pending.isFinished())
        return ScreenGrab::failure(ScreenGrab::Outcome::failed,
                                   QStringLiteral("KWin gave no answer in time"));
    const QDBusPendingReply<QVariantMap> reply = pending;
    if (reply.isError())
        return failureOf(reply.error());
    if (!pixels)
        return ScreenGrab::failure(ScreenGrab::Outcome::failed,
                                   QStringLiteral("KWin sent no pixels in time"));
    const std::optional<QImage> image = imageOf(reply.value(), *pixels);
    if (!image)
        return ScreenGrab::failure(ScreenGrab::Outcome::failed,
                                   QStringLiteral("KWin sent a picture that cannot be read"));
    return ScreenGrab::taken({{QString(), QRect(), *image}});
}

} // namespace

bool isAvailable() {
    const QDBusConnection bus = QDBusConnection::sessionBus();
    return bus.isConnected() && bus.interface()->isServiceRegistered(service);
}

ScreenGrab captureScreens(const std::vector<Screen>& screens, QDeadlineTimer deadline) {
    std::vector<ScreenPicture> pictures;
    for (const Screen& screen : screens) {
        ScreenGrab one = call(QStringLiteral("CaptureScreen"), {screen.name}, deadline);
        if (one.outcome != ScreenGrab::Outcome::taken) {
            one.problem = QStringLiteral("no picture of %1: %2").arg(screen.name, one.problem);
            return one;
        }
        pictures.push_back({screen.name, screen.geometry, one.screens.front().image});
    }
    return ScreenGrab::taken(std::move(pictures));
}

ScreenGrab captureWindowInteractively() {
    return call(QStringLiteral("CaptureInteractive"), {windowKind},
                QDeadlineTimer(QDeadlineTimer::Forever));
}

} // namespace KWinScreenShot
