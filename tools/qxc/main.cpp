#include "AppPaths.h"
#include "OcrCommand.h"
#include "QxcArguments.h"
#include "ShotJson.h"
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

int runQuery(const QxcArguments& args) {
    if (args.command == QxcArguments::Command::recent)
        return printShots(ShotStore::recent(args.limit), args.json);
    // Trimmed like the library's search field; an empty text lists recent shots there too.
    const QString text = args.text.trimmed();
    return printShots(text.isEmpty() ? ShotStore::recent(args.limit)
                                     : ShotStore::search(text, args.limit),
                      args.json);
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
