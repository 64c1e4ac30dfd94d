// Qt's global coordinates grow downward from the primary screen's top-left
// corner; the placement rule is worked out with y growing upward. The two meet
// here and nowhere else: y-up = bottom edge of the primary screen - y-down.
#include "WindowPlacement.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace WindowPlacement {

namespace {

double primaryBottom() {
    const QScreen* primary = QGuiApplication::primaryScreen();
    return primary ? primary->geometry().y() + primary->geometry().height() : 0.0;
}

ScreenRect toYUp(const QRect& rect, double bottom) {
    return {double(rect.x()), bottom - (rect.y() + rect.height()), double(rect.width()),
            double(rect.height())};
}

} // namespace

ScreenRect activeScreenVisibleFrame() {
    const double bottom = primaryBottom();
    const QList<QScreen*> qtScreens = QGuiApplication::screens();
    std::vector<Screen> screens;
    std::optional<std::size_t> mainScreen;
    const QWindow* focused = QGuiApplication::focusWindow();
    for (qsizetype i = 0; i < qtScreens.size(); ++i) {
        screens.push_back({toYUp(qtScreens[i]->geometry(), bottom),
                           toYUp(qtScreens[i]->availableGeometry(), bottom)});
        if (focused && focused->screen() == qtScreens[i])
            mainScreen = std::size_t(i);
    }
    const QPoint pointer = QCursor::pos();
    return activeScreenVisibleFrame(screens, QPointF(pointer.x(), bottom - pointer.y()),
                                    mainScreen);
}

void placeOnActiveScreen(QWidget& window, double topMargin) {
    const QSize size = window.isVisible() ? window.frameGeometry().size() : window.size();
    const QPointF origin = placedOrigin(activeScreenVisibleFrame(), QSizeF(size), topMargin);
    const double top = primaryBottom() - (origin.y() + size.height());
    window.move(qRound(origin.x()), qRound(top));
}

} // namespace WindowPlacement
