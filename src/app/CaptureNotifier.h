#pragma once

#include "NotificationCenter.h"

#include <QObject>
#include <QString>

#include <deque>

// After each capture, a notification that shows the shot and offers the next
// step: annotate it, show it in its folder and, once its text is read, copy
// the text. The notifications of the last few captures stay answerable.
class CaptureNotifier : public QObject {
    Q_OBJECT

public:
    explicit CaptureNotifier(NotificationCenter& center, QObject* parent = nullptr);

    // A capture saved at `path` and copied.
    void captured(const QString& path);
    // Its text, read: the notification gains "Copy Text" where it has buttons.
    void textRead(const QString& path, const QString& text);

Q_SIGNALS:
    void annotateRequested(const QString& path);

private:
    struct Shown {
        QString path;
        uint id = 0; // 0 until the server has answered
        QString text;
    };
    Shown* find(const QString& path);
    void show(const Shown& shot);
    void act(uint id, const QString& key);

    NotificationCenter& center_;
    std::deque<Shown> shown_; // the newest last
};
