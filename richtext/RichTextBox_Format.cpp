// RichTextBox: character format of the selection, and backgrounds.
//
// Any change to a QTextDocument makes its layout place every block after
// the change again, so a format change near the start of a long text costs
// in proportion to the text. Reading paints a sentence and clears it for
// every sentence; so a painted sentence is a colour laid over the text (an
// extra selection, drawn but not part of the characters' format), and
// clearing removes those layers. Clearing also puts its colour into the
// format of the characters that may show another one: text that came in or
// changed since the last clearing (typed, pasted, loaded), found by
// following the document's changes. That work is done once per change.
#include "RichTextBox_p.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>

#include <algorithm>
#include <cmath>

namespace {

// The value of `value(format)` over the characters of the selection, or
// nothing when they differ; for an empty selection the caret's format (the
// format of what is typed next).
template <class T, class F>
std::optional<T> uniformValue(const QTextEdit* edit, F value)
{
    const QTextCursor c = edit->textCursor();
    if (!c.hasSelection())
        return value(c.charFormat());
    const int start = c.selectionStart();
    const int end = c.selectionEnd();
    std::optional<T> result;
    for (QTextBlock block = edit->document()->findBlock(start); block.isValid() && block.position() < end;
         block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.position() + fragment.length() <= start)
                continue;
            if (fragment.position() >= end)
                break;
            const T v = value(fragment.charFormat());
            if (!result)
                result = v;
            else if (*result != v)
                return std::nullopt;
        }
    }
    // Only line breaks selected: the format where the selection starts.
    if (!result)
        return value(c.charFormat());
    return result;
}

} // namespace

// ---------------------------------------------------------------- fonts
//
// A setter whose value the whole selection has already changes nothing:
// the document window sets all of them on the whole text after loading it,
// and every change of a long text costs a new layout of it.

namespace {

constexpr double kLargestSize = 1638.0;

QFont shownFont(const QTextEdit* edit, const QTextCharFormat& format)
{
    return format.font().resolve(edit->document()->defaultFont());
}

} // namespace

std::optional<QString> RichTextBox::SelFontName() const
{
    return uniformValue<QString>(this, [this](const QTextCharFormat& f) { return shownFont(this, f).family(); });
}

void RichTextBox::setSelFontName(const QString& name)
{
    if (name.trimmed().isEmpty())
        return;
    if (textCursor().hasSelection() && SelFontName() == name)
        return;
    FontAndColor look;
    look.fontName = name;
    d->mergeIntoSelection(d->charFormat(look), [this, name](rtf::CharFormat& f) {
        // The font of every script in the selection.
        f.font = f.asianFont = f.complexFont = rtf::fontNumberOf(d->kept.fontNumber(name));
    });
}

std::optional<double> RichTextBox::SelFontSize() const
{
    return uniformValue<double>(this, [this](const QTextCharFormat& f) {
        const QFont font = shownFont(this, f);
        if (font.pointSizeF() > 0)
            return font.pointSizeF();
        // A size given in pixels (pasted HTML): in points at 96 pixels per inch.
        return font.pixelSize() * 72.0 / 96.0;
    });
}

void RichTextBox::setSelFontSize(double points)
{
    if (!std::isfinite(points) || points <= 0)
        return;
    if (textCursor().hasSelection() && SelFontSize() == std::min(points, kLargestSize))
        return;
    FontAndColor look;
    look.fontSize = points;
    const int halfPoints = std::clamp(int(std::lround(std::min(points, kLargestSize) * 2)), 2, 3276);
    d->mergeIntoSelection(d->charFormat(look), [halfPoints](rtf::CharFormat& f) {
        f.halfPoints = halfPoints;
        f.sizeGiven = true;
        f.complexHalfPoints = std::int16_t(halfPoints);
    });
}

std::optional<bool> RichTextBox::SelBold() const
{
    return uniformValue<bool>(this, [this](const QTextCharFormat& f) { return shownFont(this, f).bold(); });
}

void RichTextBox::setSelBold(bool on)
{
    if (textCursor().hasSelection() && SelBold() == on)
        return;
    FontAndColor look;
    look.bold = on;
    d->mergeIntoSelection(d->charFormat(look), [on](rtf::CharFormat& f) {
        f.bold = on;
        f.complexBold = on;
    });
}

std::optional<bool> RichTextBox::SelItalic() const
{
    return uniformValue<bool>(this, [this](const QTextCharFormat& f) { return shownFont(this, f).italic(); });
}

void RichTextBox::setSelItalic(bool on)
{
    if (textCursor().hasSelection() && SelItalic() == on)
        return;
    FontAndColor look;
    look.italic = on;
    d->mergeIntoSelection(d->charFormat(look), [on](rtf::CharFormat& f) {
        f.italic = on;
        f.complexItalic = on;
    });
}

