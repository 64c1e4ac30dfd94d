#include "SwayDesktop.h"

#include "HeadlessDesktop.h"
#include "TestImages.h"
#include "WaylandInput.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDataStream>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QThread>
#include <QTransform>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

SwayDesktop* currentDesktop = nullptr;

constexpr int startTimeoutMs = 20'000;

// Sway's user when this process is root (CI is), as sway refuses to run as root.
constexpr char swayUserName[] = "glimber-e2e";
constexpr char cursorTheme[] = "Adwaita";

// Runs a program to its end. It waits without an event loop: the desktop
// starts before the application object that would turn one.
QByteArray run(const QString& program, const QStringList& arguments, bool* succeeded = nullptr) {
    QProcess process;
    HeadlessDesktop::tieToThisProcess(process);
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(program, arguments);
    const bool finished = process.waitForFinished(startTimeoutMs);
    if (succeeded)
        *succeeded =
            finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    return process.readAllStandardOutput();
}

template <typename Condition>
bool waitFor(Condition condition) {
    const QDeadlineTimer deadline(startTimeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(20);
    }
    return true;
}

bool writeFile(const QString& path, const QByteArray& content) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size() && file.flush();
}

// Sockets, unlike the lock files beside them, are neither files nor folders.
QString socketIn(const QString& folder, const QString& pattern) {
    const QStringList found = QDir(folder).entryList({pattern}, QDir::System);
    return found.isEmpty() ? QString() : QDir(folder).filePath(found.first());
}

// wlroots gives Xwayland a display only when /tmp/.X11-unix belongs to root or
// to sway's user, and an X server that another user started first may have
// made it its own; root puts it back the way the system makes it at boot.
bool claimX11SocketFolder() {
    constexpr char folder[] = "/tmp/.X11-unix";
    if (geteuid() != 0)
        return true;
    return (mkdir(folder, 01777) == 0 || errno == EEXIST) && chown(folder, 0, 0) == 0 &&
           chmod(folder, 01777) == 0;
}

// An Xcursor file of one see-through pixel.
QByteArray invisibleCursor() {
    QByteArray file;
    QDataStream out(&file, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    constexpr quint32 imageType = 0xfffd0002;
    constexpr quint32 nominalSize = 24;
    // Header, one table entry, then the image chunk: its header and its pixel.
    out << quint32(0x72756358) << quint32(16) << quint32(0x10000) << quint32(1);
    out << imageType << nominalSize << quint32(28);
    out << quint32(36) << imageType << nominalSize << quint32(1) << quint32(1) << quint32(1)
        << quint32(0) << quint32(0) << quint32(0) << quint32(0);
    return file;
}

// A cursor theme whose every arrow is see-through. Headless outputs draw the
// pointer into their pictures, where it would stand still over moving rows or
// spoil a comparison. It takes the name GTK and sway ask for by default, so
// every client on the desktop draws it.
bool writeInvisibleCursorTheme(const QString& icons) {
    const QString theme = icons + "/" + cursorTheme;
    if (!QDir().mkpath(theme + "/cursors") ||
        !writeFile(theme + "/index.theme", "[Icon Theme]\nName=" + QByteArray(cursorTheme) + "\n"))
        return false;
    for (const char* name : {"default", "left_ptr", "text", "xterm", "pointer", "hand1", "hand2",
                             "crosshair", "cross", "grabbing", "top_left_arrow"}) {
        if (!writeFile(theme + "/cursors/" + name, invisibleCursor()))
            return false;
    }
    return true;
}

QProcessEnvironment swayEnvironment(const QString& runtime, int outputs) {
    QProcessEnvironment environment;
    environment.insert("PATH", qEnvironmentVariable("PATH"));
    environment.insert("HOME", runtime);
    environment.insert("XDG_RUNTIME_DIR", runtime);
    environment.insert("WLR_BACKENDS", "headless");
    environment.insert("WLR_HEADLESS_OUTPUTS", QString::number(outputs));
    environment.insert("WLR_RENDERER", "pixman");
    environment.insert("WLR_LIBINPUT_NO_DEVICES", "1");
    environment.insert("XCURSOR_PATH", runtime + "/icons");
    return environment;
}

passwd* swayUser() {
    if (geteuid() != 0)
        return getpwuid(geteuid());
    // Tests running side by side may make the user at the same moment; the
    // one that loses finds /etc/passwd locked and waits for the other.
    passwd* user = nullptr;
    waitFor([&] {
        if (!(user = getpwnam(swayUserName)))
            run("useradd",
                {"--system", "--no-create-home", "--shell", "/usr/sbin/nologin", swayUserName});
        return (user = getpwnam(swayUserName)) != nullptr;
    });
    return user;
}

// Without service activation nothing starts on the bus behind the test's back:
// the document portal, for one, would mount itself into XDG_RUNTIME_DIR.
QByteArray busConfig(const QString& socket) {
    return "<busconfig>\n"
           "  <type>session</type>\n"
           "  <listen>unix:path=" +
           socket.toUtf8() +
           "</listen>\n"
           "  <auth>EXTERNAL</auth>\n"
           "  <policy context=\"default\">\n"
           "    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
           "    <allow eavesdrop=\"true\"/>\n"
           "    <allow own=\"*\"/>\n"
           "  </policy>\n"
           "</busconfig>\n";
}

void startService(QProcess& process, const QString& program,
                  const QProcessEnvironment& environment) {
    HeadlessDesktop::tieToThisProcess(process);
    process.setProcessEnvironment(environment);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(program);
}

// Whether `service` offers `interface` on the portal's object, whose every
// interface has a version.
bool answers(const QString& service, const QString& interface) {
    QDBusMessage get = QDBusMessage::createMethodCall(service, "/org/freedesktop/portal/desktop",
                                                      "org.freedesktop.DBus.Properties", "Get");
    get << interface << "version";
    return QDBusConnection::sessionBus().call(get, QDBus::Block, 1000).type() ==
           QDBusMessage::ReplyMessage;
}

QString geometryArgument(const QRect& area) {
    return QStringLiteral("%1,%2 %3x%4")
        .arg(area.x())
        .arg(area.y())
        .arg(area.width())
        .arg(area.height());
}

int colourDistance(QRgb a, QRgb b) {
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                     std::abs(qBlue(a) - qBlue(b))});
}

