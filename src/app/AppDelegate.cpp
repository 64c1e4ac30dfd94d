#include "AppDelegate.h"

#include "AppCommand.h"
#include "AppPaths.h"
#include "ConfigStore.h"
#include "DesktopNotification.h"
#include "DesktopSession.h"
#include "EditMenu.h"
#include "LoginItem.h"
#include "Notice.h"
#include "OcrIndexer.h"
#include "OcrRun.h"
#include "SettingsWindowController.h"
#include "StatusMenu.h"
#include "StatusWindow.h"
#include "TrayGlyph.h"
#include "TrayMenuPlacement.h"
#include "TrayToolTip.h"

#include <QApplication>
#include <QCursor>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QPointer>
#include <QScreen>
#include <QSettings>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QUrl>

AppDelegate::AppDelegate(AppDelegateOptions options)
    : options_(std::move(options))
    , holdTimer_([this] { monitor_.holdTimerFired(); })
    , monitor_(holdTimer_, {[this] { runCapture(CaptureRunner::regionArguments()); },
                            [this] { runCapture(CaptureRunner::windowArguments()); }})
    , currentHotkey_(ConfigStore::resolveHotkey())
    , captureRunner_(options_.helperFolder)
    , ocrHelper_(options_.helperFolder.isEmpty() ? OcrRun::defaultHelperPath()
                                                 : options_.helperFolder + QStringLiteral("/qxocr"))
    , textCapture_(captureRunner_, ocrHelper_)
    , captureNotifier_(notificationCenter_) {
    connect(&captureRunner_, &CaptureRunner::captureFinished, this, &AppDelegate::captureFinished);
    connect(&captureNotifier_, &CaptureNotifier::annotateRequested, this,
            &AppDelegate::openAnnotationEditor);
    connect(&textCapture_, &TextCapture::finished, this, [this](const TextCaptureResult& result) {
        if (const std::optional<Notice> notice = Notice::forTextCapture(result))
            notify(*notice);
    });
}

AppDelegate::~AppDelegate() = default;

void AppDelegate::applicationDidFinishLaunching() {
    // A tray program has no main window: closing one of its windows must not end it.
    QApplication::setQuitOnLastWindowClosed(false);
    installStatusItem();
    installEditMenu();
    QDir().mkpath(ConfigStore::resolveCaptureDir());
    enrolAtLoginOnce();
    LoginItem::mendIfMoved();
    // No trust prompt to show: reading X11 raw keys needs no permission, and the
    // /dev/input keyboards are readable or not by the user's groups.
    startEventTap();
    startDesktopShortcuts();
    connect(&OcrIndexer::shared(), &OcrIndexer::passFinished, this,
            &AppDelegate::indexPassFinished);
    OcrIndexer::shared().start();
    libraryController_.followIndexer(OcrIndexer::shared());
}

void AppDelegate::captureFinished(const QString& path, CaptureRunner::Outcome outcome,
                                  const QString& detail) {
    if (outcome == CaptureRunner::Outcome::copied) {
        trayState_.lastCapture = QFileInfo(path).fileName();
        showTrayState();
        if (ConfigStore::captureNoticeWanted(ConfigStore::effective()))
            captureNotifier_.captured(path);
        // Read here, by the recogniser that loaded while the person chose, and
        // handed to the indexer with the file.
        if (readsCaptures()) {
            // Listed at once; the watcher's pass, which follows, leaves it to this read.
            OcrIndexer::shared().expect(path);
            ocrHelper_.read(path, [this, path](const OcrAnswer& answer) {
                OcrIndexer::shared().readNow(path, answer);
                if (answer.text)
                    captureNotifier_.textRead(path, *answer.text);
            });
        } else
            OcrIndexer::shared().readNow(path);
    }
    if (const std::optional<Notice> notice = Notice::forCapture(path, outcome, detail))
        notify(*notice);
}

void AppDelegate::indexPassFinished(const PassReport& report) {
    if (report.pending) {
        trayState_.pending = *report.pending;
        trayState_.indexingPaused = !report.ocrAllowed;
        showTrayState();
    }
    // Every pass finds the same foreign file again: saying so once is enough.
    if (!report.failure || report.failure->kind != IndexFailure::Kind::notOurs ||
        toldIndexIsForeign_)
        return;
    toldIndexIsForeign_ = true;
    notify(Notice::forForeignIndex(AppPaths::databaseFile(), report.failure->detail));
}

void AppDelegate::showTrayState() {
    if (statusItem_)
        statusItem_->setToolTip(trayToolTip(trayState_));
}

void AppDelegate::notify(const Notice& notice) {
    QPointer<QSystemTrayIcon> tray = statusItem_.get();
    DesktopNotification::show(notice.title, notice.body, [tray, notice] {
        if (tray)
            tray->showMessage(notice.title, notice.body,
                              notice.failure ? QSystemTrayIcon::Warning
                                             : QSystemTrayIcon::Information);
    });
}

