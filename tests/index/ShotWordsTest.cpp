#include "ShotWords.h"

#include <gtest/gtest.h>

namespace {

// One line of words at y 10 ("Licensor shall grant"), a second at y 40 with
// the kana of "プリセット" read one to a word, and a third where recognition
// split "Licensor" in two.
QList<ShotWord> page() {
    QList<ShotWord> words;
    int x = 0;
    int y = 10;
    const auto line = [&](std::initializer_list<const char*> texts) {
        for (const char* text : texts) {
            const QString word = QString::fromUtf8(text);
            words.append({word, QRect(x, y, 10 * int(word.size()), 16)});
            x += 10 * int(word.size()) + 6;
        }
        x = 0;
        y += 30;
    };
    line({"Licensor", "shall", "grant", "or", "Li"});
    line({"設定", "プ", "リ", "セ", "ッ", "ト", "を"});
    line({"the", "Licen", "sor", "and", "the", "settings"});
    return words;
}

QStringList texts(const QList<ShotWord>& words) {
    QStringList texts;
    for (const ShotWord& word : words)
        texts.append(word.text + u'@' + QString::number(word.box.y()));
    return texts;
}

TEST(ShotWords, MarksTheWordsThatMakeUpATermAndNotThoseThatMerelyShareAPart) {
    struct Case {
        QStringList terms;
        QStringList marked;
    };
    const Case cases[] = {
        {{"licensor"}, {"Licensor@10", "Licen@70", "sor@70"}},
        {{"Lisensor"}, {"Licensor@10", "Licen@70", "sor@70"}}, // near
        {{"the settings"}, {"the@70", "settings@70"}},         // a phrase, not every "the"
        {{"プリセット"}, {"プ@40", "リ@40", "セ@40", "ッ@40", "ト@40"}},
        {{"grant", "sor"}, {"Licensor@10", "grant@10", "sor@70"}},
        {{"gr%t"}, {"grant@10"}}, // the pieces between wildcards
        {{"shallgrant"}, {"shall@10", "grant@10"}},
        {{"grant or"}, {"grant@10", "or@10"}},
        {{"Li"}, {"Licensor@10", "Li@10", "Licen@70"}},
        {{"granted"}, {}},     // two edits, and too short to be near
        {{"Licensor or"}, {}}, // the words stand on different lines
    };
    for (const Case& c : cases)
        EXPECT_EQ(texts(ShotWords::matching(page(), c.terms)).join(u' ').toStdString(),
                  c.marked.join(u' ').toStdString())
            << c.terms.join(u'|').toStdString();
}

TEST(ShotWords, ReadsOnlyAnArrayOfWordsAndSkipsEmptyBoxes) {
    const QList<ShotWord> words = {{"grant", QRect(1, 2, 30, 12)}, {"設定", QRect(40, 2, 20, 12)}};
    EXPECT_EQ(ShotWords::parse(ShotWords::toJson(words)), words);
    EXPECT_EQ(ShotWords::parse(R"([[1,2,0,12,"gone"],[1,2,3,4,"kept"]])")->size(), 1);
    for (const char* broken : {"{}", "[[1,2,3,4]]", "[[1,2,3,4,5]]", "not json"})
        EXPECT_FALSE(ShotWords::parse(broken).has_value()) << broken;
}

} // namespace
