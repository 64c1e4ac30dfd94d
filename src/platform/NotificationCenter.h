#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// Desktop notifications with a picture and buttons, and word of the button
// pressed (org.freedesktop.Notifications on the session bus). A server that
// shows no pictures or no buttons shows the rest.
class NotificationCenter : public QObject {
    Q_OBJECT

public:
    struct Action {
        QString key;
        QString label;
    };
    struct Message {
        QString title;
        QString body; // plain text
        QString imagePath;
        QList<Action> actions;
    };

    explicit NotificationCenter(QObject* parent = nullptr);

    // Shows `message`, in place of notification `replaces` when that is not 0;
    // `shown` then gets its id, or 0 when no server took it.
    void show(const Message& message, uint replaces, std::function<void(uint id)> shown);
    // Whether the server shows buttons; none until it has said, or without a server.
    bool hasButtons() const { return hasButtons_; }

Q_SIGNALS:
    void actionInvoked(uint id, const QString& key);

private Q_SLOTS:
    void takeAction(uint id, const QString& key);

private:
    bool hasButtons_ = false;
};
