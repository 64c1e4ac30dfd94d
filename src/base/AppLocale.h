#pragma once

#include <QString>
#include <QStringList>

// Every visible text exists in English and Japanese; this decides which one shows.
namespace AppLocale {

// Decided once, from the first preferred language of the system; later changes
// take effect at the next start.
bool isJapanese();

// The rule itself: the first entry, lower-cased, begins with "ja"; an empty list means English.
bool prefersJapanese(const QStringList& preferredLanguages);

// The English or the Japanese text, as the user interface speaks.
QString text(const char* english, const char* japanese);

// Lets Qt's own texts (the folder chooser, standard buttons) speak the same
// language; without Qt's translations installed they stay English.
void translateQtTexts();

} // namespace AppLocale
