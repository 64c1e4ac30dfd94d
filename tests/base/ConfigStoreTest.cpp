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
    QJsonObject readJson(const QString& path) {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << qPrintable(path);
        return QJsonDocument::fromJson(file.readAll()).object();
    }

    SandboxHome home;
};

TEST_F(ConfigStoreTest, NoFilesGiveTheDefaults) {
    EXPECT_EQ(ConfigStore::resolveHotkey(), (Hotkey{HotkeyModifier::rightShift, 0.4}));
    EXPECT_EQ(ConfigStore::resolveCaptureDir(), home.file(".glimvault/captures"));
    EXPECT_EQ(ConfigStore::resolveSource(), home.file("Desktop"));
    EXPECT_TRUE(ConfigStore::autoOcrAllowed(ConfigStore::effective()));
    EXPECT_FALSE(QFile::exists(home.file(".glimvault")));
}

TEST_F(ConfigStoreTest, SourceIsTheDesktopsScreenshotFolderWhenItExists) {
    QDir().mkpath(home.file("Pictures/Screenshots"));
    EXPECT_EQ(ConfigStore::resolveSource(), home.file("Pictures/Screenshots"));
    writeLocal(R"({"source": "~/Elsewhere"})");
    EXPECT_EQ(ConfigStore::resolveSource(), home.file("Elsewhere"));
}

TEST_F(ConfigStoreTest, HoldThresholdIsClampedAndMustBeANumber) {
    writeLocal(R"({"hotkey": {"holdThreshold": 5}})");
    EXPECT_EQ(ConfigStore::resolveHotkey().holdThreshold, 0.8);
    writeLocal(R"({"hotkey": {"holdThreshold": 0.05}})");
    EXPECT_EQ(ConfigStore::resolveHotkey().holdThreshold, 0.2);
    writeLocal(R"({"hotkey": {"holdThreshold": "0.5"}})");
    EXPECT_EQ(ConfigStore::resolveHotkey().holdThreshold, 0.4);
    writeLocal(R"({"hotkey": {"holdThreshold": 0.65}})");
    EXPECT_EQ(ConfigStore::resolveHotkey().holdThreshold, 0.65);
}

TEST_F(ConfigStoreTest, ModifierMustNameARightHandKeyExactly) {
    writeLocal(R"({"hotkey": {"modifier": "rightOption"}})");
    EXPECT_EQ(ConfigStore::resolveHotkey().modifier, HotkeyModifier::rightOption);
    writeLocal(R"({"hotkey": {"modifier": "RightOption"}})");
    EXPECT_EQ(ConfigStore::resolveHotkey().modifier, HotkeyModifier::rightShift);
    writeLocal(R"({"hotkey": {"modifier": "leftShift"}})");
    EXPECT_EQ(ConfigStore::resolveHotkey().modifier, HotkeyModifier::rightShift);
    writeLocal(R"({"hotkey": "rightControl"})");
    EXPECT_EQ(ConfigStore::resolveHotkey().modifier, HotkeyModifier::rightShift);
}

TEST_F(ConfigStoreTest, OnlyFalseOrZeroSwitchesAutoOcrOff) {
    const auto allowed = [this](const QByteArray& value) {
        writeLocal(R"({"autoOcr": )" + value + "}");
        return ConfigStore::autoOcrAllowed(ConfigStore::effective());
    };
    EXPECT_FALSE(allowed("false"));
    EXPECT_FALSE(allowed("0"));
    EXPECT_TRUE(allowed("true"));
    EXPECT_TRUE(allowed("1"));
    EXPECT_TRUE(allowed(R"("false")"));
    EXPECT_TRUE(allowed("2"));
    EXPECT_TRUE(allowed("null"));
}

TEST_F(ConfigStoreTest, UnreadableFilesReadAsEmpty) {
    writeLocal("{ not json");
    EXPECT_EQ(ConfigStore::effective(), QJsonObject());
    writeLocal(R"([1, 2])");
    EXPECT_EQ(ConfigStore::effective(), QJsonObject());
    EXPECT_EQ(ConfigStore::resolveHotkey(), Hotkey{});
}

