#include "AppLocale.h"

#include <QLocale>

namespace AppLocale {

bool prefersJapanese(const QStringList& preferredLanguages) {
    const QString first =
        preferredLanguages.isEmpty() ? QStringLiteral("en") : preferredLanguages.first();
    return first.toLower().startsWith(QLatin1String("ja"));
}

bool isJapanese() {
    // A function-local static is initialised exactly once, also when several
    // threads ask at the same time.
    static const bool japanese = prefersJapanese(QLocale::system().uiLanguages());
    return japanese;
}

QString text(const char* english, const char* japanese) {
    return QString::fromUtf8(isJapanese() ? japanese : english);
}

} // namespace AppLocale
