#include "TerminalText.h"

#include <QList>

namespace TerminalText {

namespace {

bool isBidiControl(char32_t c) {
    return c == 0x061C || c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) ||
           (c >= 0x2066 && c <= 0x2069);
}

QByteArray hex(char32_t c, int digits) {
    return QByteArray::number(uint(c), 16).rightJustified(digits, '0');
}

} // namespace

QByteArray escaped(const QString& text) {
    QByteArray out;
    out.reserve(text.size());
    for (const char32_t c : text.toUcs4()) {
        if (c == u'\\')
            out += "\\\\";
        else if (c < 0x20 || (c >= 0x7F && c <= 0x9F))
            out += "\\x" + hex(c, 2);
        else if (isBidiControl(c))
            out += "\\u" + hex(c, 4);
        else
            out += QString::fromUcs4(&c, 1).toUtf8();
    }
    return out;
}

} // namespace TerminalText
