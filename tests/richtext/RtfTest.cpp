// RTF in the document's rich-text control: what is saved comes back the
// same, files written by word processors read as they show there, and
// broken input loads what it can.
#include "richtext/RichTextBox.h"
#include "richtext/rtf/RtfNumbering.h"
#include "richtext/rtf/RtfReader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>

#include <optional>
#include <ostream>

namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kYellow = 0x00FFFF;
constexpr std::uint32_t kRed = 0x0000FF;
constexpr std::uint32_t kBlue = 0xFF0000;

QString dataFile(const char* name)
{
    return QFileInfo(QStringLiteral(__FILE__)).absolutePath() + QStringLiteral("/rtf-data/") + QLatin1String(name);
}

// How a character shows in the control.
struct Look {
    QString font;
    double size = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    std::uint32_t color = 0;
    std::uint32_t back = 0;

    bool operator==(const Look&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Look& l)
{
    return os << '{' << l.font.toStdString() << ' ' << l.size << (l.bold ? " bold" : "")
              << (l.italic ? " italic" : "") << (l.underline ? " underline" : "") << (l.strike ? " strike" : "")
              << " color " << std::hex << l.color << " back " << l.back << std::dec << '}';
}

Look lookAt(RichTextBox& box, int position)
{
    box.setSelStart(position);
    box.setSelLength(1);
    Look l;
    l.font = box.SelFontName().value_or(QStringLiteral("?"));
    l.size = box.SelFontSize().value_or(-1);
    l.bold = box.SelBold().value_or(false);
    l.italic = box.SelItalic().value_or(false);
    l.underline = box.SelUnderline().value_or(false);
    l.strike = box.SelStrikeThru().value_or(false);
    l.color = box.SelColor().value_or(0x12345678);
    l.back = box.BackColorAt(position);
    return l;
}

// The look of the first character of `word` in the control's text.
Look lookOf(RichTextBox& box, const QString& word)
{
    const int at = int(box.Text().indexOf(word));
    EXPECT_GE(at, 0) << word.toStdString();
    return lookAt(box, std::max(at, 0));
}

void select(RichTextBox& box, const QString& word)
{
    const int at = int(box.Text().indexOf(word));
    ASSERT_GE(at, 0) << word.toStdString();
    box.setSelStart(at);
    box.setSelLength(int(word.size()));
}

// Puts a background into the characters' own format, as pasted or loaded
// text has it (SetSelectionBackColor only lays a colour over the text).
void giveBackground(RichTextBox& box, const QString& word, std::uint32_t colorref)
{
    const int at = int(box.Text().indexOf(word));
    ASSERT_GE(at, 0);
    QTextCursor c(box.document());
    c.setPosition(box.toEditor(at));
    c.setPosition(box.toEditor(at + int(word.size())), QTextCursor::KeepAnchor);
    QTextCharFormat f;
    f.setBackground(RichTextBox::toQColor(colorref));
    c.mergeCharFormat(f);
}

class RtfTest : public ::testing::Test {
protected:
    QString path(const QString& name) const { return dir.path() + QLatin1Char('/') + name; }

    QByteArray saved(RichTextBox& from, const QString& name = QStringLiteral("saved.rtf"))
    {
        from.SaveFile(path(name), RichTextBox::rtfRTF);
        QFile f(path(name));
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        return f.readAll();
    }

    // The control's text after loading these bytes as an RTF file.
    QString loaded(const QByteArray& bytes)
    {
        QFile f(path(QStringLiteral("in.rtf")));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        f.close();
        other.LoadFile(f.fileName(), RichTextBox::rtfRTF);
        return other.Text();
    }

    QTemporaryDir dir;
    RichTextBox box;
    RichTextBox other;
};

bool isValidUtf16(const QString& s)
{
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i].isHighSurrogate()) {
            if (i + 1 >= s.size() || !s[i + 1].isLowSurrogate())
                return false;
            ++i;
        } else if (s[i].isLowSurrogate()) {
            return false;
        }
    }
    return true;
}

// ---------------------------------------------------------------- round trip

