#include "ImageScaling.h"

#include <algorithm>
#include <cmath>

namespace ImageScaling {

QSize fittedSize(QSize source, double maxEdge) {
    const int w = source.width();
    const int h = source.height();
    if (w <= 0 || h <= 0)
        return {};
    const double longer = w <= h ? h : w;
    const double s = std::min(maxEdge / longer, 1.0);
    // A 1 x 40,000 strip still needs one pixel across.
    return QSize(std::max(1, int(std::lround(w * s))), std::max(1, int(std::lround(h * s))));
}

int pixelEdge(double points, double devicePixelRatio) {
    return int(std::ceil(points * std::max(devicePixelRatio, 1.0)));
}

QString cacheKey(double maxEdge, const QString& path) {
    return QString::number(static_cast<long long>(maxEdge)) + u':' + path;
}

} // namespace ImageScaling
