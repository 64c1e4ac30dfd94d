#pragma once

// The indexer's delays, in milliseconds. Tests shorten them.
struct IndexerTiming {
    int debounceMs = 1500;   // after the last change in the capture folder
    int drainDelayMs = 1500; // between chained OCR batches
    int safetyIntervalMs = 60'000;
    // Between two batches of the search index's build, so passes, watcher and
    // timer events, and searches in other connections get their turn.
    int searchBuildPauseMs = 50;
};