TEST_F(RtfTest, EveryFormatComesBackAfterSaveAndOpen)
{
    box.setText(QStringLiteral("plain bold italic under strike red back serif big tiny all odd braced\r\n"
                               "second line\r\n"));
    select(box, "bold");
    box.setSelBold(true);
    select(box, "italic");
    box.setSelItalic(true);
    select(box, "under");
    box.setSelUnderline(true);
    select(box, "strike");
    box.setSelStrikeThru(true);
    select(box, "red");
    box.setSelColor(kRed);
    giveBackground(box, "back", kYellow);
    select(box, "serif");
    box.setSelFontName(QStringLiteral("DejaVu Serif"));
    select(box, "big");
    box.setSelFontSize(36);
    select(box, "tiny");
    box.setSelFontSize(7.5);
    select(box, "all");
    box.setSelBold(true);
    box.setSelItalic(true);
    box.setSelUnderline(true);
    box.setSelStrikeThru(true);
    box.setSelColor(kBlue);
    box.setSelFontName(QStringLiteral("Liberation Mono"));
    box.setSelFontSize(14);
    giveBackground(box, "all", kRed);
    // Names with the characters that end or open things in RTF, and
    // letters from outside ASCII.
    select(box, "odd");
    box.setSelFontName(QStringLiteral("Odd; Name {x}"));
    select(box, "braced");
    box.setSelFontName(QString::fromUtf8("Шрифт Ü"));
    select(box, "second");
    box.setSelColor(kRed);

    const QByteArray rtf = saved(box);
    ASSERT_TRUE(rtf.startsWith("{\\rtf1"));
    for (const char c : rtf)
        ASSERT_LT(static_cast<unsigned char>(c), 0x80) << "RTF is written in 7-bit ASCII";

    other.LoadFile(path("saved.rtf"), RichTextBox::rtfRTF);
    ASSERT_EQ(other.Text(), box.Text());
    const QString text = box.Text();
    for (int i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' || text[i] == u'\n')
            continue;
        ASSERT_EQ(lookAt(other, i), lookAt(box, i)) << "at " << i << " '" << QString(text[i]).toStdString() << "'";
    }
    // The looks really differ, so the comparison above means something.
    EXPECT_TRUE(lookOf(other, "bold").bold);
    EXPECT_FALSE(lookOf(other, "plain").bold);
    EXPECT_EQ(lookOf(other, "red").color, kRed);
    EXPECT_EQ(lookOf(other, "back").back, kYellow);
    EXPECT_EQ(lookOf(other, "serif").font, "DejaVu Serif");
    EXPECT_EQ(lookOf(other, "big").size, 36);
    EXPECT_EQ(lookOf(other, "tiny").size, 7.5);
    EXPECT_EQ(lookOf(other, "odd").font, "Odd; Name {x}");
    EXPECT_EQ(lookOf(other, "braced").font, QString::fromUtf8("Шрифт Ü"));
    const Look all = lookOf(other, "all");
    EXPECT_TRUE(all.bold && all.italic && all.underline && all.strike);
    EXPECT_EQ(all.font, "Liberation Mono");
    EXPECT_EQ(all.color, kBlue);
    EXPECT_EQ(all.back, kRed);

    // And once more: what was read is written the same way.
    EXPECT_EQ(saved(other, QStringLiteral("again.rtf")), rtf);
}

TEST_F(RtfTest, AnyTextComesBackTheSame)
{
    const QString texts[] = {
        QString(),
        QStringLiteral("one line"),
        QString::fromUtf8("Ünïcödé — “quotes” ‘single’ 😀 👍🏽 中文 Привет ελληνικά עברית"),
        QStringLiteral("RTF's own characters: {braces} \\back\\slash \\par \\u1234? ; semicolon"),
        QString::fromUtf8("tab\there\vsoft break, nbsp\u00A0here, soft\u00ADhyphen, non\u2011breaking"),
        QStringLiteral("\r\n\r\nblank lines first and last\r\n\r\n"),
        QStringLiteral("  leading spaces\r\ntrailing spaces  \r\n12345 digits after a break"),
        QStringLiteral("ends with one line break\r\n"),
    };
    for (const QString& text : texts) {
        box.setText(text);
        const QByteArray rtf = saved(box);
        EXPECT_EQ(loaded(rtf), text) << rtf.toStdString();
    }
}

TEST_F(RtfTest, TheSentenceBeingReadIsNotSaved)
{
    box.setText(QStringLiteral("First sentence. Second sentence. Third one."));
    box.SetAllBackColor(kWhite);
    select(box, "Second sentence.");
    box.SetSelectionBackColor(kYellow);
    ASSERT_EQ(box.BackColorAt(20), kYellow); // shown

    const QByteArray rtf = saved(box);
    EXPECT_FALSE(rtf.contains("\\highlight")) << rtf.toStdString();
    EXPECT_FALSE(rtf.contains("\\red255\\green255\\blue0")) << rtf.toStdString();
    loaded(rtf);
    for (int i = 0; i < other.TextLength(); ++i)
        ASSERT_EQ(other.BackColorAt(i), other.BackColor()) << i;
}

TEST_F(RtfTest, LoadingIsOneChangeThatCannotBeUndone)
{
    box.setText(QStringLiteral("old text"));
    select(box, "text");
    const QByteArray rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 new {\\b bold}\\par second\\par}";
    int changes = 0;
    QObject::connect(&other, &RichTextBox::Change, [&] { ++changes; });
    other.setText(QStringLiteral("before"));
    changes = 0;
    EXPECT_EQ(loaded(rtf), "new bold\r\nsecond");
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(other.SelStart(), 0);
    EXPECT_EQ(other.SelLength(), 0);
    EXPECT_FALSE(other.document()->isUndoAvailable());
    EXPECT_FALSE(other.document()->isModified());
    // Typing afterwards is a change of its own and can be undone.
    other.setSelText(QStringLiteral("x"));
    EXPECT_EQ(changes, 2);
    EXPECT_TRUE(other.document()->isUndoAvailable());
}

