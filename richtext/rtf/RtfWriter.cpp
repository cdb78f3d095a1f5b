// The RTF writer. The body is written first, numbering fonts and colours
// as they come; the tables are put in front of it at the end. Only what
// changes from one stretch of text to the next is written.
#include "RtfWriter.h"

#include "RtfWriterBlocks.h"

#include <QFont>
#include <QHash>
#include <QStringList>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>

namespace rtf {

namespace {

// The format of a stretch as it shows.
struct Shown {
    int font = 0;
    int halfPoints = 24;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    int foreground = 0; // colour table index; 0 the automatic colour
    int background = 0; // 0 none

    bool operator==(const Shown&) const = default;
};

// Text with the characters RTF gives a meaning escaped. `delimit` tells
// that a control word was written last, which a letter or digit would
// otherwise continue.
void appendText(QStringView chars, QByteArray& out, bool& delimit)
{
    const auto control = [&](const char* w) {
        out.append(w);
        delimit = true;
    };
    for (qsizetype i = 0; i < chars.size(); ++i) {
        char16_t c = chars[i].unicode();
        if (c >= 0x20 && c < 0x7F) {
            if (delimit) {
                out.append(' ');
                delimit = false;
            }
            if (c == '\\' || c == '{' || c == '}')
                out.append('\\');
            out.append(char(c));
            continue;
        }
        switch (c) {
        case u'\t':
            control("\\tab");
            continue;
        case 0x2028:
            control("\\line");
            continue;
        case 0x00A0:
            out.append("\\~");
            delimit = false;
            continue;
        case 0x00AD:
            out.append("\\-");
            delimit = false;
            continue;
        case 0x2011:
            out.append("\\_");
            delimit = false;
            continue;
        default:
            break;
        }
        if (c < 0x20 || c == 0x2029 || c == 0xFDD0 || c == 0xFDD1)
            continue; // breaks are written by the caller; other controls are not text
        if (QChar::isHighSurrogate(c)) {
            if (i + 1 < chars.size() && chars[i + 1].isLowSurrogate()) {
                out.append("\\u").append(QByteArray::number(int(std::int16_t(c)))).append('?');
                c = chars[++i].unicode();
            } else {
                c = 0xFFFD;
            }
        } else if (QChar::isLowSurrogate(c)) {
            c = 0xFFFD;
        }
        out.append("\\u").append(QByteArray::number(int(std::int16_t(c)))).append('?');
        delimit = false;
    }
}

class Writer {
public:
    Writer(const QTextDocument& document, const WriteOptions& options) : doc_(document), options_(options) {}

    QByteArray run();

private:
    Shown shownOf(const QTextCharFormat& format);
    int fontNumber(const QString& family);
    int colorNumber(const QColor& color);
    void switchTo(const Shown& next);
    void word(const char* w, int param = INT32_MIN);
    QByteArray header(const QByteArray& lists) const;

    const QTextDocument& doc_;
    const WriteOptions& options_;
    QByteArray body_;
    bool delimit_ = false; // the last thing written was a control word
    Shown current_;
    QStringList fonts_;
    QHash<QString, int> fontIndex_;
    QList<QRgb> colors_;
    QHash<QRgb, int> colorIndex_;
};

QByteArray Writer::run()
{
    const QFont base = doc_.defaultFont();
    fontNumber(base.families().value(0, base.family())); // \f0, the default font
    current_.halfPoints = 24;

    body_.reserve(doc_.characterCount() + doc_.characterCount() / 4 + 64);
    // Every paragraph ends with its mark, the last one too.
    writing::BlockWriter blocks(doc_, body_, delimit_);
    const std::function<void(const QTextBlock&)> text = [&](const QTextBlock& block) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid())
                continue;
            switchTo(shownOf(fragment.charFormat()));
            if (fragment.charFormat().isImageFormat())
                blocks.picture(fragment);
            else
                appendText(fragment.text(), body_, delimit_);
        }
    };
    blocks.write(text);
    return header(blocks.listTables()) + body_ + "}\r\n";
}