// Whether two pictures of one size differ no more than resampling makes them:
// in single pixels, but not once both are shrunk to a thumbnail.
bool alikeAsAWhole(const QImage& a, const QImage& b) {
    const QTransform toThumbnail = QTransform::fromScale(32.0 / a.width(), 32.0 / a.height());
    const QImage smallA =
        a.transformed(toThumbnail, Qt::SmoothTransformation).convertToFormat(QImage::Format_RGB32);
    const QImage smallB =
        b.transformed(toThumbnail, Qt::SmoothTransformation).convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < smallA.height(); ++y) {
        for (int x = 0; x < smallA.width(); ++x) {
            if (colourDistance(smallA.pixel(x, y), smallB.pixel(x, y)) > 8)
                return false;
        }
    }
    return true;
}

bool showsBackground(const QImage& shown, const SwayDesktop::Output& output) {
    if (shown.size() != output.background.size())
        return false;
    // At a fractional scale sway draws the output from a picture made for the
    // next whole one.
    if (std::floor(output.scale) != output.scale)
        return alikeAsAWhole(shown, output.background);
    return shown.convertToFormat(QImage::Format_RGB32) ==
           output.background.convertToFormat(QImage::Format_RGB32);
}

bool placedAsAsked(const SwayDesktop::Output& output, const QJsonArray& shown) {
    for (const QJsonValue& value : shown) {
        const QJsonObject candidate = value.toObject();
        const QJsonObject rect = candidate["rect"].toObject();
        if (candidate["name"].toString() == output.name)
            return candidate["active"].toBool() && candidate["scale"].toDouble() == output.scale &&
                   QRect(rect["x"].toInt(), rect["y"].toInt(), rect["width"].toInt(),
                         rect["height"].toInt()) == output.geometry();
    }
    return false;
}

} // namespace

QRect SwayDesktop::Output::geometry() const {
    // Sway drops the fraction of a logical size.
    return {position, QSize(int(mode.width() / scale), int(mode.height() / scale))};
}

std::vector<SwayDesktop::Output> SwayDesktop::twoOutputs() {
    // Each output's picture starts where the one before ended, so that no
    // colour appears twice on the desktop.
    return {
        {"HEADLESS-1", {1280, 800}, {0, 0}, 1, TestImages::positions({1280, 800})},
        {"HEADLESS-2", {1920, 1080}, {1280, 0}, 2, TestImages::positions({1920, 1080}, {0, 800})},
    };
}

SwayDesktop& SwayDesktop::current() {
    return *currentDesktop;
}

