#pragma once
// The document's rich-text control: a QTextEdit that presents its text the
// way the document windows count it. Positions are 0-based characters of
// Text(), in which every line break is the two characters CR LF; the
// editor itself has one position per paragraph break. Positions are mapped
// without building the whole text.
//
// Colours are COLORREF values (0x00BBGGRR: red in the low byte), as stored
// in the settings file.
//
// Reading paints one sentence after another, so painting costs no more for a
// long text than for a short one: SetSelectionBackColor lays its colour over
// the text (it is drawn, and BackColorAt reports it, but the characters'
// own format is not changed), and SetAllBackColor removes those layers and
// puts the colour into the characters' format only where text came in or
// changed since the last time. Neither is a text change: no Change signal,
// no undo step of their own.

#include <QColor>
#include <QTextEdit>

#include "TextFingerprint.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

class RichTextBox : public QTextEdit {
    Q_OBJECT
public:
    explicit RichTextBox(QWidget* parent = nullptr);
    ~RichTextBox() override;

    // File types of LoadFile / SaveFile.
    enum FileType { rtfRTF = 0, rtfText = 1 };
    // Find options (combined by addition).
    enum FindOption { rtfWholeWord = 2, rtfMatchCase = 4, rtfNoHighlight = 8 };

    // However narrow the control gets, its lines are not wrapped narrower
    // than this many pixels: a long text laid out a few characters wide
    // has so many lines that laying it out takes minutes. A narrower
    // control scrolls sideways.
    static constexpr int kNarrowestWrap = 320;

    // ---- text and positions ----
    // The whole text, line breaks as CR LF. Builds a string: not for every
    // sentence.
    QString Text() const;
    // The fingerprint of Text(), without building it; kept until the text
    // changes.
    TextFingerprint Fingerprint() const;
    // Replaces the whole text (CR LF, LF or CR line breaks) as plain text.
    void setText(const QString& text);
    // Length of Text(), without building it.
    int TextLength() const;
    // Part of Text() (clipped to the text), without building the rest.
    QString TextRange(int start, int length) const;
    // The character of Text() at a position; a null QChar outside it.
    QChar CharAt(int position) const;

    int SelStart() const;
    // Moves the caret there and empties the selection. A position between
    // the CR and the LF of a line break means the end of that line; one past
    // the end means the end. A negative position is refused: nothing moves.
    void setSelStart(int position);
    int SelLength() const;
    // Extends the selection from SelStart (to the end at most). A negative
    // length is refused: nothing moves.
    void setSelLength(int length);
    QString SelText() const;
    // Replaces the selection (or inserts at the caret) with plain text.
    void setSelText(const QString& text);
    // Replaces the `length` characters at each of `starts` (ascending, not
    // overlapping) with plain text, as one edit; the caret ends right after
    // the last replacement. False, with nothing changed, while locked.
    bool ReplaceRanges(const std::vector<int>& starts, int length, const QString& replacement);

    // While `locked` answers true, the text takes no edits: typed keys, the
    // input method, paste and drop are refused, and so are the edits made
    // through this control (setText, setSelText, ReplaceRanges, the Sel*
    // formats, undo, redo, cut, paste). The caret, the selection and the
    // painted backgrounds still move and show, and the look of the whole
    // text (SetFontAndColor) still changes. It is asked afresh at every
    // such action.
    void setLockedWhen(std::function<bool()> locked);
    bool Locked() const;
    // The editor's own commands, refused while locked.
    void undo();
    void redo();
    void cut();
    void paste();
    // Text inserted at the caret, as QTextEdit's, in the format of the text
    // before it but not that text's file format (see SaveFile).
    void insertPlainText(const QString& text);

    // 0-based line (paragraph) of a position.
    int GetLineFromChar(int position) const;

    // Editor position of a text position, and back.
    int toEditor(int position) const;
    int fromEditor(int editorPosition) const;

    // Finds text from `start` up to `end` (-1: the end of the text); returns
    // the position found or -1. Selects the match unless rtfNoHighlight.
    int Find(const QString& text, int start = 0, int end = -1, int options = 0);

