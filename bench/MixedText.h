#pragma once

#include <QString>

#include <random>
#include <vector>

// Screen text as OCR gives it back, English and Japanese mixed: menus, dialogs,
// chat, log lines. Words follow a Zipf law over a large vocabulary (a few hundred
// real words, then a long tail of made-up ones and kanji compounds), so some
// words are in nearly every text and most are in few, as on real screens.
class MixedText {
public:
    explicit MixedText(unsigned seed);

    // About `characters` characters of one screen.
    QString screen(int characters);

private:
    QString englishWord();
    QString japaneseWord();
    QString number();
    int zipf(const std::vector<double>& cumulative);

    std::mt19937_64 random_;
    std::vector<QString> english_;
    std::vector<double> englishWeights_;
    std::vector<QString> japanese_;
    std::vector<double> japaneseWeights_;
};