SwayDesktop::SwayDesktop(std::vector<Output> outputs)
    : outputs_(std::move(outputs))
    // Not below TMPDIR: sway's user has to reach the folder.
    , runtime_("/tmp/glimber-sway-XXXXXX") {
    currentDesktop = this;
    ready_ = startBus() && startSway() && waitFor([this] { return outputsShown(); });
    // After the look at the outputs: a pointer brings its arrow, which
    // headless outputs draw into the picture.
    if (ready_)
        input_ = std::make_unique<WaylandInput>(layout());
    ready_ = ready_ && input_->ready() && admitToXwayland();
}

SwayDesktop::~SwayDesktop() {
    currentDesktop = nullptr;
    input_.reset();
    // In the order they depend on each other: the portals on the bus and on sway.
    for (QProcess* process :
         {&portal_, &portalBackend_, &sessionManager_, &pipewire_, &bus_, &sway_}) {
        process->terminate();
        if (!process->waitForFinished(3000)) {
            process->kill();
            process->waitForFinished(3000);
        }
    }
}

QRect SwayDesktop::layout() const {
    QRect box;
    for (const Output& output : outputs_)
        box |= output.geometry();
    return box;
}

QByteArray SwayDesktop::swaymsg(const QStringList& arguments) const {
    return run("swaymsg", arguments);
}

QImage SwayDesktop::grim(const QString& geometry) const {
    // Uncompressed: the picture only goes through a pipe.
    QStringList arguments{"-l", "0"};
    if (!geometry.isEmpty())
        arguments << "-g" << geometry;
    return QImage::fromData(run("grim", arguments << "-"), "PNG");
}

bool SwayDesktop::startBus() {
    const QString config = runtime_.filePath("bus.conf");
    const QString socket = runtime_.filePath("bus");
    if (!writeFile(config, busConfig(socket)))
        return false;
    HeadlessDesktop::tieToThisProcess(bus_);
    bus_.setStandardErrorFile(QProcess::nullDevice());
    bus_.start("dbus-daemon", {"--nofork", "--config-file=" + config});
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + socket.toUtf8());
    return waitFor([this] { return !socketIn(runtime_.path(), "bus").isEmpty(); });
}

bool SwayDesktop::writeSwayConfig(const QString& path) const {
    // Xwayland from the start, so that it is there before the first X client.
    QByteArray config = "seat * xcursor_theme " + QByteArray(cursorTheme) +
                        " 24\n"
                        "xwayland force\n"
                        "default_border none\n"
                        "default_floating_border none\n";
    for (const Output& output : outputs_) {
        const QString background = runtime_.filePath(output.name + ".png");
        // Uncompressed, as swaybg reads it at every start.
        if (!output.background.save(background, "PNG", 100))
            return false;
        config += QStringLiteral("output %1 mode %2x%3 position %4 %5 scale %6 bg %7 stretch\n")
                      .arg(output.name)
                      .arg(output.mode.width())
                      .arg(output.mode.height())
                      .arg(output.position.x())
                      .arg(output.position.y())
                      .arg(output.scale)
                      .arg(background)
                      .toUtf8();
    }
    return writeFile(path, config);
}

bool SwayDesktop::startSway() {
    const passwd* user = swayUser();
    const QString config = runtime_.filePath("config");
    if (!user || !claimX11SocketFolder() ||
        chown(QFile::encodeName(runtime_.path()).constData(), user->pw_uid, user->pw_gid) != 0 ||
        !writeSwayConfig(config) || !writeInvisibleCursorTheme(runtime_.filePath("icons")))
        return false;
    sway_.setProcessEnvironment(swayEnvironment(runtime_.path(), int(outputs_.size())));
    HeadlessDesktop::tieToThisProcess(sway_);
    sway_.setStandardOutputFile(QProcess::nullDevice());
    sway_.setStandardErrorFile(QProcess::nullDevice());
    if (geteuid() == 0) {
        // Giving up root clears the parent-death signal; setpriv sets it again
        // before it becomes sway.
        sway_.start("setpriv", {"--reuid", QString::number(user->pw_uid), "--regid",
                                QString::number(user->pw_gid), "--init-groups", "--pdeathsig",
                                "KILL", "--", "sway", "-c", config});
    } else {
        sway_.start("sway", {"-c", config});
    }
    return exportSockets() && waitFor([] {
               bool answered = false;
               run("swaymsg", {"-t", "get_version"}, &answered);
               return answered;
           });
}

