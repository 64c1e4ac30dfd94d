#include "AutostartEntry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace AutostartEntry {

namespace {

// A path as one argument of an Exec line: quoted, with the characters the
// desktop entry format reserves escaped, then escaped once more for the
// file's own string syntax; "%" starts a field code and is doubled.
QString execArgument(const QString& path) {
    QString quoted;
    for (const QChar c : path) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$'))
            quoted += QStringLiteral("\\\\") + c;
        else if (c == QLatin1Char('\\'))
            quoted += QStringLiteral("\\\\\\\\");
        else if (c == QLatin1Char('%'))
            quoted += QStringLiteral("%%");
        else
            quoted += c;
    }
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

bool isTrue(const QString& value) {
    return value.trimmed() == QLatin1String("true");
}

} // namespace

QString path() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/autostart/glimber.desktop");
}

bool isEnabled() {
    QFile file(path());
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    bool inMainGroup = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inMainGroup = line == QLatin1String("[Desktop Entry]");
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (!inMainGroup || equals < 0)
            continue;
        const QString key = line.left(equals).trimmed();
        const QString value = line.mid(equals + 1);
        if (key == QLatin1String("Hidden") && isTrue(value))
            return false;
        if (key == QLatin1String("X-GNOME-Autostart-enabled") && !isTrue(value))
            return false;
    }
    return true;
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
    const QString entry = QStringLiteral("[Desktop Entry]\n"
                                         "Type=Application\n"
                                         "Name=Glimber\n"
                                         "Comment=Screenshots you can find by their text\n"
                                         "Comment[ja]=文字で探せるスクリーンショット\n"
                                         "Exec=%1\n"
                                         "Icon=glimber\n"
                                         "Terminal=false\n"
                                         "X-GNOME-Autostart-enabled=true\n")
                              .arg(execArgument(executable));
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
