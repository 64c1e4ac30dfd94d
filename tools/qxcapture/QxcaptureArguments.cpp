#include "QxcaptureArguments.h"

std::optional<QxcaptureArguments> QxcaptureArguments::parse(const QStringList& arguments) {
    if (arguments.size() != 2 || arguments[1].isEmpty())
        return std::nullopt;
    if (arguments[0] == QLatin1String("-i"))
        return QxcaptureArguments{false, arguments[1]};
    if (arguments[0] == QLatin1String("-iw"))
        return QxcaptureArguments{true, arguments[1]};
    return std::nullopt;
}

QString QxcaptureArguments::usage() {
    return QStringLiteral(
        "usage: qxcapture -i PATH    select a region, write it to PATH as PNG\n"
        "       qxcapture -iw PATH   click a window, write it to PATH as PNG\n"
        "Escape cancels and writes nothing. Exit status: 0 written, 1 cancelled, 2 failed.\n");
}
