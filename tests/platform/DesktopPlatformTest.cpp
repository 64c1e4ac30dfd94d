// What the platform layer reads from the session: which kind it is, and
// where sway says the windows are.
#include "DesktopSession.h"
#include "SwayWindows.h"

#include <gtest/gtest.h>

namespace {

QProcessEnvironment environmentOf(const std::map<QString, QString>& variables) {
    QProcessEnvironment environment;
    for (const auto& [name, value] : variables)
        environment.insert(name, value);
    return environment;
}

TEST(DesktopSession, TellsWaylandFromX11ByTheSessionNotByQt) {
    struct Case {
        const char* name;
        std::map<QString, QString> variables;
        bool wayland, sway, kde;
        QString display;
    };
    const Case cases[] = {
        {"X11", {{"DISPLAY", ":0"}, {"XDG_SESSION_TYPE", "x11"}}, false, false, false, ":0"},
        {"sway with Xwayland, whatever Qt runs on",
         {{"WAYLAND_DISPLAY", "wayland-1"},
          {"DISPLAY", ":0"},
          {"SWAYSOCK", "/run/sway.sock"},
          {"QT_QPA_PLATFORM", "xcb"}},
         true,
         true,
         false,
         "wayland-1"},
        {"a Wayland session that leaves WAYLAND_DISPLAY to its default",
         {{"XDG_SESSION_TYPE", "wayland"}, {"XDG_CURRENT_DESKTOP", "KDE"}},
         true,
         false,
         true,
         "wayland-0"},
        {"Plasma names itself among others",
         {{"WAYLAND_DISPLAY", "wayland-0"}, {"XDG_CURRENT_DESKTOP", "ubuntu:KDE"}},
         true,
         false,
         true,
         "wayland-0"},
        {"a leftover SWAYSOCK in an X11 session",
         {{"DISPLAY", ":1"}, {"SWAYSOCK", "/run/old.sock"}},
         false,
         false,
         false,
         ":1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const DesktopSession session = DesktopSession::fromEnvironment(environmentOf(c.variables));
        EXPECT_EQ(session.wayland, c.wayland);
        EXPECT_EQ(session.sway, c.sway);
        EXPECT_EQ(session.kde, c.kde);
        EXPECT_EQ(session.display, c.display);
    }
}

// The shape of sway's GET_TREE answer, cut down to what matters.
const char* const tree = R"({"type": "root", "nodes": [
  {"type": "output", "name": "__i3", "nodes": [{"type": "workspace", "name": "__i3_scratch",
    "fullscreen_mode": 1, "floating_nodes": [
      {"type": "floating_con", "pid": 7, "visible": false, "rect": {"x": 0, "y": 0, "width": 500, "height": 400}}]}]},
  {"type": "output", "name": "HEADLESS-1", "nodes": [
    {"type": "workspace", "name": "1", "fullscreen_mode": 1,
     "nodes": [
       {"type": "con", "pid": 1, "visible": true, "fullscreen_mode": 0, "rect": {"x": 0, "y": 0, "width": 640, "height": 800}},
       {"type": "con", "layout": "splitv", "nodes": [
         {"type": "con", "pid": 2, "visible": true, "rect": {"x": 640, "y": 0, "width": 640, "height": 400}},
         {"type": "con", "pid": 3, "visible": true, "rect": {"x": 640, "y": 400, "width": 640, "height": 400}}]}],
     "floating_nodes": [
       {"type": "floating_con", "pid": 4, "visible": true, "rect": {"x": 100, "y": 100, "width": 300, "height": 200}},
       {"type": "floating_con", "pid": 5, "visible": true, "rect": {"x": 150, "y": 150, "width": 300, "height": 200}}]},
    {"type": "workspace", "name": "3", "nodes": [
       {"type": "con", "pid": 6, "visible": false, "rect": {"x": 0, "y": 0, "width": 1280, "height": 800}}]}]},
  {"type": "output", "name": "HEADLESS-2", "nodes": [
    {"type": "workspace", "name": "2", "nodes": [
       {"type": "con", "pid": 8, "visible": true, "fullscreen_mode": 1, "rect": {"x": 1280, "y": 0, "width": 960, "height": 540}},
       {"type": "con", "pid": 9, "visible": true, "rect": {"x": 1280, "y": 0, "width": 0, "height": 0}}]}]}]})";

TEST(SwayWindows, VisibleWindowsTopmostFirstFullScreenThenFloatingLastRaisedFirstThenTiled) {
    EXPECT_EQ(SwayWindows::fromTree(tree), (std::vector<QRect>{{1280, 0, 960, 540},
                                                               {150, 150, 300, 200},
                                                               {100, 100, 300, 200},
                                                               {0, 0, 640, 800},
                                                               {640, 0, 640, 400},
                                                               {640, 400, 640, 400}}));
    EXPECT_TRUE(SwayWindows::fromTree("not json").empty());
}

} // namespace
