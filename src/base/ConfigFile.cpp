#include "ConfigFile.h"

#include "AppLocale.h"

#include <QFile>
#include <QHash>
#include <QJsonDocument>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <mutex>
#include <sys/stat.h>

namespace ConfigFile {

namespace {

struct Identity {
    dev_t device;
    ino_t inode;
    off_t size;
    timespec modified;
    timespec changed;

    bool operator==(const Identity& other) const {
        const auto same = [](const timespec& a, const timespec& b) {
            return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
        };
        return device == other.device && inode == other.inode && size == other.size &&
               same(modified, other.modified) && same(changed, other.changed);
    }
};

struct Entry {
    Identity identity;
    Contents contents;
    bool settled; // old enough to be trusted while its identity stays the same
};

std::mutex cacheMutex;
QHash<QString, Entry>& cache() {
    static QHash<QString, Entry> entries;
    return entries;
}

Contents unusable(const QString& problem) {
    return {Contents::State::unusable, {}, problem};
}

Contents parse(const QString& path, const QByteArray& bytes) {
    if (bytes.trimmed().isEmpty())
        return {Contents::State::object, {}, {}};
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError)
        return unusable(AppLocale::text("%1 is not valid JSON (%2 at byte %3).",
                                        "%1 は正しい JSON ではありません（%3 バイト目: %2）。")
                            .arg(path, error.errorString())
                            .arg(error.offset));
    if (!document.isObject())
        return {Contents::State::notAnObject,
                {},
                AppLocale::text("%1 does not hold a JSON object.",
                                "%1 の中身が JSON オブジェクトではありません。")
                    .arg(path)};
    return {Contents::State::object, document.object(), {}};
}

Contents load(const QString& path, const struct stat& info) {
    const auto tooLarge = [&path] {
        return unusable(AppLocale::text("%1 is larger than 1 MB; Glimber does not read it.",
                                        "%1 は 1 MB を超えているため読み込みません。")
                            .arg(path));
    };
    if (!S_ISREG(info.st_mode))
        return unusable(
            AppLocale::text("%1 is not a file.", "%1 はファイルではありません。").arg(path));
    if (info.st_size > maxBytes)
        return tooLarge();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return unusable(AppLocale::text("%1 cannot be read: %2", "%1 を読み込めません: %2")
                            .arg(path, file.errorString()));
    // One byte more than the stat said shows a file that grew since; only then
    // is the rest read, up to the limit.
    QByteArray bytes = file.read(info.st_size + 1);
    if (bytes.size() > info.st_size)
        bytes += file.read(maxBytes + 1 - bytes.size());
    if (bytes.size() > maxBytes)
        return tooLarge();
    return parse(path, bytes);
}

timespec now() {
    timespec time{};
    clock_gettime(CLOCK_REALTIME, &time);
    return time;
}

// A file changed within the clock's granularity of the read might change again
// without its times showing it: only a file older than that is cached.
bool settledBefore(const timespec& changed, const timespec& readAt) {
    return changed.tv_sec + 1 < readAt.tv_sec;
}

} // namespace

Contents read(const QString& path) {
    struct stat info {};
    if (::stat(path.toUtf8().constData(), &info) != 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return {};
        return unusable(AppLocale::text("%1 cannot be read: %2", "%1 を読み込めません: %2")
                            .arg(path, QString::fromLocal8Bit(std::strerror(errno))));
    }
    const Identity identity{info.st_dev, info.st_ino, info.st_size, info.st_mtim, info.st_ctim};
    const std::lock_guard lock(cacheMutex);
    const auto cached = cache().constFind(path);
    const bool sameVersion = cached != cache().constEnd() && cached->identity == identity;
    if (sameVersion && cached->settled)
        return cached->contents;
    const timespec readAt = now();
    const Contents contents = load(path, info);
    // Said once for each version of the file, not at every lookup.
    if (!contents.problem.isEmpty() && !sameVersion)
        qWarning("glimber: %s The settings in it are not used.", qUtf8Printable(contents.problem));
    cache().insert(path, {identity, contents, settledBefore(info.st_ctim, readAt)});
    return contents;
}

} // namespace ConfigFile
