// RichTextBox: text, positions, selection, Find and signals. Formats and
// backgrounds are in RichTextBox_Format.cpp, files in RichTextBox_Files.cpp.
//
// The editor has one position per block separator where Text() has two (CR
// LF). The text position of an editor position is that position plus the
// number of the block it is in; the way back searches the blocks by number
// (QTextDocument::findBlockByNumber and QTextBlock::position are
// logarithmic), so no call builds the whole text unless it asks for it.
#include "RichTextBox_p.h"

#include "core/Colors.h"

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPalette>
#include <QResizeEvent>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>
#include <limits>

using namespace RichTextDetail;

namespace {

// True for a key that changes the text when the editor takes it (rather
// than moving the caret or the selection, or copying).
bool editsText(const QKeyEvent* e)
{
    if (e->matches(QKeySequence::Cut) || e->matches(QKeySequence::Paste))
        return true;
    switch (e->key()) {
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Tab:
        return true;
    default:
        break;
    }
    const QString text = e->text();
    return !text.isEmpty() && text.front() >= QChar(0x20) && text.front() != QChar(0x7F);
}

} // namespace

namespace RichTextDetail {

void appendAsText(QString& out, QStringView editorText, QStringView lineBreak)
{
    // The characters that change are rare and, but for LF, all at U+2028
    // or above: the text between them is copied a run at a time.
    const char16_t* const in = editorText.utf16();
    const qsizetype n = editorText.size();
    const auto isBreak = [](char16_t c) { return c == u'\n' || isBlockSeparator(QChar(c)); };
    qsizetype breaks = 0;
    for (qsizetype i = 0; i < n; ++i)
        breaks += (in[i] >= 0x2028 || in[i] == u'\n') && isBreak(in[i]);
    const qsizetype oldSize = out.size();
    out.resize(oldSize + n + breaks * (lineBreak.size() - 1));
    char16_t* o = reinterpret_cast<char16_t*>(out.data()) + oldSize;
    qsizetype run = 0; // where the run not yet copied starts
    for (qsizetype i = 0; i < n; ++i) {
        if (in[i] < 0x2028 && in[i] != u'\n')
            continue;
        const bool block = isBreak(in[i]);
        if (!block && in[i] != QChar::LineSeparator)
            continue;
        std::copy(in + run, in + i, o);
        o += i - run;
        run = i + 1;
        if (block)
            o = std::copy(lineBreak.utf16(), lineBreak.utf16() + lineBreak.size(), o);
        else
            *o++ = u'\v';
    }
    std::copy(in + run, in + n, o);
}

TextFingerprint fingerprintOf(QStringView editorText)
{
    // A part at a time, so that the text is never built whole.
    constexpr qsizetype kPart = qsizetype(1) << 16;
    TextFingerprint::Builder builder;
    QString part;
    for (qsizetype from = 0; from < editorText.size(); from += kPart) {
        part.clear();
        appendAsText(part, editorText.sliced(from, std::min(kPart, editorText.size() - from)));
        builder.append(part);
    }
    return builder.result();
}

QString toEditorText(QStringView text)
{
    QString out(text.size(), Qt::Uninitialized);
    QChar* o = out.data();
    const QChar* in = text.data();
    const QChar* const end = in + text.size();
    for (; in != end; ++in) {
        const QChar c = *in;
        if (c == u'\r') {
            if (in + 1 != end && in[1] == u'\n')
                ++in;
            *o++ = QChar(u'\n');
        } else {
            *o++ = c == u'\v' ? QChar::LineSeparator : c;
        }
    }
    out.truncate(o - out.constData());
    return out;
}

} // namespace RichTextDetail

// ---------------------------------------------------------------- set-up

RichTextBox::RichTextBox(QWidget* parent) : QTextEdit(parent), d(new Impl(this))
{
    setAcceptRichText(true);
    d->keepSelectionVisible();
    connect(document(), &QTextDocument::contentsChange, this,
            [this](int from, int removed, int added) { d->onContentsChange(from, removed, added); });
    connect(this, &QTextEdit::cursorPositionChanged, this, [this] { d->onCursorMoved(); });
    connect(this, &QTextEdit::selectionChanged, this, [this] { d->onCursorMoved(); });
}

