#pragma once
// Word-prediction lookup: finds, in an alphabetically sorted word list, the
// words that go with a typed prefix and returns one page of them.
//
// The word list is sorted ascending without regard to case (the order of
// QString::compare with Qt::CaseInsensitive, each word padded to its fixed
// length). The letter index has one entry per letter "a" to "z" giving the
// first and last position of the words that begin with that letter.

#include <QList>
#include <QString>

#include <cstdint>

struct PredictionWord {
    // Fixed length of a stored word; shorter words are padded with blanks.
    static constexpr int kWordLength = 30;

    QString Word;               // kWordLength characters, padded with blanks
    std::int32_t Value = 0;     // not used by the lookup
    std::int32_t Excluded = 0;  // not 0: never counted or returned

    // A record holding word padded (or cut) to kWordLength characters.
    static PredictionWord make(const QString& word, std::int32_t excluded = 0);
};

struct LetterRange {
    std::int32_t First = 0;
    std::int32_t Last = 0;
};

using PredictionWordList = QList<PredictionWord>;
using PredictionLetterIndex = QList<LetterRange>; // entry 0 is "a", 25 is "z"

// Up to count words that contain prefix, each without its trailing blanks,
// separated by single blanks, after passing over skip matching words.
//
// The search starts in the range the letter index gives for the prefix's
// first letter, at the first word the prefix does not sort after (the
// stored word keeps its blanks, so a prefix shorter than the stored length
// never compares equal to it). From there words are taken while they
// contain the prefix anywhere, ignoring case; the first word that does not
// ends the page, and the page may run on past the letter's range. Excluded
// words are passed over without using up a place on the page or in the
// skip.
//
// Returns "" for an empty prefix, a first character without an index entry,
// or an entry that does not lie within the list (first after last, or
// either outside it).
QString PredictWords(const PredictionWordList& words, const PredictionLetterIndex& letterIndex,
                     const QString& prefix, std::int32_t skip, std::int32_t count);

// The highest index of the blank-separated pieces of a text with its outer
// blanks removed; -1 for a text of blanks only. Two blanks in a row count
// an empty piece between them.
int LastPieceIndex(const QString& text);

// A text without the blanks (U+0020 only) at its start and end.
QString TrimBlanks(const QString& text);
