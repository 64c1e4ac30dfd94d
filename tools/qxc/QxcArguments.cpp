#include "QxcArguments.h"

namespace {

QxcArguments usageError(const QString& message) {
    QxcArguments result;
    result.command = QxcArguments::Command::usageError;
    result.error = message;
    return result;
}

bool parseLimit(const QString& text, int& limit) {
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < 1)
        return false;
    limit = value;
    return true;
}

// Options and words of `search` and `recent`; "--" ends the options, so a
// search text may begin with a dash.
QxcArguments parseQuery(QxcArguments result, QStringList rest) {
    QStringList words;
    bool optionsEnded = false;
    while (!rest.isEmpty()) {
        const QString arg = rest.takeFirst();
        if (optionsEnded || !arg.startsWith(u'-') || arg == u'-') {
            words.append(arg);
        } else if (arg == u"--") {
            optionsEnded = true;
        } else if (arg == u"--json") {
            result.json = true;
        } else if (arg == u"--limit" || arg.startsWith(u"--limit=")) {
            const QString value =
                arg == u"--limit" ? (rest.isEmpty() ? QString() : rest.takeFirst()) : arg.mid(8);
            if (!parseLimit(value, result.limit))
                return usageError(
                    QStringLiteral("--limit needs a whole number from 1 to 2147483647"));
        } else {
            return usageError(QStringLiteral("unknown option '%1'").arg(arg));
        }
    }
    if (result.command == QxcArguments::Command::recent) {
        if (!words.isEmpty())
            return usageError(QStringLiteral("'recent' takes no text"));
        return result;
    }
    if (words.isEmpty())
        return usageError(QStringLiteral("'search' needs a text to look for"));
    // Several words are one phrase, as a user typing `qxc search save as` means.
    result.text = words.join(u' ');
    return result;
}

// `text PATH... [--json]`; "--" ends the options, so a path may begin with a dash.
QxcArguments parseText(QStringList rest) {
    QxcArguments result;
    result.command = QxcArguments::Command::text;
    bool optionsEnded = false;
    for (const QString& arg : rest) {
        if (optionsEnded || !arg.startsWith(u'-') || arg == u'-')
            result.paths.append(arg);
        else if (arg == u"--")
            optionsEnded = true;
        else if (arg == u"--json")
            result.json = true;
        else
            return usageError(QStringLiteral("unknown option '%1'").arg(arg));
    }
    if (result.paths.isEmpty())
        return usageError(QStringLiteral("'text' needs the path of an image"));
    return result;
}

} // namespace

QxcArguments QxcArguments::parse(const QStringList& arguments) {
    if (arguments.isEmpty())
        return usageError(QStringLiteral("missing command"));
    QStringList rest = arguments;
    const QString command = rest.takeFirst();
    if (command == u"-h" || command == u"--help" || command == u"help")
        return QxcArguments{};
    QxcArguments result;
    if (command == u"--version" || command == u"-V") {
        result.command = rest.isEmpty() ? Command::version : Command::usageError;
        result.error = QStringLiteral("--version takes nothing after it");
        return result;
    }
    if (command == u"ocr") {
        for (const QString& option : rest) {
            if (option == u"--errors")
                result.listUnreadable = true;
            else if (option == u"--reread")
                result.reread = true;
            else
                return usageError(QStringLiteral("'ocr' takes no arguments but --errors and "
                                                 "--reread"));
        }
        result.command = Command::ocr;
        return result;
    }
    if (command == u"search" || command == u"recent") {
        result.command = command == u"search" ? Command::search : Command::recent;
        if (rest.contains(QStringLiteral("-h")) || rest.contains(QStringLiteral("--help")))
            return QxcArguments{};
        return parseQuery(result, rest);
    }
    if (command == u"text") {
        if (rest.contains(QStringLiteral("-h")) || rest.contains(QStringLiteral("--help")))
            return QxcArguments{};
        return parseText(rest);
    }
    return usageError(QStringLiteral("unknown command '%1'").arg(command));
}

QString QxcArguments::usage() {
    return QStringLiteral(
        "Usage: qxc COMMAND [OPTIONS]\n"
        "\n"
        "Glimber's command-line companion: find screenshots by the text in them.\n"
        "\n"
        "Commands:\n"
        "  ocr [--errors] [--reread]    index new screenshots and recognise the text of\n"
        "                               every shot still waiting for it; --errors lists\n"
        "                               the files that could not be read, and why;\n"
        "                               --reread first reads again the shots read before\n"
        "                               Glimber kept where their words stand\n"
        "  search TEXT [--limit N] [--json]\n"
        "                               shots whose text holds TEXT as typed, then those\n"
        "                               that hold each of its words (\"quote\" a phrase),\n"
        "                               then those with a long word one letter off\n"
        "  recent [--limit N] [--json]  the most recent shots\n"
        "  text PATH... [--json]        the text of images: the index's when it read the\n"
        "                               file as it is now, else read there and then\n"
        "\n"
        "Options:\n"
        "  --limit N   at most N results (default 200)\n"
        "  --json      one JSON object per line: id, path, filename, takenAt, ocrText;\n"
        "              for a search also match and boxes, where the words found stand;\n"
        "              for text: path and text, and boxes with each word, or error\n"
        "  --          end of options (for a TEXT or PATH that begins with a dash)\n"
        "  -h, --help  show this help\n"
        "  --version   show the version\n"
        "\n"
        "Searches ignore the case of ASCII letters; '%' and '_' in TEXT are wildcards.\n"
        "Paths are printed with control characters as \\xNN and a backslash doubled;\n"
        "--json gives them exactly.\n"
        "Exit status: 0 with results (or 'ocr' done); 1 when nothing was found (no\n"
        "image had text); 2 for a usage error; 3 when there is no index yet; 4 when the\n"
        "index cannot be used (busy, not Glimber's, not writable); 5 when 'ocr' or\n"
        "'text' finds no OCR helper.\n"
        "Files: ~/.glimvault/db.sqlite (the index), ~/.glimvault/config.json (settings).\n");
}
