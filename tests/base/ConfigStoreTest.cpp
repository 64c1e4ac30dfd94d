#include "ConfigStore.h"

#include "SandboxHome.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

class ConfigStoreTest : public ::testing::Test {
protected:
    void writeLocal(const QByteArray& json) {
        TestFiles::write(home.file(".glimvault/config.json"), json);
    }
    void writeShared(const QByteArray& json) {
        TestFiles::write(home.file("Cloud/config.json"), json);
    }
    static QJsonObject readJson(const QString& path) {
        return QJsonDocument::fromJson(TestFiles::read(path)).object();
    }

    SandboxHome home;
};

// The default source and automatic OCR are what the qxc and indexer tests use.
TEST_F(ConfigStoreTest, NoFilesGiveTheDefaultsAndTheSourceFollowsTheDesktop) {
    EXPECT_EQ(ConfigStore::resolveHotkey(), (Hotkey{HotkeyModifier::rightShift, 0.4}));
    EXPECT_EQ(ConfigStore::resolveCaptureDir(), home.file(".glimvault/captures"));
    EXPECT_FALSE(QFile::exists(home.file(".glimvault")));
    // The source is the desktop's screenshot folder once there is one.
    QDir().mkpath(home.file("Pictures/Screenshots"));
    EXPECT_EQ(ConfigStore::resolveSource(), home.file("Pictures/Screenshots"));
    writeLocal(R"({"source": "~/Elsewhere"})");
    EXPECT_EQ(ConfigStore::resolveSource(), home.file("Elsewhere"));
}

TEST_F(ConfigStoreTest, ValuesOfTheWrongKindOrRangeFallBackOrAreClamped) {
    const std::tuple<QByteArray, Hotkey, bool> cases[] = {
        {R"({"hotkey": {"holdThreshold": 5}})", {HotkeyModifier::rightShift, 0.8}, true},
        {R"({"hotkey": {"holdThreshold": 0.05}})", {HotkeyModifier::rightShift, 0.2}, true},
        {R"({"hotkey": {"holdThreshold": "0.5"}})", {}, true},
        {R"({"hotkey": {"holdThreshold": 0.65}})", {HotkeyModifier::rightShift, 0.65}, true},
        {R"({"hotkey": {"modifier": "rightOption"}})", {HotkeyModifier::rightOption, 0.4}, true},
        {R"({"hotkey": {"modifier": "RightOption"}})", {}, true},
        {R"({"hotkey": {"modifier": "leftShift"}})", {}, true},
        {R"({"hotkey": "rightControl"})", {}, true},
        // Only false or 0 switch automatic OCR off.
        {R"({"autoOcr": false})", {}, false},
        {R"({"autoOcr": 0})", {}, false},
        {R"({"autoOcr": 1})", {}, true},
        {R"({"autoOcr": "false"})", {}, true},
        {R"({"autoOcr": 2})", {}, true},
        {R"({"autoOcr": null})", {}, true},
        // Unreadable files read as empty.
        {"{ not json", {}, true},
        {"[1, 2]", {}, true},
    };
    for (const auto& [json, hotkey, autoOcr] : cases) {
        SCOPED_TRACE(json.toStdString());
        writeLocal(json);
        EXPECT_EQ(ConfigStore::resolveHotkey(), hotkey);
        EXPECT_EQ(ConfigStore::autoOcrAllowed(ConfigStore::effective()), autoOcr);
    }
    EXPECT_EQ(ConfigStore::effective(), QJsonObject());
}

TEST_F(ConfigStoreTest, SharedFileWinsExceptForCloudAndCapturesDefaultIntoIt) {
    writeLocal(R"({"cloud": "~/Cloud", "captures": "~/LocalShots", "autoOcr": true})");
    writeShared(R"({"cloud": "/elsewhere", "captures": "~/SharedShots", "autoOcr": false})");
    const QJsonObject settings = ConfigStore::effective();
    EXPECT_EQ(settings.value("cloud").toString(), "~/Cloud");
    EXPECT_FALSE(ConfigStore::autoOcrAllowed(settings));
    EXPECT_EQ(ConfigStore::resolveCaptureDir(), home.file("SharedShots"));
    writeLocal(R"({"cloud": "~/Cloud"})");
    writeShared("{}");
    EXPECT_EQ(ConfigStore::resolveCaptureDir(), home.file("Cloud/captures"));
}

