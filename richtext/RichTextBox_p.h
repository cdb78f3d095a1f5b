#pragma once
// Inside of RichTextBox, shared by its source files.

#include "PlainTextEncoding.h"
#include "RichTextBox.h"
#include "richtext/rtf/RtfKept.h"
#include "richtext/rtf/RtfReader.h"

#include <QColor>
#include <QFont>
#include <QList>
#include <QString>
#include <QStringView>
#include <QTextBlock>
#include <QTextCursor>

#include <cstdint>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

struct RichTextBox::Impl {
    explicit Impl(RichTextBox* owner) : q(owner) {}

    RichTextBox* q;

    // ---- positions ----
    // Where a text position lies: its block (line), the block's number and
    // the offset in the line, where the line's length is the CR and one
    // more the LF of its line break.
    struct Place {
        QTextBlock block;
        int number = 0;
        int offset = 0;
    };
    Place locate(int position) const;
    int editorLength() const;

    // ---- selection ----
    // The selection setSelStart and setSelLength made, in editor positions,
    // for as long as the editor's cursor is the one they left. The editor
    // widens a selection that crosses into or out of a table to the whole
    // table, and one from cell to cell to whole cells; the document window
    // still means the characters it asked for.
    struct Asked {
        int start = 0;
        int end = 0;
        int anchor = 0; // the editor's cursor as it came out
        int position = 0;
    };
    std::optional<Asked> asked;
    // The selection [start, end) in editor positions.
    std::pair<int, int> selection() const;

    // ---- backgrounds ----
    // A span of editor positions [from, to).
    struct Span {
        int from = 0;
        int to = 0;
    };
    // A colour laid over a stretch of text; the cursor follows edits.
    struct Layer {
        QTextCursor cursor;
        QColor color;
    };
    // Text that came in or changed since the last SetAllBackColor: its own
    // background may differ from that colour.
    std::vector<Span> stale;
    // The colour of the last SetAllBackColor: every character outside
    // `stale` shows it.
    std::optional<std::uint32_t> clearColor;
    // Every character outside `stale` has no background of its own and
    // shows the control's (after setText, until the first clearing).
    bool showsBase = true;
    std::vector<Layer> layers;
    QList<QTextEdit::ExtraSelection> otherSelections;

    // Stretches of [from, to) that each stay within one table cell or
    // outside tables, where a colour laid over them covers just them.
    std::vector<Span> withinCells(int from, int to) const;
    void markStale(int from, int to);
    void shiftStale(int from, int removed, int added);
    void showLayers();
    // Puts `color` into the character format of every character in `spans`
    // whose background shows otherwise, as one step that neither counts as
    // an edit nor adds an undo step of its own.
    void paintFormats(const std::vector<Span>& spans, const QColor& color);
    bool showsColor(const QTextCharFormat& format, const QColor& color) const;

    // ---- formats ----
    // The character format that gives `look`.
    QTextCharFormat charFormat(const FontAndColor& look) const;
    // What a formatting command makes of the format a character had in its
    // file.
    using FileChange = std::function<void(rtf::CharFormat&)>;
    // Merges `format` into the selection, or into the caret's format for
    // what is typed next: the control's own formatting, not an edit. The
    // selected characters that came from a file take `change` into the
    // format they are saved in, in the same step.
    void mergeIntoSelection(const QTextCharFormat& format, const FileChange& change);
    // The font and colour of text that has none of its own: the look last
    // given to the whole text. The font is kept here too, as the editor
    // makes the control's font the document's default whenever it changes.
    std::optional<QFont> defaultFont;
    void setDefaultLook(const QTextCharFormat& format);
    // Replaces the whole text by plain (editor) text in the caret's font and
    // colour with `look` laid over it; see setText.
    void replaceText(const QString& editorText, const QTextCharFormat& look);

