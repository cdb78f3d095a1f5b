#pragma once
// Fields of an RTF document ({\field{\*\fldinst ...}{\fldrslt ...}}): the
// reader shows what a field shows (its result); a HYPERLINK field's result
// is a link to the address its instruction names.

#include <QString>
#include <QStringView>

namespace rtf {

// Instructions longer than this are cut as they are read (they are a line
// or two; a longer one is no link).
constexpr qsizetype kLongestInstruction = 4096;

// The address a field instruction links to, as the editor's anchors take
// it: the URL of HYPERLINK "url", with "#name" after it for \l "name" (a
// place in the document); a null string for any other field.
QString hyperlinkAddress(QStringView instruction);

// The instruction of a link to `href`.
QString hyperlinkInstruction(const QString& href);

// The text with half a surrogate pair, where it stands alone, replaced by
// U+FFFD, as the writer writes it.
QString wholeCharacters(QString text);

} // namespace rtf
