#pragma once

#include <QByteArray>
#include <QString>

// Text for a terminal that cannot take it over: a file name may hold escape
// sequences that would move the cursor, retitle the window or recolour the
// screen, or bidirectional controls that show it in another order.
namespace TerminalText {

// UTF-8 with every control character as \xNN, every bidirectional control as
// \uNNNN and a backslash doubled, so the result stays unambiguous.
QByteArray escaped(const QString& text);

} // namespace TerminalText
