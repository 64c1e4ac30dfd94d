#include "FolderScan.h"

#include "ConfigStore.h"
#include "ShotSql.h"
#include "ShotTime.h"

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
    (void)decoder.decode(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
    return !decoder.hasError();
}

PathSet knownPaths(SqliteConnection& db) {
    PathSet known;
    if (auto select = db.prepare(ShotSql::selectPaths)) {
        while (select->step()) {
            // A NULL path cannot occur under NOT NULL, but a foreign file may hold one.
            const std::string_view path = select->columnUtf8(0);
            if (!path.empty())
                known.emplace(path);
        }
    }
    return known;
}

int deleteVanished(SqliteConnection& db, PathSet& known) {
    std::vector<std::string> vanished;
    for (const std::string& path : known) {
        if (!exists(path))
            vanished.push_back(path);
    }
    if (vanished.empty())
        return 0;
    db.exec(ShotSql::begin);
    for (const std::string& path : vanished) {
        if (auto remove = db.prepare(ShotSql::deleteByPath)) {
            remove->bindText(1, path.c_str());
            remove->step();
        }
        known.erase(path);
    }
    db.exec(ShotSql::commit);
    return int(vanished.size());
}

struct NewFile {
    std::string path;
    std::string_view name;
    struct stat info;
};

bool insertRow(SqliteConnection& db, const NewFile& file, const QString& indexedAt) {
    auto insert = db.prepare(ShotSql::insertShot);
    if (!insert)
        return false;
    const QString name = QString::fromUtf8(file.name.data(), qsizetype(file.name.size()));
    insert->bindText(1, file.path.c_str());
    insert->bindText(2, name);
    insert->bindInt64(3, file.info.st_size);
    insert->bindInt64(4, ShotTime::millisecondsSinceEpoch(file.info.st_mtim));
    insert->bindText(5, parseTakenAt(name, file.info.st_mtim));
    insert->bindText(6, indexedAt);
    insert->step();
    return true;
}

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};

int insertNewFiles(SqliteConnection& db, const QString& folder, PathSet& known,
                   const QString& indexedAt) {
    std::unique_ptr<DIR, DirCloser> dir(opendir(folder.toUtf8().constData()));
    if (!dir)
        return 0;
    const std::string prefix = folder.toUtf8().toStdString() + '/';
    int inserted = 0;
    while (const dirent* entry = readdir(dir.get())) {
        const std::string_view name = entry->d_name;
        if (!hasImageExtension(name))
            continue;
        NewFile file{prefix + entry->d_name, name, {}};
        if (known.contains(file.path))
            continue;
        // A name that is not UTF-8 cannot be stored faithfully as text: its row
        // would point nowhere and be deleted and re-inserted at every scan.
        if (!isValidUtf8(file.name))
            continue;
        if (fstatat(dirfd(dir.get()), entry->d_name, &file.info, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISREG(file.info.st_mode))
            continue;
        if (insertRow(db, file, indexedAt)) {
            known.insert(file.path);
            ++inserted;
        }
    }
    return inserted;
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
    PathSet known = knownPaths(db);
    report.deleted = deleteVanished(db, known);
    const QString indexedAt = ShotTime::utcStamp(ShotTime::now());
    db.exec(ShotSql::begin);
    for (const QString& folder : folders)
        report.inserted += insertNewFiles(db, folder, known, indexedAt);
    db.exec(ShotSql::commit);
    return report;
}

} // namespace FolderScan
