#include "PreviewPane.h"

#include "AppLocale.h"
#include "ImageScaling.h"
#include "LibraryStyle.h"
#include "LibrarySymbols.h"
#include "PreviewImage.h"
#include "ShotActions.h"
#include "ShotStore.h"
#include "SymbolView.h"

#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedLayout>
#include <QVBoxLayout>
#include <QtConcurrent>

namespace {

// The style gives every labelled button at least 80 pixels, and five of those
// do not fit the narrowest pane: a button is as wide as its label needs.
void fitToLabel(QPushButton* button) {
    const QFontMetrics metrics = button->fontMetrics();
    button->setMinimumWidth(metrics.horizontalAdvance(button->text()) + metrics.height());
}

QLabel* secondaryLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    LibraryStyle::makeSecondary(*label);
    return label;
}

QWidget* busyPage(QWidget* parent) {
    auto* page = new QWidget(parent);
    auto* layout = new QVBoxLayout(page);
    auto* bar = new QProgressBar(page);
    bar->setRange(0, 0);
    bar->setTextVisible(false);
    bar->setFixedWidth(120);
    layout->addWidget(bar, 0, Qt::AlignCenter);
    return page;
}

QWidget* failurePage(QWidget* parent) {
    auto* page = new QWidget(parent);
    auto* layout = new QVBoxLayout(page);
    layout->setSpacing(6);
    layout->addStretch();
    layout->addWidget(
        new SymbolView(&LibrarySymbols::paintWarning, 34, LibraryStyle::secondaryOpacity, page), 0,
        Qt::AlignHCenter);
    layout->addWidget(
        secondaryLabel(AppLocale::text("Can't load this image", "この画像を読み込めません"), page));
    layout->addStretch();
    return page;
}

} // namespace

PreviewPane::PreviewPane(QWidget* parent)
    : QWidget(parent)
    , loader_(this) {
    pages_ = new QStackedLayout(this);

    placeholderPage_ = new QWidget(this);
    auto* placeholderLayout = new QVBoxLayout(placeholderPage_);
    placeholderLayout->setContentsMargins(12, 12, 12, 12);
    placeholderLayout->addWidget(
        secondaryLabel(AppLocale::text("Select an item to preview it here",
                                       "項目を選ぶとここにプレビューが出ます"),
                       placeholderPage_));
    pages_->addWidget(placeholderPage_);

    shotPage_ = new QWidget(this);
    auto* shotLayout = new QVBoxLayout(shotPage_);
    shotLayout->setContentsMargins(12, 12, 12, 12);
    shotLayout->setSpacing(12);
    imageStates_ = new QStackedLayout;
    image_ = new PreviewImage(shotPage_);
    busy_ = busyPage(shotPage_);
    failure_ = failurePage(shotPage_);
    imageStates_->addWidget(image_);
    imageStates_->addWidget(busy_);
    imageStates_->addWidget(failure_);
    shotLayout->addLayout(imageStates_, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    copy_ = new QPushButton(AppLocale::text("Copy", "コピー"), shotPage_);
    // Return copies (see LibraryView); the frame says so, as a default button's does.
    copy_->setDefault(true);
    copyText_ = new QPushButton(AppLocale::text("Copy Text", "テキストをコピー"), shotPage_);
    auto* annotate = new QPushButton(AppLocale::text("Annotate…", "注釈…"), shotPage_);
    auto* reveal = new QPushButton(AppLocale::text("Show in Folder", "フォルダで表示"), shotPage_);
    open_ = new QPushButton(AppLocale::text("Open", "開く"), shotPage_);
    for (QPushButton* button : {copy_, copyText_, annotate, reveal, open_}) {
        fitToLabel(button);
        buttons->addWidget(button);
    }
    buttons->addStretch();
    shotLayout->addLayout(buttons);
    pages_->addWidget(shotPage_);

    connect(copy_, &QPushButton::clicked, this, [this] {
        if (shot_)
            ShotActions::copyToClipboard(*shot_);
    });
    connect(copyText_, &QPushButton::clicked, this, [this] {
        if (shot_)
            ShotActions::copyText(*shot_);
    });
    connect(annotate, &QPushButton::clicked, this, [this] {
        if (shot_)
            annotationController_.open(shot_->path);
    });
    connect(reveal, &QPushButton::clicked, this, [this] {
        if (shot_)
            ShotActions::showInFolder(*shot_);
    });
    connect(open_, &QPushButton::clicked, this, [this] {
        if (shot_)
            ShotActions::open(*shot_);
    });
    connect(&loader_, &ImageLoader::changed, this, &PreviewPane::showLoaderState);
    pages_->setCurrentWidget(placeholderPage_);
}

void PreviewPane::setShot(const std::optional<Shot>& shot) {
    const bool samePath = shot && shot_ && shot->path == shot_->path;
    shot_ = shot;
    pages_->setCurrentWidget(shot_ ? shotPage_ : placeholderPage_);
    // A shot without recognised text has none to copy.
    copyText_->setEnabled(shot_ && shot_->ocrText && !shot_->ocrText->isEmpty());
    if (shot_ && !samePath) {
        load();
        loadMarks();
    }
}

void PreviewPane::setSearched(const QStringList& words) {
    if (words == searched_)
        return;
    searched_ = words;
    loadMarks();
}

void PreviewPane::loadMarks() {
    const quint64 generation = ++marksGeneration_;
    marks_.clear();
    showMarks();
    if (!shot_ || searched_.isEmpty())
        return;
    // The database and the file's header are read off the main thread.
    struct Found {
        QList<QRect> boxes;
        QSize size;
    };
    QtConcurrent::run([shot = *shot_, words = searched_] {
        Found found;
        for (const ShotWord& word : ShotWords::matching(ShotStore::words(shot), words))
            found.boxes.append(word.box);
        if (!found.boxes.isEmpty())
            found.size = QImageReader(shot.path).size();
        return found;
    }).then(this, [this, generation](const Found& found) {
        if (generation != marksGeneration_)
            return;
        marks_ = found.boxes;
        markedPictureSize_ = found.size;
        showMarks();
        Q_EMIT marksLookedUp();
    });
}

void PreviewPane::showMarks() {
    if (!image_->image().isNull())
        image_->setMarks(marks_, markedPictureSize_);
}

void PreviewPane::releaseMemory() {
    loader_.release();
    image_->setImage(QImage());
}

void PreviewPane::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (shot_)
        load();
}

void PreviewPane::load() {
    loader_.load(shot_->path, ImageScaling::pixelEdge(previewEdge, devicePixelRatioF()));
    showLoaderState();
}

void PreviewPane::showLoaderState() {
    image_->setImage(loader_.image());
    showMarks();
    const State now = state();
    imageStates_->setCurrentWidget(now == State::image    ? static_cast<QWidget*>(image_)
                                   : now == State::failed ? failure_
                                                          : busy_);
}

PreviewPane::State PreviewPane::state() const {
    if (!shot_)
        return State::placeholder;
    if (!loader_.image().isNull())
        return State::image;
    return loader_.failed() ? State::failed : State::loading;
}
