#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryFile>

#include <cstdint>
#include <functional>
#include <vector>

// The rows of a scrolling capture, kept out of memory: rows gather into strips
// of a few dozen, each strip is deflated and appended to a temporary file.
// A result 100,000 pixels tall and 1,600 wide would be 640 MB as plain pixels;
// this way only one strip is ever held.
class StripStore {
public:
    // Rows of `width` pixels of 4 bytes (QImage::Format_RGB32).
    explicit StripStore(int width);

    int width() const { return width_; }
    int rows() const { return rows_; }
    // Why the last operation failed; empty while all is well.
    const QString& error() const { return error_; }

    // Appends one row of width() pixels; false once the disk refused.
    bool append(const uchar* row);

    // Hands every row to `visit` in order, then returns true; stops and
    // returns false when a strip cannot be read back or `visit` says so.
    bool forEachRow(const std::function<bool(const uchar* row)>& visit);

private:
    bool flushStrip();

    int width_;
    qsizetype rowBytes_;
    int rows_ = 0;
    QByteArray strip_; // rows not yet deflated
    QTemporaryFile file_;
    std::vector<std::int64_t> stripEnds_; // file offsets after each strip
    QString error_;
};