TEST_F(ConfigStoreTest, WritesGoToTheSharedFileWhenThereIsOneAndKeepOtherKeys) {
    const QString local = home.file(".glimvault/config.json");
    const QString shared = home.file("NewCloud/sub/config.json");
    writeLocal(R"({"cloud": "~/NewCloud/sub", "captures": "~/LocalShots", "alpha": [1, 2]})");
    ConfigStore::setShared("autoOcr", QJsonValue(false)); // the first save makes the folder
    EXPECT_EQ(readJson(shared), QJsonObject({{"autoOcr", false}}));
    TestFiles::write(shared, R"({"captures": "~/SharedShots", "zeta": "kept"})");
    ConfigStore::setShared("captures", std::nullopt);
    EXPECT_EQ(readJson(shared), QJsonObject({{"zeta", "kept"}}));
    EXPECT_EQ(ConfigStore::resolveCaptureDir(), home.file("LocalShots")) << "the local value again";
    // Without a cloud folder, writes go back to the local file.
    ConfigStore::setCloud(QString());
    ConfigStore::setShared("autoOcr", QJsonValue(true));
    EXPECT_EQ(readJson(local),
              QJsonObject(
                  {{"captures", "~/LocalShots"}, {"alpha", QJsonArray{1, 2}}, {"autoOcr", true}}));
    ConfigStore::setCloud(QString("~/Cloud"));
    EXPECT_EQ(readJson(local).value("cloud").toString(), "~/Cloud");
}

TEST_F(ConfigStoreTest, AFailedWriteThrowsAndAFileThatIsNotJsonOrTooLargeIsNeverReplaced) {
    TestFiles::write(home.file("blocker"), "a file, not a folder");
    writeLocal(R"({"cloud": "~/blocker/inside"})");
    EXPECT_THROW(ConfigStore::setShared("autoOcr", QJsonValue(true)), ConfigWriteError);
    for (const QByteArray& broken :
         {QByteArray(R"({"autoOcr": false,, "captures": "~/Shots"})"),
          R"({"autoOcr": false, "pad": ")" + QByteArray(1 << 20, 'x') + R"("})"}) {
        SCOPED_TRACE(broken.size());
        writeLocal(broken);
        EXPECT_TRUE(ConfigStore::autoOcrAllowed(ConfigStore::effective())) << "read as empty";
        EXPECT_THROW(ConfigStore::setShared("source", QJsonValue("~/Shots")), ConfigWriteError);
        EXPECT_THROW(ConfigStore::setCloud(QStringLiteral("~/Cloud")), ConfigWriteError);
        EXPECT_EQ(TestFiles::read(home.file(".glimvault/config.json")), broken);
    }
}

TEST_F(ConfigStoreTest, ReaderNeverMeetsAHalfWrittenFile) {
    // A large object makes an in-place write take long enough to be caught half done.
    QJsonArray padding;
    for (int i = 0; i < 20000; ++i)
        padding.append(QStringLiteral("padding %1").arg(i));
    ConfigStore::setShared("padding", padding);
    std::atomic<bool> done = false;
    std::thread writer([&] {
        for (int i = 0; i < 30; ++i)
            ConfigStore::setShared("autoOcr", QJsonValue(i % 2 == 0));
        done = true;
    });
    int reads = 0;
    int incomplete = 0;
    while (!done) {
        if (!ConfigStore::effective().contains("padding"))
            ++incomplete;
        ++reads;
    }
    writer.join();
    EXPECT_GT(reads, 0);
    EXPECT_EQ(incomplete, 0);
}

} // namespace
