#include "ConfigStore.h"
#include "SandboxHome.h"
#include "TestFiles.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

QByteArray bytesOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(ConfigStoreFailure, AFileThatIsNotJsonOrTooLargeIsNeverReplaced) {
    const struct {
        const char* kind;
        QByteArray bytes;
    } cases[] = {
        {"one syntax error", R"({"autoOcr": false,, "captures": "~/Shots"})"},
        {"over 1 MB", R"({"autoOcr": false, "pad": ")" + QByteArray(1 << 20, 'x') + R"("})"},
    };
    for (const auto& broken : cases) {
        SCOPED_TRACE(broken.kind);
        SandboxHome home;
        const QString file = home.file(".glimvault/config.json");
        TestFiles::write(file, broken.bytes);
        EXPECT_TRUE(ConfigStore::autoOcrAllowed(ConfigStore::effective())) << "read as empty";
        EXPECT_THROW(ConfigStore::setShared("source", QJsonValue("~/Shots")), ConfigWriteError);
        EXPECT_THROW(ConfigStore::setCloud(QStringLiteral("~/Cloud")), ConfigWriteError);
        EXPECT_EQ(bytesOf(file), broken.bytes);
    }
}

} // namespace
