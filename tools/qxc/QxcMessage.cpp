#include "QxcMessage.h"

#include "TerminalText.h"

namespace QxcMessage {

QByteArray failure(const IndexFailure& failure, const QString& databasePath) {
    const QByteArray path = TerminalText::escaped(databasePath);
    const QByteArray detail = TerminalText::escaped(failure.detail);
    switch (failure.kind) {
    case IndexFailure::Kind::notOurs:
        return "qxc: " + path + " is not a Glimber index (" + detail + ")\n";
    case IndexFailure::Kind::busy:
        return "qxc: the index is busy (" + path + ": " + detail + ")\n";
    case IndexFailure::Kind::writeFailed:
        return "qxc: cannot write the index (" + path + "): " + detail + "\n";
    case IndexFailure::Kind::readFailed:
        return "qxc: cannot read the index (" + path + "): " + detail + "\n";
    }
    return {};
}

} // namespace QxcMessage
