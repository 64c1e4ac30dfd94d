#include "AppDelegate.h"

#include "AutostartEntry.h"
#include "ConfigStore.h"
#include "EditMenu.h"
#include "QtPrinters.h"
#include "SandboxHome.h"
#include "StatusWindow.h"
#include "TestFiles.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QJsonObject>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

// A key stream under the test's control: it opens only after a given number of
// attempts, and delivers whatever the test sends.
class FakeKeySource : public KeyEventSource {
public:
    bool start() override {
        ++starts;
        open = starts > failingStarts;
        return open;
    }
    void stop() override { open = false; }
    void send(KeyEvent event) { Q_EMIT keyEvent(event); }

    int failingStarts = 0;
    int starts = 0;
    bool open = false;
};

// "title\tshortcut" per item, "-" per separator.
QStringList describe(const QMenu& menu) {
    QStringList items;
    for (const QAction* action : menu.actions())
        items.append(action->isSeparator() ? QStringLiteral("-")
                                           : action->text() + '\t' + action->shortcut().toString());
    return items;
}

const QStringList englishStatusMenu{"Capture Region  (tap)\t",
                                    "Capture Window  (hold)\t",
                                    "Scrolling Capture  (region)\t",
                                    "Open Save Folder\t",
                                    "-",
                                    "Library…\tCtrl+F",
                                    "Settings…\tCtrl+,",
                                    "-",
                                    "Quit Glimber\tCtrl+Q"};
const QStringList japaneseStatusMenu{"範囲を撮る  （タップ）\t",
                                     "ウィンドウを撮る  （長押し）\t",
                                     "スクロールで撮る  （範囲選択）\t",
                                     "保存先を開く\t",
                                     "-",
                                     "ライブラリ…\tCtrl+F",
                                     "設定…\tCtrl+,",
                                     "-",
                                     "Glimber を終了\tCtrl+Q"};

QList<QStringList> describe(const QMenuBar& bar) {
    QList<QStringList> menus;
    for (const QAction* top : bar.actions())
        menus.append(QStringList{top->text()} + describe(*top->menu()));
    return menus;
}

const QList<QStringList> englishEditMenu{{"", "Quit Glimber\tCtrl+Q"},
                                         {"Edit", "Undo\tCtrl+Z", "Redo\tCtrl+Shift+Z", "-",
                                          "Cut\tCtrl+X", "Copy\tCtrl+C", "Paste\tCtrl+V",
                                          "Select All\tCtrl+A"}};
const QList<QStringList> japaneseEditMenu{{"", "Glimber を終了\tCtrl+Q"},
                                          {"編集", "取り消す\tCtrl+Z", "やり直す\tCtrl+Shift+Z",
                                           "-", "カット\tCtrl+X", "コピー\tCtrl+C",
                                           "ペースト\tCtrl+V", "すべてを選択\tCtrl+A"}};

class AppDelegateWithFakeKeySource : public ::testing::Test {
protected:
    void SetUp() override {
        QCoreApplication::setOrganizationName("glimvault");
        QCoreApplication::setApplicationName("Glimber");
        QSettings().remove("loginItemConfigured");
        // A stand-in for qxcapture that captures a small green picture at once.
        QImage picture(20, 10, QImage::Format_RGB32);
        picture.fill(Qt::green);
        picture.save(home.file("picture.png"));
        TestFiles::writeScript(home.file("tools/qxcapture"), R"(
printf '%s\n' "$@" > "$(dirname "$0")/arguments"
for out; do :; done
cp "$(dirname "$0")/../picture.png" "$out"
)");
    }

    std::unique_ptr<AppDelegate> makeDelegate() {
        AppDelegateOptions options;
        options.helperFolder = home.file("tools");
        options.makeKeySource = [this] {
            auto source = std::make_unique<FakeKeySource>();
            source->failingStarts = failingStarts;
            keys = source.get();
            return source;
        };
        options.keySourceRetryMs = 10;
        options.trayGraceMs = 0;
        return std::make_unique<AppDelegate>(options);
    }

    std::unique_ptr<AppDelegate> launch() {
        auto delegate = makeDelegate();
        delegate->applicationDidFinishLaunching();
        return delegate;
    }

    QStringList toolArguments() const {
        QFile file(home.file("tools/arguments"));
        return file.open(QIODevice::ReadOnly)
                   ? QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts)
                   : QStringList();
    }

    void pressTrigger(std::uint16_t code = VirtualKey::rightShift,
                      std::uint64_t flag = ModifierFlag::shift) {
        keys->send({KeyEvent::Type::flagsChanged, code, flag});
    }
    void releaseTrigger(std::uint16_t code = VirtualKey::rightShift) {
        keys->send({KeyEvent::Type::flagsChanged, code, 0});
    }

    SandboxHome home;
    FakeKeySource* keys = nullptr;
    int failingStarts = 0;
};

TEST_F(AppDelegateWithFakeKeySource, FirstLaunchCreatesTheSaveFolderAndEnrolsAtLogin) {
    const auto delegate = launch();
    EXPECT_TRUE(QDir(home.file(".glimvault/captures")).exists());
    EXPECT_TRUE(AutostartEntry::isEnabled());
    EXPECT_TRUE(QSettings().value("loginItemConfigured").toBool());
    EXPECT_EQ(delegate->currentHotkey(), (Hotkey{HotkeyModifier::rightShift, 0.4}));
}

