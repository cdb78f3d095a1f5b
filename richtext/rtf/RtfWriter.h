#pragma once
// Writes a QTextDocument as RTF: its text with the character formats the
// editor shows (font, size, bold, italic, underline, strike-through, text
// colour and background, raised and lowered text, capitals, links), a font
// table and a colour table; text that came from a file in the format it
// had there, with the file's tables (RtfKept.h); each paragraph's layout,
// its lists, tables and pictures (RtfWriterBlocks.h); and the groups of the
// file the editor does not show, where they stood (RtfWriterGroups.h). Characters outside
// ASCII are written as \uN with '?' for readers without Unicode. What
// RtfReader reads back is the same text in the same formats and
// structure.

#include <QByteArray>
#include <QColor>

#include <vector>

class QTextDocument;

namespace rtf {

struct Kept;
struct FileRun;
struct GroupAnchor;

struct WriteOptions {
    // A background of this colour is the editor's own: not written.
    QColor plainBackground;
    // What the file the document came from held; nullptr for none.
    const Kept* kept = nullptr;
    // With `kept`: the file formats of the document's characters, for a
    // document whose characters do not carry them in their own formats.
    const std::vector<FileRun>* fileRuns = nullptr;
    // With `kept`: where the groups of Kept::groups stand, for a document
    // whose characters do not carry them in their formats.
    const std::vector<GroupAnchor>* groupsAt = nullptr;
};

QByteArray write(const QTextDocument& document, const WriteOptions& options = {});

} // namespace rtf
