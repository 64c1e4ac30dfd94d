#include "AppCommand.h"

#include "AnnotationWindowController.h"
#include "AppDelegate.h"

const std::vector<AppCommand>& appCommands() {
    static const std::vector<AppCommand> commands{
        {"capture-region", false, "select a region and capture it",
         [](AppDelegate& app, const QString&) { app.captureRangeAction(); }},
        {"capture-window", false, "click a window and capture it",
         [](AppDelegate& app, const QString&) { app.captureWindowAction(); }},
        {"capture-text", false, "select a region and copy its text",
         [](AppDelegate& app, const QString&) { app.captureTextAction(); }},
        {"capture-screen", false, "capture every screen at once, without choosing",
         [](AppDelegate& app, const QString&) { app.captureScreensAction(); }},
        {"capture-scroll", false, "start a scrolling capture of a region",
         [](AppDelegate& app, const QString&) { app.scrollCaptureAction(); }},
        {"open-save-folder", false, "open the save folder in the file manager",
         [](AppDelegate& app, const QString&) { app.openStore(); }},
        {"library", false, "open the library: search every screenshot by its text",
         [](AppDelegate& app, const QString&) { app.showLibrary(); }},
        {"settings", false, "open the settings window",
         [](AppDelegate& app, const QString&) { app.openSettings(); }},
        {"annotate", true, "open the annotation editor on an image",
         [](AppDelegate& app, const QString& path) { app.openAnnotationEditor(path); },
         &AnnotationWindowController::unreadableReason},
        {"quit", false, "quit the running Glimber",
         [](AppDelegate& app, const QString&) { app.quit(); }},
    };
    return commands;
}

const AppCommand* findAppCommand(const QString& name) {
    for (const AppCommand& command : appCommands()) {
        if (command.name == name)
            return &command;
    }
    return nullptr;
}
