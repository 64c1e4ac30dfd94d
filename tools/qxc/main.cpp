#include "AppPaths.h"
#include "OcrCommand.h"
#include "QxcArguments.h"
#include "SearchIndex.h"
#include "ShotJson.h"
#include "ShotSql.h"
#include "ShotStore.h"

#include <QCoreApplication>

#include <cstdio>

namespace {

int printShots(const QList<Shot>& shots, bool json) {
    for (const Shot& shot : shots) {
        const QByteArray text = json ? ShotJson::line(shot) : shot.path.toUtf8();
        std::fwrite(text.constData(), 1, std::size_t(text.size()), stdout);
        std::fputc('\n', stdout);
    }
    return 0;
}

// Until the search index is complete, a search reads every shot's text; say so,
// or a slow search looks like a fault.
void noteSearchIndexBuilding() {
    auto db =
        SqliteConnection::openReadOnly(AppPaths::databaseFile(), ShotSql::readerBusyTimeoutMs);
    if (!db)
        return;
    const std::optional<SearchIndex::Progress> progress = SearchIndex::progress(*db);
    if (!progress)
        std::fputs("qxc: the search index has not been built yet; this search read every "
                   "shot (Glimber or `qxc ocr` builds it)\n",
                   stderr);
    else if (!progress->complete)
        std::fprintf(stderr,
                     "qxc: the search index is being built (%d%%); this search read every shot\n",
                     progress->percent());
}

int runQuery(const QxcArguments& args) {
    if (args.command == QxcArguments::Command::recent)
        return printShots(ShotStore::recent(args.limit), args.json);
    // Trimmed like the library's search field; an empty text lists recent shots there too.
    const QString text = args.text.trimmed();
    if (text.isEmpty())
        return printShots(ShotStore::recent(args.limit), args.json);
    const int status = printShots(ShotStore::search(text, args.limit), args.json);
    noteSearchIndexBuilding();
    return status;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    const QxcArguments args = QxcArguments::parse(arguments);
    switch (args.command) {
    case QxcArguments::Command::help:
        std::fputs(qUtf8Printable(QxcArguments::usage()), stdout);
        return 0;
    case QxcArguments::Command::usageError:
        std::fprintf(stderr, "qxc: %s (see qxc --help)\n", qUtf8Printable(args.error));
        return 2;
    case QxcArguments::Command::ocr:
        return OcrCommand::run(ShotIndexOptions{AppPaths::databaseFile()}, stdout, stderr);
    case QxcArguments::Command::search:
    case QxcArguments::Command::recent:
        return runQuery(args);
    }
    return 2;
}
