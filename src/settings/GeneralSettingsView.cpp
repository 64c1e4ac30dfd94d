#include "GeneralSettingsView.h"

#include "AppLocale.h"
#include "AppPaths.h"
#include "ConfigStore.h"
#include "ElidedLabel.h"
#include "SettingsLook.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

#include <cmath>

namespace {

// The slider moves in steps of 0.05 s: its positions are twentieths of a second.
constexpr int stepsPerSecond = 20;

// "Hold threshold: 0.35 s", always with two decimals.
QString holdThresholdText(double seconds) {
    return AppLocale::text("Hold threshold", "長押し閾値") + QStringLiteral(": ") +
           QString::asprintf("%.2f", seconds) + AppLocale::text(" s", " 秒");
}

// The names say what the keys are on a PC keyboard.
QString modifierTitle(HotkeyModifier modifier) {
    switch (modifier) {
    case HotkeyModifier::rightShift:
        return AppLocale::text("Right Shift", "右 Shift");
    case HotkeyModifier::rightCommand:
        return AppLocale::text("Right Super", "右 Super");
    case HotkeyModifier::rightOption:
        return AppLocale::text("Right Alt", "右 Alt");
    case HotkeyModifier::rightControl:
        return AppLocale::text("Right Ctrl", "右 Ctrl");
    }
    return {};
}

// The chooser opens in the folder itself or, while that does not exist (yet),
// in its nearest parent that does, rather than wherever the dialog likes.
QString existingFolderAtOrAbove(const QString& folder) {
    QString path = AppPaths::directoryPath(folder);
    while (!QFileInfo(path).isDir() && path != QDir::rootPath())
        path = QFileInfo(path).absolutePath();
    return path;
}

// What the Hotkey section says of the desktop's shortcuts under Wayland.
QString desktopShortcutsText(const DesktopShortcutState& state) {
    switch (state.kind) {
    case DesktopShortcutState::Kind::notUsed:
        return {};
    case DesktopShortcutState::Kind::waiting:
        return AppLocale::text("Asking the desktop for its shortcuts…",
                               "デスクトップのショートカットを確認しています…");
    case DesktopShortcutState::Kind::bound:
        break;
    case DesktopShortcutState::Kind::unavailable:
        return AppLocale::text(
                   "The desktop offers no shortcuts to Glimber (%1), and Glimber may not read "
                   "the keyboards. Bind these commands to keys in the desktop's keyboard "
                   "settings:\nglimber --capture-region\nglimber --capture-window\nglimber "
                   "--capture-text",
                   "デスクトップのショートカットが使えず（%1）、キーボードも読めません。"
                   "デスクトップのキーボード設定で次のコマンドにキーを割り当ててください:\n"
                   "glimber --capture-region\nglimber --capture-window\nglimber --capture-text")
            .arg(state.problem);
    }
    QString text =
        AppLocale::text("Under Wayland the desktop runs Glimber's commands on these "
                        "keys (a tap or hold of the trigger key needs access to the "
                        "keyboards):",
                        "Wayland ではデスクトップが次のキーで Glimber のコマンドを実行します"
                        "（トリガキーのタップと長押しにはキーボードへのアクセスが必要です）:");
    for (const DesktopShortcutState::Binding& binding : state.bindings)
        text += u'\n' + binding.description + QStringLiteral(": ") +
                (binding.keys.isEmpty() ? AppLocale::text("none", "なし") : binding.keys);
    if (!state.configure)
        text += u'\n' + AppLocale::text("Change them in the desktop's keyboard settings.",
                                        "変更はデスクトップのキーボード設定で行えます。");
    return text;
}

QGroupBox* section(const char* english, const char* japanese) {
    return new QGroupBox(AppLocale::text(english, japanese));
}

QPushButton* rowButton(const char* english, const char* japanese) {
    auto* button = new QPushButton(AppLocale::text(english, japanese));
    // Return always means Save, whichever button has the focus.
    button->setAutoDefault(false);
    return button;
}

} // namespace

