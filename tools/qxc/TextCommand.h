#pragma once

#include <QString>
#include <QStringList>

#include <cstdio>

// `qxc text PATH...`: the text of images, from the index when it read the file
// as it is now, else read by the OCR helper there and then (all such files in
// one run of it). Plain output is each image's text, after a "==> PATH <=="
// line when there are several; --json is one line per image with its path,
// text and words, or its error. Returns the exit status: done when an image
// had text, nothingFound when none had, noHelper when a file needed the
// helper and there is none.
namespace TextCommand {

struct Options {
    QString databasePath;
    QString helperPath;
    bool json = false;
};

int run(const QStringList& paths, const Options& options, std::FILE* out, std::FILE* err);

} // namespace TextCommand