bool SwayDesktop::exportSockets() {
    QString wayland;
    QString ipc;
    if (!waitFor([&] {
            wayland = socketIn(runtime_.path(), "wayland-*");
            ipc = socketIn(runtime_.path(), "sway-ipc.*");
            return !wayland.isEmpty() && !ipc.isEmpty();
        }))
        return false;
    // Absolute: each test's home brings an XDG_RUNTIME_DIR of its own.
    qputenv("WAYLAND_DISPLAY", QFile::encodeName(wayland));
    qputenv("SWAYSOCK", QFile::encodeName(ipc));
    qputenv("XDG_SESSION_TYPE", "wayland");
    qputenv("XDG_CURRENT_DESKTOP", "sway");
    // Clients load their own arrows: from the see-through theme too.
    qputenv("XCURSOR_PATH", QFile::encodeName(runtime_.filePath("icons")));
    qputenv("XCURSOR_THEME", cursorTheme);
    return true;
}

bool SwayDesktop::outputsShown() const {
    const QJsonArray shown = QJsonDocument::fromJson(swaymsg({"-t", "get_outputs"})).array();
    return std::all_of(outputs_.begin(), outputs_.end(), [&](const Output& output) {
        return placedAsAsked(output, shown) &&
               showsBackground(grim(geometryArgument(output.geometry())), output);
    });
}

bool SwayDesktop::admitToXwayland() {
    // Sway's commands run as its user, with its Xwayland's DISPLAY; Xwayland
    // lets in no other user until that one says so.
    const QString file = runtime_.filePath("display");
    const QString letIn = geteuid() == 0 ? "xhost +si:localuser:root >/dev/null && " : "";
    swaymsg(
        {"exec", letIn + "printenv DISPLAY >" + file + ".part && mv " + file + ".part " + file});
    QByteArray display;
    if (!waitFor([&] {
            QFile written(file);
            display = written.open(QIODevice::ReadOnly) ? written.readAll().trimmed() : "";
            return !display.isEmpty();
        }))
        return false;
    qputenv("DISPLAY", display);
    return waitFor([] {
        bool connected = false;
        run("xdpyinfo", {}, &connected);
        return connected;
    });
}

QProcessEnvironment SwayDesktop::serviceEnvironment() const {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // The test's own XDG_RUNTIME_DIR goes with its home, and PipeWire's socket with it.
    environment.insert("XDG_RUNTIME_DIR", runtime_.path());
    return environment;
}

bool SwayDesktop::startPipeWire() {
    if (pipewire_.state() != QProcess::NotRunning)
        return true;
    startService(pipewire_, "pipewire", serviceEnvironment());
    if (!waitFor([this] { return !socketIn(runtime_.path(), "pipewire-0").isEmpty(); }))
        return false;
    // The session manager links a screen cast's stream to whoever asks for
    // it by its node, as on every desktop with PipeWire.
    startService(sessionManager_, "wireplumber", serviceEnvironment());
    return true;
}

QString SwayDesktop::pipeWireSocket() const {
    return runtime_.filePath("pipewire-0");
}

bool SwayDesktop::startPortals() {
    // xdg-desktop-portal 1.16 offers Screenshot only beside an Access backend,
    // which it never asks on behalf of a screenshot backend of version 1 like
    // xdg-desktop-portal-wlr's: the wlr backend stands for both, and is the
    // only one the portal finds.
    const QString portals = runtime_.filePath("portals");
    if (!QDir().mkpath(portals) ||
        !writeFile(portals + "/wlr.portal",
                   "[portal]\n"
                   "DBusName=org.freedesktop.impl.portal.desktop.wlr\n"
                   "Interfaces=org.freedesktop.impl.portal.Screenshot;"
                   "org.freedesktop.impl.portal.ScreenCast;org.freedesktop.impl.portal.Access;\n"
                   "UseIn=sway;\n"))
        return false;
    QProcessEnvironment environment = serviceEnvironment();
    environment.insert("XDG_DESKTOP_PORTAL_DIR", portals);
    // Each after the one it needs is there: the portal takes its backend's
    // version when it starts, and fails every request until the backend is up.
    if (!startPipeWire())
        return false;
    startService(portalBackend_, "/usr/libexec/xdg-desktop-portal-wlr", environment);
    if (!waitFor([] {
            return answers("org.freedesktop.impl.portal.desktop.wlr",
                           "org.freedesktop.impl.portal.Screenshot");
        }))
        return false;
    startService(portal_, "/usr/libexec/xdg-desktop-portal", environment);
    return waitFor([] {
        return answers("org.freedesktop.portal.Desktop", "org.freedesktop.portal.Screenshot");
    });
}
