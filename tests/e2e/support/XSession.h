#pragma once

#include <QByteArray>
#include <QPoint>
#include <QRect>

#include <optional>
#include <vector>

struct _XDisplay;

// A connection of the test's own to the X display: it types and clicks like a
// person (through XTest, one key at a time: `xdotool key Shift_R` would press
// the left Shift as well) and looks at the windows on the screen.
class XSession {
public:
    XSession();
    ~XSession();
    XSession(const XSession&) = delete;
    XSession& operator=(const XSession&) = delete;

    // X key codes: 62 right Shift, 38 "a", 9 Escape.
    void key(int keycode, bool down);
    void tap(int keycode);
    void moveTo(QPoint point);
    void button(bool down);
    void click(QPoint point);
    // Presses at `from`, moves in steps, releases at `to`.
    void drag(QPoint from, QPoint to);

    bool hasSelectionOwner(const char* selection);

    // Viewable windows whose WM_CLASS instance name is `instance`, anywhere in
    // the window tree, in root coordinates.
    std::vector<QRect> windowsOf(const QByteArray& instance);

    // Waits until qxcapture's overlay covers the whole screen, then a moment
    // more: mapped is not yet listening, it still has to take the keyboard.
    bool waitForCaptureOverlay(const QByteArray& program = "qxcapture");

private:
    void flush();

    _XDisplay* display_ = nullptr;
};