TEST_F(ConfigStoreTest, SharedFileWinsExceptForCloud) {
    writeLocal(R"({"cloud": "~/Cloud", "captures": "~/LocalShots", "autoOcr": true})");
    writeShared(R"({"cloud": "/elsewhere", "captures": "~/SharedShots", "autoOcr": false})");
    const QJsonObject settings = ConfigStore::effective();
    EXPECT_EQ(settings.value("cloud").toString(), "~/Cloud");
    EXPECT_FALSE(ConfigStore::autoOcrAllowed(settings));
    EXPECT_EQ(ConfigStore::resolveCaptureDir(), home.file("SharedShots"));
}

TEST_F(ConfigStoreTest, CapturesDefaultIntoTheCloudFolder) {
    writeLocal(R"({"cloud": "~/Cloud"})");
    EXPECT_EQ(ConfigStore::resolveCaptureDir(), home.file("Cloud/captures"));
}

TEST_F(ConfigStoreTest, WritesGoToTheSharedFileWhenThereIsOne) {
    writeLocal(R"({"cloud": "~/Cloud", "captures": "~/LocalShots"})");
    ConfigStore::setShared("autoOcr", QJsonValue(false));
    EXPECT_EQ(readJson(home.file("Cloud/config.json")), QJsonObject({{"autoOcr", false}}));

    writeShared(R"({"captures": "~/SharedShots"})");
    ConfigStore::setShared("captures", std::nullopt);
    EXPECT_FALSE(readJson(home.file("Cloud/config.json")).contains("captures"));
    // The local value applies again.
    EXPECT_EQ(ConfigStore::resolveCaptureDir(), home.file("LocalShots"));
}

TEST_F(ConfigStoreTest, WritesKeepOtherKeysAndSortThem) {
    writeLocal(R"({"zeta": [1, 2], "hotkey": {"modifier": "rightCommand"}, "alpha": "kept"})");
    ConfigStore::setShared("autoOcr", QJsonValue(true));
    QFile file(home.file(".glimvault/config.json"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_LT(text.indexOf("\"alpha\""), text.indexOf("\"autoOcr\""));
    EXPECT_LT(text.indexOf("\"hotkey\""), text.indexOf("\"zeta\""));
    EXPECT_TRUE(text.contains('\n')); // pretty-printed
    EXPECT_EQ(ConfigStore::resolveHotkey().modifier, HotkeyModifier::rightCommand);
    EXPECT_EQ(ConfigStore::effective().value("zeta").toArray().size(), 2);
}

TEST_F(ConfigStoreTest, ArrayFileIsReplacedByAnObjectOnWrite) {
    writeLocal("[1, 2, 3]");
    ConfigStore::setShared("source", QJsonValue("~/Shots"));
    EXPECT_EQ(readJson(home.file(".glimvault/config.json")), QJsonObject({{"source", "~/Shots"}}));
}

TEST_F(ConfigStoreTest, FirstSaveCreatesTheSharedFolder) {
    writeLocal(R"({"cloud": "~/NewCloud/sub", "autoOcr": false})");
    EXPECT_FALSE(ConfigStore::autoOcrAllowed(ConfigStore::effective()));
    ConfigStore::setShared("autoOcr", QJsonValue(true));
    EXPECT_TRUE(QFile::exists(home.file("NewCloud/sub/config.json")));
    EXPECT_TRUE(ConfigStore::autoOcrAllowed(ConfigStore::effective()));
}

TEST_F(ConfigStoreTest, ClearingCloudSendsWritesBackToTheLocalFile) {
    ConfigStore::setCloud(QString("~/Cloud"));
    EXPECT_EQ(readJson(home.file(".glimvault/config.json")).value("cloud").toString(), "~/Cloud");
    ConfigStore::setCloud(QString());
    EXPECT_FALSE(readJson(home.file(".glimvault/config.json")).contains("cloud"));
    ConfigStore::setShared("captures", QJsonValue("~/Shots"));
    EXPECT_EQ(readJson(home.file(".glimvault/config.json")).value("captures").toString(),
              "~/Shots");
    EXPECT_FALSE(QFile::exists(home.file("Cloud/config.json")));
}

TEST_F(ConfigStoreTest, FailedWriteThrowsAndLeavesTheFileAlone) {
    TestFiles::write(home.file("blocker"), "a file, not a folder");
    writeLocal(R"({"cloud": "~/blocker/inside"})");
    EXPECT_THROW(ConfigStore::setShared("autoOcr", QJsonValue(true)), ConfigWriteError);
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
