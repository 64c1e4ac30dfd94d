#include "AppIcon.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

// The resource lives in a static library; nothing else would pull it into the program.
static void loadIconResource() {
    Q_INIT_RESOURCE(glimber);
}

namespace AppIcon {

QIcon icon() {
    loadIconResource();
    // Rendered at the sizes panels ask for, so no size is a blurry scaling of another.
    QSvgRenderer renderer(QStringLiteral(":/glimber/glimber.svg"));
    QIcon result;
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        renderer.render(&painter);
        painter.end();
        result.addPixmap(pixmap);
    }
    return result;
}

} // namespace AppIcon