GeneralSettingsView::GeneralSettingsView(QWidget* parent)
    : QWidget(parent)
    , form_(SettingsForm::stored()) {
    auto* sections = new QVBoxLayout;
    sections->setContentsMargins(16, 16, 16, 16);
    sections->setSpacing(12);
    sections->addWidget(storageSection());
    sections->addWidget(hotkeySection());

    QGroupBox* index = section("Index", "索引");
    auto* autoOcr =
        new QCheckBox(AppLocale::text("Auto-OCR after capture", "撮影後に自動でOCRする"));
    autoOcr->setChecked(form_.autoOcr);
    connect(autoOcr, &QCheckBox::toggled, this, [this](bool on) { form_.autoOcr = on; });
    auto* notify = new QCheckBox(
        AppLocale::text("Show a notification after each capture", "撮影後に通知を表示"));
    notify->setChecked(form_.notifyAfterCapture);
    connect(notify, &QCheckBox::toggled, this, [this](bool on) { form_.notifyAfterCapture = on; });
    auto* indexRows = new QVBoxLayout(index);
    indexRows->addWidget(autoOcr);
    indexRows->addWidget(notify);
    sections->addWidget(index);

    QGroupBox* startup = section("Startup", "起動");
    auto* login = new QCheckBox(AppLocale::text("Launch at login", "ログイン時に自動起動"));
    login->setChecked(form_.launchAtLogin);
    connect(login, &QCheckBox::toggled, this, [this](bool on) { form_.launchAtLogin = on; });
    (new QVBoxLayout(startup))->addWidget(login);
    sections->addWidget(startup);
    sections->addStretch();

    auto* divider = new QFrame;
    divider->setFrameShape(QFrame::HLine);
    divider->setFrameShadow(QFrame::Sunken);

    auto* saveButton = new QPushButton(AppLocale::text("Save", "保存"));
    saveButton->setDefault(true);
    connect(saveButton, &QPushButton::clicked, this, &GeneralSettingsView::save);
    auto* bottomBar = new QHBoxLayout;
    bottomBar->setContentsMargins(16, 16, 16, 16);
    bottomBar->addStretch();
    bottomBar->addWidget(saveButton);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addLayout(sections, 1);
    column->addWidget(divider);
    column->addLayout(bottomBar);
    showPaths();
}

QWidget* GeneralSettingsView::storageSection() {
    QGroupBox* storage = section("Storage", "保存");
    auto* rows = new QVBoxLayout(storage);
    rows->addWidget(pathRow("Save to", "保存先", &SettingsForm::captures, false,
                            [] { return ConfigStore::resolveCaptureDir(); }));
    rows->addWidget(pathRow("Scan from", "走査元", &SettingsForm::source, false,
                            [] { return ConfigStore::resolveSource(); }));
    rows->addWidget(
        pathRow("Cloud", "クラウド", &SettingsForm::cloud, true, [] { return AppPaths::home(); }));
    return storage;
}

QWidget* GeneralSettingsView::hotkeySection() {
    QGroupBox* hotkey = section("Hotkey", "ホットキー");
    auto* rows = new QVBoxLayout(hotkey);

    auto* picker = new QComboBox;
    for (const HotkeyModifier modifier : allHotkeyModifiers)
        picker->addItem(modifierTitle(modifier), rawValue(modifier));
    picker->setCurrentIndex(int(form_.modifier));
    connect(picker, &QComboBox::currentIndexChanged, this,
            [this](int index) { form_.modifier = allHotkeyModifiers[std::size_t(index)]; });
    auto* keyRow = new QHBoxLayout;
    auto* keyLabel = new QLabel(AppLocale::text("Trigger key", "トリガキー"));
    keyLabel->setBuddy(picker);
    keyRow->addWidget(keyLabel);
    keyRow->addWidget(picker, 1);
    rows->addLayout(keyRow);

    holdThresholdLabel_ = new QLabel(holdThresholdText(form_.holdThreshold));
    holdThresholdLabel_->setObjectName(QStringLiteral("holdThreshold"));
    auto* slider = new QSlider(Qt::Horizontal);
    slider->setRange(4, 16);
    slider->setPageStep(1);
    // The stored threshold may lie between two steps; it is kept as it is
    // until the slider is moved.
    slider->setValue(int(std::lround(form_.holdThreshold * stepsPerSecond)));
    slider->setAccessibleName(AppLocale::text("Hold threshold", "長押し閾値"));
    connect(slider, &QSlider::valueChanged, this, [this](int steps) {
        form_.holdThreshold = double(steps) / stepsPerSecond;
        holdThresholdLabel_->setText(holdThresholdText(form_.holdThreshold));
    });
    auto* threshold = new QVBoxLayout;
    threshold->setSpacing(6);
    threshold->addWidget(holdThresholdLabel_);
    threshold->addWidget(slider);
    rows->addLayout(threshold);

    auto* note = new QLabel(AppLocale::text(
        "Right Super and right Alt may conflict with other uses (e.g. input switching) on some "
        "setups.",
        "右 Super と右 Alt は環境によって他用途（日英切替等）と干渉することがあります。"));
    note->setWordWrap(true);
    SettingsLook::scaleFont(*note, 0.85);
    SettingsLook::makeSecondary(*note);
    rows->addWidget(note);

    desktopShortcuts_ = new QLabel;
    desktopShortcuts_->setObjectName(QStringLiteral("desktopShortcuts"));
    desktopShortcuts_->setWordWrap(true);
    desktopShortcuts_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    desktopShortcuts_->hide();
    rows->addWidget(desktopShortcuts_);
    changeShortcuts_ = rowButton("Change Shortcuts…", "ショートカットを変更…");
    changeShortcuts_->hide();
    connect(changeShortcuts_, &QPushButton::clicked, this, [this] {
        if (configureShortcuts_)
            configureShortcuts_();
    });
    rows->addWidget(changeShortcuts_, 0, Qt::AlignLeft);
    return hotkey;
}

