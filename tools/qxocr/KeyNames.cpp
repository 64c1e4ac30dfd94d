#include "KeyNames.h"

#include <QRegularExpression>

#include <array>

namespace KeyNames {

namespace {

// Three-letter names ("Alt") are left out: one letter away from them lie too
// many words.
constexpr std::array modifiers{u"Ctrl", u"Shift"};

// Whether `a` becomes `b` by changing, adding or dropping one letter.
bool oneLetterApart(QStringView a, QStringView b) {
    if (a.size() > b.size())
        std::swap(a, b);
    if (b.size() - a.size() > 1)
        return false;
    qsizetype i = 0;
    while (i < a.size() && a[i] == b[i])
        ++i;
    const qsizetype skipA = a.size() == b.size() ? 1 : 0;
    return a.mid(i + skipA) == b.mid(i + 1);
}

} // namespace

QString restore(const QString& line) {
    static const QRegularExpression beforePlus(QStringLiteral("\\b[A-Za-z]{3,6}(?=\\+)"));
    QString restored;
    qsizetype copied = 0;
    for (auto it = beforePlus.globalMatch(line); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        const QStringView word = match.capturedView();
        for (const char16_t* modifier : modifiers) {
            const QStringView name(modifier);
            if (word != name && oneLetterApart(word, name)) {
                restored += QStringView(line).mid(copied, match.capturedStart() - copied);
                restored += name;
                copied = match.capturedEnd();
                break;
            }
        }
    }
    restored += QStringView(line).mid(copied);
    return restored;
}

} // namespace KeyNames
