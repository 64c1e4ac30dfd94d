#pragma once

#include "AnnotationView.h"
#include "ScreenRect.h"

#include <QPointer>
#include <QSize>
#include <QString>

// Opens annotation editors. Each open() makes a new, independent editor window;
// the controller remembers only the newest one.
class AnnotationWindowController {
public:
    // Opens an editor on the image at `path`; an unreadable file only beeps.
    void open(const QString& path);

    // Why open() would only beep: the file is missing, unreadable or holds no
    // image the editor reads (judged from its header); empty when it can open.
    static QString unreadableReason(const QString& path);

    // The most recently opened editor, while it is open.
    AnnotationView* window() const { return window_; }

    // The editor's first size on a screen whose usable area is `frame`.
    static QSize contentSize(const ScreenRect& frame);
    static constexpr QSize minimumContentSize{560, 420};
    // The largest the editor may grow on that screen.
    static QSize maximumContentSize(const ScreenRect& frame);

private:
    QPointer<AnnotationView> window_;
};