void GeneralSettingsView::showDesktopShortcuts(const DesktopShortcutState& state) {
    desktopShortcuts_->setVisible(state.kind != DesktopShortcutState::Kind::notUsed);
    changeShortcuts_->setVisible(bool(state.configure));
    configureShortcuts_ = state.configure;
    desktopShortcuts_->setText(desktopShortcutsText(state));
}

QWidget* GeneralSettingsView::pathRow(const char* english, const char* japanese,
                                      QString SettingsForm::*field, bool allowClear,
                                      std::function<QString()> startDir) {
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* label = new QLabel(AppLocale::text(english, japanese));
    label->setFixedWidth(64);
    auto* value = new ElidedLabel;
    SettingsLook::makeSecondary(*value);
    auto* change = rowButton("Change", "変更");
    // The start folder is worked out at the click: the configuration may have
    // changed since the window opened.
    connect(change, &QPushButton::clicked, this, [this, field, startDir] {
        const QString current = form_.*field;
        chooseFolder(field, current.isEmpty() ? startDir() : current);
    });
    layout->addWidget(label);
    layout->addWidget(value, 1);
    layout->addWidget(change);
    if (allowClear) {
        auto* clear = rowButton("Clear", "クリア");
        connect(clear, &QPushButton::clicked, this, [this, field] {
            form_.*field = QString();
            showPaths();
        });
        layout->addWidget(clear);
    }
    pathRows_.push_back({field, value});
    return row;
}

void GeneralSettingsView::showPaths() {
    for (const PathRow& row : pathRows_) {
        const QString& path = form_.*row.field;
        row.value->setText(path.isEmpty() ? AppLocale::text("(default)", "(既定)") : path);
    }
}

void GeneralSettingsView::chooseFolder(QString SettingsForm::*field, const QString& startAt) {
    // A sheet on the settings window when it is the active one; otherwise a
    // dialog of its own that holds up the whole program until answered.
    const bool sheet = window()->isActiveWindow();
    auto* chooser = new QFileDialog(sheet ? window() : nullptr);
    chooser->setAttribute(Qt::WA_DeleteOnClose);
    chooser->setFileMode(QFileDialog::Directory);
    chooser->setOption(QFileDialog::ShowDirsOnly);
    chooser->setDirectory(existingFolderAtOrAbove(startAt));
    connect(chooser, &QFileDialog::fileSelected, this, [this, field](const QString& folder) {
        if (folder.isEmpty())
            return;
        form_.*field = folder;
        showPaths();
    });
    if (sheet) {
        chooser->open();
        return;
    }
    chooser->setWindowModality(Qt::ApplicationModal);
    chooser->show();
}

void GeneralSettingsView::save() {
    try {
        form_.save();
    } catch (const std::runtime_error& error) {
        showFailure(QString::fromUtf8(error.what()));
        return;
    }
    Q_EMIT saved();
}

void GeneralSettingsView::showFailure(const QString& reason) {
    auto* alert =
        new QMessageBox(QMessageBox::Warning, QStringLiteral("Glimber"),
                        AppLocale::text("Failed to save settings", "設定の保存に失敗しました"),
                        QMessageBox::Ok, window());
    alert->setInformativeText(reason);
    // Qt sizes an alert to its title line; a path in the reason would wrap at
    // every slash.
    alert->setStyleSheet(QStringLiteral("QLabel#qt_msgbox_informativelabel { min-width: 320px; }"));
    alert->setAttribute(Qt::WA_DeleteOnClose);
    alert->open();
}