std::optional<bool> RichTextBox::SelUnderline() const
{
    return uniformValue<bool>(this, [this](const QTextCharFormat& f) {
        if (f.hasProperty(QTextFormat::TextUnderlineStyle) || f.hasProperty(QTextFormat::FontUnderline))
            return f.underlineStyle() != QTextCharFormat::NoUnderline;
        return document()->defaultFont().underline();
    });
}

void RichTextBox::setSelUnderline(bool on)
{
    if (textCursor().hasSelection() && SelUnderline() == on)
        return;
    FontAndColor look;
    look.underline = on;
    d->mergeIntoSelection(d->charFormat(look), [on](rtf::CharFormat& f) {
        // An underline of its own kind stays that kind.
        if (!on || f.underline == rtf::Underline::None)
            f.underline = on ? rtf::Underline::Single : rtf::Underline::None;
    });
}

std::optional<bool> RichTextBox::SelStrikeThru() const
{
    return uniformValue<bool>(this, [this](const QTextCharFormat& f) { return shownFont(this, f).strikeOut(); });
}

void RichTextBox::setSelStrikeThru(bool on)
{
    if (textCursor().hasSelection() && SelStrikeThru() == on)
        return;
    FontAndColor look;
    look.strikeThru = on;
    d->mergeIntoSelection(d->charFormat(look), [on](rtf::CharFormat& f) { f.strike = on; });
}

std::optional<std::uint32_t> RichTextBox::SelColor() const
{
    return uniformValue<std::uint32_t>(this, [this](const QTextCharFormat& f) {
        const QBrush brush = f.foreground();
        return toColorref(brush.style() != Qt::NoBrush ? brush.color() : palette().color(QPalette::Text));
    });
}

void RichTextBox::setSelColor(std::uint32_t colorref)
{
    if (textCursor().hasSelection() && SelColor() == toColorref(toQColor(colorref)))
        return;
    FontAndColor look;
    look.color = colorref;
    const QRgb rgb = toQColor(colorref).rgb() | 0xFF000000u;
    d->mergeIntoSelection(d->charFormat(look), [rgb](rtf::CharFormat& f) { f.foreground = rgb; });
}

// ---------------------------------------------------------------- whole text

QTextCharFormat RichTextBox::Impl::charFormat(const FontAndColor& look) const
{
    QTextCharFormat f;
    if (look.color)
        f.setForeground(toQColor(*look.color));
    if (look.fontName && !look.fontName->trimmed().isEmpty())
        f.setFontFamilies(QStringList{*look.fontName});
    // Sizes the control cannot show are refused; the largest is 1638 points.
    if (look.fontSize && std::isfinite(*look.fontSize) && *look.fontSize > 0)
        f.setFontPointSize(std::min(*look.fontSize, kLargestSize));
    if (look.bold)
        f.setFontWeight(*look.bold ? QFont::Bold : QFont::Normal);
    if (look.italic)
        f.setFontItalic(*look.italic);
    if (look.strikeThru)
        f.setFontStrikeOut(*look.strikeThru);
    if (look.underline)
        f.setFontUnderline(*look.underline);
    return f;
}

void RichTextBox::Impl::mergeIntoSelection(const QTextCharFormat& format, const FileChange& change)
{
    if (format.isEmpty() || applyLock())
        return;
    ++quiet;
    const QTextCursor selection = q->textCursor();
    if (!selection.hasSelection()) {
        q->mergeCurrentCharFormat(format);
        keepCaretOutOfFile();
    } else {
        keepFileFormatsInText();
        // One step, undone as one.
        QTextCursor step(q->document());
        step.beginEditBlock();
        q->mergeCurrentCharFormat(format);
        changeFileFormats(selection, change);
        step.endEditBlock();
    }
    --quiet;
}

void RichTextBox::SetFontAndColor(const FontAndColor& look)
{
    const QTextCharFormat format = d->charFormat(look);
    if (format.isEmpty())
        return;
    d->setDefaultLook(format);
    ++d->quiet;
    QTextCursor all(document());
    all.select(QTextCursor::Document);
    all.mergeCharFormat(format);
    --d->quiet;
    QTextCursor caret = textCursor();
    if (!caret.hasSelection()) {
        caret.mergeCharFormat(format);
        setTextCursor(caret);
    }
}