TEST_F(RtfTest, ClearingAfterLoadingPaintsLoadedBackgroundsToo)
{
    loaded("{\\rtf1{\\colortbl;\\red255\\green255\\blue0;}plain {\\highlight1 marked} plain\\par}");
    const int marked = int(other.Text().indexOf("marked"));
    ASSERT_EQ(other.BackColorAt(marked), kYellow);
    EXPECT_EQ(other.BackColorAt(0), other.BackColor());
    // The reading loop clears the whole text before each sentence.
    other.SetAllBackColor(kWhite);
    for (int i = 0; i < other.TextLength(); ++i)
        ASSERT_EQ(other.BackColorAt(i), kWhite) << i;
}

TEST_F(RtfTest, AFileNamedRtfThatHoldsPlainTextOpensAsText)
{
    EXPECT_EQ(loaded("just text {with braces}\nsecond line"), "just text {with braces}\r\nsecond line");
    EXPECT_EQ(loaded("caf\xC3\xA9"), QString::fromUtf8("café"));
}

// ---------------------------------------------------------------- files of other programs

struct Sample {
    const char* file;
    const char* text; // UTF-8, as Text() shows it
};

const Sample kSamples[] = {
    {"lo-formatting.rtf",
     "A serif heading in fourteen points\r\n"
     "Plain text, bold text, italic text, underlined text and struck text.\r\n"
     "Red words then yellow background and blue mono nine.\r\n"
     "Quotes “double” and ‘single’ — an em dash, – an en dash, and café naïve Ærø.\r\n"
     "Русский текст: Привет, мир!\r\n"
     "First line\vsecond line after a break\r\n"
     "Apples\r\n"
     "Pears\r\n"
     "Cell one\r\nCell two\r\n"
     "Cell three\r\nCell four\r\n"
     "The end."},
    {"lo-unicode.rtf",
     "Greek: καλημέρα\r\nJapanese: 日本語\r\nEmoji: 😀 smile\r\n\tTabbed line\r\nLast line"},
    {"lo-fields.rtf",
     "Report title\r\n"
     "Visit the example page for more.\r\n"
     "Water is H2O and E = mc2.\r\n"
     "All three at once, green on grey.\r\n"
     "First step\r\n"
     "Second step\r\n"
     "Braces {like these} and a back\\slash."},
    {"wordpad.rtf",
     "WordPad document with bold, italic, underline and strike.\r\n"
     "Red text and blue on yellow.\r\n"
     "Café crème brûlée – “quoted” …\r\n"
     "Привет mixed code pages\r\n"
     "First bullet\r\n"
     "Second bullet\r\n"
     "Large small normal\r\n"
     "Unicode € euro and 中文 Chinese"},
    {"wordpad-cyrillic.rtf",
     "Привет, мир! Абвгд ёЁ\r\n"
     "český jazyk αβγ эа\r\n"
     "ЖЖ ЖЖend"},
    {"word.rtf",
     "Quarterly notes\r\n"
     "Sales rose by five percent in the north and fell in the south.1\r\n"
     "Chart: \uFFFC (see figure)\r\n"
     "First point\r\n"
     "Second point\r\n"
     "Region\r\nTotal\r\n"
     "North\r\n120\r\n"
     "See the full report—it’s “final” ‘ok’ • a\u00A0b soft\u00ADhyphen non\u2011breaking {x} back\\slash.\r\n"
     "Привет visible."},
    {"shift-jis.rtf", "日本語 and かな"},
    {"bin.rtf", "Before after\uFFFC\r\nmiddle and kept result end."},
    // Western fonts (\fcharset0) in a Japanese document.
    {"cjk-western-fonts.rtf", "Järvi “quoted” café\r\n日本語 日本"},
    // Bullets of symbol fonts as private-use characters (U+F0B7, U+F0A7).
    {"symbol-bullets.rtf", "•\tFirst\r\n▪\tSecond\r\n♦\tThird\r\nInline • and ▪ marks, \uF072 • kept"},
    // Lists numbered by \pn, with or without the \pntext beside it: the
    // control numbers them.
    {"pn-numbering.rtf",
     "Apples\r\nPears\r\nWash\r\n(a note between the steps)\r\nDry\r\nRoman four\r\n"
     "Written with its own bullet\r\nPlain"},
    // Footnote and endnote marks as Word and LibreOffice write them.
    {"footnotes.rtf", "Word1 and LibreOffice2 marks, an endnotei too."},
    // Two thousand groups deep, as HTML mail saved as RTF nests them.
    {"deep-nesting.rtf", "Before the mail\r\nDeep text, bold\r\nAfter the mail"},
};

