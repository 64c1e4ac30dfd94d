#pragma once

#include "AnnotationDoc.h"

#include <QString>

// The editor's two ways out: the clipboard and a new PNG file in the save folder.
// Both render at full size, never change the document and return the status
// line to show.
namespace AnnotationExport {

QString copyAnnotated(const AnnotationDoc& doc);

// Writes <base>-annotated.png (then -annotated-2.png, -3, …) into the save
// folder. Never writes the source and never replaces an existing file.
QString save(const AnnotationDoc& doc, const QString& sourcePath);

// The same into a given folder.
QString saveInto(const AnnotationDoc& doc, const QString& sourcePath, const QString& folder);

} // namespace AnnotationExport
