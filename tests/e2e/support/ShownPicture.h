#pragma once

#include <QImage>
#include <QProcess>
#include <QString>
#include <QStringList>

// A window of a program of the test's own (show_picture) that shows a
// picture pixel for pixel, on the platform `environment` names; at `place`
// ("X", "Y") as an X11 window no window manager moves. It goes with the object.
class ShownPicture {
public:
    ShownPicture(const QImage& picture, const QString& file, const QProcessEnvironment& environment,
                 const QStringList& place = {});
    ~ShownPicture();
    ShownPicture(const ShownPicture&) = delete;
    ShownPicture& operator=(const ShownPicture&) = delete;

    bool shown() const { return shown_; }

private:
    QProcess process_;
    bool shown_ = false;
};