TEST_F(RtfTest, FilesOfOtherProgramsGiveTheirTextExactly)
{
    for (const Sample& s : kSamples) {
        SCOPED_TRACE(s.file);
        other.LoadFile(dataFile(s.file), RichTextBox::rtfRTF);
        EXPECT_EQ(other.Text(), QString::fromUtf8(s.text));
    }
}

TEST_F(RtfTest, FilesOfOtherProgramsKeepTheirFormats)
{
    other.LoadFile(dataFile("lo-formatting.rtf"), RichTextBox::rtfRTF);
    EXPECT_EQ(lookOf(other, "A serif").font, "DejaVu Serif");
    EXPECT_EQ(lookOf(other, "A serif").size, 14);
    EXPECT_TRUE(lookOf(other, "bold text").bold);
    EXPECT_FALSE(lookOf(other, "Plain text").bold);
    EXPECT_TRUE(lookOf(other, "italic text").italic);
    EXPECT_TRUE(lookOf(other, "underlined text").underline);
    EXPECT_TRUE(lookOf(other, "struck text").strike);
    EXPECT_EQ(lookOf(other, "Red words").color, kRed);
    EXPECT_EQ(lookOf(other, "yellow background").back, kYellow);
    const Look mono = lookOf(other, "blue mono");
    EXPECT_EQ(mono.font, "DejaVu Sans Mono");
    EXPECT_EQ(mono.size, 9);
    EXPECT_EQ(mono.color, kBlue);

    other.LoadFile(dataFile("wordpad.rtf"), RichTextBox::rtfRTF);
    EXPECT_EQ(lookOf(other, "WordPad").font, "Calibri");
    EXPECT_EQ(lookOf(other, "WordPad").size, 11);
    EXPECT_TRUE(lookOf(other, "bold").bold);
    EXPECT_EQ(lookOf(other, "Red text").color, kRed);
    EXPECT_EQ(lookOf(other, "blue on").color, 0xBB4D00u);
    EXPECT_EQ(lookOf(other, "blue on").back, kYellow);
    EXPECT_EQ(lookOf(other, "Large").size, 16);
    EXPECT_EQ(lookOf(other, "small").size, 8);
    EXPECT_EQ(lookOf(other, "Привет").font, "Times New Roman");

    other.LoadFile(dataFile("word.rtf"), RichTextBox::rtfRTF);
    const Look heading = lookOf(other, "Quarterly");
    EXPECT_TRUE(heading.bold);
    EXPECT_EQ(heading.size, 16);
    EXPECT_EQ(heading.color, 0x0000C0u);
    EXPECT_EQ(heading.font, "Calibri");
    EXPECT_TRUE(lookOf(other, "north").bold);
    EXPECT_TRUE(lookOf(other, "south").italic && lookOf(other, "south").underline);
    EXPECT_TRUE(lookOf(other, "Region").bold);
    EXPECT_EQ(lookOf(other, "the full report").color, 0xC16305u);
    EXPECT_EQ(lookOf(other, "Привет").font, "Calibri Cyr");

    other.LoadFile(dataFile("shift-jis.rtf"), RichTextBox::rtfRTF);
    EXPECT_EQ(lookOf(other, "日本語").font, QString::fromUtf8("ＭＳ 明朝"));
    EXPECT_EQ(lookOf(other, "and").font, "Arial");
}

// Every cut of a document gives the start of its text: nothing is made up
// from the broken end (the tables it cuts off end there).
TEST_F(RtfTest, ACutFileGivesTheStartOfItsText)
{
    for (const char* name :
         {"word.rtf", "wordpad.rtf", "lo-formatting.rtf", "pn-numbering.rtf", "cjk-western-fonts.rtf"}) {
        QFile f(dataFile(name));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray whole = f.readAll();
        const QString full = rtf::read(whole).text;
        for (qsizetype cut = 0; cut < whole.size(); cut += 7) {
            QString part = rtf::read(whole.left(cut)).text;
            while (part.endsWith(QChar(rtf::kTableEnd)))
                part.chop(1);
            ASSERT_TRUE(full.startsWith(part)) << name << " cut at " << cut << ": " << part.toStdString();
        }
    }
}

// ---------------------------------------------------------------- reading rules