RichTextBox::~RichTextBox()
{
    // The layers' cursors must go before the document does.
    d->layers.clear();
    delete d;
}

void RichTextBox::changeEvent(QEvent* event)
{
    QTextEdit::changeEvent(event);
    if (event->type() == QEvent::PaletteChange && !d->fixingPalette)
        d->keepSelectionVisible();
    // The editor makes the control's font the document's default.
    if (event->type() == QEvent::FontChange && d->defaultFont)
        document()->setDefaultFont(*d->defaultFont);
}

void RichTextBox::resizeEvent(QResizeEvent* event)
{
    const bool narrow = event->size().width() < kNarrowestWrap;
    if (narrow != (lineWrapMode() == FixedPixelWidth)) {
        setLineWrapColumnOrWidth(kNarrowestWrap);
        setLineWrapMode(narrow ? FixedPixelWidth : WidgetWidth);
    }
    QTextEdit::resizeEvent(event);
}

// The selection stays visible, in the same colours, while another control
// or window has the focus: a reader watches the sentence being read.
void RichTextBox::Impl::keepSelectionVisible()
{
    QPalette p = q->palette();
    bool differs = false;
    for (const auto role : {QPalette::Highlight, QPalette::HighlightedText}) {
        if (p.brush(QPalette::Inactive, role) != p.brush(QPalette::Active, role)) {
            p.setBrush(QPalette::Inactive, role, p.brush(QPalette::Active, role));
            differs = true;
        }
    }
    if (!differs)
        return;
    fixingPalette = true;
    q->setPalette(p);
    fixingPalette = false;
}

// ---------------------------------------------------------------- lock

void RichTextBox::setLockedWhen(std::function<bool()> locked)
{
    d->lockedWhen = std::move(locked);
    d->applyLock();
}

bool RichTextBox::Locked() const
{
    return d->lockedWhen && d->lockedWhen();
}

// A locked control keeps its caret and lets the selection be made with the
// mouse and the keys; it only stops being editable.
bool RichTextBox::Impl::applyLock()
{
    const bool locked = q->Locked();
    const Qt::TextInteractionFlags flags =
        locked ? Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard : Qt::TextEditorInteraction;
    if (q->textInteractionFlags() != flags)
        q->setTextInteractionFlags(flags);
    return locked;
}

void RichTextBox::undo()
{
    if (!d->applyLock())
        QTextEdit::undo();
}

void RichTextBox::redo()
{
    if (!d->applyLock())
        QTextEdit::redo();
}

void RichTextBox::cut()
{
    if (d->applyLock())
        return;
    d->keepFileFormatsInText();
    QTextEdit::cut();
}

void RichTextBox::paste()
{
    if (!d->applyLock())
        QTextEdit::paste();
}

bool RichTextBox::event(QEvent* event)
{
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        d->applyLock();
        break;
    case QEvent::KeyPress:
    case QEvent::InputMethod:
        if (!d->applyLock()) {
            if (event->type() == QEvent::InputMethod ? !static_cast<QInputMethodEvent*>(event)->commitString().isEmpty()
                                                     : editsText(static_cast<QKeyEvent*>(event)))
                d->keepFileFormatsInText();
            d->keepCaretOutOfFile();
        }
        break;
    default:
        break;
    }
    return QTextEdit::event(event);
}

bool RichTextBox::viewportEvent(QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress: // the middle button pastes
    case QEvent::Drop:
        if (!d->applyLock() && (event->type() == QEvent::Drop
                                || static_cast<QMouseEvent*>(event)->button() == Qt::MiddleButton))
            d->keepFileFormatsInText();
        break;
    case QEvent::DragEnter:
    case QEvent::DragMove:
        d->applyLock();
        break;
    default:
        break;
    }
    return QTextEdit::viewportEvent(event);
}

void RichTextBox::inputMethodEvent(QInputMethodEvent* event)
{
    if (d->applyLock()) {
        event->ignore();
        return;
    }
    QTextEdit::inputMethodEvent(event);
}

bool RichTextBox::canInsertFromMimeData(const QMimeData* source) const
{
    return !Locked() && QTextEdit::canInsertFromMimeData(source);
}

