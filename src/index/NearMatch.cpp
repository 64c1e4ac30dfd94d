#include "NearMatch.h"

#include "GramTokenizer.h"
#include "SearchPlan.h"
#include "SearchQuery.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace NearMatch {

namespace {

constexpr int minimumLatin = 5;
constexpr int minimumJapanese = 3;
constexpr std::size_t maxWordLength = 64;
// Spellings of one half of a word with its confusions: enough for a half
// with three confusable characters of two kinds.
constexpr std::size_t maxSpellings = 8;

bool isJapanese(QChar c) {
    const char16_t u = c.unicode();
    return (u >= 0x3040 && u <= 0x30FF) || (u >= 0x4E00 && u <= 0x9FFF) ||
           (u >= 0xFF66 && u <= 0xFF9F);
}

// The character a confusion class stands as; anything else as it is.
constexpr char32_t canonicalOf(char32_t c) {
    if (c >= 'A' && c <= 'Z')
        c += 'a' - 'A';
    switch (c) {
    case '0':
        return 'o';
    case '1':
    case 'i':
    case '|':
        return 'l';
    case '5':
        return 's';
    case '8':
        return 'b';
    case U'ー':
    case U'一':
    case U'‐':
    case U'―':
    case U'－':
        return '-';
    default:
        return c;
    }
}

// Every text a search looks at near passes through canonical(), most of it
// ASCII: a table answers for those.
constexpr std::array<char32_t, 128> asciiCanonical = [] {
    std::array<char32_t, 128> table{};
    for (char32_t c = 0; c < 128; ++c)
        table[c] = canonicalOf(c);
    return table;
}();

char32_t canonical(char32_t c) {
    return c < 128 ? asciiCanonical[c] : canonicalOf(c);
}

// The characters a text may show where a word has `c`, as LIKE sees them,
// `c` itself first.
std::vector<char32_t> confusions(char32_t c) {
    std::vector<char32_t> all{c};
    const std::u32string others = [c]() -> std::u32string {
        switch (canonical(c)) {
        case 'o':
            return U"o0";
        case 'l':
            return U"li1";
        case 's':
            return U"s5";
        case 'b':
            return U"b8";
        case '-':
            return U"-ー一";
        default:
            return U"";
        }
    }();
    for (char32_t other : others) {
        if (other != c)
            all.push_back(other);
    }
    return all;
}

// Two letters that recognition reads as one, or one it reads as two: "rn"
// and "m", and the ligatures of print, "fi" and "fl", which it may drop whole.
std::optional<char32_t> pairAsOne(char32_t first, char32_t second) {
    if (first == 'r' && second == 'n')
        return U'm';
    if (first == 'f' && second == 'l')
        return U'\uFB02';
    return std::nullopt;
}

// Hands the characters of `utf8` to `take`, normalized, until it says it
// has found what it looks for.
template <typename Take>
bool forEachNormalized(std::string_view utf8, Take&& take) {
    const auto* at = reinterpret_cast<const unsigned char*>(utf8.data());
    const unsigned char* end = at + utf8.size();
    std::optional<char32_t> held; // an "r" or "f" that may pair with the next
    while (at != end) {
        const char32_t c = canonical(GramTokenizer::readLikeCharacter(at, end));
        if (held) {
            const std::optional<char32_t> pair = pairAsOne(*held, c);
            if (take(pair.value_or(*held)))
                return true;
            held.reset();
            if (pair)
                continue;
        }
        if (c == 'r' || c == 'f')
            held = c;
        else if (take(c))
            return true;
    }
    return held && take(*held);
}

// Myers' bit-parallel edit distance with a free start anywhere in the text,
// fed one character at a time: bit i of each vector belongs to the word's
// first i+1 characters.
class OneEditScanner {
public:
    explicit OneEditScanner(const std::u32string& word)
        : last_(std::uint64_t(1) << (word.size() - 1))
        , plus_(word.size() == 64 ? ~std::uint64_t(0) : (std::uint64_t(1) << word.size()) - 1)
        , score_(word.size()) {
        for (std::size_t i = 0; i < word.size(); ++i) {
            const std::uint64_t bit = std::uint64_t(1) << i;
            if (word[i] < 128) {
                asciiMasks_[word[i]] |= bit;
                continue;
            }
            const auto found =
                std::find_if(otherMasks_.begin(), otherMasks_.end(),
                             [&](const auto& mask) { return mask.first == word[i]; });
            if (found == otherMasks_.end())
                otherMasks_.emplace_back(word[i], bit);
            else
                found->second |= bit;
        }
    }

    // Whether the text up to `c` ends in a string at most one edit away.
    bool take(char32_t c) {
        const std::uint64_t equal = maskOf(c);
        const std::uint64_t xv = equal | minus_;
        const std::uint64_t xh = (((equal & plus_) + plus_) ^ plus_) | equal;
        std::uint64_t hp = minus_ | ~(xh | plus_);
        std::uint64_t hm = plus_ & xh;
        if (hp & last_)
            ++score_;
        else if (hm & last_)
            --score_;
        if (score_ <= 1)
            return true;
        hp <<= 1;
        hm <<= 1;
        plus_ = hm | ~(xv | hp);
        minus_ = hp & xv;
        return false;
    }

private:
    std::uint64_t maskOf(char32_t c) const {
        if (c < 128)
            return asciiMasks_[c];
        const auto found = std::find_if(otherMasks_.begin(), otherMasks_.end(),
                                        [c](const auto& mask) { return mask.first == c; });
        return found == otherMasks_.end() ? 0 : found->second;
    }

