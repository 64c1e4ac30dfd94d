#pragma once

#include "RunningProgram.h"
#include "SandboxHome.h"
#include "XSession.h"

#include <QImage>
#include <QLabel>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <memory>

// A person's view of a running Glimber: a throw-away home, a window with known
// text on the headless screen, and the keyboard and pointer to work with.
class GlimberDesktopTest : public ::testing::Test {
protected:
    static constexpr int rightShift = 62;
    static constexpr int letterA = 38;
    static constexpr int escape = 9;

    void TearDown() override;

    // Starts glimber and waits until it takes commands.
    std::unique_ptr<RunningProgram> startGlimber(const QStringList& arguments = {});
    // Shows `text` in large letters in a window at textWindowRect().
    void showTextWindow(const QString& text);
    static QRect textWindowRect() { return {100, 100, 600, 200}; }

    // Waits until glimber's capture tool covers the screen and listens.
    bool waitForOverlay(const RunningProgram& glimber);
    bool waitUntilToolEnded(const RunningProgram& glimber);

    QStringList savedShots() const;
    QString saveFolder() const { return home.file(".glimvault/captures"); }
    // The screen's pixels, straight from the X server.
    QImage screenPixels(const QRect& rect) const;
    // What a paste would get: the clipboard as PNG, or as text.
    QImage clipboardImage() const;
    QString clipboardText() const;

    SandboxHome home;
    XSession x;
    std::unique_ptr<QLabel> textWindow;
};
