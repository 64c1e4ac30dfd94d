#pragma once

#include <QString>

// Where Glimber keeps its files, all below the user's home folder ($HOME).
namespace AppPaths {

QString home();
QString appHome();         // ~/.glimvault
QString localConfigFile(); // ~/.glimvault/config.json
QString databaseFile();    // ~/.glimvault/db.sqlite

// Expands a leading "~" or "~user" the way a shell would; other text is kept.
QString expandTilde(const QString& path);

// A configured folder as an absolute, clean path: "~" expanded, relative paths
// taken from the current folder, no trailing slash.
QString directoryPath(const QString& configured);

} // namespace AppPaths
