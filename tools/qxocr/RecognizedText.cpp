#include "RecognizedText.h"

#include "KeyNames.h"

#include <QStringList>

#include <algorithm>

namespace RecognizedText {

namespace {

// Kana, CJK punctuation, ideographs and full-width forms: scripts written without spaces.
bool isJapanese(QChar c) {
    const char16_t u = c.unicode();
    return (u >= 0x3000 && u <= 0x30ff) || (u >= 0x3400 && u <= 0x4dbf) ||
           (u >= 0x4e00 && u <= 0x9fff) || (u >= 0xf900 && u <= 0xfaff) ||
           (u >= 0xff00 && u <= 0xffef);
}

QString tidyLine(const QString& line) {
    const QString simplified = line.simplified();
    QString result;
    result.reserve(simplified.size());
    for (qsizetype i = 0; i < simplified.size(); ++i) {
        const bool joinsJapanese = simplified[i] == u' ' && i > 0 &&
                                   isJapanese(simplified[i - 1]) && isJapanese(simplified[i + 1]);
        if (!joinsJapanese)
            result += simplified[i];
    }
    return result;
}

} // namespace

bool hasJapanese(const QString& text) {
    return std::any_of(text.cbegin(), text.cend(), isJapanese);
}

qsizetype japaneseLength(const QString& text) {
    return std::count_if(text.cbegin(), text.cend(), isJapanese);
}

qsizetype nonSpaceLength(const QString& text) {
    return std::count_if(text.cbegin(), text.cend(), [](QChar c) { return !c.isSpace(); });
}

QString tidy(const QString& pageText) {
    QStringList lines;
    for (const QString& line : pageText.split(u'\n')) {
        const QString tidied = KeyNames::restore(tidyLine(line));
        if (!tidied.isEmpty())
            lines.append(tidied);
    }
    return lines.join(u'\n');
}

} // namespace RecognizedText
