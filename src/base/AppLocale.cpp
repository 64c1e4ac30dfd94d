#include "AppLocale.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

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

void translateQtTexts() {
    if (!isJapanese())
        return;
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(QLocale(QLocale::Japanese), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}

} // namespace AppLocale
