#pragma once

#include "RequestGenerations.h"
#include "Shot.h"

#include <QList>
#include <QString>
#include <QWidget>

#include <functional>
#include <optional>

class PreviewPane;
class QLabel;
class QLineEdit;
class QStackedWidget;
class QTimer;
class ShotListModel;
class ShotListView;
class ThumbnailCache;

// What tests change about the library; the defaults are the real program's.
struct LibraryOptions {
    // The pause in typing after which the text is searched.
    int debounceMs = 200;
    // Answers one query off the main thread: the recent shots for an empty
    // text, else the shots whose text contains it. Any failure is no shots.
    std::function<QList<Shot>(const QString& trimmedText)> query = &LibraryOptions::storeQuery;
    // Row thumbnails come from here; null means ThumbnailCache::shared().
    ThumbnailCache* thumbnails = nullptr;

    static constexpr int limit = 200;
    static QList<Shot> storeQuery(const QString& trimmedText);
};

// The library window's content: the search field, the list of matching shots
// and the preview of the selected one. It keeps its state while hidden, so the
// window shows the same search, list and selection when it comes back.
class LibraryView : public QWidget {
    Q_OBJECT

public:
    explicit LibraryView(LibraryOptions options = {}, QWidget* parent = nullptr);
    ~LibraryView() override;

    // Runs one query for the current text now; its result replaces the list
    // unless a later query has started by the time it arrives.
    void reload();

    QString searchText() const;
    const QList<Shot>& shots() const;
    std::optional<qint64> selection() const { return selection_; }
    void setSelection(std::optional<qint64> id);
    std::optional<Shot> selectedShot() const;

    // The texts of the empty list, as shown; empty while the list has rows.
    QString emptyText() const;
    QString emptyHint() const;

    QLineEdit* searchField() const { return search_; }
    ShotListView* list() const { return list_; }
    PreviewPane* preview() const { return preview_; }

Q_SIGNALS:
    // A query's result has replaced the list.
    void resultsApplied();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* makeSearchBar();
    QWidget* makeEmptyState();
    void apply(QList<Shot> shots, const QStringList& searched);
    void showSelectionInList();
    void selectionChangedInList();
    void focusSearch();
    void copySelected();
    void updateEmptyState();
    void updateThumbnailEdge();

    LibraryOptions options_;
    ThumbnailCache& thumbnails_;
    RequestGenerations queries_;
    std::optional<qint64> selection_;
    bool didLoad_ = false;
    bool syncingList_ = false;

    QTimer* debounce_ = nullptr;
    QLineEdit* search_ = nullptr;
    QStackedWidget* listPane_ = nullptr;
    ShotListModel* model_ = nullptr;
    ShotListView* list_ = nullptr;
    QWidget* emptyState_ = nullptr;
    QLabel* emptyText_ = nullptr;
    QLabel* emptyHint_ = nullptr;
    PreviewPane* preview_ = nullptr;
};
