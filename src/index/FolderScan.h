#pragma once

#include "IndexFailure.h"
#include "SqliteConnection.h"

#include <QString>
#include <QStringList>

#include <ctime>
#include <optional>
#include <string_view>

struct ScanReport {
    int inserted = 0;
    int deleted = 0;
    // Image files whose names the index cannot hold: not UTF-8, or with a line
    // break, which the helper's one-path-a-line protocol cannot carry.
    int skipped = 0;
    // Set when a read or write failed; the scan stopped there and the counts
    // hold only what was committed before.
    std::optional<IndexFailure> failure;
};

// Keeps table `shots` in step with the image files in the source folders:
// rows of vanished files go, new image files come in. Image content is not read.
namespace FolderScan {

// The source folder, then the capture folder unless it is the same path.
QStringList orderedSourceDirs();

// Whether a file name ends in one of the indexed image extensions (any case).
bool hasImageExtension(std::string_view fileName);

// The capture time written into a screenshot's name ("2025-03-14 at 09.26.53",
// "2025-03-14_09.26.53", ...) as YYYY-MM-DDTHH:MM:SS in the name's own digits;
// otherwise the modification time as a UTC stamp.
QString parseTakenAt(const QString& fileName, const timespec& mtime);

// One pass over the given folders (one level, no recursion). Only regular files
// are indexed: folders, symbolic links and special files never are. Files that
// the helper could not read are offered again once their size or modification
// time changed.
ScanReport scan(SqliteConnection& db, const QStringList& folders);

// Takes in one new file at once, as the scan would, when it stands directly in
// one of `folders`; a file known already, or one the scan would pass over, is
// left alone.
ScanReport addFile(SqliteConnection& db, const QStringList& folders, const QString& path);

} // namespace FolderScan