void AppDelegate::installStatusItem() {
    statusMenu_ = buildStatusMenu(*this);
    statusItem_ = std::make_unique<QSystemTrayIcon>(
        TrayGlyph::icon(TrayGlyph::colourForPanel(TrayGlyph::panelIsDark(
            qgetenv("XDG_CURRENT_DESKTOP"), QGuiApplication::palette().color(QPalette::Window)))));
    statusItem_->setToolTip(trayToolTip(trayState_));
    statusItem_->setContextMenu(statusMenu_.get());
    // A click opens the menu like a right click does, as a menu-bar item would,
    // beside the icon rather than over it.
    connect(statusItem_.get(), &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason != QSystemTrayIcon::Trigger)
                    return;
                const QPoint pointer = QCursor::pos();
                const QScreen* screen = QGuiApplication::screenAt(pointer);
                statusMenu_->popup(trayMenuPosition(
                    statusItem_->geometry(), statusMenu_->sizeHint(),
                    screen ? screen->geometry() : QRect(pointer, QSize(1, 1)), pointer));
            });
    statusItem_->show();
    // The icon docks by itself whenever a tray turns up; without one by then, the
    // menu becomes a window so that Glimber is neither invisible nor unreachable.
    QTimer::singleShot(options_.trayGraceMs, this, [this] {
        if (!QSystemTrayIcon::isSystemTrayAvailable())
            presentStatusWindow();
    });
}

void AppDelegate::installEditMenu() {
    editMenu_ = std::make_unique<EditMenu>();
}

void AppDelegate::enrolAtLoginOnce() {
    QSettings settings;
    if (settings.value(QStringLiteral("loginItemConfigured"), false).toBool())
        return;
    try {
        LoginItem::setEnabled(true);
    } catch (const LoginItemError&) {
        // Not retried: the flag below is set either way, and from now on only
        // the user changes it.
    }
    settings.setValue(QStringLiteral("loginItemConfigured"), true);
}

void AppDelegate::startDesktopShortcuts() {
    if (!DesktopSession::fromEnvironment().wayland)
        return;
    connect(&desktopShortcuts_, &DesktopShortcuts::commandRequested, this,
            [this](const QString& name) {
                if (const AppCommand* command = findAppCommand(name))
                    command->run(*this, {});
            });
    // Said once: the session is not asked for again before the next start.
    connect(&desktopShortcuts_, &DesktopShortcuts::unavailable, this,
            [this](const QString& reason) {
                if (!keyStreamOpened_)
                    notify(Notice::forNoCaptureKeys(reason));
            });
    desktopShortcuts_.start();
}

void AppDelegate::startEventTap() {
    if (!eventTap_) {
        eventTap_ = options_.makeKeySource();
        connect(eventTap_.get(), &KeyEventSource::keyEvent, this, &AppDelegate::handle);
    }
    if (eventTap_->start())
        keyStreamOpened_ = true;
    else
        QTimer::singleShot(options_.keySourceRetryMs, this, &AppDelegate::startEventTap);
}

void AppDelegate::handle(const KeyEvent& event) {
    monitor_.handle(event, currentHotkey_);
    if (event.type != KeyEvent::Type::interrupted)
        return;
    // Events were lost: open the stream afresh, once the source has returned
    // from delivering this one.
    eventTap_->stop();
    QTimer::singleShot(0, this, &AppDelegate::startEventTap);
}

bool AppDelegate::readsCaptures() {
    return ConfigStore::autoOcrAllowed(ConfigStore::effective());
}

void AppDelegate::runCapture(const QStringList& toolArguments) {
    if (readsCaptures())
        ocrHelper_.warmUp();
    captureRunner_.runCapture(toolArguments);
}

void AppDelegate::captureRangeAction() {
    runCapture(CaptureRunner::regionArguments());
}

void AppDelegate::captureWindowAction() {
    runCapture(CaptureRunner::windowArguments());
}

void AppDelegate::captureScreensAction() {
    runCapture(CaptureRunner::screensArguments());
}

void AppDelegate::captureTextAction() {
    textCapture_.start();
}

void AppDelegate::scrollCaptureAction() {
    captureRunner_.startScrollCapture();
}

void AppDelegate::openStore() {
    QDesktopServices::openUrl(QUrl::fromLocalFile(ConfigStore::resolveCaptureDir()));
}

void AppDelegate::showLibrary() {
    libraryController_.show();
}

void AppDelegate::openSettings() {
    if (!settingsController_) {
        settingsController_ = std::make_unique<SettingsWindowController>(
            [this] {
                // The next key event already uses the new key and threshold, and the
                // indexer follows a newly chosen save folder.
                currentHotkey_ = ConfigStore::resolveHotkey();
                OcrIndexer::shared().settingsChanged();
            },
            [this] {
                DesktopShortcutState state = desktopShortcuts_.state();
                // The trigger key works: a desktop without shortcuts is no problem.
                if (state.kind == DesktopShortcutState::Kind::unavailable && keyStreamOpened_)
                    state.kind = DesktopShortcutState::Kind::notUsed;
                return state;
            });
    }
    settingsController_->show();
}

void AppDelegate::openAnnotationEditor(const QString& path) {
    annotationController_.open(path);
}

void AppDelegate::quit() {
    QCoreApplication::quit();
}

void AppDelegate::presentStatusWindow() {
    if (!statusWindow_)
        statusWindow_ = std::make_unique<StatusWindow>(*statusMenu_);
    statusWindow_->present();
}