    // Which of the word's positions hold a character: ASCII from a table.
    std::array<std::uint64_t, 128> asciiMasks_{};
    std::vector<std::pair<char32_t, std::uint64_t>> otherMasks_;
    std::uint64_t last_;
    std::uint64_t plus_;
    std::uint64_t minus_ = 0;
    std::size_t score_;
};

// Every spelling of `half` with its confusions, the first as it is.
std::vector<std::u32string> spellings(const std::u32string& half) {
    std::vector<std::u32string> all{U""};
    for (char32_t c : half) {
        std::vector<std::u32string> next;
        for (const std::u32string& start : all) {
            for (char32_t variant : confusions(c)) {
                if (next.size() < maxSpellings)
                    next.push_back(start + variant);
            }
        }
        all = std::move(next);
    }
    return all;
}

// The grams a text holding `piece` holds, quoted and joined by AND: at each
// position the longest, unless the one before already covers it.
QByteArray allGramsOf(const std::u32string& piece) {
    QByteArray expression;
    const int length = int(piece.size());
    int covered = 0;
    for (int i = 0; i < length; ++i) {
        for (int gram : GramTokenizer::gramLengths(piece[std::size_t(i)])) {
            if (i + gram > length)
                continue;
            if (i + gram <= covered)
                break;
            covered = i + gram;
            const QByteArray token =
                QByteArray::fromStdString(GramTokenizer::token(piece.data() + i, gram));
            if (!expression.isEmpty())
                expression += " AND ";
            expression += '"' + QByteArray(token).replace('"', "\"\"") + '"';
            break;
        }
    }
    return expression;
}

// A text holding `piece` in any of its spellings: the spellings' grams, each
// set in parentheses, joined by OR; empty when the piece has no gram.
QByteArray anySpellingOf(const std::u32string& piece) {
    QByteArray any;
    for (const std::u32string& spelling : spellings(piece)) {
        const QByteArray grams = allGramsOf(spelling);
        if (grams.isEmpty())
            continue;
        any += (any.isEmpty() ? "(" : " OR (") + grams + ')';
    }
    return any.isEmpty() ? any : '(' + any + ')';
}

} // namespace

bool eligible(const QString& word) {
    if (word.contains(u'%') || word.contains(u'_') || word.size() > qsizetype(maxWordLength))
        return false;
    const bool japanese = std::any_of(word.begin(), word.end(), isJapanese);
    return word.size() >= (japanese ? minimumJapanese : minimumLatin);
}

std::u32string normalized(const char* utf8) {
    std::u32string out;
    forEachNormalized(utf8, [&out](char32_t c) {
        out.push_back(c);
        return false;
    });
    return out;
}

std::u32string normalized(const QString& text) {
    return normalized(text.toUtf8().constData());
}

bool holdsNear(std::string_view text, const std::u32string& word) {
    if (word.empty() || word.size() > maxWordLength)
        return false;
    OneEditScanner scanner(word);
    return forEachNormalized(text, [&scanner](char32_t c) { return scanner.take(c); });
}

QByteArray termsForSql(const QStringList& terms) {
    QByteArray encoded;
    for (const QString& term : terms) {
        const bool near = eligible(term);
        encoded += (near ? 'n' : 'e') + likePatterns({term});
        if (near)
            encoded += term.toUtf8() + '\0';
    }
    return encoded;
}

QByteArray candidateExpression(const QString& word) {
    const std::vector<char32_t> characters = GramTokenizer::likeCharacters(word.toStdString());
    const std::u32string whole(characters.begin(), characters.end());
    // One edit spoils at most one piece. Of three pieces two stand whole, and
    // two rule out far more texts than one; a piece needs a gram of its own,
    // two characters of Latin, so a short Latin word has two.
    const bool latin = std::any_of(whole.begin(), whole.end(), [](char32_t c) { return c < 0x80; });
    const std::size_t count = !latin || whole.size() >= 6 ? 3 : 2;
    std::vector<QByteArray> pieces;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t from = whole.size() * i / count;
        const std::size_t to = whole.size() * (i + 1) / count;
        pieces.push_back(anySpellingOf(whole.substr(from, to - from)));
    }
    QByteArray expression;
    const auto either = [&expression](const QByteArray& part) {
        if (part.isEmpty())
            return;
        if (!expression.isEmpty())
            expression += " OR ";
        expression += '(' + part + ')';
    };
    if (count == 2) {
        either(pieces[0]);
        either(pieces[1]);
        return expression;
    }
    for (std::size_t a = 0; a < 3; ++a) {
        for (std::size_t b = a + 1; b < 3; ++b) {
            if (!pieces[a].isEmpty() && !pieces[b].isEmpty())
                either(pieces[a] + " AND " + pieces[b]);
        }
    }
    return expression;
}

QByteArray candidateExpression(const QStringList& terms) {
    QByteArrayList parts;
    bool anyNear = false;
    for (const QString& term : terms) {
        const bool near = eligible(term);
        anyNear = anyNear || near;
        const QByteArray part =
            near ? candidateExpression(term)
                 : SearchPlan::forPatterns(likePatterns({term})).matchExpression();
        if (!part.isEmpty())
            parts.append('(' + part + ')');
    }
    return anyNear ? parts.join(" AND ") : QByteArray();
}

} // namespace NearMatch
