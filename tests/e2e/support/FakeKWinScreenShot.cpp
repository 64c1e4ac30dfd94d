#include "FakeKWinScreenShot.h"

#include <QDBusUnixFileDescriptor>
#include <QVariantMap>

#include <unistd.h>

namespace {

bool writeAll(int fd, const QByteArray& bytes) {
    qsizetype written = 0;
    while (written < bytes.size()) {
        const ssize_t n = write(fd, bytes.constData() + written, size_t(bytes.size() - written));
        if (n <= 0)
            return false;
        written += n;
    }
    return true;
}

QVariantMap describe(const QImage& picture) {
    return {{"type", "raw"},
            {"width", uint(picture.width())},
            {"height", uint(picture.height())},
            {"stride", uint(picture.bytesPerLine())},
            {"format", uint(picture.format())}};
}

} // namespace

FakeKWinScreenShot::FakeKWinScreenShot(Picture picture)
    : service_("org.kde.KWin", "/org/kde/KWin/ScreenShot2",
               [picture = std::move(picture)](const QDBusMessage& call) -> QVariantList {
                   const Answer answer = picture(call.member(), call.arguments().value(0));
                   if (!answer.errorName.isEmpty())
                       return {FakeDBusService::errorReply(answer.errorName)};
                   const auto pipe = qvariant_cast<QDBusUnixFileDescriptor>(call.arguments().at(2));
                   const QImage raw = answer.picture.convertToFormat(QImage::Format_RGB32);
                   // The reader drains the pipe while it waits for this reply.
                   writeAll(pipe.fileDescriptor(),
                            QByteArray(reinterpret_cast<const char*>(raw.constBits()),
                                       raw.sizeInBytes()));
                   return {describe(raw)};
               }) {}
