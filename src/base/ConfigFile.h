#pragma once

#include <QJsonObject>
#include <QString>

// One JSON settings file as the program reads it. A file is parsed once and
// kept until it changes (its identity, size or times), so a lookup costs one
// stat whatever the file's size. Safe to call from any thread: the indexer's
// reads the settings too.
namespace ConfigFile {

// Larger files are not read at all: settings take a few hundred bytes, and a
// file this large is not one that a person or the settings window wrote.
inline constexpr qint64 maxBytes = 1024 * 1024;

struct Contents {
    enum class State {
        absent,      // no file: no settings
        object,      // a JSON object (or an empty file)
        notAnObject, // JSON of another kind, which holds no settings either
        unusable,    // unreadable, too large, or not JSON at all
    };
    State state = State::absent;
    QJsonObject object; // empty unless `state` is object
    QString problem;    // unless absent or object: a sentence for the user
};

Contents read(const QString& path);

} // namespace ConfigFile
