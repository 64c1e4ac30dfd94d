#include "LibraryView.h"

#include "AppLocale.h"
#include "ImageScaling.h"
#include "LibraryStyle.h"
#include "LibrarySymbols.h"
#include "PreviewPane.h"
#include "ProcessMemory.h"
#include "SearchQuery.h"
#include "ShotActions.h"
#include "ShotListModel.h"
#include "ShotListView.h"
#include "ShotRowDelegate.h"
#include "ShotStore.h"
#include "SymbolView.h"
#include "ThumbnailCache.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QSplitter>
#include <QStackedWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>
#include <QtConcurrent>

namespace {

constexpr double thumbnailEdge = 160;

QString hintText() {
    return AppLocale::text("Un-indexed images can be OCR-indexed with `qxc ocr`",
                           "未OCRの画像があれば `qxc ocr` で抽出できます");
}

// The command between the backticks shows in a fixed-width font, without them.
QString hintHtml(const QString& text) {
    QStringList parts = text.toHtmlEscaped().split(u'`');
    for (qsizetype i = 1; i < parts.size(); i += 2)
        parts[i] = QStringLiteral("<code>") + parts[i] + QStringLiteral("</code>");
    return parts.join(QString());
}

} // namespace

QList<Shot> LibraryOptions::storeQuery(const QString& trimmedText) {
    return trimmedText.isEmpty() ? ShotStore::recent(limit) : ShotStore::search(trimmedText, limit);
}

LibraryView::LibraryView(LibraryOptions options, QWidget* parent)
    : QWidget(parent)
    , options_(std::move(options))
    , thumbnails_(options_.thumbnails ? *options_.thumbnails : ThumbnailCache::shared()) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(makeSearchBar());
    auto* divider = new QFrame(this);
    divider->setFrameShape(QFrame::HLine);
    divider->setFrameShadow(QFrame::Sunken);
    layout->addWidget(divider);

    auto* split = new QSplitter(Qt::Horizontal, this);
    split->setChildrenCollapsible(false);
    listPane_ = new QStackedWidget(split);
    listPane_->setMinimumWidth(320);
    model_ = new ShotListModel(thumbnails_, this);
    list_ = new ShotListView(listPane_);
    list_->setModel(model_);
    listPane_->addWidget(list_);
    listPane_->addWidget(makeEmptyState());
    listPane_->setCurrentWidget(emptyState_);
    preview_ = new PreviewPane(split);
    split->addWidget(listPane_);
    split->addWidget(preview_);
    split->setStretchFactor(1, 1);
    split->setSizes({380, 440});
    layout->addWidget(split, 1);

    debounce_ = new QTimer(this);
    debounce_->setSingleShot(true);
    debounce_->setInterval(options_.debounceMs);
    connect(debounce_, &QTimer::timeout, this, &LibraryView::reload);
    connect(search_, &QLineEdit::textChanged, this, [this] {
        debounce_->start();
        updateEmptyState();
    });
    connect(list_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &LibraryView::selectionChangedInList);
    connect(list_, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        ShotActions::copyToClipboard(index.data(ShotListModel::ShotRole).value<Shot>());
    });
    connect(list_, &ShotListView::upFromFirstRow, this, &LibraryView::focusSearch);
    for (const QKeySequence& keys :
         {QKeySequence(Qt::CTRL | Qt::Key_F), QKeySequence(Qt::CTRL | Qt::Key_L)}) {
        connect(new QShortcut(keys, this), &QShortcut::activated, this, [this] {
            focusSearch();
            search_->selectAll();
        });
    }
    setTabOrder(search_, list_);
    setTabOrder(list_, preview_->copyButton());
    updateEmptyState();
}

LibraryView::~LibraryView() = default;

QWidget* LibraryView::makeSearchBar() {
    auto* bar = new QWidget(this);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(10, 10, 10, 10);
    row->addWidget(
        new SymbolView(&LibrarySymbols::paintMagnifier, 16, LibraryStyle::secondaryOpacity, bar));
    search_ = new QLineEdit(bar);
    search_->setFrame(false);
    search_->setPlaceholderText(AppLocale::text("Search by OCR text (empty = recent)",
                                                "OCR テキストで検索（空欄で新しい順の履歴）"));
    // The field blends into the bar, as a plain search field does.
    QPalette palette = search_->palette();
    palette.setColor(QPalette::Base, Qt::transparent);
    search_->setPalette(palette);
    search_->installEventFilter(this);
    row->addWidget(search_, 1);
    return bar;
}

QWidget* LibraryView::makeEmptyState() {
    emptyState_ = new QWidget(listPane_);
    auto* column = new QVBoxLayout(emptyState_);
    column->setSpacing(6);
    column->addStretch();
    column->addWidget(new SymbolView(&LibrarySymbols::paintPhotoStack, 40, 0.31, emptyState_), 0,
                      Qt::AlignHCenter);
    emptyText_ = new QLabel(emptyState_);
    emptyText_->setAlignment(Qt::AlignCenter);
    LibraryStyle::makeSecondary(*emptyText_);
    column->addWidget(emptyText_);
    emptyHint_ = new QLabel(emptyState_);
    emptyHint_->setAlignment(Qt::AlignCenter);
    emptyHint_->setWordWrap(true);
    emptyHint_->setTextFormat(Qt::RichText);
    emptyHint_->setFont(ShotRowDelegate::captionFont(font()));
    LibraryStyle::makeSecondary(*emptyHint_);
    column->addWidget(emptyHint_);
    column->addStretch();
    return emptyState_;
}

