// An RTF file opened in the control, in a look of the user's, and saved
// again: the look is a view. What is saved is each character's format as
// the file had it, with the file's tables and links, the user's own
// formatting of it, and the user's own text as it shows.
#include "richtext/RichTextBox.h"
#include "richtext/rtf/RtfReader.h"
#include "support/ProgramRun.h"

#include <QApplication>
#include <QKeyEvent>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextDocument>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

// Written as word processors write: fonts and colours numbered as they
// please, a link, raised and lowered text, capitals, Hebrew in a bold and
// size of its own, a letter of the Symbol font; formats in table cells, in
// a list paragraph and after a picture; and what the control does not
// show: a header, a bookmark, a note, hidden text, a drawing object, a text
// box (its text shows) and a page number's field (kGroups).
const QByteArray kFile =
    "{\\rtf1\\ansi\\ansicpg1252\\deff3{\\fonttbl{\\f1\\froman\\fprq2\\fcharset2 Symbol;}"
    "{\\f3\\froman\\fprq2\\fcharset0 DejaVu Serif;}{\\f7\\fswiss\\fcharset0 DejaVu Sans;}}"
    "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green128\\blue0;\\red255\\green255\\blue0;}\n"
    "{\\*\\listtable{\\list\\listtemplateid1{\\listlevel\\levelnfc0\\levelstartat1{\\leveltext\\'02\\'00.;}"
    "{\\levelnumbers\\'01;}\\fi-360\\li720}\\listid1}}"
    "{\\*\\listoverridetable{\\listoverride\\listid1\\listoverridecount0\\ls1}}\n"
    "{\\header \\pard\\plain header words\\par}\n"
    "\\trowd\\cellx2000\\cellx4000\\pard\\intbl\\plain\\f3 {\\b celled} {\\i\\cf2 cellgreen}\\cell {\\uldb celline}\\cell\\row\n"
    "\\trowd\\cellx2000\\cellx4000\\pard\\intbl {\\b lowleft}\\cell {\\i lowright}\\cell\\row\n"
    "\\pard\\plain\\f3{\\listtext 1.\\tab}\\ls1 {\\b listed} {\\i\\fs36 item}\\par\n"
    "\\pard{\\pict\\pngblip\\picw1\\pich1 89504e470d0a1a0a0000000d4948445200000001000000010802000000907753de0000000c4944"
    "4154789c63f8cfc0000003010100c9fe92ef0000000049454e44ae426082}{\\i\\cf2 pictured}\\par\n"
    "\\pard\\plain\\rtlch\\af3\\afs24\\dbch\\af7\\loch\\f3\\fs24 plain {\\b bold}{\\*\\bkmkstart mark} {\\i\\cf1 red}"
    "{\\super\\chftn{\\*\\footnote \\pard\\plain {\\super\\chftn} note words}} {\\uldb double} {\\strike gone}"
    "{\\v hidden words} {\\fs36 big} {\\f7 sans}{\\shp{\\*\\shpinst{\\sp{\\sn shapeType}{\\sv 1}}}} {\\highlight3 marked} {\\chcbpat2 shaded} {\\super up} {\\sub down} "
    "{\\up6 raised} {\\caps caps} {\\scaps small} {\\shp{\\*\\shpinst{\\sp{\\sn shapeType}{\\sv 202}}"
    "{\\shptxt {\\b boxed} words\\par\\par two more\\par}}}\\par\n"
    "{\\field{\\*\\fldinst HYPERLINK \"https://example.org/\" }{\\fldrslt {\\ul\\cf1 the link}}} and "
    "{\\rtlch\\ab\\afs32 \\u1513?\\u1500?\\u1493?\\u1501?} {\\f1 a}-D {\\b\\i end} {\\field{\\*\\fldinst PAGE }{\\fldrslt 7}}\\par}";