void RichTextBox::insertFromMimeData(const QMimeData* source)
{
    if (d->applyLock())
        return;
    d->keepFileFormatsInText();
    // Dropping text that moves within the control is one edit from where
    // it was to where it goes: what came in is dealt with here, exactly,
    // in the same step.
    QTextCursor step(document());
    step.beginEditBlock();
    const int from = textCursor().selectionStart();
    QTextEdit::insertFromMimeData(source);
    d->forgetFileFormats({{from, textCursor().position()}});
    d->handledRevision = document()->revision();
    step.endEditBlock();
}

// ---------------------------------------------------------------- signals

void RichTextBox::Impl::onContentsChange(int from, int removed, int added)
{
    // The control's own formatting leaves the text as it is.
    if (quiet > 0)
        return;
    fingerprint.reset();
    asked.reset();
    if ((!fileRuns.empty() || !groupsBeside.empty()) && !replacing
        && (added != removed || textChanged(from, added)))
        followEdit(from, removed, added);
    if (added > 0 && !replacing)
        forgetInsertedFileFormats(from, added);
    shiftStale(from, removed, added);
    markStale(from, from + added);
    lastAnchor = lastPosition = -1;
    // A change of formatting alone is reported with equal counts; one that
    // is not this control's own (an undo of formatting) counts as an edit.
    if (!replacing && (added > 0 || removed > 0))
        emit q->Change();
}

void RichTextBox::Impl::onCursorMoved()
{
    const QTextCursor c = q->textCursor();
    if (c.anchor() == lastAnchor && c.position() == lastPosition)
        return;
    lastAnchor = c.anchor();
    lastPosition = c.position();
    emit q->SelChange();
}

// ---------------------------------------------------------------- positions

int RichTextBox::Impl::editorLength() const
{
    return q->document()->characterCount() - 1;
}

RichTextBox::Impl::Place RichTextBox::Impl::locate(int position) const
{
    const QTextDocument* doc = q->document();
    const int n = editorLength();
    position = std::clamp(position, 0, n + doc->blockCount() - 1);
    // Block b starts at text position b.position() + b; the block wanted is
    // the last that starts at or before `position`. Text positions are never
    // below editor positions, so it is not after the block holding editor
    // position `position`.
    int lo = 0;
    int hi = doc->findBlock(std::min(position, n)).blockNumber();
    while (lo < hi) {
        const int mid = lo + (hi - lo + 1) / 2;
        if (doc->findBlockByNumber(mid).position() + mid <= position)
            lo = mid;
        else
            hi = mid - 1;
    }
    Place place;
    place.block = doc->findBlockByNumber(lo);
    place.number = lo;
    place.offset = position - (place.block.position() + lo);
    return place;
}

int RichTextBox::toEditor(int position) const
{
    const Impl::Place place = d->locate(position);
    const int lineLength = place.block.length() - 1;
    return place.block.position() + std::min(place.offset, lineLength);
}

int RichTextBox::fromEditor(int editorPosition) const
{
    const int e = std::clamp(editorPosition, 0, d->editorLength());
    return e + document()->findBlock(e).blockNumber();
}

int RichTextBox::TextLength() const
{
    return d->editorLength() + document()->blockCount() - 1;
}

int RichTextBox::GetLineFromChar(int position) const
{
    return d->locate(position).number;
}

// ---------------------------------------------------------------- text

QString RichTextBox::Text() const
{
    const QString raw = document()->toRawText();
    QString out;
    out.reserve(raw.size() + document()->blockCount());
    appendAsText(out, raw);
    return out;
}

TextFingerprint RichTextBox::Fingerprint() const
{
    if (!d->fingerprint)
        d->fingerprint = fingerprintOf(document()->toRawText());
    return *d->fingerprint;
}

void RichTextBox::setText(const QString& text)
{
    if (d->applyLock())
        return;
    d->replaceText(toEditorText(text), QTextCharFormat());
}

