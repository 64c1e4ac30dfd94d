#include "StrayWords.h"

#include "PixArea.h"
#include "PixPtr.h"
#include "RecognizedText.h"

#include <algorithm>
#include <limits>
#include <vector>

namespace StrayWords {

namespace {

// Words of at most this many characters can be strays; longer ones hold
// enough letters to be worth keeping even when misread.
constexpr qsizetype maxStrayLength = 2;
// Two kanji make a word of their own, as often as not ("部署", "完了").
constexpr qsizetype maxJapaneseStrayLength = 1;
// The less confident the reading, the nearer a neighbour must stand to vouch
// for it, in median word heights of the page. Neighbours share the line when
// their boxes overlap by half the lower one's height.
struct Support {
    float belowConfidence;
    double neighbourWithin;
};
constexpr Support neededSupport[] = {{60, 0.5}, {75, 1.0}, {85, 2.0}};
// A doubtful word whose box is mostly ink is a shape, not letters: strokes
// of text cover well under half of their box.
constexpr float shapeConfidence = 60;
constexpr double shapeInk = 0.8;

int medianHeight(const QList<RecognizedWord>& words) {
    std::vector<int> heights;
    for (const RecognizedWord& word : words)
        heights.push_back(word.box.height());
    std::nth_element(heights.begin(), heights.begin() + heights.size() / 2, heights.end());
    return std::max(1, heights[heights.size() / 2]);
}

bool sameLine(const QRect& a, const QRect& b) {
    const int overlap = std::min(a.bottom(), b.bottom()) - std::max(a.top(), b.top()) + 1;
    return 2 * overlap >= std::min(a.height(), b.height());
}

// The horizontal gap to the nearest word of the same line, in pixels.
int nearestGap(const QList<RecognizedWord>& words, qsizetype index) {
    const QRect& box = words[index].box;
    int nearest = std::numeric_limits<int>::max();
    for (qsizetype i = 0; i < words.size(); ++i) {
        const QRect& other = words[i].box;
        if (i == index || !sameLine(box, other))
            continue;
        const int gap =
            std::max({other.left() - box.right() - 1, box.left() - other.right() - 1, 0});
        nearest = std::min(nearest, gap);
    }
    return nearest;
}

bool unsupported(const QList<RecognizedWord>& words, qsizetype index, int wordHeight) {
    const RecognizedWord& word = words[index];
    const qsizetype limit =
        RecognizedText::hasJapanese(word.text) ? maxJapaneseStrayLength : maxStrayLength;
    if (RecognizedText::nonSpaceLength(word.text) > limit)
        return false;
    const Support* support =
        std::find_if(std::begin(neededSupport), std::end(neededSupport),
                     [&](const Support& s) { return word.confidence < s.belowConfidence; });
    return support != std::end(neededSupport) &&
           nearestGap(words, index) >= support->neighbourWithin * wordHeight;
}

// A rule or a slider's groove read as text: "ーーーー", "一一". No word is
// two or more of these and nothing else.
bool ruleReadAsDashes(const QString& text) {
    static const QString dashes = QStringLiteral("ー一―—－─");
    return RecognizedText::nonSpaceLength(text) >= 2 &&
           std::all_of(text.cbegin(), text.cend(),
                       [](QChar c) { return c.isSpace() || dashes.contains(c); });
}

bool solidShape(const RecognizedWord& word, Pix* binary) {
    if (word.confidence >= shapeConfidence || binary == nullptr)
        return false;
    const PixPtr part = PixArea::clip(binary, word.box);
    l_int32 ink = 0;
    return part && pixCountPixels(part.get(), &ink, nullptr) == 0 &&
           ink >= shapeInk * word.box.width() * word.box.height();
}

} // namespace

int remove(QList<RecognizedWord>& words, Pix* binary) {
    if (words.isEmpty())
        return 0;
    const int wordHeight = medianHeight(words);
    QList<bool> stray(words.size(), false);
    for (qsizetype i = 0; i < words.size(); ++i)
        stray[i] = unsupported(words, i, wordHeight) || solidShape(words[i], binary) ||
                   ruleReadAsDashes(words[i].text);
    // A line whose first word goes starts at the next one kept.
    QList<RecognizedWord> kept;
    bool lineStarts = false;
    for (qsizetype i = 0; i < words.size(); ++i) {
        lineStarts = lineStarts || words[i].startsLine;
        if (stray[i])
            continue;
        words[i].startsLine = lineStarts;
        lineStarts = false;
        kept.append(std::move(words[i]));
    }
    const int removed = int(words.size() - kept.size());
    words = std::move(kept);
    return removed;
}

} // namespace StrayWords
