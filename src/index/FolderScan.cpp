#include "FolderScan.h"

#include "ConfigStore.h"
#include "ShotSql.h"
#include "ShotTime.h"
#include "SqliteTransaction.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <unordered_set>

namespace FolderScan {

namespace {

using PathSet = std::unordered_set<std::string>;

constexpr std::array<std::string_view, 7> imageExts{"png",  "jpg",  "jpeg", "gif",
                                                    "heic", "tiff", "webp"};

bool exists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

bool isValidUtf8(std::string_view bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    // decode() is lazy: only the conversion to a string runs it and sets the error.
    const QString decoded = decoder.decode(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
    return !decoder.hasError();
}

// A name the index can hold: stored as text, and sent to the helper on a line of its own.
bool isStorableName(std::string_view name) {
    return name.find_first_of("\n\r") == std::string_view::npos && isValidUtf8(name);
}

std::optional<IndexFailure> knownPaths(SqliteConnection& db, PathSet& known) {
    auto select = db.prepare(ShotSql::selectPaths);
    if (!select)
        return IndexFailure::reading(db);
    while (select->step()) {
        // A NULL path cannot occur under NOT NULL, but a foreign file may hold one.
        const std::string_view path = select->columnUtf8(0);
        if (!path.empty())
            known.emplace(path);
    }
    if (select->failed())
        return IndexFailure::reading(db);
    return std::nullopt;
}

std::optional<IndexFailure> deleteVanished(SqliteConnection& db, PathSet& known, int& deleted) {
    std::vector<std::string> vanished;
    for (const std::string& path : known) {
        if (!exists(path))
            vanished.push_back(path);
    }
    if (vanished.empty())
        return std::nullopt;
    SqliteTransaction transaction(db);
    if (!transaction.begin())
        return IndexFailure::writing(db);
    for (const std::string& path : vanished) {
        auto remove = db.prepare(ShotSql::deleteByPath);
        if (!remove)
            return IndexFailure::writing(db);
        remove->bindText(1, path.c_str());
        if (!remove->run())
            return IndexFailure::writing(db);
    }
    if (!transaction.commit())
        return IndexFailure::writing(db);
    for (const std::string& path : vanished)
        known.erase(path);
    deleted = int(vanished.size());
    return std::nullopt;
}

struct ChangedFile {
    qint64 id;
    struct stat info;
};

// A file the helper could not read may have been caught while it was still
// being written (a slow copy into the folder): once its size or modification
// time differ from the row's, it is offered to OCR again.
std::optional<IndexFailure> reofferChangedUnreadable(SqliteConnection& db) {
    std::vector<ChangedFile> changed;
    auto select = db.prepare(ShotSql::selectUnreadableStates);
    if (!select)
        return IndexFailure::reading(db);
    while (select->step()) {
        ChangedFile file{select->columnInt64(0), {}};
        const std::string path(select->columnUtf8(1));
        if (lstat(path.c_str(), &file.info) == 0 &&
            (file.info.st_size != select->columnInt64(2) ||
             ShotTime::millisecondsSinceEpoch(file.info.st_mtim) != select->columnInt64(3)))
            changed.push_back(file);
    }
    if (select->failed())
        return IndexFailure::reading(db);
    if (changed.empty())
        return std::nullopt;
    SqliteTransaction transaction(db);
    if (!transaction.begin())
        return IndexFailure::writing(db);
    for (const ChangedFile& file : changed) {
        auto update = db.prepare(ShotSql::reofferChanged);
        if (!update)
            return IndexFailure::writing(db);
        update->bindInt64(1, file.info.st_size);
        update->bindInt64(2, ShotTime::millisecondsSinceEpoch(file.info.st_mtim));
        update->bindInt64(3, file.id);
        if (!update->run())
            return IndexFailure::writing(db);
    }
    if (!transaction.commit())
        return IndexFailure::writing(db);
    return std::nullopt;
}

struct NewFile {
    std::string path;
    std::string_view name;
    struct stat info;
};

std::optional<IndexFailure> insertRow(SqliteConnection& db, const NewFile& file,
                                      const QString& indexedAt) {
    auto insert = db.prepare(ShotSql::insertShot);
    if (!insert)
        return IndexFailure::writing(db);
    const QString name = QString::fromUtf8(file.name.data(), qsizetype(file.name.size()));
    insert->bindText(1, file.path.c_str());
    insert->bindText(2, name);
    insert->bindInt64(3, file.info.st_size);
    insert->bindInt64(4, ShotTime::millisecondsSinceEpoch(file.info.st_mtim));
    insert->bindText(5, parseTakenAt(name, file.info.st_mtim));
    insert->bindText(6, indexedAt);
    if (!insert->run())
        return IndexFailure::writing(db);
    return std::nullopt;
}

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};

std::optional<IndexFailure> insertNewFiles(SqliteConnection& db, const QString& folder,
                                           PathSet& known, const QString& indexedAt,
                                           ScanReport& report) {
    std::unique_ptr<DIR, DirCloser> dir(opendir(folder.toUtf8().constData()));
    if (!dir)
        return std::nullopt;
    const std::string prefix = folder.toUtf8().toStdString() + '/';
    while (const dirent* entry = readdir(dir.get())) {
        const std::string_view name = entry->d_name;
        if (!hasImageExtension(name))
            continue;
        NewFile file{prefix + entry->d_name, name, {}};
        if (known.contains(file.path))
            continue;
        if (fstatat(dirfd(dir.get()), entry->d_name, &file.info, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISREG(file.info.st_mode))
            continue;
        // Stored as it is, such a name would point nowhere (not UTF-8) or reach
        // the helper in pieces (a line break).
        if (!isStorableName(name)) {
            ++report.skipped;
            continue;
        }
        if (auto failure = insertRow(db, file, indexedAt))
            return failure;
        known.insert(file.path);
        ++report.inserted;
    }
    return std::nullopt;
}

std::optional<IndexFailure> insertAll(SqliteConnection& db, const QStringList& folders,
                                      PathSet& known, ScanReport& report) {
    const QString indexedAt = ShotTime::utcStamp(ShotTime::now());
    ScanReport counted;
    SqliteTransaction transaction(db);
    if (!transaction.begin())
        return IndexFailure::writing(db);
    for (const QString& folder : folders) {
        if (auto failure = insertNewFiles(db, folder, known, indexedAt, counted))
            return failure;
    }
    if (!transaction.commit())
        return IndexFailure::writing(db);
    report.inserted = counted.inserted;
    report.skipped = counted.skipped;
    return std::nullopt;
}

} // namespace

QStringList orderedSourceDirs() {
    QStringList folders{ConfigStore::resolveSource()};
    const QString captures = ConfigStore::resolveCaptureDir();
    if (captures != folders.first())
        folders.append(captures);
    return folders;
}

bool hasImageExtension(std::string_view fileName) {
    const std::size_t dot = fileName.rfind('.');
    if (dot == std::string_view::npos)
        return false;
    const std::string_view extension = fileName.substr(dot + 1);
    const auto sameIgnoringAsciiCase = [](std::string_view a, std::string_view lower) {
        return std::equal(a.begin(), a.end(), lower.begin(), lower.end(), [](char x, char y) {
            return (x >= 'A' && x <= 'Z' ? char(x - 'A' + 'a') : x) == y;
        });
    };
    return std::any_of(imageExts.begin(), imageExts.end(), [&](std::string_view known) {
        return sameIgnoringAsciiCase(extension, known);
    });
}

QString parseTakenAt(const QString& fileName, const timespec& mtime) {
    // \d, \s and \D in their Unicode meaning, as screenshot tools may localise digits.
    constexpr auto options =
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::UseUnicodePropertiesOption;
    thread_local const std::array<QRegularExpression, 2> patterns{
        QRegularExpression(
            QStringLiteral(R"((\d{4})-(\d{2})-(\d{2})\s*at\s*(\d{2})[.:](\d{2})[.:](\d{2}))"),
            options),
        QRegularExpression(
            QStringLiteral(R"((\d{4})-(\d{2})-(\d{2})\D+(\d{2})[.:](\d{2})[.:](\d{2}))"), options),
    };
    for (const QRegularExpression& pattern : patterns) {
        const QRegularExpressionMatch match = pattern.match(fileName);
        if (match.hasMatch()) {
            return match.captured(1) + u'-' + match.captured(2) + u'-' + match.captured(3) + u'T' +
                   match.captured(4) + u':' + match.captured(5) + u':' + match.captured(6);
        }
    }
    return ShotTime::utcStamp(mtime);
}

ScanReport scan(SqliteConnection& db, const QStringList& folders) {
    ScanReport report;
    PathSet known;
    report.failure = knownPaths(db, known);
    if (!report.failure)
        report.failure = deleteVanished(db, known, report.deleted);
    if (!report.failure)
        report.failure = reofferChangedUnreadable(db);
    if (!report.failure)
        report.failure = insertAll(db, folders, known, report);
    return report;
}

ScanReport addFile(SqliteConnection& db, const QStringList& folders, const QString& path) {
    ScanReport report;
    // Spelt as the scan spells the paths it finds, or it would add the file twice.
    const QString fileName = QFileInfo(path).fileName();
    const bool inFolder = std::any_of(folders.begin(), folders.end(), [&](const QString& folder) {
        return path == folder + u'/' + fileName;
    });
    const std::string utf8 = path.toStdString();
    NewFile added{utf8, std::string_view(utf8).substr(utf8.size() - fileName.toUtf8().size()), {}};
    if (!inFolder || fileName.isEmpty() || !hasImageExtension(added.name) ||
        !isStorableName(added.name) || lstat(utf8.c_str(), &added.info) != 0 ||
        !S_ISREG(added.info.st_mode))
        return report;
    report.failure = insertRow(db, added, ShotTime::utcStamp(ShotTime::now()));
    if (!report.failure)
        report.inserted = int(db.changes());
    return report;
}

} // namespace FolderScan