    // ---- the file's formats ----
    // What the RTF file last loaded held: its tables, and the format each
    // of its characters had there, which saving writes. The look the
    // control shows the text in is a view only. Empty for text from no
    // such file.
    rtf::Kept kept;
    // Until the text is first edited, the characters' file formats stand
    // beside the text: a file of many formats shown in one look takes no
    // more formats in the editor than the look makes. The first edit (or
    // formatting of the file's text) puts them into the characters' own
    // formats (rtf::kFileFormatProperty), which every edit, undo and redo
    // carries along; the runs are then emptied.
    std::vector<rtf::FileRun> fileRuns;
    // The same for the characters the file's groups the editor does not
    // show stand by (rtf::Kept::groups): in editor positions, in order.
    std::vector<rtf::GroupAnchor> groupsBeside;
    // Puts the file formats of `fileRuns` into the characters' formats,
    // before an edit. Not a step of its own: the undo steps before it
    // (the look given to the text) are let go.
    void keepFileFormatsInText();
    // An edit the control did not see coming changed the text while its
    // file formats stand beside it: they follow, and the new text has none.
    void followEdit(int from, int removed, int added);
    // True when the `added` characters at `from` are text an edit put there
    // (rather than text whose format alone changed).
    bool textChanged(int from, int added) const;
    // Gives the selected characters that came from the file the format
    // `change` makes of theirs.
    void changeFileFormats(const QTextCursor& selection, const FileChange& change);
    // Text that comes in by typing, pasting or any edit but an undo or a
    // redo is the user's, not the file's: it is saved as it shows. The
    // spans lose the file's formats as part of the edit that brought them.
    void forgetFileFormats(const std::vector<Span>& spans);
    // After `added` characters came in at `from`: those of an edit rather
    // than of an undo or redo (only an edit makes a paragraph's revision
    // the document's) lose the file's formats. An edit in several places
    // at once counts as one from its first to its last, unless it dealt
    // with its own text exactly and said so in `handledRevision`.
    void forgetInsertedFileFormats(int from, int added);
    int handledRevision = -1;
    // What is typed next at the caret is not the file's.
    void keepCaretOutOfFile();
    // The format text inserted at the cursor takes, as QTextCursor gives
    // it, without the file's format.
    static QTextCharFormat typedFormat(const QTextCursor& cursor);

    // ---- text ----
    // Fingerprint() as last made, kept until the text changes: opening,
    // saving and closing ask for it, and a long text takes a while to hash.
    mutable std::optional<TextFingerprint> fingerprint;

    // ---- files ----
    // Line break written to plain-text files: the one of the text file
    // last loaded, LF for anything else.
    QString lineEnd = QStringLiteral("\n");
    // Encoding written to plain-text files: the one of the text file last
    // loaded, UTF-8 for anything else.
    PlainTextEncoding encoding;

    // ---- signals ----
    // While above 0, changes of the document are this control's own
    // formatting: no Change, nothing marked stale.
    int quiet = 0;
    // Set while setText replaces the whole text: one Change at its end.
    bool replacing = false;
    int lastAnchor = -1;
    int lastPosition = -1;
    bool fixingPalette = false;

    // ---- lock ----
    std::function<bool()> lockedWhen;
    // Makes the editor's own interaction follow lockedWhen; true when locked:
    // then no change of the text may go through.
    bool applyLock();

    void onContentsChange(int from, int removed, int added);
    void onCursorMoved();
    void keepSelectionVisible();
};

namespace RichTextDetail {

// True for the characters QTextDocument keeps between two blocks.
inline bool isBlockSeparator(QChar c)
{
    return c == QChar::ParagraphSeparator || c == QChar(0xFDD0) || c == QChar(0xFDD1);
}

// Appends editor text to text as Text() shows it: block separators become
// `lineBreak` (CR LF in Text()), the line separator of a soft line break
// becomes VT. An LF is a line break too, as in text about to go into the
// editor (toEditorText).
void appendAsText(QString& out, QStringView editorText, QStringView lineBreak = u"\r\n");

// The fingerprint of the text (as Text() shows it) of editor text.
TextFingerprint fingerprintOf(QStringView editorText);

// Text as the editor takes it: CR LF, LF and CR become one line break, VT a
// soft line break.
QString toEditorText(QStringView text);

} // namespace RichTextDetail
