#include "AppPaths.h"
#include "BuildVersion.h"
#include "OcrCommand.h"
#include "OcrRun.h"
#include "QxcArguments.h"
#include "QxcExit.h"
#include "QxcMessage.h"
#include "SearchIndex.h"
#include "SearchQuery.h"
#include "ShotJson.h"
#include "ShotReader.h"
#include "ShotSql.h"
#include "TerminalText.h"
#include "TextCommand.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <cstdio>

namespace {

void print(std::FILE* stream, const QByteArray& text) {
    std::fwrite(text.constData(), 1, std::size_t(text.size()), stream);
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

// A missing, busy or foreign index is an error, so that a script can tell it
// from a search that found nothing.
int runQuery(const QxcArguments& args) {
    ShotReader reader(AppPaths::databaseFile());
    if (!QFileInfo::exists(reader.databasePath())) {
        print(stderr, "qxc: no index yet: run qxc ocr\n");
        return QxcExit::noIndex;
    }
    // Trimmed like the library's search field; an empty text lists recent shots there too.
    const QString text = args.text.trimmed();
    const ShotQuery result = args.command == QxcArguments::Command::recent || text.isEmpty()
                                 ? reader.queryRecent(args.limit)
                                 : reader.querySearch(text, args.limit);
    if (result.failure) {
        print(stderr, QxcMessage::failure(*result.failure, reader.databasePath()));
        return QxcExit::indexUnusable;
    }
    const bool searched = args.command == QxcArguments::Command::search && !text.isEmpty();
    const QStringList terms = searched ? SearchQuery::parse(text).terms : QStringList();
    for (const Shot& shot : result.shots) {
        if (!args.json) {
            print(stdout, TerminalText::escaped(shot.path) + '\n');
            continue;
        }
        QList<QRect> boxes;
        for (const ShotWord& word : ShotWords::matching(reader.words(shot), terms))
            boxes.append(word.box);
        print(stdout, ShotJson::line(shot, searched, boxes) + '\n');
    }
    if (searched)
        noteSearchIndexBuilding();
    return result.shots.isEmpty() ? QxcExit::nothingFound : QxcExit::done;
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
        return QxcExit::done;
    case QxcArguments::Command::version:
        std::printf("qxc %s (%s)\n", GLIMBER_VERSION, GLIMBER_BUILD_NUMBER);
        return QxcExit::done;
    case QxcArguments::Command::usageError:
        std::fprintf(stderr, "qxc: %s (see qxc --help)\n", qUtf8Printable(args.error));
        return QxcExit::usage;
    case QxcArguments::Command::ocr:
        return OcrCommand::run(ShotIndexOptions{AppPaths::databaseFile()}, stdout, stderr,
                               args.listUnreadable, args.reread);
    case QxcArguments::Command::search:
    case QxcArguments::Command::recent:
        return runQuery(args);
    case QxcArguments::Command::text:
        return TextCommand::run(args.paths,
                                {AppPaths::databaseFile(), OcrRun::defaultHelperPath(), args.json},
                                stdout, stderr);
    }
    return QxcExit::usage;
}