// Text without a font or colour of its own shows the look's: what is typed
// into a text deleted or pasted over whole, or into a new paragraph of a
// loaded file, takes the look and not the editor's own defaults.
void RichTextBox::Impl::setDefaultLook(const QTextCharFormat& format)
{
    defaultFont = format.font().resolve(defaultFont.value_or(q->document()->defaultFont()));
    q->document()->setDefaultFont(*defaultFont);
    if (format.hasProperty(QTextFormat::ForegroundBrush)) {
        QPalette p = q->palette();
        for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
            p.setColor(group, QPalette::Text, format.foreground().color());
        q->setPalette(p);
    }
}

// ---------------------------------------------------------------- backgrounds

std::vector<RichTextBox::Impl::Span> RichTextBox::Impl::withinCells(int from, int to) const
{
    std::vector<Span> spans;
    const QTextDocument* doc = q->document();
    int start = from;
    for (QTextBlock block = doc->findBlock(from); block.isValid(); block = block.next()) {
        const int separator = block.position() + block.length() - 1;
        if (separator >= to)
            break;
        const QChar c = doc->characterAt(separator);
        if (c == QChar(0xFDD0) || c == QChar(0xFDD1)) {
            if (separator > start)
                spans.push_back({start, separator});
            start = separator + 1;
        }
    }
    if (to > start || spans.empty())
        spans.push_back({start, std::max(start, to)});
    return spans;
}

void RichTextBox::Impl::markStale(int from, int to)
{
    to = std::min(to, editorLength() + 1);
    if (from >= to)
        return;
    // Touching or overlapping the last span (typing extends it): grow it.
    if (!stale.empty() && from <= stale.back().to && to >= stale.back().from) {
        stale.back().from = std::min(stale.back().from, from);
        stale.back().to = std::max(stale.back().to, to);
        return;
    }
    stale.push_back({from, to});
    if (stale.size() > 64) {
        std::sort(stale.begin(), stale.end(), [](const Span& a, const Span& b) { return a.from < b.from; });
        std::vector<Span> merged;
        for (const Span& s : stale) {
            if (!merged.empty() && s.from <= merged.back().to)
                merged.back().to = std::max(merged.back().to, s.to);
            else
                merged.push_back(s);
        }
        stale.swap(merged);
    }
}

// After `removed` characters at `from` were replaced by `added` ones.
void RichTextBox::Impl::shiftStale(int from, int removed, int added)
{
    const auto move = [&](int x, bool isEnd) {
        if (x < from || (x == from && !isEnd))
            return x;
        if (x >= from + removed)
            return x + added - removed;
        return isEnd ? from + added : from;
    };
    for (Span& s : stale) {
        s.from = move(s.from, false);
        s.to = move(s.to, true);
    }
    stale.erase(std::remove_if(stale.begin(), stale.end(), [](const Span& s) { return s.from >= s.to; }),
                stale.end());
}

void RichTextBox::Impl::showLayers()
{
    QList<QTextEdit::ExtraSelection> all = otherSelections;
    for (const Layer& layer : layers) {
        QTextEdit::ExtraSelection s;
        s.cursor = layer.cursor;
        s.format.setBackground(layer.color);
        all.append(s);
    }
    q->QTextEdit::setExtraSelections(all);
}

bool RichTextBox::Impl::showsColor(const QTextCharFormat& format, const QColor& color) const
{
    const QBrush brush = format.background();
    if (brush.style() == Qt::NoBrush)
        return q->palette().color(QPalette::Active, QPalette::Base) == color;
    return brush.style() == Qt::SolidPattern && brush.color() == color;
}

void RichTextBox::Impl::paintFormats(const std::vector<Span>& spans, const QColor& color)
{
    QTextDocument* doc = q->document();
    const int length = editorLength();

    // The stretches whose background shows another colour; the line
    // breaks' own format counts too (an empty line takes it for its text).
    std::vector<Span> wrong;
    const auto add = [&wrong](int from, int to) {
        if (!wrong.empty() && wrong.back().to >= from)
            wrong.back().to = std::max(wrong.back().to, to);
        else
            wrong.push_back({from, to});
    };
    int scannedTo = 0;
    for (const Span& span : spans) {
        const int from = std::max(span.from, scannedTo);
        const int to = std::min(span.to, length + 1);
        if (from >= to)
            continue;
        scannedTo = to;
        for (QTextBlock block = doc->findBlock(from); block.isValid() && block.position() < to;
             block = block.next()) {
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextFragment f = it.fragment();
                const int a = std::max(f.position(), from);
                const int b = std::min(f.position() + f.length(), to);
                if (a < b && !showsColor(f.charFormat(), color))
                    add(a, b);
            }
            const int separator = block.position() + block.length() - 1;
            const QTextBlock next = block.next();
            if (next.isValid() && separator >= from && separator < to && !showsColor(next.charFormat(), color))
                add(separator, separator + 1);
        }
    }
    if (wrong.empty())
        return;

    QTextCharFormat format;
    format.setBackground(color);
    const bool wasModified = doc->isModified();
    const bool undo = doc->isUndoRedoEnabled();
    // With nothing to undo, nothing is lost by leaving undo out; otherwise
    // the painting joins the last step, so that it is undone with it.
    const bool leaveUndoOut = undo && doc->availableUndoSteps() == 0;
    ++quiet;
    if (leaveUndoOut)
        doc->setUndoRedoEnabled(false);
    QTextCursor c(doc);
    if (undo && !leaveUndoOut)
        c.joinPreviousEditBlock();
    else
        c.beginEditBlock();
    for (const Span& s : wrong) {
        // A cursor from cell to cell would take in whole cells of the table
        // only.
        for (const Span& piece : withinCells(s.from, std::min(s.to, length))) {
            c.setPosition(piece.from);
            c.setPosition(piece.to, QTextCursor::KeepAnchor);
            c.mergeCharFormat(format);
        }
    }
    c.endEditBlock();
    if (leaveUndoOut)
        doc->setUndoRedoEnabled(true);
    --quiet;
    if (doc->isModified() != wasModified)
        doc->setModified(wasModified);
}