TEST_F(RtfTest, BytesFollowTheCodePageOfTheDocumentOrTheFont)
{
    // The document's code page.
    EXPECT_EQ(loaded("{\\rtf1\\ansi\\ansicpg1251 \\'cf\\'f0\\'e8\\'e2\\'e5\\'f2}"), QString::fromUtf8("Привет"));
    EXPECT_EQ(loaded("{\\rtf1\\ansi\\ansicpg1252 \\'cf\\'f0\\'e8}"), QString::fromUtf8("Ïðè"));
    EXPECT_EQ(loaded("{\\rtf1\\ansi caf\\'e9 \\'80}"), QString::fromUtf8("café €"));
    // A font's character set, where it differs from the document's.
    EXPECT_EQ(loaded("{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset204 Arial Cyr;}"
                     "{\\f2\\fcharset161 Greek;}{\\f3\\fcharset238 CE;}}"
                     "\\f0 caf\\'e9 {\\f1 \\'e4\\'e0} \\f2\\'e1\\'e2 \\f3\\'e8 \\f0\\'e8}"),
              QString::fromUtf8("café да αβ č è"));
    // \cpg names the code page itself; Mac and PC documents have their own.
    EXPECT_EQ(loaded("{\\rtf1\\ansi{\\fonttbl{\\f0\\cpg1251 X;}}\\f0\\'c4}"), QString::fromUtf8("Д"));
    EXPECT_EQ(loaded("{\\rtf1\\mac \\'8e}"), QString::fromUtf8("é"));
    EXPECT_EQ(loaded("{\\rtf1\\pc \\'82}"), QString::fromUtf8("é"));
    // Double-byte code pages take two escapes for one character.
    EXPECT_EQ(loaded("{\\rtf1\\ansi\\ansicpg936 \\'d6\\'d0\\'ce\\'c4}"), QString::fromUtf8("中文"));
    // In any East Asian document a Western font (\fcharset0) is Windows-1252;
    // fonts without a character set follow the document.
    const QByteArray western = "{\\rtf1\\ansi\\ansicpg%1{\\fonttbl{\\f0\\fcharset0 Arial;}{\\f1 Plain;}}"
                               "\\f0 J\\'e4rvi \\'93quoted\\'94 caf\\'e9{\\f1  \\'d6\\'d0}}";
    for (const auto& [codePage, plain] : {std::pair{932, "ﾖﾐ"}, {936, "中"}, {949, "櫓"}, {950, "笢"}}) {
        SCOPED_TRACE(codePage);
        EXPECT_EQ(loaded(QByteArray(western).replace("%1", QByteArray::number(codePage))),
                  QString::fromUtf8("Järvi “quoted” café ") + QString::fromUtf8(plain));
    }
    // In a single-byte one it follows the document, as before.
    EXPECT_EQ(loaded(QByteArray(western).replace("%1", "1251")), QString::fromUtf8("Jдrvi “quoted” cafй ЦР"));
}

TEST_F(RtfTest, UnicodeCharactersSkipTheirFallback)
{
    // \uc1 is the default: one byte of fallback.
    EXPECT_EQ(loaded("{\\rtf1 \\u1046?x}"), QString::fromUtf8("Жx"));
    EXPECT_EQ(loaded("{\\rtf1 \\u1046\\'c6x}"), QString::fromUtf8("Жx"));
    EXPECT_EQ(loaded("{\\rtf1\\uc2 \\u1046\\'c6\\'c6x}"), QString::fromUtf8("Жx"));
    EXPECT_EQ(loaded("{\\rtf1\\uc0 \\u1046 x}"), QString::fromUtf8("Жx"));
    // \uc holds for its group only.
    EXPECT_EQ(loaded("{\\rtf1 {\\uc3 \\u1046abcd}\\u1046ab}"), QString::fromUtf8("ЖdЖb"));
    // A font's name read at \uc0 is the Symbol font's, and stays so once saved.
    EXPECT_EQ(loaded("{\\rtf1{\\fonttbl\\uc0{\\f0 Sym\\u98 ol;}}\\f0 a}"), QString::fromUtf8("α"));
    EXPECT_EQ(loaded(saved(other)), QString::fromUtf8("α"));
    // A group's end ends the fallback.
    EXPECT_EQ(loaded("{\\rtf1\\uc4 {\\u1046ab}cd}"), QString::fromUtf8("Жcd"));
    // Numbers above 32767 are written negative.
    EXPECT_EQ(loaded("{\\rtf1 \\u-3913?\\u-24?}"), QString::fromUtf8("•\uFFE8"));
    // Characters outside the first plane, as two halves.
    EXPECT_EQ(loaded("{\\rtf1 \\u-10179?\\u-8704?!}"), QString::fromUtf8("😀!"));
    // A half without the other is not kept as such.
    const QString broken = loaded("{\\rtf1 a\\u-10179?b\\u-8704?c}");
    EXPECT_TRUE(isValidUtf16(broken));
    EXPECT_EQ(broken, QString::fromUtf8("a\uFFFDb\uFFFDc"));
}

