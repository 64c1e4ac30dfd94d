#pragma once

#include "LibraryView.h"

#include <memory>

class OcrIndexer;

// The one library window: made on the first show() and kept, hidden when
// closed, so that it comes back as it was left.
class LibraryWindowController {
public:
    static constexpr QSize contentSize{820, 560};
    static constexpr QSize minimumContentSize{720, 480};

    explicit LibraryWindowController(LibraryOptions options = {});
    ~LibraryWindowController();

    // Makes the window on first use, else brings it to the front unchanged.
    void show();

    // After every pass of `indexer` that added, removed or recognised shots, the
    // library runs its query again, so new captures appear without typing.
    void followIndexer(const OcrIndexer& indexer);

    // The window, made (placed, not shown) on first use.
    LibraryView& view();
    LibraryView* window() const { return window_.get(); }

private:
    void connectIndexer();

    LibraryOptions options_;
    std::unique_ptr<LibraryView> window_;
    const OcrIndexer* indexer_ = nullptr;
};