TEST_F(AppDelegateWithFakeKeySource, LaterLaunchesLeaveTheLoginItemToTheUser) {
    QSettings().setValue("loginItemConfigured", true);
    const auto delegate = launch();
    EXPECT_FALSE(QFile::exists(AutostartEntry::path()));
}

TEST_F(AppDelegateWithFakeKeySource, TriggerKeyIsReadFromTheConfigurationAtConstruction) {
    ConfigStore::setShared("hotkey",
                           QJsonObject{{"modifier", "rightOption"}, {"holdThreshold", 0.3}});
    EXPECT_EQ(makeDelegate()->currentHotkey(), (Hotkey{HotkeyModifier::rightOption, 0.3}));
}

TEST_F(AppDelegateWithFakeKeySource, StatusMenuHasItsTitlesOrderAndShortcuts) {
    const auto delegate = launch();
    EXPECT_EQ(describe(*delegate->statusMenu()), englishStatusMenu);
    EXPECT_EQ(describe(delegate->editMenu()->menuBar()), englishEditMenu);
}

// Run by the next test in a child process whose first preferred language is Japanese.
TEST_F(AppDelegateWithFakeKeySource, JapaneseTitlesInAChildProcess) {
    if (qEnvironmentVariable("LANGUAGE") != "ja_JP:en")
        GTEST_SKIP()
            << "runs only as the child of MenusSpeakJapaneseWhenTheFirstLanguageIsJapanese";
    const auto delegate = launch();
    EXPECT_EQ(describe(*delegate->statusMenu()), japaneseStatusMenu);
    EXPECT_EQ(describe(delegate->editMenu()->menuBar()), japaneseEditMenu);
}

TEST(AppDelegate, MenusSpeakJapaneseWhenTheFirstLanguageIsJapanese) {
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("LANGUAGE", "ja_JP:en");
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(),
                {"--gtest_filter=AppDelegateWithFakeKeySource.JapaneseTitlesInAChildProcess"});
    ASSERT_TRUE(child.waitForFinished(60'000));
    const QString output = QString::fromUtf8(child.readAll());
    EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains("[  PASSED  ] 1 test")) << output.toStdString();
}

TEST_F(AppDelegateWithFakeKeySource, WithoutATrayTheMenuBecomesAWindow) {
    // The offscreen platform has no tray, like stock GNOME.
    const auto delegate = launch();
    ASSERT_TRUE(QTest::qWaitFor([&] { return delegate->statusWindow() != nullptr; }, 5000));
    StatusWindow* window = delegate->statusWindow();
    EXPECT_TRUE(window->isVisible());
    QStringList buttons;
    for (const QToolButton* button : window->findChildren<QToolButton*>())
        buttons.append(button->text());
    EXPECT_EQ(buttons, (QStringList{"Capture Region  (tap)", "Capture Window  (hold)",
                                    "Scrolling Capture  (region)", "Open Save Folder", "Library…",
                                    "Settings…", "Quit Glimber"}));
    window->close();
    delegate->presentStatusWindow(); // a second start of the program
    EXPECT_TRUE(window->isVisible());
}

TEST_F(AppDelegateWithFakeKeySource, TapOfTheTriggerKeyCapturesARegion) {
    const auto delegate = launch();
    QSignalSpy finished(&delegate->captureRunner(), &CaptureRunner::captureFinished);
    pressTrigger();
    releaseTrigger();
    ASSERT_TRUE(finished.wait(10'000));
    EXPECT_EQ(finished.first().at(1).value<CaptureRunner::Outcome>(),
              CaptureRunner::Outcome::copied);
    EXPECT_EQ(toolArguments().value(0), "-i");
}

TEST_F(AppDelegateWithFakeKeySource, HoldOfTheTriggerKeyCapturesAWindow) {
    ConfigStore::setShared("hotkey",
                           QJsonObject{{"modifier", "rightControl"}, {"holdThreshold", 0.2}});
    const auto delegate = launch();
    QSignalSpy finished(&delegate->captureRunner(), &CaptureRunner::captureFinished);
    pressTrigger(VirtualKey::rightControl, ModifierFlag::control);
    ASSERT_TRUE(finished.wait(10'000)) << "the hold fires while the key is still down";
    releaseTrigger(VirtualKey::rightControl);
    EXPECT_EQ(toolArguments().value(0), "-iw");
    QTest::qWait(100);
    EXPECT_EQ(finished.size(), 1) << "the release starts nothing more";
}

TEST_F(AppDelegateWithFakeKeySource, KeyStreamThatCannotOpenIsTriedAgainUntilItOpens) {
    failingStarts = 3;
    const auto delegate = launch();
    ASSERT_TRUE(QTest::qWaitFor([&] { return keys->open; }, 5000));
    EXPECT_EQ(keys->starts, 4);
}

TEST_F(AppDelegateWithFakeKeySource, InterruptedKeyStreamIsOpenedAgain) {
    const auto delegate = launch();
    ASSERT_TRUE(keys->open);
    keys->send({KeyEvent::Type::interrupted, 0, 0});
    EXPECT_FALSE(keys->open);
    ASSERT_TRUE(QTest::qWaitFor([&] { return keys->open; }, 5000));
    EXPECT_EQ(keys->starts, 2);
}

} // namespace
