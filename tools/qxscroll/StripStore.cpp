#include "StripStore.h"

#include <QDir>

#include <zlib.h>

namespace {

constexpr int rowsPerStrip = 32;

} // namespace

StripStore::StripStore(int width)
    : width_(width)
    , rowBytes_(qsizetype(width) * 4)
    , file_(QDir(QDir::tempPath()).filePath(QStringLiteral("qxscroll-XXXXXX.strips"))) {
    strip_.reserve(rowBytes_ * rowsPerStrip);
}

bool StripStore::append(const uchar* row) {
    if (!error_.isEmpty())
        return false;
    strip_.append(reinterpret_cast<const char*>(row), rowBytes_);
    ++rows_;
    return strip_.size() < rowBytes_ * rowsPerStrip || flushStrip();
}

bool StripStore::flushStrip() {
    if (strip_.isEmpty())
        return true;
    if (!file_.isOpen() && !file_.open()) {
        error_ = QStringLiteral("cannot create a temporary file in %1: %2")
                     .arg(QDir::tempPath(), file_.errorString());
        return false;
    }
    // The fastest level: screen content deflates well even so, and the grab
    // loop must not wait for it.
    uLongf size = compressBound(uLong(strip_.size()));
    QByteArray packed(qsizetype(size), Qt::Uninitialized);
    if (compress2(reinterpret_cast<Bytef*>(packed.data()), &size,
                  reinterpret_cast<const Bytef*>(strip_.constData()), uLong(strip_.size()),
                  Z_BEST_SPEED) != Z_OK) {
        error_ = QStringLiteral("cannot compress the captured rows");
        return false;
    }
    if (file_.write(packed.constData(), qint64(size)) != qint64(size)) {
        error_ = QStringLiteral("cannot keep the captured rows in %1: %2")
                     .arg(file_.fileName(), file_.errorString());
        return false;
    }
    stripEnds_.push_back(file_.pos());
    strip_.clear();
    return true;
}

bool StripStore::forEachRow(const std::function<bool(const uchar* row)>& visit) {
    if (!flushStrip() || (file_.isOpen() && !file_.flush()))
        return false;
    QByteArray packed;
    QByteArray rows(rowBytes_ * rowsPerStrip, Qt::Uninitialized);
    std::int64_t start = 0;
    int left = rows_;
    for (const std::int64_t end : stripEnds_) {
        packed.resize(qsizetype(end - start));
        uLongf size = uLongf(rows.size());
        if (!file_.seek(start) || file_.read(packed.data(), packed.size()) != packed.size() ||
            uncompress(reinterpret_cast<Bytef*>(rows.data()), &size,
                       reinterpret_cast<const Bytef*>(packed.constData()),
                       uLong(packed.size())) != Z_OK ||
            size % uLongf(rowBytes_) != 0) {
            error_ =
                QStringLiteral("cannot read the captured rows back from %1").arg(file_.fileName());
            return false;
        }
        for (uLongf offset = 0; offset < size && left > 0; offset += uLongf(rowBytes_), --left) {
            if (!visit(reinterpret_cast<const uchar*>(rows.constData()) + offset))
                return false;
        }
        start = end;
    }
    // Later appends continue at the end of the file.
    return file_.seek(start);
}
