#include "KeyNames.h"

#include <gtest/gtest.h>

TEST(KeyNamesTest, ModifierNamesOneLetterOffAreRestoredInShortcutsOnly) {
    const struct {
        const char* line;
        const char* restored;
    } cases[] = {
        {"Redo Ctri+Shift+Z", "Redo Ctrl+Shift+Z"},
        {"Delete Line Shitt+Ctr+Delete", "Delete Line Shift+Ctrl+Delete"},
        {"Quit Gtrl+Q", "Quit Ctrl+Q"},
        {"Paste Ctrl+V", "Paste Ctrl+V"},
        {"the Ctri cable", "the Ctri cable"},
        {"Sift+Art+Design", "Shift+Art+Design"},
        {"Contrl+X", "Contrl+X"},
    };
    for (const auto& [line, restored] : cases)
        EXPECT_EQ(KeyNames::restore(QString::fromUtf8(line)), QString::fromUtf8(restored)) << line;
}