// Those, each with the text written right before it.
const std::pair<const char*, const char*> kGroups[] = {
    {"{\\*\\generator Lectova;}", "{\\header \\pard\\plain header words\\par}"},
    {"bold", "{\\*\\bkmkstart mark}"},
    {"\\chftn", "{\\*\\footnote \\pard\\plain {\\super\\chftn} note words}"},
    {"gone", "{\\v hidden words}"},
    {"sans", "{\\shp{\\*\\shpinst{\\sp{\\sn shapeType}{\\sv 1}}}}"},
    {"", "{\\shptxt {\\b boxed} words\\par\\par two more\\par}}}"},
    {"", "{\\field{\\*\\fldinst PAGE }{\\fldrslt"},
};

// The file format of the first character of `word` (of its last
// occurrence when `last`).
rtf::CharFormat formatOf(const rtf::Document& doc, const QString& word, bool last = false)
{
    const qsizetype at = last ? doc.text.lastIndexOf(word) : doc.text.indexOf(word);
    EXPECT_GE(at, 0) << word.toStdString();
    for (const rtf::Run& run : doc.runs)
        if (at >= run.start && at < run.start + run.length)
            return doc.formats[std::size_t(run.format)];
    return {};
}

// The words of the text, between spaces, paragraph and cell ends and
// pictures.
QStringList words(const rtf::Document& doc)
{
    return doc.text.split(QRegularExpression(QStringLiteral("[\\s\\x{FDD0}\\x{FDD1}\\x{FFFC}]+")), Qt::SkipEmptyParts);
}

QString fontName(const rtf::Document& doc, int number)
{
    for (const rtf::Kept::Font& f : doc.kept.fonts)
        if (f.number == number)
            return f.name;
    return {};
}

