// The library window driven with keys and clicks on the offscreen platform,
// over a real shot database that the real index scan filled in a throw-away home.
#include "AppPaths.h"
#include "ConfigStore.h"
#include "LibraryWindowController.h"
#include "PreviewImage.h"
#include "PreviewPane.h"
#include "SandboxHome.h"
#include "ShotActions.h"
#include "ShotIndex.h"
#include "ShotListModel.h"
#include "ShotListView.h"
#include "ShotReader.h"
#include "ShotWords.h"
#include "SqliteConnection.h"
#include "TestFiles.h"
#include "ThumbnailCache.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

namespace {

class LibraryWindow : public ::testing::Test {
protected:
    // `count` shots, shot-0 the oldest; the text of shot i is `texts(i)`.
    void addShots(int count, const std::function<QString(int)>& texts, QSize size = {8, 6}) {
        const QString folder = ConfigStore::resolveCaptureDir();
        QDir().mkpath(folder);
        for (int i = 0; i < count; ++i) {
            QImage image(size, QImage::Format_RGB32);
            image.fill(QColor::fromHsv(i % 360, 200, 200));
            const QString path = folder + QString("/shot-%1.png").arg(i);
            ASSERT_TRUE(image.save(path));
            TestFiles::setModificationTime(path, 1'700'000'000 + i);
        }
        ShotIndex index({database(), "/nonexistent"});
        index.openDB();
        index.scan();
        auto db = SqliteConnection::openReadWrite(database(), 3000);
        ASSERT_TRUE(db->exec("BEGIN"));
        for (int i = 0; i < count; ++i) {
            auto store =
                db->prepare("UPDATE shots SET ocr_text = ?, ocr_done = 1 WHERE filename = ?");
            store->bindText(1, texts(i));
            store->bindText(2, QString("shot-%1.png").arg(i));
            store->step();
        }
        ASSERT_TRUE(db->exec("COMMIT"));
    }
    QString database() const { return AppPaths::databaseFile(); }

    LibraryView& open() {
        if (!controller.window())
            QObject::connect(&controller.view(), &LibraryView::resultsApplied,
                             [this] { ++applied; });
        controller.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(controller.window()));
        waitForResults(1);
        return *controller.window();
    }
    void waitForResults(int count) {
        EXPECT_TRUE(QTest::qWaitFor([&] { return applied >= count; }, 10'000));
    }
    void search(const QString& text) {
        const int before = applied;
        controller.window()->searchField()->setText(text);
        waitForResults(before + 1);
    }

    SandboxHome home;
    std::shared_ptr<ShotReader> reader = std::make_shared<ShotReader>(database());
    std::shared_ptr<std::atomic<int>> queries = std::make_shared<std::atomic<int>>(0);
    std::function<void(const QString&)> beforeQuery = [](const QString&) {};
    LibraryWindowController controller{
        {.debounceMs = 40,
         .query = [this, reader = reader, queries = queries](const QString& text) {
             ++*queries;
             beforeQuery(text);
             return text.isEmpty() ? reader->recent(200) : reader->search(text, 200);
         }}};
    int applied = 0;
};

TEST_F(LibraryWindow, FirstOpenListsTheRecentShotsQuickTypingRunsOneQueryAndTheLatestCounts) {
    addShots(250, [](int i) { return i % 10 == 0 ? QString("kiwi %1").arg(i) : QString("plum"); });
    LibraryView& library = open();
    ASSERT_EQ(library.shots().size(), 200);
    EXPECT_EQ(library.shots().first().filename, "shot-249.png");
    EXPECT_EQ(library.selection(), std::nullopt);
    EXPECT_TRUE(library.searchField()->hasFocus());

    QTest::keyClicks(library.searchField(), "kiw");
    waitForResults(2);
    EXPECT_EQ(*queries, 2) << "one query for three quick keystrokes";
    EXPECT_EQ(library.shots().size(), 25);

    // The answer for "kiwi 2" is slow, comes after the one for "kiwi 24", and is dropped.
    beforeQuery = [](const QString& text) {
        if (text == "kiwi 2")
            std::this_thread::sleep_for(std::chrono::milliseconds(400));
    };
    library.searchField()->setText("kiwi 2");
    library.reload();
    search(" \n kiwi 24  ");
    QTest::qWait(600);
    EXPECT_EQ(library.shots().size(), 1) << "the text is searched without its spaces";
    search("   ");
    EXPECT_EQ(library.shots().size(), 200) << "spaces alone ask for the recent shots";
}

TEST_F(LibraryWindow, WordsInAnyOrderAndMisreadWordsAreFoundTheLatterMarkedAsSimilarText) {
    const QStringList texts{"Paint smooth strokes", "strokes smooth, then paint", "Brush lter",
                            "nothing here"};
    addShots(int(texts.size()), [&texts](int i) { return texts[i]; });
    LibraryView& library = open();
    search("smooth paint");
    ASSERT_EQ(library.shots().size(), 2);
    EXPECT_EQ(library.shots()[0].filename, "shot-1.png") << "both words, newest first";
    search("filter");
    ASSERT_EQ(library.shots().size(), 1);
    EXPECT_EQ(library.shots()[0].match, ShotMatch::near);
    auto* list = library.findChild<ShotListView*>();
    ASSERT_TRUE(list);
    EXPECT_EQ(list->model()->index(0, 0).data(ShotListModel::CaptionRole).toString(),
              "Similar text");
}

TEST_F(LibraryWindow, EmptyOrLockedDatabaseShowsNoScreenshotsYet) {
    LibraryView& library = open();
    EXPECT_EQ(library.emptyText(), "No screenshots yet");
    EXPECT_EQ(library.emptyHint(), "");
    search("   ");
    EXPECT_EQ(library.emptyText(), "No matches") << "spaces are a search that found nothing";
    EXPECT_EQ(library.emptyHint(), "Un-indexed images can be OCR-indexed with `qxc ocr`");

    addShots(3, [](int) { return QString("plum"); });
    auto locker = SqliteConnection::openReadWrite(database(), 3000);
    ASSERT_TRUE(locker->exec("BEGIN EXCLUSIVE"));
    search("");
    EXPECT_EQ(library.emptyText(), "No screenshots yet");
    ASSERT_TRUE(locker->exec("COMMIT"));
    search("plum");
    EXPECT_EQ(library.shots().size(), 3) << "the window stays usable";
}

TEST_F(LibraryWindow, SelectionStaysWithItsShotAndTheWindowComesBackAsItWasLeft) {
    addShots(30, [](int i) { return i % 2 ? QString("kiwi") : QString("plum"); });
    LibraryView& library = open();
    library.list()->setFocus();
    QTest::mouseClick(library.list()->viewport(), Qt::LeftButton, {},
                      library.list()->visualRect(library.list()->model()->index(2, 0)).center());
    const Shot chosen = library.shots().at(2);
    ASSERT_EQ(library.selection(), chosen.id);
    EXPECT_EQ(library.preview()->shot(), chosen);

    search("kiwi");
    EXPECT_EQ(library.selection(), chosen.id)
        << chosen.filename.toStdString() << " is still listed";
    const int row = library.list()->selectionModel()->selectedIndexes().first().row();
    EXPECT_EQ(library.shots().at(row), chosen);

    const int before = *queries;
    library.close();
    controller.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&library));
    EXPECT_EQ(library.searchText(), "kiwi");
    EXPECT_EQ(library.selection(), chosen.id);
    EXPECT_TRUE(library.searchField()->hasFocus());
    QTest::qWait(100);
    EXPECT_EQ(*queries, before) << "reopening runs no query";