void RichTextBox::Impl::replaceText(const QString& editorText, const QTextCharFormat& look)
{
    // The new text takes the caret's font and colour; not its link, nor a
    // background: it shows the control's own. The format is set before the
    // text goes in, so that the text is laid out once, a part at a time.
    QTextCursor caret = q->textCursor();
    QTextCharFormat format = caret.charFormat();
    for (const int property : {int(QTextFormat::IsAnchor), int(QTextFormat::AnchorHref),
                               int(QTextFormat::AnchorName), int(QTextFormat::TextToolTip),
                               int(QTextFormat::ObjectType), int(QTextFormat::ObjectIndex),
                               rtf::kFileFormatProperty})
        format.clearProperty(property);
    format.clearBackground();
    format.merge(look);
    caret.clearSelection();
    caret.setCharFormat(format);
    q->setTextCursor(caret);

    replacing = true;
    layers.clear();
    showLayers();
    q->setPlainText(editorText);
    replacing = false;
    kept = rtf::Kept();
    fileRuns.clear();
    groupsBeside.clear();
    stale.clear();
    clearColor.reset();
    showsBase = true;
    lastAnchor = lastPosition = -1;
    emit q->Change();
}

QString RichTextBox::TextRange(int start, int length) const
{
    const int total = TextLength();
    if (length <= 0 || start >= total)
        return {};
    start = std::max(start, 0);
    const int end = static_cast<int>(std::min<qint64>(total, qint64(start) + length));

    QString out;
    out.reserve(end - start);
    Impl::Place place = d->locate(start);
    QTextBlock block = place.block;
    int offset = place.offset;
    int at = start;
    QTextCursor cursor(document());
    while (at < end && block.isValid()) {
        const int lineLength = block.length() - 1;
        if (offset < lineLength) {
            const int take = std::min(lineLength - offset, end - at);
            cursor.setPosition(block.position() + offset);
            cursor.setPosition(block.position() + offset + take, QTextCursor::KeepAnchor);
            appendAsText(out, cursor.selectedText());
            at += take;
            offset += take;
        }
        if (at >= end)
            break;
        if (offset == lineLength) {
            out += QChar(u'\r');
            ++at;
            ++offset;
            if (at >= end)
                break;
        }
        out += QChar(u'\n');
        ++at;
        block = block.next();
        offset = 0;
    }
    return out;
}

QChar RichTextBox::CharAt(int position) const
{
    if (position < 0 || position >= TextLength())
        return {};
    const Impl::Place place = d->locate(position);
    const int lineLength = place.block.length() - 1;
    if (place.offset == lineLength)
        return QChar(u'\r');
    if (place.offset > lineLength)
        return QChar(u'\n');
    const QChar c = document()->characterAt(place.block.position() + place.offset);
    return c == QChar::LineSeparator ? QChar(u'\v') : c;
}

// ---------------------------------------------------------------- selection

std::pair<int, int> RichTextBox::Impl::selection() const
{
    const QTextCursor c = q->textCursor();
    if (asked && c.anchor() == asked->anchor && c.position() == asked->position)
        return {asked->start, asked->end};
    return {c.selectionStart(), c.selectionEnd()};
}

int RichTextBox::SelStart() const
{
    return fromEditor(d->selection().first);
}

void RichTextBox::setSelStart(int position)
{
    if (position < 0)
        return;
    QTextCursor c = textCursor();
    c.setPosition(toEditor(position));
    setTextCursor(c);
    d->asked.reset();
}

int RichTextBox::SelLength() const
{
    const auto [start, end] = d->selection();
    return end > start ? fromEditor(end) - fromEditor(start) : 0;
}

void RichTextBox::setSelLength(int length)
{
    if (length < 0)
        return;
    QTextCursor c = textCursor();
    const int startEditor = d->selection().first;
    const int start = fromEditor(startEditor);
    const int end = static_cast<int>(std::min<qint64>(TextLength(), qint64(start) + length));
    const int endEditor = toEditor(end);
    c.setPosition(startEditor);
    c.setPosition(endEditor, QTextCursor::KeepAnchor);
    setTextCursor(c);
    const QTextCursor made = textCursor();
    d->asked = Impl::Asked{startEditor, endEditor, made.anchor(), made.position()};
}

QString RichTextBox::SelText() const
{
    const auto [start, end] = d->selection();
    if (end <= start)
        return {};
    const int from = fromEditor(start);
    return TextRange(from, fromEditor(end) - from);
}

void RichTextBox::setSelText(const QString& text)
{
    if (d->applyLock())
        return;
    d->keepFileFormatsInText();
    QTextCursor c = textCursor();
    if (text.isEmpty()) {
        if (!c.hasSelection())
            return;
        c.removeSelectedText();
    } else {
        c.insertText(toEditorText(text), d->typedFormat(c));
    }
    setTextCursor(c);
}

