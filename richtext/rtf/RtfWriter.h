#pragma once
// Writes a QTextDocument as RTF: its text with the character formats the
// editor shows (font, size, bold, italic, underline, strike-through, text
// colour and background), a font table and a colour table; each
// paragraph's layout, its lists, tables and pictures (RtfWriterBlocks.h).
// Characters outside ASCII are written as \uN with '?' for readers
// without Unicode. What RtfReader reads back is the same text in the same
// formats and structure.

#include <QByteArray>
#include <QColor>

class QTextDocument;

namespace rtf {

struct WriteOptions {
    // A background of this colour is the editor's own: not written.
    QColor plainBackground;
};

QByteArray write(const QTextDocument& document, const WriteOptions& options = {});

} // namespace rtf
