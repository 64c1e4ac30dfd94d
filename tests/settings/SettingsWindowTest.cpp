// The settings window on the offscreen platform, worked through its controls;
// what a save wrote is read back from the JSON files.
#include "AboutView.h"
#include "ElidedLabel.h"
#include "GeneralSettingsView.h"
#include "LoginItem.h"
#include "SandboxHome.h"
#include "SettingsView.h"
#include "SettingsWindowController.h"
#include "TestFiles.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>

#include <gtest/gtest.h>

namespace {

QJsonObject json(const QString& file) {
    return QJsonDocument::fromJson(TestFiles::read(file)).object();
}

// The child of type T whose text reads `text`.
template <typename T>
T* withText(const QWidget& in, const QString& text) {
    for (T* widget : in.findChildren<T*>()) {
        if (widget->text() == text)
            return widget;
    }
    return nullptr;
}

class SettingsWindowTest : public ::testing::Test {
protected:
    QString configFile() const { return home.file(".glimvault/config.json"); }

    GeneralSettingsView& general() {
        if (!controller.window())
            controller.show();
        return controller.view()->general();
    }
    QComboBox& triggerKey() { return *general().findChild<QComboBox*>(); }
    QCheckBox& toggle(const char* text) { return *withText<QCheckBox>(general(), text); }
    QWidget& row(const char* label) { return *withText<QLabel>(general(), label)->parentWidget(); }
    QString shownPath(const char* label) { return row(label).findChild<ElidedLabel*>()->text(); }
    void choose(const char* label, const QString& folder) {
        QDir().mkpath(folder);
        withText<QPushButton>(row(label), "Change")->click();
        auto* chooser = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(chooser, nullptr);
        chooser->setDirectory(folder);
        static_cast<QDialog*>(chooser)->accept(); // QFileDialog hides its own accept()
    }
    void save() { withText<QPushButton>(general(), "Save")->click(); }
    // The failure alert's message and reason, closing it; empty without one.
    QString takeAlert() {
        std::unique_ptr<QMessageBox> alert(controller.window()->findChild<QMessageBox*>());
        return alert ? alert->text() + ": " + alert->informativeText() : QString();
    }

    SandboxHome home;
    int saves = 0;
    SettingsWindowController controller{[this] { ++saves; }};
};

TEST_F(SettingsWindowTest, OpensWithTheValuesAsStored) {
    TestFiles::write(configFile(), R"({"captures": "~/Shots", "source": 5, "autoOcr": 0,
                    "hotkey": {"modifier": "rightOption", "holdThreshold": 0.65}})");
    LoginItem::setEnabled(true);
    EXPECT_EQ(shownPath("Save to"), "~/Shots");
    EXPECT_EQ(triggerKey().currentText(), "Right Alt");
    EXPECT_FALSE(toggle("Auto-OCR after capture").isChecked());
    EXPECT_TRUE(toggle("Launch at login").isChecked());

    EXPECT_EQ(general().findChild<QLabel*>("holdThreshold")->text(), "Hold threshold: 0.65 s");
}

TEST_F(SettingsWindowTest,
       EditsSurviveClosingAndSaveWritesThemRemovingEmptyFieldsKeepingOtherKeys) {
    TestFiles::write(configFile(), R"({"captures": 5, "library": {"columns": 3}})");
    choose("Scan from", home.file("Pictures/Shots"));
    choose("Cloud", home.file("Cloud"));
    withText<QPushButton>(row("Cloud"), "Clear")->click();
    triggerKey().setCurrentIndex(3);
    general().findChild<QSlider*>()->setValue(7);
    toggle("Auto-OCR after capture").setChecked(false);
    toggle("Show a notification after each capture").setChecked(false);
    toggle("Launch at login").setChecked(true);
    controller.window()->close();
    EXPECT_FALSE(json(configFile()).contains("hotkey")) << "closing saves nothing";
    controller.show();
    EXPECT_EQ(triggerKey().currentText(), "Right Ctrl") << "reopened with the unsaved edits";
    // About tells the saved login state, not the unsaved toggle.
    SettingsView& view = *controller.view();
    const QLabel& login = *view.about().findChild<QLabel*>("login");
    view.setCurrentWidget(&view.about());
    EXPECT_EQ(login.text(), "Off");
    save();
    EXPECT_EQ(saves, 1) << takeAlert().toStdString();
    EXPECT_FALSE(controller.window()->isVisible());
    const QJsonObject hotkey{{"modifier", "rightControl"}, {"holdThreshold", 0.35}};
    EXPECT_EQ(json(configFile()), QJsonObject({{"source", home.file("Pictures/Shots")},
                                               {"hotkey", hotkey},
                                               {"autoOcr", false},
                                               {"notifyAfterCapture", false},
                                               {"library", QJsonObject{{"columns", 3}}}}));
    EXPECT_TRUE(LoginItem::isEnabled());
    controller.show();
    EXPECT_EQ(login.text(), "On");
}