void RichTextBox::insertPlainText(const QString& text)
{
    d->keepFileFormatsInText();
    d->keepCaretOutOfFile();
    QTextEdit::insertPlainText(text);
}

bool RichTextBox::ReplaceRanges(const std::vector<int>& starts, int length, const QString& replacement)
{
    if (d->applyLock())
        return false;
    if (starts.empty())
        return true;
    d->keepFileFormatsInText();
    // From the last stretch back, so the positions of the earlier ones stay
    // valid.
    const QString inserted = toEditorText(replacement);
    QTextCursor edit(document());
    QTextCursor caret;
    edit.beginEditBlock();
    // The replacements are the user's text, not the file's; the text
    // between them is left as it is.
    d->handledRevision = document()->revision();
    for (auto it = starts.rbegin(); it != starts.rend(); ++it) {
        const int from = toEditor(*it);
        const int to = toEditor(*it + length);
        // Every edit of a paragraph walks all the lines of its layout; a
        // long paragraph with many edits would make that quadratic. The
        // paragraph is laid out afresh after the edits anyway.
        for (const int at : {from, to}) {
            QTextLayout* layout = document()->findBlock(at).layout();
            if (layout && layout->lineCount() > 0)
                layout->clearLayout();
        }
        edit.setPosition(from);
        edit.setPosition(to, QTextCursor::KeepAnchor);
        if (inserted.isEmpty()) {
            edit.removeSelectedText();
        } else {
            edit.insertText(inserted, d->typedFormat(edit));
        }
        if (it == starts.rbegin())
            caret = edit;
    }
    edit.endEditBlock();
    caret.clearSelection();
    setTextCursor(caret);
    return true;
}

// ---------------------------------------------------------------- Find

namespace {

bool isWordCharacter(QChar c)
{
    return c.isLetterOrNumber() || c.isMark() || c.isSurrogate() || c == u'_';
}

} // namespace

int RichTextBox::Find(const QString& text, int start, int end, int options)
{
    const int total = TextLength();
    start = std::max(start, 0);
    if (end < 0 || end > total)
        end = total;
    if (text.isEmpty() || start >= end || end - start < text.size())
        return -1;

    const QString range = TextRange(start, end - start);
    const Qt::CaseSensitivity cs =
        (options & rtfMatchCase) ? Qt::CaseSensitive : Qt::CaseInsensitive;
    for (qsizetype from = 0;;) {
        const qsizetype i = range.indexOf(text, from, cs);
        if (i < 0)
            return -1;
        const int found = start + static_cast<int>(i);
        bool accept = true;
        if (options & rtfWholeWord) {
            const QChar before = i > 0 ? range[i - 1] : CharAt(found - 1);
            const int after = found + static_cast<int>(text.size());
            const QChar next = i + text.size() < range.size() ? range[i + text.size()] : CharAt(after);
            accept = !(isWordCharacter(before) && isWordCharacter(text.front()))
                && !(isWordCharacter(next) && isWordCharacter(text.back()));
        }
        if (accept) {
            if (!(options & rtfNoHighlight)) {
                setSelStart(found);
                setSelLength(static_cast<int>(text.size()));
            }
            return found;
        }
        from = i + 1;
    }
}

// ---------------------------------------------------------------- colours

QColor RichTextBox::toQColor(std::uint32_t colorref)
{
    return ColorrefToQColor(colorref);
}

std::uint32_t RichTextBox::toColorref(const QColor& color)
{
    return QColorToColorref(color);
}

std::uint32_t RichTextBox::BackColor() const
{
    return toColorref(palette().color(QPalette::Active, QPalette::Base));
}

void RichTextBox::setBackColor(std::uint32_t colorref)
{
    const QColor color = toQColor(colorref);
    if (palette().color(QPalette::Active, QPalette::Base) == color)
        return;
    QPalette p = palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        p.setColor(group, QPalette::Base, color);
    setPalette(p);
    // Characters without a background of their own showed the old colour
    // as the cleared colour; the next clearing paints them.
    d->markStale(0, d->editorLength() + 1);
}