    QTest::keyClick(library.searchField(), Qt::Key_Down);
    EXPECT_TRUE(library.list()->hasFocus());
    QTest::keyClick(library.list(), Qt::Key_F, Qt::ControlModifier);
    EXPECT_TRUE(library.searchField()->hasFocus());
    search("plum");
    EXPECT_EQ(library.selection(), std::nullopt);
    EXPECT_EQ(library.preview()->state(), PreviewPane::State::placeholder);

    QTest::keyClick(library.searchField(), Qt::Key_Escape);
    EXPECT_TRUE(library.isVisible()) << "Escape closes only an empty field's window";
    search("");
    QTest::keyClick(library.searchField(), Qt::Key_Escape);
    EXPECT_FALSE(library.isVisible());
}

TEST_F(LibraryWindow, ReturnAndDoubleClickCopyTheFullSizePictureAndAnUnreadableFileNothing) {
    addShots(3, [](int) { return QString("plum"); }, {2000, 1000});
    TestFiles::write(ConfigStore::resolveCaptureDir() + "/shot-2.png", "");
    LibraryView& library = open();
    library.setSelection(library.shots().at(0).id);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return library.preview()->state() == PreviewPane::State::failed; }, 10'000));
    const QModelIndex unreadable = library.list()->model()->index(0, 0);
    library.list()->viewport()->repaint();
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return unreadable.data(ShotListModel::ThumbnailFailedRole).toBool(); }, 10'000));
    QApplication::clipboard()->setText("kept");
    const QFuture<bool> copy = ShotActions::copyToClipboard(library.shots().at(0));
    EXPECT_TRUE(QTest::qWaitFor([&] { return copy.isFinished(); }, 10'000));
    QApplication::processEvents();
    EXPECT_TRUE(QApplication::clipboard()->image().isNull());
    EXPECT_EQ(QApplication::clipboard()->text(), "kept");

    library.setSelection(library.shots().at(1).id);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return library.preview()->state() == PreviewPane::State::image; }, 10'000));
    EXPECT_EQ(library.preview()->loader().image().size(), QSize(1400, 700));
    QTest::keyClick(library.searchField(), Qt::Key_Return);
    ASSERT_TRUE(
        QTest::qWaitFor([] { return !QApplication::clipboard()->image().isNull(); }, 10'000));
    EXPECT_EQ(QApplication::clipboard()->image().size(), QSize(2000, 1000));

    const QRect last = library.list()->visualRect(library.list()->model()->index(2, 0));
    // A person's double-click starts with a click, which the view needs to see.
    QTest::mouseClick(library.list()->viewport(), Qt::LeftButton, {}, last.center());
    QTest::mouseDClick(library.list()->viewport(), Qt::LeftButton, {}, last.center());
    ASSERT_TRUE(QTest::qWaitFor(
        [] {
            return QApplication::clipboard()->image().pixel(0, 0) ==
                   QColor::fromHsv(0, 200, 200).rgb();
        },
        10'000));
}

TEST_F(LibraryWindow, ClosedItLetsGoOfItsPicturesAndShowsThemAgainWhenReopened) {
    addShots(3, [](int) { return QString("plum"); }, {1600, 900});
    LibraryView& library = open();
    library.setSelection(library.shots().at(0).id);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return library.preview()->state() == PreviewPane::State::image; }, 10'000));
    ASSERT_GT(ThumbnailCache::shared().bytes(), 0);
    library.close();
    EXPECT_EQ(ThumbnailCache::shared().bytes(), 0);
    EXPECT_TRUE(library.preview()->loader().image().isNull());
    controller.show();
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return library.preview()->state() == PreviewPane::State::image; }, 10'000));
    EXPECT_EQ(library.selection(), library.shots().at(0).id);
}

// Where the helper said the word stands: the preview marks it, and starts
// around it, since the picture is larger than the pane; a file changed since
// it was read has no marks.
TEST_F(LibraryWindow, ThePreviewMarksTheSearchedWordsAndStartsAroundTheFirstOne) {
    addShots(2, [](int i) { return i ? QString("Total due 4100") : QString("other"); },
             {2000, 1000});
    const QString path = ConfigStore::resolveCaptureDir() + "/shot-1.png";
    const ShotWords::Stamp stamp = ShotWords::stampOf(path);
    auto db = SqliteConnection::openReadWrite(database(), 3000);
    auto store = db->prepare("INSERT INTO shot_words(id, bytes, mtime_ms, words) SELECT id, ?, ?, "
                             "? FROM shots WHERE filename = 'shot-1.png'");
    store->bindInt64(1, stamp.bytes);
    store->bindInt64(2, stamp.mtimeMs);
    store->bindText(3, R"([[1500,800,100,30,"Total"],[1610,800,60,30,"due"]])");
    ASSERT_TRUE(store->run());
    LibraryView& library = open();
    search("total");
    ASSERT_EQ(library.shots().size(), 1);
    library.setSelection(library.shots().at(0).id);
    const PreviewImage* image = library.preview()->image();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !image->marks().isEmpty(); }, 10'000));
    // The preview is 1400 pixels wide: seven tenths of the file's.
    EXPECT_EQ(image->marks(), QList<QRectF>{QRectF(1050, 560, 70, 21)});
    ASSERT_TRUE(image->focus());
    EXPECT_EQ(*image->focus(), QPointF(1085, 570.5));

    TestFiles::setModificationTime(path, 1'800'000'000);
    QSignalSpy lookedUp(library.preview(), &PreviewPane::marksLookedUp);
    search("due");
    library.setSelection(library.shots().at(0).id);
    // The new words alone start a look-up, which may end while the list fills.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !lookedUp.isEmpty(); }, 10'000));
    EXPECT_TRUE(image->marks().isEmpty()) << "the file changed since it was read";
}

TEST_F(LibraryWindow, CopyTextPutsTheShotsTextWithItsLinesOnTheClipboardAndIsOffWithoutText) {
    addShots(2, [](int i) { return i ? QString::fromUtf8("Save as…\n保存先: 書類") : QString(); });
    LibraryView& library = open();
    library.setSelection(library.shots().at(0).id);
    QPushButton* copyText = library.preview()->copyTextButton();
    ASSERT_TRUE(copyText->isEnabled());
    QApplication::clipboard()->setImage(QImage(4, 4, QImage::Format_RGB32));
    copyText->click();
    EXPECT_EQ(QApplication::clipboard()->text(), QString::fromUtf8("Save as…\n保存先: 書類"));
    EXPECT_TRUE(QApplication::clipboard()->mimeData()->hasFormat("text/plain"));
    library.setSelection(library.shots().at(1).id);
    EXPECT_FALSE(copyText->isEnabled()) << "a shot without text has none to copy";

    controller.window()->resize(LibraryWindowController::minimumContentSize);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    for (const QPushButton* button : library.preview()->findChildren<QPushButton*>()) {
        EXPECT_GE(button->width(), button->fontMetrics().horizontalAdvance(button->text()) + 8)
            << button->text().toStdString() << " is cut at the narrowest window";
    }
}

} // namespace
