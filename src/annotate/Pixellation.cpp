#include "Pixellation.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace Pixellation {

namespace {

// Where cells begin along one axis within [from, to): a pixel belongs to the
// cell that holds its centre.
std::vector<int> cellEdges(int from, int to, double centre, double cell) {
    std::vector<int> edges{from};
    for (double k = std::floor((from - centre) / cell);; ++k) {
        const int edge = int(std::ceil(centre + k * cell - 0.5));
        if (edge >= to)
            break;
        if (edge > edges.back())
            edges.push_back(edge);
    }
    edges.push_back(to);
    return edges;
}

QRgb meanOf(const QImage& pixels, const QRect& cell) {
    std::uint64_t sum[4] = {0, 0, 0, 0};
    for (int y = cell.top(); y <= cell.bottom(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(pixels.constScanLine(y));
        for (int x = cell.left(); x <= cell.right(); ++x) {
            sum[0] += qAlpha(row[x]);
            sum[1] += qRed(row[x]);
            sum[2] += qGreen(row[x]);
            sum[3] += qBlue(row[x]);
        }
    }
    const std::uint64_t n = std::uint64_t(cell.width()) * std::uint64_t(cell.height());
    const auto mean = [n](std::uint64_t total) { return int((total + n / 2) / n); };
    return qRgba(mean(sum[1]), mean(sum[2]), mean(sum[3]), mean(sum[0]));
}

void fill(QImage& out, const QRect& cell, QRgb colour) {
    for (int y = cell.top(); y <= cell.bottom(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
        std::fill(row + cell.left(), row + cell.right() + 1, colour);
    }
}

} // namespace

double cellSize(const QRect& area) {
    return std::clamp(std::min(area.width(), area.height()) * 0.0625, 8.0, 20.0);
}

QRect pixelArea(const QRectF& rect, double sx, double sy) {
    const QRectF r = rect.normalized();
    const int x0 = int(std::floor(r.x() * sx));
    const int y0 = int(std::floor(r.y() * sy));
    const int x1 = int(std::ceil((r.x() + r.width()) * sx));
    const int y1 = int(std::ceil((r.y() + r.height()) * sy));
    return QRect(x0, y0, x1 - x0, y1 - y0);
}

QImage pixellate(const QImage& source, const QRect& area) {
    QImage out(area.size(), QImage::Format_ARGB32_Premultiplied);
    out.fill(Qt::transparent);
    // The same area with rows counted from the top, as QImage counts them.
    const QRect down(area.x(), source.height() - area.y() - area.height(), area.width(),
                     area.height());
    const QRect valid = down & source.rect();
    if (valid.isEmpty())
        return out;
    const QImage pixels = source.copy(valid).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const double cell = cellSize(area);
    const QPointF centre(down.x() + down.width() / 2.0, down.y() + down.height() / 2.0);
    const std::vector<int> columns = cellEdges(valid.left(), valid.right() + 1, centre.x(), cell);
    const std::vector<int> rows = cellEdges(valid.top(), valid.bottom() + 1, centre.y(), cell);
    for (std::size_t j = 0; j + 1 < rows.size(); ++j) {
        for (std::size_t i = 0; i + 1 < columns.size(); ++i) {
            const QRect inSource(QPoint(columns[i], rows[j]),
                                 QPoint(columns[i + 1] - 1, rows[j + 1] - 1));
            const QRgb colour = meanOf(pixels, inSource.translated(-valid.topLeft()));
            fill(out, inSource.translated(-down.topLeft()), colour);
        }
    }
    return out;
}

} // namespace Pixellation
