#pragma once

#include <cstdio>

// A one-line progress bar redrawn in place on a terminal; silent elsewhere.
class ProgressBar {
public:
    ProgressBar(std::FILE* stream, long long total, const char* label = "recognising");
    ~ProgressBar();

    void advance();
    void advanceTo(long long done);
    // Removes the bar, leaving the line empty for what follows.
    void clear();

private:
    void draw();

    std::FILE* stream_;
    long long total_;
    const char* label_;
    long long done_ = 0;
    bool enabled_;
    bool drawn_ = false;
};
