#include "EvdevKeyEventSource.h"

#include <QDir>
#include <QFile>
#include <QFileSystemWatcher>
#include <QSocketNotifier>

#include <fcntl.h>
#include <libevdev/libevdev.h>
#include <unistd.h>

struct EvdevKeyEventSource::Device {
    int fd = -1;
    libevdev* evdev = nullptr;
    QSocketNotifier* notifier = nullptr;

    ~Device() {
        if (notifier) {
            notifier->setEnabled(false);
            notifier->deleteLater();
        }
        if (evdev)
            libevdev_free(evdev);
        if (fd >= 0)
            close(fd);
    }
};

namespace {

bool isKeyboard(const libevdev* evdev) {
    return libevdev_has_event_code(evdev, EV_KEY, KEY_A) ||
           libevdev_has_event_code(evdev, EV_KEY, KEY_RIGHTSHIFT);
}

// Mouse, joystick and pen buttons arrive as EV_KEY events too; they are no keys.
bool isButton(unsigned code) {
    return code >= BTN_MISC && code < KEY_OK;
}

} // namespace

EvdevKeyEventSource::EvdevKeyEventSource(QString deviceFolder)
    : deviceFolder_(std::move(deviceFolder)) {}

EvdevKeyEventSource::~EvdevKeyEventSource() {
    stop();
}

bool EvdevKeyEventSource::start() {
    if (!devices_.empty())
        return true;
    const QStringList nodes =
        QDir(deviceFolder_).entryList({QStringLiteral("event*")}, QDir::System | QDir::Files);
    for (const QString& node : nodes)
        openKeyboard(QDir(deviceFolder_).filePath(node));
    if (devices_.empty())
        return false;
    keyboard_.reset();
    // A keyboard plugged in later shows up as a new node: the stream is opened
    // again to include it.
    hotplugWatcher_ = new QFileSystemWatcher({deviceFolder_}, this);
    connect(hotplugWatcher_, &QFileSystemWatcher::directoryChanged, this,
            &EvdevKeyEventSource::reportInterruption);
    return true;
}

void EvdevKeyEventSource::openKeyboard(const QString& path) {
    auto device = std::make_unique<Device>();
    device->fd = open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (device->fd < 0 || libevdev_new_from_fd(device->fd, &device->evdev) != 0 ||
        !isKeyboard(device->evdev))
        return;
    Device& opened = *device;
    device->notifier = new QSocketNotifier(device->fd, QSocketNotifier::Read, this);
    connect(device->notifier, &QSocketNotifier::activated, this,
            [this, &opened] { readDevice(opened); });
    devices_.push_back(std::move(device));
}

void EvdevKeyEventSource::stop() {
    devices_.clear();
    if (hotplugWatcher_) {
        hotplugWatcher_->deleteLater();
        hotplugWatcher_ = nullptr;
    }
}

void EvdevKeyEventSource::readDevice(Device& device) {
    input_event event{};
    for (;;) {
        const int status = libevdev_next_event(device.evdev, LIBEVDEV_READ_FLAG_NORMAL, &event);
        if (status == -EAGAIN)
            return;
        // Dropped events (the kernel's buffer overran) or a vanished device: what
        // is held is no longer known, so the stream has to start over.
        if (status != LIBEVDEV_READ_STATUS_SUCCESS) {
            device.notifier->setEnabled(false);
            reportInterruption();
            return;
        }
        if (event.type != EV_KEY || isButton(event.code))
            continue;
        std::optional<KeyEvent> translated;
        if (event.value == 1 || event.value == 2)
            translated = keyboard_.press(event.code);
        else if (event.value == 0)
            translated = keyboard_.release(event.code);
        if (translated)
            Q_EMIT keyEvent(*translated);
    }
}

void EvdevKeyEventSource::reportInterruption() {
    Q_EMIT keyEvent(KeyEvent{KeyEvent::Type::interrupted, 0, 0});
}
