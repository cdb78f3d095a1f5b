#pragma once
// Reads RTF as word processors write it into text with character formats:
// font, size, bold, italic, underline, strike-through, text colour and
// background, raised and lowered text, capitals, and links (HYPERLINK
// fields), as the text's own words and the styles it names give them;
// and its paragraph-level structure (RtfBlocks.h): each paragraph's
// alignment, indents, spacing and direction, lists, tables and pictures.
// Objects, headers, footers, notes and hidden text are not shown but kept
// as the file's bytes (Kept::groups) by the character they stand by; the
// text of a text box comes where its shape stands, and stands for the
// shape, kept whole; a note's mark comes as its number.
//
// Input of any kind is read without crashing and in time proportional to
// its size; what cannot be understood is skipped.

#include "RtfBlocks.h"
#include "RtfKept.h"

#include <QByteArrayView>
#include <QString>
#include <QTextCharFormat>

#include <cstdint>
#include <vector>

class QTextCursor;

namespace rtf {

// A stretch of Document::text in one format. A file of many formats has
// nearly as many runs as characters: 16 bytes each.
struct Run {
    qsizetype start = 0;
    int length = 0; // at most INT_MAX: a longer stretch is more than one run
    int format = 0; // index into Document::formats
};

// Where a group of the file the editor does not show stands.
struct GroupAnchor {
    enum class Place : std::uint8_t {
        Between, // while reading: before the character `at` (at the end when `at` is the text's size)
        Before,
        After,
        Instead, // of the character: it stands for the group (a note's mark)
    };
    qsizetype at = 0;
    int group = 0; // index into Kept::groups
    Place place = Place::Between;
};

// The property of a character's format that carries a group at `place`.
inline int propertyOf(GroupAnchor::Place place)
{
    return place == GroupAnchor::Place::Before  ? kGroupsBeforeProperty
         : place == GroupAnchor::Place::After ? kGroupsAfterProperty
                                              : kGroupsInsteadProperty;
}

struct Document {
    // Paragraph breaks are '\n', line breaks U+2028 (QChar::LineSeparator),
    // tabs '\t'. The paragraph mark that ends the last paragraph is not a
    // break of its own: "a\par}" is "a", "a\par\par}" is "a\n".
    QString text;
    // Each different format once.
    std::vector<CharFormat> formats;
    // In order, covering the whole text.
    std::vector<Run> runs;
    // The file's tables and its links (Kept::formats is left empty: the
    // formats are those above).
    Kept kept;
    Blocks blocks;
    // By character, in order; each place of a character once.
    std::vector<GroupAnchor> anchors;
};

// True when the bytes start as an RTF file does ("{\rtf", after white
// space or a byte order mark).
bool looksLikeRtf(QByteArrayView bytes);

Document read(QByteArrayView bytes);

// Inserts the document at the cursor, each run in its format with `over`
// merged over it, and its paragraphs, lists, tables and pictures. The
// caller makes it one edit block. `fileRuns`, when given, takes where each
// run went (from the cursor's first position on) and its index into
// Document::formats. `groupsAt`, when given, takes where the characters
// that groups of Kept::groups stand by went (from the cursor's first
// position on); without it, those characters carry them in their formats
// (kGroupsBeforeProperty and the others).
void insert(const Document& document, QTextCursor& cursor, const QTextCharFormat& over = {},
            std::vector<FileRun>* fileRuns = nullptr, std::vector<GroupAnchor>* groupsAt = nullptr);

} // namespace rtf