Shown Writer::shownOf(const QTextCharFormat& format)
{
    Shown s;
    const QFont font = format.font().resolve(doc_.defaultFont());
    s.font = fontNumber(font.families().value(0, font.family()));
    double points = font.pointSizeF();
    if (points <= 0)
        points = font.pixelSize() > 0 ? font.pixelSize() * 72.0 / 96.0 : 12.0;
    s.halfPoints = std::clamp(int(std::lround(points * 2)), 2, 3276);
    s.bold = font.bold();
    s.italic = font.italic();
    s.strike = font.strikeOut();
    if (format.hasProperty(QTextFormat::TextUnderlineStyle) || format.hasProperty(QTextFormat::FontUnderline))
        s.underline = format.underlineStyle() != QTextCharFormat::NoUnderline;
    else
        s.underline = doc_.defaultFont().underline();
    const QBrush fg = format.foreground();
    if (fg.style() != Qt::NoBrush)
        s.foreground = colorNumber(fg.color());
    const QBrush bg = format.background();
    if (bg.style() != Qt::NoBrush && bg.color().isValid()
        && !(options_.plainBackground.isValid() && bg.color().rgb() == options_.plainBackground.rgb()))
        s.background = colorNumber(bg.color());
    return s;
}

int Writer::fontNumber(const QString& family)
{
    const auto it = fontIndex_.constFind(family);
    if (it != fontIndex_.constEnd())
        return *it;
    const int n = int(fonts_.size());
    fonts_.append(family);
    fontIndex_.insert(family, n);
    return n;
}

int Writer::colorNumber(const QColor& color)
{
    const QRgb rgb = color.rgb() | 0xFF000000u;
    const auto it = colorIndex_.constFind(rgb);
    if (it != colorIndex_.constEnd())
        return *it;
    colors_.append(rgb);
    const int n = int(colors_.size()); // entry 0 is the automatic colour
    colorIndex_.insert(rgb, n);
    return n;
}

void Writer::word(const char* w, int param)
{
    body_.append('\\');
    body_.append(w);
    if (param != INT32_MIN)
        body_.append(QByteArray::number(param));
    delimit_ = true;
}

void Writer::switchTo(const Shown& next)
{
    if (next == current_)
        return;
    if (next.font != current_.font)
        word("f", next.font);
    if (next.halfPoints != current_.halfPoints)
        word("fs", next.halfPoints);
    if (next.bold != current_.bold)
        word(next.bold ? "b" : "b0");
    if (next.italic != current_.italic)
        word(next.italic ? "i" : "i0");
    if (next.underline != current_.underline)
        word(next.underline ? "ul" : "ulnone");
    if (next.strike != current_.strike)
        word(next.strike ? "strike" : "strike0");
    if (next.foreground != current_.foreground)
        word("cf", next.foreground);
    if (next.background != current_.background)
        word("highlight", next.background);
    current_ = next;
}

QByteArray Writer::header(const QByteArray& lists) const
{
    QByteArray h = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\r\n{\\fonttbl";
    for (int i = 0; i < fonts_.size(); ++i) {
        h.append("{\\f").append(QByteArray::number(i)).append("\\fnil\\fcharset0");
        bool delimit = true;
        QByteArray name;
        appendText(fonts_[i], name, delimit);
        // A ';' would end the name: written as a character number.
        name.replace(";", "\\u59?");
        h.append(name).append(";}");
    }
    h.append("}\r\n{\\colortbl ;");
    for (const QRgb rgb : colors_) {
        h.append("\\red").append(QByteArray::number(qRed(rgb)));
        h.append("\\green").append(QByteArray::number(qGreen(rgb)));
        h.append("\\blue").append(QByteArray::number(qBlue(rgb))).append(';');
    }
    h.append("}\r\n").append(lists).append("{\\*\\generator Lectova;}\\viewkind4\\pard\\plain\\f0\\fs24\r\n");
    return h;
}

} // namespace

QByteArray write(const QTextDocument& document, const WriteOptions& options)
{
    return Writer(document, options).run();
}

} // namespace rtf
