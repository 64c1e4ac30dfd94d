#pragma once

#include "IndexFailure.h"

#include <QByteArray>
#include <QString>

// The lines qxc says on standard error, each ending in a line feed.
namespace QxcMessage {

// Why the index at `databasePath` could not be used, for example
// "qxc: the index is busy (...)".
QByteArray failure(const IndexFailure& failure, const QString& databasePath);

} // namespace QxcMessage
