#include "MenuShortcutKeys.h"
#include "TrayGlyph.h"
#include "TrayMenuPlacement.h"
#include "TrayToolTip.h"

#include <QImage>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// Sharp means every pixel is glyph, backdrop or nothing: an edge that fell
// between two pixels would leave a half-covered one.
TEST(TrayGlyph, EveryPanelSizeIsDrawnWithoutHalfCoveredPixels) {
    const QIcon icon = TrayGlyph::icon(Qt::white);
    for (const int size : {16, 22, 24, 32, 44, 48}) {
        SCOPED_TRACE(size);
        const QImage image = icon.pixmap(size, size).toImage();
        ASSERT_EQ(image.size(), QSize(size, size));
        int glyph = 0;
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                const int alpha = qAlpha(image.pixel(x, y));
                EXPECT_TRUE(alpha == 0 || alpha == TrayGlyph::backdropAlpha || alpha == 255)
                    << x << "," << y << " alpha " << alpha;
                glyph += alpha == 255;
            }
        }
        // Enough ink to be seen, little enough to stay a line drawing.
        EXPECT_GT(glyph, size * size / 8);
        EXPECT_LT(glyph, size * size / 2);
    }
}

// The panel's colour is a guess; whichever way it goes wrong, the glyph must
// still stand out from what surrounds it.
TEST(TrayGlyph, GlyphStandsOutOnDarkAndLightPanelsWhateverTheGuess) {
    for (const bool guessedDark : {false, true}) {
        const QIcon icon = TrayGlyph::icon(TrayGlyph::colourForPanel(guessedDark));
        for (const QColor panel : {QColor(0x2f, 0x2f, 0x2f), QColor(0xef, 0xef, 0xef)}) {
            SCOPED_TRACE(
                QString("guessed %1, panel %2").arg(guessedDark).arg(panel.name()).toStdString());
            QImage shown(22, 22, QImage::Format_RGB32);
            shown.fill(panel);
            QPainter(&shown).drawPixmap(0, 0, icon.pixmap(22, 22));
            const QRect line = TrayGlyph::rectangles(22).back();
            const int ink = qGray(shown.pixel(line.center()));
            const int around = qGray(shown.pixel(line.center() + QPoint(0, line.height())));
            EXPECT_GT(std::abs(ink - around), 100);
        }
    }
}

TEST(TrayGlyph, ColourFollowsThePanel) {
    EXPECT_TRUE(TrayGlyph::panelIsDark("ubuntu:GNOME", Qt::white)) << "GNOME's top bar is dark";
    EXPECT_TRUE(TrayGlyph::panelIsDark("KDE", QColor(0x20, 0x20, 0x20)));
    EXPECT_FALSE(TrayGlyph::panelIsDark("XFCE", QColor(0xef, 0xef, 0xef)));
    EXPECT_GT(TrayGlyph::colourForPanel(true).lightness(), 200);
    EXPECT_LT(TrayGlyph::colourForPanel(false).lightness(), 80);
}

struct MenuCase {
    const char* panel;
    QRect icon;
    QPoint expected;
};

TEST(TrayMenuPlacement, MenuOpensBesideTheIconNeverOverIt) {
    const QRect screen(0, 0, 1280, 800);
    const QSize menu(200, 180);
    const QPoint pointer(640, 400);
    const MenuCase cases[] = {
        {"top panel", {600, 0, 22, 22}, {600, 22}},
        {"top right corner", {1258, 0, 22, 22}, {1080, 22}},
        {"bottom panel", {300, 778, 22, 22}, {300, 598}},
        {"left panel", {0, 300, 22, 22}, {22, 300}},
        {"right panel", {1258, 300, 22, 22}, {1058, 300}},
        {"no geometry from the panel", {}, pointer},
    };
    for (const MenuCase& c : cases) {
        SCOPED_TRACE(c.panel);
        EXPECT_EQ(trayMenuPosition(c.icon, menu, screen, pointer), c.expected);
    }
}

TEST(TrayToolTip, TellsWhatTheIndexerIsDoingAndTheNewestCapture) {
    const struct {
        TrayState state;
        const char* expected;
    } cases[] = {
        {{}, "Glimber"},
        {{1, false, {}}, "Glimber — 1 screenshot waiting for text recognition"},
        {{12, false, "Glimber 2026-12-05-14-03-09.png"},
         "Glimber — 12 screenshots waiting for text recognition\n"
         "Last capture: Glimber 2026-12-05-14-03-09.png"},
        {{12, true, {}}, "Glimber — indexing paused"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(trayToolTip(c.state), QString::fromUtf8(c.expected));
}

TEST(StatusMenu, AShownShortcutChoosesItsItemWhileTheMenuIsOpen) {
    QMenu menu;
    QAction* library = menu.addAction("Library…");
    library->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    menu.addAction("Quit")->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    MenuShortcutKeys::install(menu);
    QSignalSpy chosen(library, &QAction::triggered);
    menu.popup({10, 10});
    QTest::keyClick(&menu, Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(chosen.count(), 1);
    EXPECT_FALSE(menu.isVisible());
}

} // namespace