// Under Wayland the Hotkey section tells how the desktop's shortcuts stand,
// at every showing of the window.
TEST(SettingsDesktopShortcuts, TheBoundKeysAndTheirDialogOrTheCommandsToBindAreShown) {
    SandboxHome home;
    int configured = 0;
    DesktopShortcutState state;
    SettingsWindowController controller([] {}, [&] { return state; });
    controller.show();
    GeneralSettingsView& general = controller.view()->general();
    const auto* line = general.findChild<QLabel*>("desktopShortcuts");
    QPushButton* change = withText<QPushButton>(general, "Change Shortcuts…");
    EXPECT_FALSE(line->isVisible()) << "nothing to say in an X11 session";
    EXPECT_FALSE(change->isVisible());

    state.kind = DesktopShortcutState::Kind::bound;
    state.bindings = {{"Capture Region", "Print"}, {"Library", ""}};
    state.configure = [&configured] { ++configured; };
    controller.show();
    EXPECT_TRUE(line->isVisible());
    EXPECT_TRUE(line->text().contains("\nCapture Region: Print\nLibrary: none"))
        << line->text().toStdString();
    change->click();
    EXPECT_EQ(configured, 1);

    state.kind = DesktopShortcutState::Kind::unavailable;
    state.problem = "the desktop offers no global shortcuts portal";
    state.configure = {};
    controller.show();
    EXPECT_FALSE(change->isVisible());
    EXPECT_TRUE(line->text().contains("(the desktop offers no global shortcuts portal)"));
    EXPECT_TRUE(line->text().endsWith("glimber --capture-window\nglimber --capture-text"));
}

// One step of the save fails: the steps before it stay written, the later ones
// are not tried, and the window stays open with the edits.
struct FailingSave {
    const char* name;
    QByteArray config;        // the local configuration before
    const char* fileInTheWay; // a file where a folder or another file belongs
    const char* reason;
    QJsonObject configAfter; // empty: the local configuration stays as it was
};

class SettingsSaveFailureTest : public SettingsWindowTest,
                                public ::testing::WithParamInterface<FailingSave> {};

TEST_P(SettingsSaveFailureTest, StopsAtTheFailingStepAndKeepsTheWindowOpen) {
    TestFiles::write(configFile(), GetParam().config);
    TestFiles::write(home.file(GetParam().fileInTheWay), "a file");
    const QByteArray before = TestFiles::read(configFile());
    triggerKey().setCurrentIndex(3);
    toggle("Launch at login").setChecked(true);
    save();
    const QString alert = takeAlert();
    EXPECT_TRUE(alert.startsWith("Failed to save settings: ") && alert.contains(GetParam().reason))
        << alert.toStdString();
    EXPECT_EQ(saves, 0);
    EXPECT_TRUE(controller.window()->isVisible());
    EXPECT_EQ(triggerKey().currentText(), "Right Ctrl");
    EXPECT_FALSE(LoginItem::isEnabled());
    if (GetParam().configAfter.isEmpty())
        EXPECT_EQ(TestFiles::read(configFile()), before);
    else
        EXPECT_EQ(json(configFile()), GetParam().configAfter);
}

const QJsonObject savedHotkey{{"modifier", "rightControl"}, {"holdThreshold", 0.4}};

INSTANTIATE_TEST_SUITE_P(
    Steps, SettingsSaveFailureTest,
    ::testing::Values(
        FailingSave{"SaveFolderIsAFile", R"({"captures": "~/taken"})", "taken", "is a file", {}},
        FailingSave{"ConfigDoesNotParse", R"({"autoOcr": 0,)", "unrelated", "not valid JSON", {}},
        FailingSave{"SharedConfigDoesNotParse", R"({"cloud": "~/Cloud"})", "Cloud/config.json",
                    "not valid JSON", QJsonObject{{"cloud", "~/Cloud"}}},
        FailingSave{
            "AutostartFolderIsAFile", "{}", ".config/autostart", "",
            QJsonObject{{"autoOcr", true}, {"hotkey", savedHotkey}, {"notifyAfterCapture", true}}}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