void LibraryView::reload() {
    debounce_->stop();
    const QString trimmed = search_->text().trimmed();
    const quint64 generation = queries_.start();
    QtConcurrent::run([query = options_.query, trimmed] {
        return query(trimmed);
    }).then(this, [this, generation, trimmed](QList<Shot> shots) {
        if (queries_.isLatest(generation))
            apply(std::move(shots), SearchQuery::parse(trimmed).terms);
    });
}

void LibraryView::apply(QList<Shot> shots, const QStringList& searched) {
    if (selection_ && std::none_of(shots.cbegin(), shots.cend(),
                                   [this](const Shot& shot) { return shot.id == *selection_; }))
        selection_.reset();
    syncingList_ = true;
    model_->setShots(std::move(shots), searched);
    preview_->setSearched(searched);
    syncingList_ = false;
    showSelectionInList();
    listPane_->setCurrentWidget(model_->shots().isEmpty() ? emptyState_
                                                          : static_cast<QWidget*>(list_));
    preview_->setShot(selectedShot());
    updateEmptyState();
    Q_EMIT resultsApplied();
}

void LibraryView::showSelectionInList() {
    syncingList_ = true;
    const std::optional<int> row = model_->rowOf(selection_);
    QItemSelectionModel* selection = list_->selectionModel();
    if (row) {
        const QModelIndex index = model_->index(*row);
        if (!selection->isSelected(index))
            selection->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    } else if (selection->hasSelection()) {
        selection->clear();
    }
    syncingList_ = false;
}

void LibraryView::selectionChangedInList() {
    if (syncingList_)
        return;
    const QModelIndexList rows = list_->selectionModel()->selectedIndexes();
    std::optional<qint64> chosen;
    if (!rows.isEmpty())
        chosen = model_->shots().at(rows.first().row()).id;
    if (chosen == selection_)
        return;
    selection_ = chosen;
    preview_->setShot(selectedShot());
}

void LibraryView::setSelection(std::optional<qint64> id) {
    selection_ = model_->rowOf(id) ? id : std::nullopt;
    showSelectionInList();
    preview_->setShot(selectedShot());
}

std::optional<Shot> LibraryView::selectedShot() const {
    if (const std::optional<int> row = model_->rowOf(selection_))
        return model_->shots().at(*row);
    return std::nullopt;
}

QString LibraryView::searchText() const {
    return search_->text();
}

const QList<Shot>& LibraryView::shots() const {
    return model_->shots();
}

QString LibraryView::emptyText() const {
    return model_->shots().isEmpty() ? emptyText_->text() : QString();
}

QString LibraryView::emptyHint() const {
    return model_->shots().isEmpty() && emptyHint_->isVisibleTo(emptyState_) ? hintText()
                                                                             : QString();
}

void LibraryView::updateEmptyState() {
    // The raw text decides, not the trimmed one: spaces alone are a search
    // that found nothing, not an empty library.
    const bool searching = !search_->text().isEmpty();
    emptyText_->setText(searching
                            ? AppLocale::text("No matches", "該当なし")
                            : AppLocale::text("No screenshots yet", "まだスクショがありません"));
    emptyHint_->setText(searching ? hintHtml(hintText()) : QString());
    emptyHint_->setVisible(searching);
}

void LibraryView::focusSearch() {
    search_->setFocus(Qt::OtherFocusReason);
}

void LibraryView::copySelected() {
    if (const std::optional<Shot> shot = selectedShot())
        ShotActions::copyToClipboard(*shot);
}

void LibraryView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    updateThumbnailEdge();
    // A window moved to a screen of another scale asks for sharper or smaller rows.
    if (QWindow* window = windowHandle())
        connect(window, &QWindow::screenChanged, this, &LibraryView::updateThumbnailEdge,
                Qt::UniqueConnection);
    if (!didLoad_) {
        didLoad_ = true;
        reload();
    }
    focusSearch();
}

void LibraryView::updateThumbnailEdge() {
    model_->setThumbnailEdge(ImageScaling::pixelEdge(thumbnailEdge, devicePixelRatioF()));
}

void LibraryView::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    // A closed library keeps its list and selection, not its pictures: they
    // come back from the disk's thumbnail cache when it is shown again.
    preview_->releaseMemory();
    thumbnails_.releaseMemory();
    ProcessMemory::returnFreed();
}

void LibraryView::keyPressEvent(QKeyEvent* event) {
    // Return copies wherever the keyboard is, as a window's default button does.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        copySelected();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool LibraryView::eventFilter(QObject* watched, QEvent* event) {
    if (watched != search_ || event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Escape && search_->text().isEmpty()) {
        close();
        return true;
    }
    if (key->key() == Qt::Key_Down && !model_->shots().isEmpty()) {
        list_->setFocus(Qt::OtherFocusReason);
        if (!selection_)
            list_->selectionModel()->setCurrentIndex(model_->index(0),
                                                     QItemSelectionModel::ClearAndSelect);
        return true;
    }
    return false;
}