TEST_F(RtfTest, NamedCharactersAndBreaks)
{
    EXPECT_EQ(loaded("{\\rtf1 a\\emdash b\\endash c\\lquote d\\rquote e\\ldblquote f\\rdblquote g\\bullet h}"),
              QString::fromUtf8("a—b–c‘d’e“f”g•h"));
    EXPECT_EQ(loaded("{\\rtf1 a\\~b\\-c\\_d\\{e\\}f\\\\g}"), QString::fromUtf8("a\u00A0b\u00ADc\u2011d{e}f\\g"));
    EXPECT_EQ(loaded("{\\rtf1 one\\par two\\line three\\tab four\\page five\\sect six}"),
              QStringLiteral("one\r\ntwo\vthree\tfour\r\nfive\r\nsix"));
    // A backslash before a line end is a paragraph mark; bare line ends
    // in the file are not text.
    EXPECT_EQ(loaded("{\\rtf1 one\\\r\ntwo\r\nthree\nfour}"), QStringLiteral("one\r\ntwothreefour"));
    // Only the mark of the last paragraph goes.
    EXPECT_EQ(loaded("{\\rtf1 a\\par}"), QStringLiteral("a"));
    EXPECT_EQ(loaded("{\\rtf1 a\\par\\par}"), QStringLiteral("a\r\n"));
}

