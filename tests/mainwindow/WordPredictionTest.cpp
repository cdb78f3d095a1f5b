// The word-prediction lookup over a small sorted list.
#include "mainwindow/WordPrediction.h"

#include <gtest/gtest.h>

namespace {

// "apple" is excluded. Letters without words have an entry whose first
// position lies after its last.
struct SmallList {
    PredictionWordList words;
    PredictionLetterIndex index;
    SmallList()
    {
        for (const char* w : {"ant", "ape", "apex", "apple", "apricot", "apron", "apt", "aqua", "bear", "zoo"})
            words.append(PredictionWord::make(QString::fromLatin1(w), QLatin1String(w) == "apple" ? 1 : 0));
        index = PredictionLetterIndex(26, LetterRange{1, 0});
        index[0] = {0, 7};
        index[1] = {8, 8};
        index[25] = {9, 9};
    }
};

TEST(WordPredictionTest, PagesOfMatchingWords)
{
    const SmallList list;
    struct Case {
        const char* prefix;
        int skip, count;
        const char* expected;
    };
    const Case cases[] = {
        {"ap", 0, 10, "ape apex apricot apron apt"}, // the excluded word takes no place
        {"AP", 0, 10, "ape apex apricot apron apt"},
        {"ap", 0, 2, "ape apex"},
        {"ap", 2, 2, "apricot apron"},
        {"ap", 3, 10, "apron apt"}, // nor does it count in the skip
        {"ap", 4, 10, "apt"},
        {"ap", 5, 10, ""},
        {"ap", -3, 1, "ape"},
        {"ap", 0, 0, ""},
        {"ape", 0, 10, "ape apex"}, // a listed word starts the page
        {"apex", 0, 10, "apex"},
        // A match is a word that contains the prefix: the page runs on past
        // the letter's words until a word does not.
        {"a", 0, 10, "ant ape apex apricot apron apt aqua bear"},
        {"ar", 0, 10, "bear"},
        {"az", 0, 10, ""},
        // The end of the list ends the page.
        {"z", 0, 10, "zoo"},
        {"z", 1, 10, ""},
        // No words for the letter, no letter, no prefix.
        {"q", 0, 10, ""},
        {"1a", 0, 10, ""},
        {"\xe9t\xe9", 0, 10, ""},
        {"", 0, 10, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PredictWords(list.words, list.index, QString::fromLatin1(c.prefix), c.skip, c.count), QString(c.expected))
            << c.prefix << " skip " << c.skip << " count " << c.count;
    }
}

TEST(WordPredictionTest, IndexEntriesOutsideTheListFindNothing)
{
    SmallList list;
    for (const LetterRange range : {LetterRange{8, 12}, LetterRange{-1, 3}, LetterRange{10, 10}, LetterRange{5, 2}}) {
        list.index[1] = range;
        EXPECT_EQ(PredictWords(list.words, list.index, "b", 0, 10), "") << range.First << ".." << range.Last;
    }
    EXPECT_EQ(PredictWords(list.words, {}, "ap", 0, 10), "");
    EXPECT_EQ(PredictWords({}, list.index, "ap", 0, 10), "");
    EXPECT_EQ(PredictWords({}, PredictionLetterIndex(26), "ap", 0, 10), "");
}

TEST(WordPredictionTest, StoredWordsHaveTheFixedLength)
{
    EXPECT_EQ(PredictionWord::make("ape").Word, QString("ape").leftJustified(30));
    EXPECT_EQ(PredictionWord::make(QString(35, 'x')).Word, QString(30, 'x'));
    EXPECT_EQ(LastPieceIndex("  a b  c "), 3);
    EXPECT_EQ(LastPieceIndex("   "), -1);
}

} // namespace
