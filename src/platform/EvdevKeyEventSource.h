#pragma once

#include "KeyEventSource.h"
#include "LinuxKeyboardState.h"

#include <QString>

#include <memory>
#include <vector>

class QFileSystemWatcher;
class QSocketNotifier;
struct libevdev;

// The keyboards under /dev/input, read-only and never grabbed: every other
// program keeps getting every key. Reading them needs the user's permission
// (membership of the "input" group, or an ACL); without it start() fails.
class EvdevKeyEventSource : public KeyEventSource {
    Q_OBJECT

public:
    explicit EvdevKeyEventSource(QString deviceFolder = QStringLiteral("/dev/input"));
    ~EvdevKeyEventSource() override;

    // True when at least one keyboard could be opened.
    bool start() override;
    void stop() override;

private:
    struct Device;

    void openKeyboard(const QString& path);
    void readDevice(Device& device);
    void reportInterruption();

    QString deviceFolder_;
    std::vector<std::unique_ptr<Device>> devices_;
    QFileSystemWatcher* hotplugWatcher_ = nullptr;
    LinuxKeyboardState keyboard_;
};