TEST(RtfNumbers, ListNumbersAndNoteMarksInEachStyle)
{
    using rtf::NumberStyle;
    const struct {
        int n;
        NumberStyle style;
        const char* text;
    } cases[] = {
        {1, NumberStyle::Arabic, "1"},
        {42, NumberStyle::Arabic, "42"},
        {3, NumberStyle::LowerLetter, "c"},
        {28, NumberStyle::UpperLetter, "BB"},
        {260, NumberStyle::LowerLetter, "zzzzzzzzzz"},
        {261, NumberStyle::LowerLetter, "261"},
        {4, NumberStyle::LowerRoman, "iv"},
        {1994, NumberStyle::UpperRoman, "MCMXCIV"},
        {4000, NumberStyle::UpperRoman, "4000"},
        {0, NumberStyle::LowerRoman, "0"},
        {1, NumberStyle::Symbols, "*"},
        {4, NumberStyle::Symbols, "§"},
        {6, NumberStyle::Symbols, "††"},
        {-3, NumberStyle::UpperLetter, "-3"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(rtf::numberText(c.n, c.style), QString::fromUtf8(c.text)) << c.n;
}

TEST_F(RtfTest, NoteMarksFollowTheDocumentsNumbering)
{
    EXPECT_EQ(loaded("{\\rtf1\\ftnstart5\\ftnnruc a{\\chftn{\\footnote x}} b{\\chftn{\\footnote y}}"
                     " c\\chftn{\\*\\footnote\\ftnalt z}}"),
              QStringLiteral("aV bVI c1"));
    EXPECT_EQ(loaded("{\\rtf1\\ftnnchi a\\chftn\\chftn\\chftn\\chftn\\chftn}"), QString::fromUtf8("a*†‡§**"));
    // A mark whose note is cut off still counts.
    EXPECT_EQ(loaded("{\\rtf1 a\\chftn{\\footnote"), QStringLiteral("a1"));
}

TEST_F(RtfTest, DestinationsThatAreNotTextAreSkipped)
{
    EXPECT_EQ(loaded("{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red1\\green2\\blue3;}"
                     "{\\stylesheet{\\s0 Normal;}}{\\info{\\title T}{\\author A}}"
                     "{\\*\\generator Someone;}{\\*\\unknowndestination text}{\\*\\bkmkstart b}"
                     "{\\header head\\par}{\\footer foot}{\\footnote note}{\\annotation comment}"
                     "{\\nonshppict{\\pict\\pngblip 89504e47{7b}}}"
                     "{\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt shown}} {\\v hidden}text\\v  also hidden\\v0 .}"),
              QStringLiteral("shown text."));
    // \bin data is skipped by its length, whatever bytes it holds.
    static const char withBinary[] = "{\\rtf1 a{\\*\\data\\bin6 }{\\\0\xff}}b{\\bin2 {{}c}";
    EXPECT_EQ(loaded(QByteArray(withBinary, sizeof withBinary - 1)), QStringLiteral("abc"));
    // A \bin longer than the file ends it.
    EXPECT_EQ(loaded("{\\rtf1 a\\bin99999 bcd}"), QStringLiteral("a"));
}

// Text and formats that word processors keep in places of their own.
struct Held {
    const char* what;
    const char* rtf;
    const char* text; // UTF-8, as Text() shows it
    struct Word {
        const char* word;
        double size;
        bool bold;
        bool italic;
        std::uint32_t color;
    };
    std::vector<Word> looks;
};

const Held kHeld[] = {
    {"cells inside the properties of a nested table",
     "{\\rtf1 \\trowd\\cellx3000\\intbl Outer {\\*\\nesttableprops\\trowd\\cellx1500\\intbl\\itap2 Inner\\nestcell"
     "\\nestrow}{\\nonesttables\\par}\\cell\\row}",
     "\r\n\r\nOuter Inner\r\n\r\n", {}},
    {"the text of a text box, not the box's fallback",
     "{\\rtf1 Before {\\shp{\\*\\shpinst{\\sp{\\sn shapeType}{\\sv 202}}{\\shptxt Boxed words\\par}}"
     "{\\shprslt fallback}}after}",
     "Before Boxed words\r\nafter", {}},
    {"the Unicode version of \\upr, not its ANSI one",
     "{\\rtf1 {\\upr{Caf? ??????}{\\*\\ud{Caf\\u233? \\u1055?\\u1088?\\u1080?\\u1074?\\u1077?\\u1090?}}}}",
     "Café Привет", {}},
    {"letters of the Symbol font, by character set or by name",
     "{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset2 Symbol;}{\\f2 Symbol;}}\\f0 {\\f1 a}-D and {\\f2\\'62}-G}",
     "α-D and β-G", {}},
    {"bold, italic and size of Chinese and of right-to-left text",
     "{\\rtf1 {\\dbch\\ab\\dbch \\u31895?\\u20307?}{\\dbch\\afs36\\i \\u22823?\\u23383?}"
     "{\\ltrch \\rtlch\\afs32\\ai \\u1506?\\u1489?\\u1512?\\u1497?\\u1514?} "
     "{\\rtlch\\ab \\ltrch\\loch plain \\u1506?\\u1489?\\u1492?}}",
     "粗体大字עברית plain עבה",
     {{"粗体", 12, true, false, 0}, {"大字", 18, false, true, 0}, {"עברית", 16, false, true, 0},
      {"plain", 12, false, false, 0}, {"עבה", 12, true, false, 0}}},
    {"formats of the style sheet, on top of those their styles are based on",
     "{\\rtf1{\\colortbl;\\red0\\green0\\blue255;}{\\stylesheet{\\s0 Normal;}{\\s1\\sbasedon0\\fs44\\b Title;}"
     "{\\s2\\sbasedon1\\i Sub;}{\\*\\cs3\\cf1 Loud;}{\\s4\\sbasedon5 Loop A;}{\\s5\\sbasedon4\\fs30 Loop B;}}"
     "\\pard\\plain\\s2 Heading\\par\\pard\\plain\\s0 body {\\cs3 loud} {\\s4 cycle \\fs20 own}\\par}",
     "Heading\r\nbody loud cycle own",
     {{"Heading", 22, true, true, 0}, {"body", 12, false, false, 0}, {"loud", 12, false, false, kBlue},
      {"cycle", 15, false, false, 0}, {"own", 10, false, false, 0}}},
};

TEST_F(RtfTest, TextAndFormatsKeptInPlacesOfTheirOwnAreRead)
{
    for (const Held& h : kHeld) {
        SCOPED_TRACE(h.what);
        EXPECT_EQ(loaded(h.rtf), QString::fromUtf8(h.text));
        const std::uint32_t plainColor = lookAt(other, 0).color;
        for (const Held::Word& w : h.looks) {
            const Look look = lookOf(other, QString::fromUtf8(w.word));
            EXPECT_EQ(look.size, w.size) << w.word;
            EXPECT_EQ(look.bold, w.bold) << w.word;
            EXPECT_EQ(look.italic, w.italic) << w.word;
            EXPECT_EQ(look.color, w.color ? w.color : plainColor) << w.word;
        }
    }
}

TEST_F(RtfTest, ColoursAndFontsFollowTheTables)
{
    // Word numbers its theme fonts from 31500; a number past 16 bits is
    // taken for none.
    loaded("{\\rtf1\\deff1{\\fonttbl{\\f0\\fnil Courier New;}{\\f1\\fswiss Arial;}{\\f31500\\froman Cambria;}"
           "{\\f70000\\fnil Far;}}{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}"
           "default {\\f0 courier} {\\cf1 red} {\\cf2\\cb1 blue} {\\cf2\\chcbpat2 sky} {\\cf9 bad}"
           " {\\fs40 big\\plain plain} {\\f31500 theme} {\\f70000 far}}");
    EXPECT_EQ(lookOf(other, "default").font, "Arial");
    EXPECT_EQ(lookOf(other, "default").size, 12);
    EXPECT_EQ(lookOf(other, "courier").font, "Courier New");
    EXPECT_EQ(lookOf(other, "red").color, kRed);
    EXPECT_EQ(lookOf(other, "blue").color, kBlue);
    EXPECT_EQ(lookOf(other, "blue").back, kRed);
    EXPECT_EQ(lookOf(other, "sky").back, kBlue);
    EXPECT_EQ(lookOf(other, "bad").color, lookOf(other, "default").color);
    EXPECT_EQ(lookOf(other, "big").size, 20);
    EXPECT_EQ(lookOf(other, "plain").size, 12);
    EXPECT_EQ(lookOf(other, "plain").font, "Arial");
    EXPECT_EQ(lookOf(other, "theme").font, "Cambria");
    EXPECT_EQ(lookOf(other, "far").font, "Arial");
}

// ---------------------------------------------------------------- broken input

TEST_F(RtfTest, BrokenBracesLoadWhatIsThere)
{
    // Groups never closed: everything read.
    EXPECT_EQ(loaded("{\\rtf1 one {\\b two {\\i three\\par four"), QStringLiteral("one two three\r\nfour"));
    // A closing brace too many ends the document there.
    EXPECT_EQ(loaded("{\\rtf1 one {\\b two}} three}"), QStringLiteral("one two"));
    // Cut inside a control word, an escape, a \u or a \bin.
    EXPECT_EQ(loaded("{\\rtf1 one\\pa"), QStringLiteral("one"));
    EXPECT_EQ(loaded("{\\rtf1 one\\'e"), QStringLiteral("one"));
    EXPECT_EQ(loaded("{\\rtf1 one\\u10"), QStringLiteral("one"));
    EXPECT_EQ(loaded("{\\rtf1 one\\u-10179"), QStringLiteral("one"));
    EXPECT_EQ(loaded("{\\rtf1 one\\u-10179?"), QString::fromUtf8("one\uFFFD"));
    EXPECT_EQ(loaded("{\\rtf1 one\\bin"), QStringLiteral("one"));
    EXPECT_EQ(loaded("{\\rtf1 one\\"), QStringLiteral("one"));
    EXPECT_EQ(loaded("{\\rtf1 one{\\fonttbl{\\f0 Ari"), QStringLiteral("one"));
}

TEST_F(RtfTest, DeepNestingKeepsItsTextAndFormats)
{
    // However deep, nothing is lost.
    const int depth = 200000;
    QByteArray deep = "{\\rtf1 start";
    deep += QByteArray(depth, '{') + "deep" + QByteArray(depth, '}');
    deep += " end}";
    EXPECT_EQ(loaded(deep), QStringLiteral("startdeep end"));

    // Formats come back as each group closes, thousands of groups deep.
    other.LoadFile(dataFile("deep-nesting.rtf"), RichTextBox::rtfRTF);
    EXPECT_TRUE(lookOf(other, "bold").bold);
    EXPECT_FALSE(lookOf(other, "Deep").bold);
    EXPECT_FALSE(lookOf(other, "After").bold);

    // Groups that each change the format, more of them than the reader
    // keeps states for: the text is all there, and once the nesting is
    // back within that many groups the formats are right again.
    const int changes = 50000;
    QByteArray changing = "{\\rtf1 start";
    for (int i = 0; i < changes; ++i)
        changing += "{\\b{\\b0";
    changing += " deep" + QByteArray(2 * changes, '}') + " end{\\b  bold}}";
    EXPECT_EQ(loaded(changing), QStringLiteral("startdeep end bold"));
    EXPECT_FALSE(lookOf(other, "end").bold);
    EXPECT_TRUE(lookOf(other, "bold").bold);
}

TEST_F(RtfTest, RandomBytesLoadWithoutCrashing)
{
    QRandomGenerator random(20240611);
    const QByteArray alphabet = "{}\\'*;0123456789abcdef-uc \r\n\tparbinfscf";
    for (int round = 0; round < 300; ++round) {
        QByteArray bytes = round % 2 ? QByteArray("{\\rtf1 ") : QByteArray();
        const int length = int(random.bounded(4000));
        for (int i = 0; i < length; ++i) {
            // Half the rounds plain noise, half RTF-like noise.
            bytes += round % 4 < 2 ? char(random.bounded(256))
                                   : alphabet[int(random.bounded(int(alphabet.size())))];
        }
        const rtf::Document doc = rtf::read(bytes);
        ASSERT_TRUE(isValidUtf16(doc.text)) << round;
        qsizetype covered = 0;
        for (const rtf::Run& run : doc.runs) {
            ASSERT_EQ(run.start, covered);
            ASSERT_GT(run.length, 0);
            ASSERT_LT(std::size_t(run.format), doc.formats.size());
            covered += run.length;
        }
        ASSERT_EQ(covered, doc.text.size()) << round;
        // Equal formats are kept once, whatever styles led to them.
        for (std::size_t i = 0; i < doc.formats.size(); ++i)
            for (std::size_t j = i + 1; j < doc.formats.size(); ++j)
                ASSERT_FALSE(doc.formats[i] == doc.formats[j]) << round;
        if (round % 10 == 0) {
            loaded(bytes);
            ASSERT_TRUE(isValidUtf16(other.Text()));
        }
    }
}

} // namespace
