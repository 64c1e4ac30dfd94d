#include "SearchPlan.h"

#include "GramTokenizer.h"

#include <QList>

#include <algorithm>
#include <array>

namespace {

// More grams of one piece narrow little further while each costs a look-up; a
// few spread over the piece keep long searches cheap.
constexpr std::size_t maxGramsPerPiece = 3;
constexpr std::size_t maxGrams = 6;

struct Gram {
    int start;
    int length;
};

// At each position the longest gram a text holding the piece has there, unless
// the gram before already covers it ("le" inside "ole", "定" inside "設定").
std::vector<Gram> pieceGrams(const char32_t* piece, int length) {
    std::vector<Gram> grams;
    for (int i = 0; i < length; ++i) {
        for (int gram : GramTokenizer::gramLengths(piece[i])) {
            if (i + gram > length)
                continue;
            if (grams.empty() || grams.back().start + grams.back().length < i + gram)
                grams.push_back({i, gram});
            break;
        }
    }
    if (grams.size() <= maxGramsPerPiece)
        return grams;
    // Grams across a space first: words that each occur everywhere ("email",
    // "settings") rarely stand side by side, and only these grams tell.
    std::vector<Gram> chosen;
    for (const Gram& gram : grams) {
        const bool across =
            std::any_of(piece + gram.start + 1, piece + gram.start + gram.length - 1,
                        [](char32_t c) { return c == U' '; });
        if (across && chosen.size() + 1 < maxGramsPerPiece)
            chosen.push_back(gram);
    }
    // Then evenly spaced, the first and the last always among them.
    const std::size_t spread = maxGramsPerPiece - chosen.size();
    for (std::size_t i = 0; i < spread; ++i)
        chosen.push_back(grams[i * (grams.size() - 1) / std::max<std::size_t>(spread - 1, 1)]);
    return chosen;
}

} // namespace

SearchPlan SearchPlan::forPatterns(const QByteArray& likePatterns) {
    SearchPlan plan;
    plan.patterns = likePatterns;
    // Longest grams first: a triple narrows far more than a single character.
    std::array<std::vector<std::string>, 3> byLength;
    for (const QByteArray& pattern : likePatterns.split('\0')) {
        const std::vector<char32_t> characters = GramTokenizer::likeCharacters(
            std::string_view(pattern.constData(), std::size_t(pattern.size())));
        std::size_t start = 0;
        for (std::size_t i = 0; i <= characters.size(); ++i) {
            if (i < characters.size() && characters[i] != U'%' && characters[i] != U'_')
                continue;
            for (const Gram& gram : pieceGrams(characters.data() + start, int(i - start))) {
                std::vector<std::string>& tier = byLength[std::size_t(3 - gram.length)];
                std::string token =
                    GramTokenizer::token(characters.data() + start + gram.start, gram.length);
                if (std::find(tier.begin(), tier.end(), token) == tier.end())
                    tier.push_back(std::move(token));
            }
            start = i + 1;
        }
    }
    for (std::vector<std::string>& tier : byLength) {
        for (std::string& token : tier) {
            if (plan.grams.size() < maxGrams)
                plan.grams.push_back(std::move(token));
        }
    }
    return plan;
}

QByteArray SearchPlan::matchExpression() const {
    QByteArray expression;
    for (const std::string& gram : grams) {
        if (!expression.isEmpty())
            expression += " AND ";
        expression += '"' + QByteArray::fromStdString(gram).replace('"', "\"\"") + '"';
    }
    return expression;
}