    // ---- character format of the selection; nothing when it is mixed ----
    std::optional<QString> SelFontName() const;
    void setSelFontName(const QString& name);
    std::optional<double> SelFontSize() const;
    void setSelFontSize(double points);
    std::optional<bool> SelBold() const;
    void setSelBold(bool on);
    std::optional<bool> SelItalic() const;
    void setSelItalic(bool on);
    std::optional<bool> SelUnderline() const;
    void setSelUnderline(bool on);
    std::optional<bool> SelStrikeThru() const;
    void setSelStrikeThru(bool on);
    std::optional<std::uint32_t> SelColor() const; // COLORREF
    void setSelColor(std::uint32_t colorref);

    // ---- font and colour of a whole text ----
    // The Sel* properties in one; those not set are left as they are. A
    // value the Sel* setter would refuse (a blank font name, a size that is
    // not above 0) is left out; sizes above 1638 points become 1638.
    struct FontAndColor {
        std::optional<std::uint32_t> color; // COLORREF
        std::optional<QString> fontName;
        std::optional<double> fontSize; // points
        std::optional<bool> bold;
        std::optional<bool> italic;
        std::optional<bool> strikeThru;
        std::optional<bool> underline;
    };
    // Gives every character, and the text typed next at the caret, this
    // font and colour, without selecting anything; not a text change (no
    // Change signal). Every character format change costs a new layout of
    // the whole text: a loaded text takes its look as it comes in, through
    // LoadFile, instead.
    void SetFontAndColor(const FontAndColor& look);

    // ---- backgrounds ----
    // Background of the control.
    std::uint32_t BackColor() const;
    void setBackColor(std::uint32_t colorref);
    // Background of the selected characters (or of the text typed next at
    // the caret when nothing is selected).
    void SetSelectionBackColor(std::uint32_t colorref);
    // Background of all characters. Painting everything white costs work in
    // proportion to the coloured parts, not to the whole text, except once
    // after the text has changed.
    void SetAllBackColor(std::uint32_t colorref);
    // The background shown behind the character at a position: the colour
    // last painted over it, else its own format's, else BackColor.
    std::uint32_t BackColorAt(int position) const;

    // Other highlights laid over the text (kept apart from the painted
    // sentence: setting them does not remove it, nor the other way round).
    void setExtraSelections(const QList<QTextEdit::ExtraSelection>& selections);
    QList<QTextEdit::ExtraSelection> extraSelections() const;

    // ---- files ----
    // Loads or saves the whole text; throws std::runtime_error with the
    // reason when the file cannot be read or written (only regular files
    // are read). Saving writes a new file and renames it over the old one;
    // plain text is written with the line breaks and in the encoding of the
    // text file last loaded (PlainTextEncoding.h).
    //
    // The look text shows in is a view: an RTF file's characters are saved
    // as the file had them (with its font and colour tables), whatever look
    // they show in, with the changes the Sel* setters made to them. Text
    // typed, pasted or put in by setSelText, setText or ReplaceRanges is
    // saved as it shows, and so is all text of a control that loaded no
    // RTF file. Painted backgrounds are never saved as the file's.
    void LoadFile(const QString& path, FileType type = rtfRTF);
    // Loads the file with `look` laid over the format of every character
    // as the text goes in (an RTF file shows the rest of its formats: its
    // backgrounds, and its styles where `look` sets none). The caret ends at
    // the start, nothing selected.
    void LoadFile(const QString& path, FileType type, const FontAndColor& look);
    void SaveFile(const QString& path, FileType type = rtfRTF);

    // COLORREF to colour and back. A value with the high bit set
    // (0x800000nn) names a system colour nn, as the settings may hold.
    static QColor toQColor(std::uint32_t colorref);
    static std::uint32_t toColorref(const QColor& color);

signals:
    // The text changed (not its formatting).
    void Change();
    // The selection or caret moved.
    void SelChange();

protected:
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    struct Impl;
    Impl* d;
};