void RichTextBox::SetSelectionBackColor(std::uint32_t colorref)
{
    const QColor color = toQColor(colorref);
    const QTextCursor selection = textCursor();
    if (!selection.hasSelection()) {
        // The text typed next takes it.
        QTextCharFormat f;
        f.setBackground(color);
        QTextCursor c = selection;
        c.mergeCharFormat(f);
        setTextCursor(c);
        return;
    }
    const auto [from, to] = d->selection();
    // Layers this one covers whole are of no more use.
    auto& layers = d->layers;
    layers.erase(std::remove_if(layers.begin(), layers.end(),
                                [&](const Impl::Layer& l) {
                                    return l.cursor.selectionStart() >= from && l.cursor.selectionEnd() <= to;
                                }),
                 layers.end());
    for (const Impl::Span& span : d->withinCells(from, to)) {
        QTextCursor layer(document());
        layer.setPosition(span.from);
        layer.setPosition(span.to, QTextCursor::KeepAnchor);
        layers.push_back({layer, color});
    }
    d->showLayers();
}

void RichTextBox::SetAllBackColor(std::uint32_t colorref)
{
    const QColor color = toQColor(colorref);
    const bool shownAlready = d->clearColor == colorref
        || (d->showsBase && palette().color(QPalette::Active, QPalette::Base) == color);
    if (!shownAlready) {
        d->stale.clear();
        d->markStale(0, d->editorLength() + 1);
    }
    if (!d->stale.empty()) {
        std::vector<Impl::Span> spans = std::move(d->stale);
        d->stale.clear();
        std::sort(spans.begin(), spans.end(), [](const Impl::Span& a, const Impl::Span& b) { return a.from < b.from; });
        d->paintFormats(spans, color);
    }
    d->clearColor = colorref;
    d->showsBase = false;
    if (!d->layers.empty()) {
        d->layers.clear();
        d->showLayers();
    }
    // What is typed next at the caret shows it too.
    QTextCursor caret = textCursor();
    if (!caret.hasSelection() && !d->showsColor(caret.charFormat(), color)) {
        QTextCharFormat f;
        f.setBackground(color);
        caret.mergeCharFormat(f);
        setTextCursor(caret);
    }
}

std::uint32_t RichTextBox::BackColorAt(int position) const
{
    const int e = toEditor(position);
    for (auto it = d->layers.rbegin(); it != d->layers.rend(); ++it) {
        if (it->cursor.selectionStart() <= e && e < it->cursor.selectionEnd())
            return toColorref(it->color);
    }
    QTextCharFormat format;
    const QTextBlock block = document()->findBlock(e);
    if (e == block.position() + block.length() - 1) {
        // A line break (or the end): its own format, kept by the next line.
        format = block.next().isValid() ? block.next().charFormat() : block.charFormat();
    } else {
        QTextCursor c(document());
        c.setPosition(e);
        c.setPosition(e + 1, QTextCursor::KeepAnchor);
        format = c.charFormat();
    }
    const QBrush brush = format.background();
    if (brush.style() == Qt::NoBrush)
        return BackColor();
    return toColorref(brush.color());
}

void RichTextBox::setExtraSelections(const QList<QTextEdit::ExtraSelection>& selections)
{
    d->otherSelections = selections;
    d->showLayers();
}

QList<QTextEdit::ExtraSelection> RichTextBox::extraSelections() const
{
    return d->otherSelections;
}
