#include "X11TopLevelWindows.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <algorithm>
#include <memory>
#include <optional>

namespace X11TopLevelWindows {

namespace {

using DisplayPtr = std::unique_ptr<Display, decltype(&XCloseDisplay)>;

// Up to `count` CARDINAL or WINDOW values of a property; empty when it is missing.
std::vector<unsigned long> longProperty(Display* display, Window window, const char* name,
                                        Atom type, long count) {
    Atom actualType = None;
    int format = 0;
    unsigned long items = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    const Atom property = XInternAtom(display, name, True);
    if (property == None ||
        XGetWindowProperty(display, window, property, 0, count, False, type, &actualType, &format,
                           &items, &remaining, &data) != Success)
        return {};
    std::vector<unsigned long> values;
    if (data && actualType == type && format == 32) {
        const auto* longs = reinterpret_cast<const unsigned long*>(data);
        values.assign(longs, longs + items);
    }
    if (data)
        XFree(data);
    return values;
}

std::optional<QRect> viewableRect(Display* display, Window window) {
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display, window, &attributes) || attributes.map_state != IsViewable ||
        attributes.c_class != InputOutput)
        return std::nullopt;
    int rootX = 0;
    int rootY = 0;
    Window child = None;
    XTranslateCoordinates(display, window, attributes.root, 0, 0, &rootX, &rootY, &child);
    return QRect(rootX - attributes.border_width, rootY - attributes.border_width,
                 attributes.width + 2 * attributes.border_width,
                 attributes.height + 2 * attributes.border_width);
}

// left, right, top, bottom, the order of both extents properties
QRect withExtents(QRect rect, const std::vector<unsigned long>& extents, int sign) {
    if (extents.size() != 4)
        return rect;
    return rect.adjusted(-sign * int(extents[0]), -sign * int(extents[2]), sign * int(extents[1]),
                         sign * int(extents[3]));
}

// With a window manager: its stacking list of client windows, each widened by
// the manager's frame and narrowed by the shadow a toolkit draws inside it.
std::vector<QRect> managedWindows(Display* display, Window root) {
    const std::vector<unsigned long> clients =
        longProperty(display, root, "_NET_CLIENT_LIST_STACKING", XA_WINDOW, 65536);
    std::vector<QRect> rects;
    for (auto it = clients.rbegin(); it != clients.rend(); ++it) {
        const std::optional<QRect> rect = viewableRect(display, *it);
        if (!rect)
            continue;
        QRect framed =
            withExtents(*rect, longProperty(display, *it, "_NET_FRAME_EXTENTS", XA_CARDINAL, 4), 1);
        framed = withExtents(framed,
                             longProperty(display, *it, "_GTK_FRAME_EXTENTS", XA_CARDINAL, 4), -1);
        rects.push_back(framed);
    }
    return rects;
}

// Without one: the children of the root window, which come bottom first.
std::vector<QRect> rootChildren(Display* display, Window root) {
    Window rootReturn = None;
    Window parent = None;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, root, &rootReturn, &parent, &children, &count))
        return {};
    std::vector<QRect> rects;
    for (unsigned int i = count; i-- > 0;) {
        if (const std::optional<QRect> rect = viewableRect(display, children[i]))
            rects.push_back(*rect);
    }
    if (children)
        XFree(children);
    return rects;
}

} // namespace

std::vector<QRect> topmostFirst() {
    const DisplayPtr display(XOpenDisplay(nullptr), &XCloseDisplay);
    if (!display)
        return {};
    const Window root = DefaultRootWindow(display.get());
    std::vector<QRect> rects = managedWindows(display.get(), root);
    if (rects.empty())
        rects = rootChildren(display.get(), root);
    std::erase_if(rects, [](const QRect& rect) { return rect.isEmpty(); });
    return rects;
}

} // namespace X11TopLevelWindows
