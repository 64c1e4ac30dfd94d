#pragma once

#include <QStringList>

// The words the benchmark renders and then looks for in the recognised text.
// Every word is long enough that finding it by accident inside another is rare.
namespace BenchVocabulary {

const QStringList& english();
const QStringList& japanese();

} // namespace BenchVocabulary
