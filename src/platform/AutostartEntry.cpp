#include "AutostartEntry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>
#include <QStandardPaths>

#include <optional>

namespace AutostartEntry {

namespace {

// A value of the file's string type: a backslash and the control characters
// escaped.
QString escapeString(const QString& value) {
    QString result;
    for (const QChar c : value) {
        if (c == QLatin1Char('\\'))
            result += QStringLiteral("\\\\");
        else if (c == QLatin1Char('\n'))
            result += QStringLiteral("\\n");
        else if (c == QLatin1Char('\t'))
            result += QStringLiteral("\\t");
        else if (c == QLatin1Char('\r'))
            result += QStringLiteral("\\r");
        else
            result += c;
    }
    return result;
}

// A path as one argument of an Exec line: quoted, with the characters the
// desktop entry format reserves inside quotes escaped and "%", which starts a
// field code, doubled; then written as a value of the file's string type.
QString execArgument(const QString& path) {
    QString quoted;
    for (const QChar c : path) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') ||
            c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\') + c;
        else if (c == QLatin1Char('%'))
            quoted += QStringLiteral("%%");
        else
            quoted += c;
    }
    return escapeString(QLatin1Char('"') + quoted + QLatin1Char('"'));
}

// The file's string escapes (\s, \t, \n, \\) undone.
QString unescapeString(const QString& value) {
    QString result;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] != QLatin1Char('\\') || i + 1 == value.size()) {
            result += value[i];
            continue;
        }
        const QChar next = value[++i];
        result += next == QLatin1Char('s')   ? QChar(u' ')
                  : next == QLatin1Char('t') ? QChar(u'\t')
                  : next == QLatin1Char('n') ? QChar(u'\n')
                                             : next;
    }
    return result;
}

// The first argument of an Exec value, the reverse of execArgument.
QString firstExecArgument(const QString& exec) {
    const QString line = unescapeString(exec);
    QString argument;
    if (!line.startsWith(QLatin1Char('"'))) {
        argument = line.section(QLatin1Char(' '), 0, 0);
    } else {
        for (qsizetype i = 1; i < line.size() && line[i] != QLatin1Char('"'); ++i) {
            if (line[i] == QLatin1Char('\\') && i + 1 < line.size())
                ++i;
            argument += line[i];
        }
    }
    return argument.replace(QStringLiteral("%%"), QStringLiteral("%"));
}

bool isTrue(const QString& value) {
    return value.trimmed() == QLatin1String("true");
}

// The keys of the entry's [Desktop Entry] group; nothing without an entry.
std::optional<QHash<QString, QString>> mainGroup() {
    QFile file(path());
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return std::nullopt;
    QHash<QString, QString> keys;
    bool inMainGroup = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inMainGroup = line == QLatin1String("[Desktop Entry]");
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (inMainGroup && equals >= 0)
            keys.insert(line.left(equals).trimmed(), line.mid(equals + 1));
    }
    return keys;
}

} // namespace

QString path() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/autostart/glimber.desktop");
}

bool isEnabled() {
    const auto keys = mainGroup();
    if (!keys)
        return false;
    if (isTrue(keys->value(QStringLiteral("Hidden"))))
        return false;
    const QString enabled = keys->value(QStringLiteral("X-GNOME-Autostart-enabled"));
    return !keys->contains(QStringLiteral("X-GNOME-Autostart-enabled")) || isTrue(enabled);
}

QString program() {
    const auto keys = mainGroup();
    return keys ? firstExecArgument(keys->value(QStringLiteral("Exec"))) : QString();
}

bool install(const QString& executable, QString* error) {
    const QString file = path();
    if (!QDir().mkpath(QFileInfo(file).absolutePath())) {
        *error = QStringLiteral("Cannot create the folder %1.").arg(QFileInfo(file).absolutePath());
        return false;
    }
    QSaveFile output(file);
    if (!output.open(QIODevice::WriteOnly | QIODevice::Text)) {
        *error = output.errorString();
        return false;
    }
    const bool iconInstalled = !QStandardPaths::locate(QStandardPaths::GenericDataLocation,
                                                       "icons/hicolor/scalable/apps/glimber.svg")
                                    .isEmpty();
    const QString entry = QStringLiteral("[Desktop Entry]\n"
                                         "Type=Application\n"
                                         "Name=Glimber\n"
                                         "Comment=Screenshots you can find by their text\n"
                                         "Comment[ja]=文字で探せるスクリーンショット\n"
                                         "Exec=%1\n"
                                         // Once Glimber is removed, sessions skip the
                                         // entry instead of failing to start it.
                                         "TryExec=%3\n"
                                         "%2"
                                         "Terminal=false\n"
                                         "X-GNOME-Autostart-enabled=true\n")
                              .arg(execArgument(executable),
                                   iconInstalled ? QStringLiteral("Icon=glimber\n") : QString(),
                                   escapeString(executable));
    output.write(entry.toUtf8());
    if (!output.commit()) {
        *error = output.errorString();
        return false;
    }
    return true;
}

bool remove(QString* error) {
    QFile file(path());
    if (!file.exists() || file.remove())
        return true;
    *error = file.errorString();
    return false;
}

} // namespace AutostartEntry