void press(QWidget* w, int key, const QString& text = {}, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QKeyEvent e(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(w, &e);
}

void select(RichTextBox& box, const QString& word, int after = 0)
{
    box.setSelStart(int(box.Text().indexOf(word)) + after);
    box.setSelLength(after ? 0 : int(word.size()));
}

class RtfFileFormatsTest : public ::testing::Test {
protected:
    // The file opened in a control of its own, in a look.
    void SetUp() override
    {
        ASSERT_TRUE(putFile(dir.filePath("in.rtf"), kFile));
        RichTextBox::FontAndColor look;
        look.fontName = QStringLiteral("DejaVu Sans Mono");
        look.fontSize = 15;
        look.color = 0x800000; // dark blue
        look.bold = look.italic = look.underline = look.strikeThru = false;
        control = std::make_unique<RichTextBox>();
        control->LoadFile(dir.filePath("in.rtf"), RichTextBox::rtfRTF, look);
    }

    QByteArray saved()
    {
        control->SaveFile(dir.filePath("out.rtf"), RichTextBox::rtfRTF);
        return fileBytes(dir.filePath("out.rtf"));
    }

    QTemporaryDir dir;
    std::unique_ptr<RichTextBox> control;
};

TEST_F(RtfFileFormatsTest, AFileSavedUnchangedKeepsEveryFormatItsTablesAndItsLink)
{
    RichTextBox& box = *control;
    // It shows in the look, and with what the look leaves alone.
    select(box, "bold");
    EXPECT_EQ(box.SelBold(), std::optional<bool>(false));
    EXPECT_EQ(box.SelFontName(), std::optional<QString>("DejaVu Sans Mono"));
    const auto formatAt = [&](const QString& word) {
        QTextCursor c(box.document());
        c.setPosition(box.toEditor(int(box.Text().indexOf(word)) + 1));
        return c.charFormat();
    };
    EXPECT_EQ(formatAt("the link").anchorHref(), "https://example.org/");
    EXPECT_EQ(formatAt("up").verticalAlignment(), QTextCharFormat::AlignSuperScript);
    EXPECT_EQ(formatAt("down").verticalAlignment(), QTextCharFormat::AlignSubScript);

    const QByteArray bytes = saved();
    const rtf::Document before = rtf::read(kFile);
    const rtf::Document after = rtf::read(bytes);
    ASSERT_EQ(after.text, before.text);
    for (const QString& word : words(before))
        EXPECT_EQ(formatOf(after, word), formatOf(before, word)) << word.toStdString();
    ASSERT_EQ(after.kept.links.size(), 2u);
    EXPECT_EQ(after.kept.links[0].href, "https://example.org/");
    EXPECT_EQ(after.kept.links[1].href, ""); // the page number's field
    EXPECT_EQ(after.kept.links[1].instruction, "PAGE ");
    // The tables are the file's, at their numbers; Hebrew's bold and size
    // are those of the complex scripts; the Symbol letter is its glyph.
    EXPECT_TRUE(bytes.contains("{\\f3\\froman\\fprq2\\fcharset0 DejaVu Serif;}{\\f7\\fswiss\\fcharset0 DejaVu Sans;}"));
    EXPECT_TRUE(bytes.contains("{\\colortbl;\\red255\\green0\\blue0;\\red0\\green128\\blue0;\\red255\\green255\\blue0;"));
    EXPECT_TRUE(bytes.contains("\\rtlch\\ab\\afs32"));
    EXPECT_TRUE(bytes.contains("\\u-3999?")); // U+F061, the Symbol font's "a"
    EXPECT_TRUE(bytes.contains("\\cell") && bytes.contains("\\ls1") && bytes.contains("{\\pict"));
    // What the control does not show stands where it stood, once, and is
    // not read aloud; the note's mark is.
    for (const auto& [before, group] : kGroups) {
        EXPECT_EQ(bytes.count(group), 1) << group;
        EXPECT_TRUE(bytes.contains(QByteArray(before) + group)) << group;
    }
    for (const char* unshown : {"header", "note words", "hidden", "shapeType", "PAGE"})
        EXPECT_FALSE(box.Text().contains(unshown)) << unshown;
    EXPECT_TRUE(box.Text().contains("red1 double"));
    EXPECT_TRUE(box.Text().contains("boxed words\r\n\r\ntwo more"));
}

TEST_F(RtfFileFormatsTest, WhatTheControlDoesNotShowGoesWithTheCharacterItStandsBy)
{
    RichTextBox& box = *control;
    const auto selectMark = [&](int length) {
        box.setSelStart(int(box.Text().indexOf("red1")) + 3 + 1 - length);
        box.setSelLength(length);
    };
    // The note's mark deleted: the note goes with it, and comes back once
    // when the deletion is undone.
    selectMark(1);
    press(&box, Qt::Key_Delete);
    QByteArray bytes = saved();
    EXPECT_FALSE(bytes.contains("note words"));
    EXPECT_EQ(bytes.count("\\chftn"), 0);
    box.undo();
    EXPECT_EQ(saved().count("note words"), 1);
    // Text typed after the mark and a copy of the mark pasted are the
    // user's: no second note, the copy written as the text it shows.
    selectMark(0);
    press(&box, 0, "x");
    select(box, "red1");
    box.copy();
    select(box, "end", 3);
    box.paste();
    bytes = saved();
    EXPECT_TRUE(box.Text().contains("red1x double") && box.Text().contains("endred1"));
    EXPECT_EQ(bytes.count("note words"), 1);
    EXPECT_EQ(bytes.count("\\chftn"), 2); // the mark's and the note's own
    // Text typed or deleted inside a text box's text makes that text the
    // user's, saved as it shows, without the box; undone, the box is back
    // in its place, once.
    for (const int key : {0, int(Qt::Key_Delete)}) {
        select(box, "boxed", 3);
        press(&box, key, key ? QString() : "x");
        bytes = saved();
        EXPECT_TRUE(rtf::read(bytes).text.contains(key ? "boxd words\n\ntwo more" : "boxxed words\n\ntwo more"));
        EXPECT_FALSE(bytes.contains("shptxt"));
        box.undo();
        bytes = saved();
        EXPECT_EQ(bytes.count("boxed"), 1);
        EXPECT_EQ(bytes.count("{\\shptxt {\\b boxed} words\\par\\par two more\\par}"), 1);
    }
}

TEST_F(RtfFileFormatsTest, TheUsersEditsAndFormatsAreSavedAndTheRestAsTheFileHadIt)
{
    const QByteArray unchanged = saved();
    struct Case {
        const char* what;
        std::function<void(RichTextBox&)> act;
        const char* word; // the file's words the user changed, or the user's own text; nullptr: none
        // What the change makes of the word's file format; nullptr: the
        // word is the user's own, the last of its text, saved in the look.
        std::function<void(rtf::CharFormat&)> change;
    };
    const Case cases[] = {
        {"a look of the settings and the reading highlight",
         [&](RichTextBox& b) {
             RichTextBox::FontAndColor other;
             other.fontName = QStringLiteral("DejaVu Serif");
             other.fontSize = 30;
             other.bold = true;
             b.SetFontAndColor(other);
             b.SetAllBackColor(0xFFFFFF);
             select(b, "marked");
             b.SetSelectionBackColor(0x00FFFF);
         },
         nullptr, nullptr},
        {"a word deleted and the deletion undone",
         [](RichTextBox& b) {
             select(b, "red");
             press(&b, Qt::Key_Delete);
             b.undo();
         },
         nullptr, nullptr},
        {"bold given and undone", [](RichTextBox& b) { select(b, "red"), b.setSelBold(true), b.undo(); }, nullptr,
         nullptr},
        {"bold from the Format menu", [](RichTextBox& b) { select(b, "red"), b.setSelBold(true); }, "red",
         [](rtf::CharFormat& f) { f.bold = true, f.complexBold = 1; }},
        {"italic on a column of table cells",
         [](RichTextBox& b) {
             const int from = int(b.Text().indexOf("celline"));
             b.setSelStart(from);
             b.setSelLength(int(b.Text().indexOf("lowright")) + 2 - from);
             b.setSelItalic(true);
         },
         "celline lowright", [](rtf::CharFormat& f) { f.italic = true, f.complexItalic = 1; }},
        {"font and size from the font dialog",
         [](RichTextBox& b) { select(b, "big"), b.setSelFontName("DejaVu Sans"), b.setSelFontSize(20); }, "big",
         [](rtf::CharFormat& f) {
             f.font = f.asianFont = f.complexFont = 7;
             f.halfPoints = f.complexHalfPoints = 40;
         }},
        {"text typed after a bold word",
         [](RichTextBox& b) {
             select(b, "bold", 4);
             for (const QChar c : QStringLiteral("typed"))
                 press(&b, 0, QString(c));
         },
         "typed", nullptr},
        {"two words far apart replaced at once",
         [](RichTextBox& b) {
             b.ReplaceRanges({int(b.Text().indexOf("gone")), int(b.Text().indexOf("caps"))}, 4, "WENT");
         },
         "WENT", nullptr},
        {"a bold word copied and pasted",
         [](RichTextBox& b) {
             select(b, "bold");
             b.copy();
             select(b, "end", 3);
             b.paste();
         },
         "bold", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        c.act(*control);
        const QByteArray bytes = saved();
        // The file's note and bookmark stay, once, whatever was done elsewhere.
        EXPECT_EQ(bytes.count("note words"), 1);
        EXPECT_EQ(bytes.count("{\\*\\bkmkstart mark}"), 1);
        if (!c.word) {
            EXPECT_EQ(bytes, unchanged);
            continue;
        }
        const rtf::Document before = rtf::read(kFile);
        const rtf::Document after = rtf::read(bytes);
        for (const QString& word : words(before)) {
            if (!after.text.contains(word))
                continue; // replaced
            rtf::CharFormat expected = formatOf(before, word);
            if (c.change && QString::fromLatin1(c.word).split(' ').contains(word))
                c.change(expected);
            EXPECT_EQ(formatOf(after, word), expected) << word.toStdString();
        }
        if (!c.change) {
            // As it shows: in the look, not bold like the word it came from.
            const rtf::CharFormat f = formatOf(after, QString::fromLatin1(c.word), true);
            EXPECT_EQ(fontName(after, f.font), "DejaVu Sans Mono");
            EXPECT_EQ(f.halfPoints, 30);
            EXPECT_EQ(f.foreground, qRgb(0, 0, 0x80));
            EXPECT_FALSE(f.bold);
        }
    }
}

} // namespace
