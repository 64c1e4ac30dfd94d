#include "LibraryWindowController.h"

#include "AppLocale.h"
#include "OcrIndexer.h"
#include "WindowPlacement.h"

LibraryWindowController::LibraryWindowController(LibraryOptions options)
    : options_(std::move(options)) {}

LibraryWindowController::~LibraryWindowController() = default;

LibraryView& LibraryWindowController::view() {
    if (!window_) {
        window_ = std::make_unique<LibraryView>(options_);
        window_->setWindowTitle(AppLocale::text("Glimber Library", "Glimber ライブラリ"));
        window_->resize(contentSize);
        window_->setMinimumSize(minimumContentSize);
        WindowPlacement::placeOnActiveScreen(*window_);
        connectIndexer();
    }
    return *window_;
}

void LibraryWindowController::show() {
    view();
    window_->show();
    window_->raise();
    window_->activateWindow();
}

void LibraryWindowController::followIndexer(const OcrIndexer& indexer) {
    indexer_ = &indexer;
    connectIndexer();
}

void LibraryWindowController::connectIndexer() {
    if (!indexer_ || !window_)
        return;
    LibraryView* view = window_.get();
    QObject::connect(indexer_, &OcrIndexer::passFinished, view, [view](const PassReport& report) {
        if (report.changedRows())
            view->reload();
    });
}
