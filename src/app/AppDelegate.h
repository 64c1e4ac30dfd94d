#pragma once

#include "AnnotationWindowController.h"
#include "CaptureNotifier.h"
#include "CaptureRunner.h"
#include "DesktopShortcuts.h"
#include "Hotkey.h"
#include "KeyEventSource.h"
#include "LibraryWindowController.h"
#include "MainThreadHoldTimer.h"
#include "NotificationCenter.h"
#include "PassReport.h"
#include "TextCapture.h"
#include "TrayToolTip.h"
#include "TriggerKeyMonitor.h"

#include <QObject>
#include <QSystemTrayIcon>

#include <functional>
#include <memory>

class EditMenu;
class QMenu;
class SettingsWindowController;
class StatusWindow;
struct Notice;

// What tests change about the program; the defaults are the real program's.
struct AppDelegateOptions {
    // Where qxcapture and qxscroll are; empty means beside the executable.
    QString helperFolder;
    std::function<std::unique_ptr<KeyEventSource>()> makeKeySource =
        &KeyEventSource::forThisSession;
    // A key stream that cannot be opened is tried again after this long.
    int keySourceRetryMs = 1000;
    // At login the panel may start after Glimber; this is how long its tray
    // gets before Glimber shows its menu as a window instead.
    int trayGraceMs = 3000;
};

// The hub of the tray program: the launch sequence, the tray icon and its menu,
// the hidden edit menu, the trigger key and the actions of the menu.
class AppDelegate : public QObject {
    Q_OBJECT

public:
    // Reads the trigger key from the configuration; opens nothing yet.
    explicit AppDelegate(AppDelegateOptions options = {});
    ~AppDelegate() override;

    // The launch sequence, once the event loop runs.
    void applicationDidFinishLaunching();

    // Menu actions.
    void captureRangeAction();
    void captureWindowAction();
    // Every screen in its place, without the overlay; as `glimber --capture-screen` asks.
    void captureScreensAction();
    void scrollCaptureAction();
    // A region's text on the clipboard, as `glimber --capture-text` asks.
    void captureTextAction();
    void openStore();
    void showLibrary();
    // Shows the settings window; a save there takes effect at once.
    void openSettings();
    void quit();
    // Opens an editor on an image file, as `glimber --annotate PATH` asks.
    void openAnnotationEditor(const QString& path);

    // One region or window capture with the tool's options.
    void runCapture(const QStringList& toolArguments);

    // Shows the status menu as a window (no tray, or a second start of the program).
    void presentStatusWindow();

    // Opens the system-wide key stream, retrying until it opens.
    void startEventTap();

    const Hotkey& currentHotkey() const { return currentHotkey_; }
    QSystemTrayIcon* statusItem() const { return statusItem_.get(); }
    QMenu* statusMenu() const { return statusMenu_.get(); }
    StatusWindow* statusWindow() const { return statusWindow_.get(); }
    const EditMenu* editMenu() const { return editMenu_.get(); }
    CaptureRunner& captureRunner() { return captureRunner_; }
    TextCapture& textCapture() { return textCapture_; }
    LibraryWindowController& libraryController() { return libraryController_; }

private:
    void installStatusItem();
    void installEditMenu();
    void enrolAtLoginOnce();
    void handle(const KeyEvent& event);
    void captureFinished(const QString& path, CaptureRunner::Outcome outcome,
                         const QString& detail);
    void indexPassFinished(const PassReport& report);
    // Under Wayland: the desktop's shortcuts, and word when neither they nor
    // the keyboards can start a capture.
    void startDesktopShortcuts();
    // Whether captures are read for the index without being asked.
    static bool readsCaptures();
    // A desktop notification, or the tray icon's message where there is no
    // notification service.
    void notify(const Notice& notice);
    // The tray tooltip from trayState_.
    void showTrayState();

    AppDelegateOptions options_;
    std::unique_ptr<QSystemTrayIcon> statusItem_;
    MainThreadHoldTimer holdTimer_;
    TriggerKeyMonitor monitor_; // triggerDown, usedAsModifier, holdFired
    Hotkey currentHotkey_;
    std::unique_ptr<KeyEventSource> eventTap_;
    CaptureRunner captureRunner_;
    // Reads captures as soon as they are taken: a region's text, and each
    // new shot for the index; its recogniser loads while the person chooses.
    WarmOcrHelper ocrHelper_;
    TextCapture textCapture_;
    NotificationCenter notificationCenter_;
    CaptureNotifier captureNotifier_;
    DesktopShortcuts desktopShortcuts_;
    bool keyStreamOpened_ = false;
    AnnotationWindowController annotationController_;
    LibraryWindowController libraryController_;
    std::unique_ptr<QMenu> statusMenu_;
    std::unique_ptr<EditMenu> editMenu_;
    std::unique_ptr<StatusWindow> statusWindow_;
    std::unique_ptr<SettingsWindowController> settingsController_; // made at first need
    bool toldIndexIsForeign_ = false;
    TrayState trayState_;
};
