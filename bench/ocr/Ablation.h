#pragma once

#include "BenchImage.h"

#include <QHash>
#include <QList>
#include <QString>

// What each preprocessing step of the helper brings: the helper's own pipeline
// run in this process over the set, once with every step and once without each.
namespace Ablation {

// Prints a table of recall per language and CPU seconds per image by variant,
// and the share of junk over the pictures of `transcriptions` (see JunkTally).
void print(const QList<BenchImage>& images, const QHash<QString, QString>& transcriptions = {});

} // namespace Ablation
