// The document's rich-text control: its CR LF text model, selection, Find,
// selection formats, backgrounds, files and signals.
#include "richtext/RichTextBox.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QKeyEvent>
#include <QMimeData>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>

#include <csignal>
#include <stdexcept>
#include <sys/resource.h>
#include <unistd.h>

namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kYellow = 0x00FFFF;
constexpr std::uint32_t kRed = 0x0000FF;

// Text positions of the LF of every line break.
std::vector<int> lineFeeds(const QString& text)
{
    std::vector<int> out;
    for (int i = 0; i < text.size(); ++i) {
        if (text[i] == u'\n')
            out.push_back(i);
    }
    return out;
}

// Where the control puts a position: the LF of a line break means its CR.
int placed(const QString& text, int p)
{
    return p > 0 && p < text.size() && text[p] == u'\n' ? p - 1 : p;
}

void typeText(QWidget* w, const QString& text)
{
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &press);
    }
}

// The character format's background at a text position.
QBrush formatBackground(RichTextBox& box, int position)
{
    QTextCursor c(box.document());
    c.setPosition(box.toEditor(position));
    c.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor);
    return c.charFormat().background();
}

QString readFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QStringLiteral("<unreadable>");
    return QString::fromUtf8(f.readAll());
}

bool putFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

class RichTextBoxTest : public ::testing::Test {
protected:
    RichTextBox box;
};

// ---------------------------------------------------------------- the text model

TEST_F(RichTextBoxTest, EveryLineBreakIsCrLfWhateverTheInputUsed)
{
    box.setText("one\ntwo\r\nthree\rfour\r\n\r\n\n\rend");
    EXPECT_EQ(box.Text(), "one\r\ntwo\r\nthree\r\nfour\r\n\r\n\r\n\r\nend");
    EXPECT_EQ(box.TextLength(), box.Text().size());
    EXPECT_EQ(box.document()->blockCount(), 8);

    box.setText("ends with a break\r\n");
    EXPECT_EQ(box.Text(), "ends with a break\r\n");
    EXPECT_EQ(box.TextLength(), 19);
    box.setText("");
    EXPECT_EQ(box.Text(), "");
    EXPECT_EQ(box.TextLength(), 0);
    EXPECT_EQ(box.TextRange(0, 5), "");
    EXPECT_TRUE(box.CharAt(0).isNull());
}

TEST_F(RichTextBoxTest, EveryPositionMapsBackAndForth)
{
    const QString text = "ab\r\n\r\ncd\r\n\r\n\r\nef\r\n";
    box.setText(text);
    ASSERT_EQ(box.Text(), text);
    const auto lfs = lineFeeds(text);
    for (int p = 0; p <= text.size(); ++p) {
        SCOPED_TRACE(p);
        box.setSelStart(p);
        EXPECT_EQ(box.SelStart(), placed(text, p));
        EXPECT_EQ(box.SelLength(), 0);
        EXPECT_EQ(box.fromEditor(box.toEditor(p)), placed(text, p));
        if (p < text.size()) {
            EXPECT_EQ(box.CharAt(p), text[p]);
        }
    }
    EXPECT_TRUE(box.CharAt(text.size()).isNull());
    EXPECT_TRUE(box.CharAt(-1).isNull());
    // Editor positions 0..n map onto distinct text positions, none an LF.
    for (int e = 0; e < box.document()->characterCount(); ++e) {
        const int p = box.fromEditor(e);
        EXPECT_EQ(box.toEditor(p), e);
        EXPECT_TRUE(std::find(lfs.begin(), lfs.end(), p) == lfs.end()) << p;
    }
}

TEST_F(RichTextBoxTest, SelectionFromBetweenCrAndLfCountsFromTheEndOfTheLine)
{
    box.setText("abc\r\ndef");
    box.setSelStart(4); // between CR and LF
    EXPECT_EQ(box.SelStart(), 3);
    box.setSelLength(4);
    EXPECT_EQ(box.SelStart(), 3);
    EXPECT_EQ(box.SelLength(), 4);
    EXPECT_EQ(box.SelText(), "\r\nde");
    // A selection ending between CR and LF stops at the end of the line.
    box.setSelStart(1);
    box.setSelLength(3);
    EXPECT_EQ(box.SelText(), "bc");
    EXPECT_EQ(box.SelLength(), 2);
    // Past the end: up to the end. Negative values are refused.
    box.setSelLength(100);
    EXPECT_EQ(box.SelText(), "bc\r\ndef");
    box.setSelLength(-1);
    EXPECT_EQ(box.SelText(), "bc\r\ndef");
    box.setSelStart(-5);
    EXPECT_EQ(box.SelStart(), 1);
    box.setSelStart(1000);
    EXPECT_EQ(box.SelStart(), 8);
}

TEST_F(RichTextBoxTest, SelTextAcrossLineBreaksReadsAndReplaces)
{
    box.setText("first line\r\nsecond line\r\n\r\nfourth");
    const QString text = box.Text();
    box.setSelStart(6);
    box.setSelLength(12);
    EXPECT_EQ(box.SelText(), text.mid(6, 12));
    EXPECT_EQ(box.SelText(), "line\r\nsecond");

    box.setSelText("X\nY\rZ\r\n");
    EXPECT_EQ(box.Text(), "first X\r\nY\r\nZ\r\n line\r\n\r\nfourth");
    EXPECT_EQ(box.SelLength(), 0);
    EXPECT_EQ(box.SelStart(), 15); // after the inserted text
    box.setSelStart(0);
    box.setSelLength(6);
    box.setSelText("");
    EXPECT_EQ(box.Text(), "X\r\nY\r\nZ\r\n line\r\n\r\nfourth");
    // Inserting with nothing selected.
    box.setSelStart(box.TextLength());
    box.setSelText("\r\nlast");
    EXPECT_TRUE(box.Text().endsWith("fourth\r\nlast"));
}

TEST_F(RichTextBoxTest, AccentsAndCharactersOutsideTheBmpKeepPositionsConsistent)
{
    // é precomposed, e + combining accent, emoji (two UTF-16 units), CJK.
    const QString text = QString::fromUtf8("café\r\n😀 naïve e\u0301t\u00e9\r\n\r\n𝄞 music 漢字. end 😀");
    box.setText(text);
    ASSERT_EQ(box.Text(), text);
    ASSERT_EQ(box.TextLength(), text.size());
    const int emoji = int(text.indexOf(QString::fromUtf8("😀")));
    box.setSelStart(emoji);
    box.setSelLength(2);
    EXPECT_EQ(box.SelText(), QString::fromUtf8("😀"));
    for (int start = 0; start <= text.size(); ++start) {
        for (int length = 0; start + length <= text.size(); length += 3) {
            box.setSelStart(start);
            box.setSelLength(length);
            const int s = placed(text, start);
            const int e = placed(text, std::min<int>(text.size(), s + length));
            ASSERT_EQ(box.SelStart(), s) << start << "," << length;
            ASSERT_EQ(box.SelText(), text.mid(s, e - s)) << start << "," << length;
            ASSERT_EQ(box.TextRange(start, length), text.mid(start, length)) << start << "," << length;
        }
    }
}

TEST_F(RichTextBoxTest, SoftLineBreaksAndSpecialSpacesKeepOnePosition)
{
    // A soft line break (Shift+Enter) is VT in the text; a no-break space
    // stays what it is.
    const QString text = QString::fromUtf8("a\u00a0b\vc\r\nd\u2028e");
    box.setText(text);
    EXPECT_EQ(box.Text(), QString::fromUtf8("a\u00a0b\vc\r\nd\ve"));
    EXPECT_EQ(box.document()->blockCount(), 2);
    const QString shown = box.Text();
    for (int p = 0; p < shown.size(); ++p) {
        EXPECT_EQ(box.CharAt(p), shown[p]) << p;
        EXPECT_EQ(box.TextRange(p, 3), shown.mid(p, 3)) << p;
    }
    box.setSelStart(0);
    box.setSelLength(4);
    box.setSelText("x\vy");
    EXPECT_EQ(box.Text(), QString::fromUtf8("x\vyc\r\nd\ve"));
}

TEST_F(RichTextBoxTest, TextRangeEqualsTheSameRangeOfTextForRandomRanges)
{
    QRandomGenerator random(20240611);
    for (int round = 0; round < 20; ++round) {
        QString source;
        const int lines = 1 + int(random.bounded(40));
        for (int l = 0; l < lines; ++l) {
            const int len = int(random.bounded(0, 30));
            for (int i = 0; i < len; ++i)
                source += QChar(u'a' + random.bounded(26));
            static const char* const breaks[] = {"\r\n", "\n", "\r"};
            if (l + 1 < lines || random.bounded(2))
                source += QString::fromLatin1(breaks[random.bounded(3)]);
        }
        box.setText(source);
        const QString text = box.Text();
        ASSERT_EQ(box.TextLength(), text.size());
        for (int i = 0; i < 200; ++i) {
            const int start = int(random.bounded(-5, int(text.size()) + 5));
            const int length = int(random.bounded(-3, int(text.size()) + 10));
            const int from = std::max(start, 0);
            const QString expected = length <= 0 || from >= text.size()
                                         ? QString()
                                         : text.mid(from, std::min<qsizetype>(length, text.size() - from));
            ASSERT_EQ(box.TextRange(start, length), expected) << start << "," << length << " in round " << round;
        }
    }
}

TEST_F(RichTextBoxTest, GetLineFromCharCountsLineBreaks)
{
    box.setText("zero\r\none\r\n\r\nthree");
    const QString text = box.Text();
    // The CR and LF of a break belong to the line they end.
    for (int p = 0; p <= text.size(); ++p)
        EXPECT_EQ(box.GetLineFromChar(p), int(text.left(p).count(u'\n'))) << p;
    EXPECT_EQ(box.GetLineFromChar(5), 0); // the LF of the first break
    EXPECT_EQ(box.GetLineFromChar(1000), 3);
    EXPECT_EQ(box.GetLineFromChar(-3), 0);
}

// ---------------------------------------------------------------- Find

TEST_F(RichTextBoxTest, FindHonoursCaseWholeWordsRangeAndHighlight)
{
    box.setText("The cat sat.\r\nA Category: CAT\r\nconcat cat");
    const QString text = box.Text();

    EXPECT_EQ(box.Find("cat"), text.indexOf("cat"));
    EXPECT_EQ(box.SelStart(), text.indexOf("cat"));
    EXPECT_EQ(box.SelText(), "cat");

    EXPECT_EQ(box.Find("CAT", 5), text.indexOf("Cat")); // case ignored by default
    EXPECT_EQ(box.Find("CAT", 5, -1, RichTextBox::rtfMatchCase), text.indexOf("CAT"));
    EXPECT_EQ(box.Find("cat", 5, -1, RichTextBox::rtfWholeWord), text.indexOf("CAT"));
    EXPECT_EQ(box.Find("cat", 5, -1, RichTextBox::rtfWholeWord + RichTextBox::rtfMatchCase),
              text.lastIndexOf("cat"));
    // The match must end by `end`.
    const int cat2 = int(text.indexOf("Cat"));
    EXPECT_EQ(box.Find("category", 0, cat2 + 7), -1);
    EXPECT_EQ(box.Find("category", 0, cat2 + 8), cat2);
    // Across a line break.
    EXPECT_EQ(box.Find("sat.\r\na"), text.indexOf("sat."));

    box.setSelStart(2);
    EXPECT_EQ(box.Find("concat", 0, -1, RichTextBox::rtfNoHighlight), text.indexOf("concat"));
    EXPECT_EQ(box.SelStart(), 2);
    EXPECT_EQ(box.SelLength(), 0);
    EXPECT_EQ(box.Find("dog"), -1);
    EXPECT_EQ(box.Find(""), -1);
    EXPECT_EQ(box.Find("cat", 1000), -1);
    EXPECT_EQ(box.SelStart(), 2); // nothing found, nothing moved
}

// ---------------------------------------------------------------- selection formats

TEST_F(RichTextBoxTest, SelFormatsApplyToTheSelectionAndAreEmptyWhenMixed)
{
    box.setText("plain bold plain\r\nsecond line");
    box.setSelStart(6);
    box.setSelLength(4);
    box.setSelBold(true);
    box.setSelItalic(true);
    box.setSelUnderline(true);
    box.setSelStrikeThru(true);
    box.setSelFontName("Courier New");
    box.setSelFontSize(20);
    box.setSelColor(kRed);
    EXPECT_EQ(box.SelBold(), true);
    EXPECT_EQ(box.SelItalic(), true);
    EXPECT_EQ(box.SelUnderline(), true);
    EXPECT_EQ(box.SelStrikeThru(), true);
    EXPECT_EQ(box.SelFontName(), "Courier New");
    EXPECT_EQ(box.SelFontSize(), 20.0);
    EXPECT_EQ(box.SelColor(), kRed);

    // One character more on either side: mixed.
    for (const auto& [start, length] : {std::pair{5, 5}, std::pair{6, 5}, std::pair{0, 30}}) {
        box.setSelStart(start);
        box.setSelLength(length);
        EXPECT_FALSE(box.SelBold()) << start;
        EXPECT_FALSE(box.SelItalic()) << start;
        EXPECT_FALSE(box.SelUnderline()) << start;
        EXPECT_FALSE(box.SelStrikeThru()) << start;
        EXPECT_FALSE(box.SelFontName()) << start;
        EXPECT_FALSE(box.SelFontSize()) << start;
        EXPECT_FALSE(box.SelColor()) << start;
    }
    // Plain text on two lines: one value, the control's own.
    box.setSelStart(11);
    box.setSelLength(15);
    EXPECT_EQ(box.SelBold(), false);
    EXPECT_EQ(box.SelColor(), RichTextBox::toColorref(box.palette().color(QPalette::Text)));
    EXPECT_EQ(box.SelFontName(), box.document()->defaultFont().family());

    // Sizes the control cannot show are refused.
    box.setSelFontSize(-3);
    box.setSelFontSize(0);
    EXPECT_EQ(box.SelFontSize(), box.document()->defaultFont().pointSizeF());

    // Setting what the selection has already is no step to undo.
    box.setSelStart(6);
    box.setSelLength(4);
    const int steps = box.document()->availableUndoSteps();
    box.setSelBold(true);
    box.setSelFontName("Courier New");
    box.setSelFontSize(20);
    box.setSelColor(kRed);
    EXPECT_EQ(box.document()->availableUndoSteps(), steps);
    box.setSelBold(false);
    EXPECT_EQ(box.SelBold(), false);
    EXPECT_GT(box.document()->availableUndoSteps(), steps);
}

TEST_F(RichTextBoxTest, FormatSetAtTheCaretGoesToTheTextInsertedThere)
{
    // The spell-out markup: colour, insert, colour back, insert.
    box.setText("word");
    box.setSelStart(4);
    const auto before = box.SelColor();
    ASSERT_TRUE(before);
    box.setSelColor(0x132095);
    box.setSelText("<spell>");
    box.setSelColor(*before);
    box.setSelText("w o r d");
    EXPECT_EQ(box.Text(), "word<spell>w o r d");
    box.setSelStart(4);
    box.setSelLength(7);
    EXPECT_EQ(box.SelColor(), 0x132095u);
    box.setSelStart(11);
    box.setSelLength(7);
    EXPECT_EQ(box.SelColor(), *before);
    // With nothing selected, the getters read the caret's format.
    box.setSelStart(6);
    EXPECT_EQ(box.SelColor(), 0x132095u);
}

// ---------------------------------------------------------------- backgrounds

TEST_F(RichTextBoxTest, PaintedSentenceShowsUntilClearedAndFollowsEdits)
{
    box.setText("One sentence. Two sentence.\r\nThree.");
    box.setSelStart(14);
    box.setSelLength(13);
    box.SetSelectionBackColor(kYellow);
    for (int p = 0; p < box.TextLength(); ++p)
        EXPECT_EQ(box.BackColorAt(p), p >= 14 && p < 27 ? kYellow : kWhite) << p;

    // Text typed before it moves it along.
    box.setSelStart(0);
    box.setSelText(">> ");
    EXPECT_EQ(box.BackColorAt(16), kWhite);
    EXPECT_EQ(box.BackColorAt(17), kYellow);
    EXPECT_EQ(box.BackColorAt(29), kYellow);
    EXPECT_EQ(box.BackColorAt(30), kWhite);

    box.SetAllBackColor(kWhite);
    for (int p = 0; p < box.TextLength(); ++p)
        EXPECT_EQ(box.BackColorAt(p), kWhite) << p;
    // Other highlights are kept apart from the painted sentence.
    QTextEdit::ExtraSelection other;
    other.cursor = QTextCursor(box.document());
    other.cursor.setPosition(1);
    other.cursor.setPosition(2, QTextCursor::KeepAnchor);
    box.setExtraSelections({other});
    box.setSelStart(3);
    box.setSelLength(3);
    box.SetSelectionBackColor(kYellow);
    box.SetAllBackColor(kWhite);
    EXPECT_EQ(box.extraSelections().size(), 1);
    EXPECT_EQ(box.QTextEdit::extraSelections().size(), 1);
}

TEST_F(RichTextBoxTest, ClearingWhitensBackgroundsThatLoadedOrPastedTextBrought)
{
    box.setText("Loaded text with a marked word.\r\nNext line.");
    // A background the file brought (as an RTF reader would set it).
    QTextCursor marked(box.document());
    marked.setPosition(19);
    marked.setPosition(25, QTextCursor::KeepAnchor);
    QTextCharFormat red;
    red.setBackground(RichTextBox::toQColor(kRed));
    marked.mergeCharFormat(red);
    box.SetAllBackColor(kWhite);
    box.SetSelectionBackColor(kYellow); // nothing selected: typed text only

    // A paste with its own background, at the end and at the start.
    auto* mime = new QMimeData;
    mime->setHtml("<span style=\"background-color:#00ff00\">pasted</span>");
    QApplication::clipboard()->setMimeData(mime);
    box.setSelStart(box.TextLength());
    box.paste();
    box.setSelStart(0);
    box.paste();
    const QString text = box.Text();
    ASSERT_TRUE(text.startsWith("pasted")) << text.toStdString();
    ASSERT_TRUE(text.endsWith("pasted")) << text.toStdString();
    EXPECT_NE(box.BackColorAt(0), kWhite);

    box.SetAllBackColor(kWhite);
    for (int p = 0; p < box.TextLength(); ++p) {
        EXPECT_EQ(box.BackColorAt(p), kWhite) << p;
        const QBrush b = formatBackground(box, p);
        EXPECT_TRUE(b.style() == Qt::NoBrush || b.color() == Qt::white) << p;
    }
    EXPECT_EQ(formatBackground(box, 0).color(), Qt::white);
    EXPECT_EQ(formatBackground(box, int(text.indexOf("marked"))).color(), Qt::white);
}

TEST_F(RichTextBoxTest, ClearingOnAColouredControlPaintsEveryCharacter)
{
    const std::uint32_t blue = 0xFF8000;
    box.setBackColor(blue);
    EXPECT_EQ(box.BackColor(), blue);
    box.setText("some text\r\nmore");
    EXPECT_EQ(box.BackColorAt(2), blue);
    box.SetAllBackColor(kWhite);
    for (int p = 0; p < box.TextLength(); ++p)
        EXPECT_EQ(box.BackColorAt(p), kWhite) << p;
    EXPECT_EQ(box.BackColor(), blue);
    // Typed text after the clearing shows white as well.
    box.setSelStart(4);
    typeText(&box, "XY");
    EXPECT_EQ(box.Text(), "someXY text\r\nmore");
    EXPECT_EQ(box.BackColorAt(4), kWhite);
}

TEST_F(RichTextBoxTest, TextTypedAfterPaintingTheCaretTakesTheColourUntilCleared)
{
    box.setText("ab");
    box.SetAllBackColor(kWhite);
    box.setSelStart(1);
    box.SetSelectionBackColor(kYellow);
    typeText(&box, "XY");
    EXPECT_EQ(box.Text(), "aXYb");
    EXPECT_EQ(box.BackColorAt(0), kWhite);
    EXPECT_EQ(box.BackColorAt(1), kYellow);
    EXPECT_EQ(box.BackColorAt(2), kYellow);
    EXPECT_EQ(box.BackColorAt(3), kWhite);
    box.SetAllBackColor(kWhite);
    for (int p = 0; p < 4; ++p)
        EXPECT_EQ(box.BackColorAt(p), kWhite) << p;
}

// What is painted is what is drawn.
TEST_F(RichTextBoxTest, ThePaintedSentenceIsDrawnAndClearingRemovesIt)
{
    box.resize(300, 120);
    box.show();
    box.setText("Sentence one is here. Sentence two.");
    const auto yellowPixels = [&] {
        const QImage image = box.viewport()->grab().toImage();
        int count = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x)
                count += QColor(image.pixel(x, y)) == QColor(255, 255, 0);
        }
        return count;
    };
    box.setSelStart(0);
    box.setSelLength(21);
    box.SetSelectionBackColor(kYellow);
    box.setSelStart(30); // the selection's own colour would hide it
    EXPECT_GT(yellowPixels(), 100);
    box.SetAllBackColor(kWhite);
    EXPECT_EQ(yellowPixels(), 0);
}

TEST_F(RichTextBoxTest, PaintingIsNoEditAndAddsNoUndoStep)
{
    int changes = 0;
    QObject::connect(&box, &RichTextBox::Change, [&] { ++changes; });
    box.setText("Alpha beta. Gamma delta.\r\nEpsilon.");
    EXPECT_EQ(changes, 1); // exactly one for the whole new text
    changes = 0;

    const auto readSome = [&] {
        for (int i = 0; i < 3; ++i) {
            box.SetAllBackColor(kWhite);
            box.setSelStart(i * 6);
            box.setSelLength(10);
            box.SetSelectionBackColor(kYellow);
        }
        box.SetAllBackColor(kWhite);
    };
    readSome();
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(box.document()->availableUndoSteps(), 0);
    EXPECT_FALSE(box.document()->isUndoAvailable());

    // With edits to undo: the steps stay as they were.
    box.setSelStart(5);
    typeText(&box, "xyz");
    box.setSelStart(0);
    box.setSelText("Start. ");
    EXPECT_GT(changes, 0);
    changes = 0;
    const int steps = box.document()->availableUndoSteps();
    readSome();
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(box.document()->availableUndoSteps(), steps);
    box.undo();
    EXPECT_EQ(box.Text(), "Alphaxyz beta. Gamma delta.\r\nEpsilon.");
    box.undo();
    EXPECT_EQ(box.Text(), "Alpha beta. Gamma delta.\r\nEpsilon.");

    // Format setters are no text change either; typing is.
    box.setSelStart(0);
    box.setSelLength(5);
    box.setSelBold(true);
    EXPECT_EQ(changes, 2); // the two undos
    typeText(&box, "Q");
    EXPECT_EQ(changes, 3);
}

TEST_F(RichTextBoxTest, ColouredPasteIsUndoneWithItsClearing)
{
    box.setText("base text");
    box.setSelStart(4);
    auto* mime = new QMimeData;
    mime->setHtml("<span style=\"background-color:#ff0000\">RED</span>");
    QApplication::clipboard()->setMimeData(mime);
    box.paste();
    ASSERT_EQ(box.Text(), "baseRED text");
    int changes = 0;
    QObject::connect(&box, &RichTextBox::Change, [&] { ++changes; });
    box.SetAllBackColor(kWhite);
    EXPECT_EQ(box.BackColorAt(5), kWhite);
    EXPECT_EQ(formatBackground(box, 5).color(), Qt::white);
    EXPECT_EQ(changes, 0);
    box.undo();
    EXPECT_EQ(box.Text(), "base text");
    EXPECT_FALSE(box.document()->isUndoAvailable());
}

TEST_F(RichTextBoxTest, ANarrowControlWrapsItsLinesNoNarrowerThanItsLeast)
{
    box.setText(QString("A line of text that wraps when the control is narrow. ").repeated(50));
    box.resize(600, 300);
    box.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(box.lineWrapMode(), QTextEdit::WidgetWidth);
    box.resize(52, 300); // a window restored to a sliver
    QCoreApplication::processEvents();
    EXPECT_GE(box.document()->textWidth(), RichTextBox::kNarrowestWrap);
    EXPECT_EQ(box.lineWrapMode(), QTextEdit::FixedPixelWidth);
    box.resize(700, 300);
    QCoreApplication::processEvents();
    EXPECT_EQ(box.lineWrapMode(), QTextEdit::WidgetWidth);
    EXPECT_LT(box.document()->textWidth(), 700);
}

TEST_F(RichTextBoxTest, SelectionChangesAreSignalledOncePerMove)
{
    box.setText("some text here");
    int moves = 0;
    QObject::connect(&box, &RichTextBox::SelChange, [&] { ++moves; });
    box.setSelStart(3);
    EXPECT_EQ(moves, 1);
    box.setSelLength(4);
    EXPECT_EQ(moves, 2);
    box.setSelLength(4);
    EXPECT_EQ(moves, 2);
}

TEST_F(RichTextBoxTest, SelectionKeepsItsColoursWithoutTheFocus)
{
    auto sameColours = [&] {
        const QPalette p = box.palette();
        return p.color(QPalette::Inactive, QPalette::Highlight) == p.color(QPalette::Active, QPalette::Highlight)
               && p.color(QPalette::Inactive, QPalette::HighlightedText)
                      == p.color(QPalette::Active, QPalette::HighlightedText);
    };
    EXPECT_TRUE(sameColours());
    QPalette p = box.palette();
    p.setColor(QPalette::Active, QPalette::Highlight, Qt::darkGreen);
    p.setColor(QPalette::Inactive, QPalette::Highlight, Qt::lightGray);
    box.setPalette(p);
    EXPECT_TRUE(sameColours());
    EXPECT_EQ(box.palette().color(QPalette::Inactive, QPalette::Highlight), QColor(Qt::darkGreen));
}

TEST(RichTextBoxColours, ColorrefHasRedInTheLowByte)
{
    EXPECT_EQ(RichTextBox::toQColor(0x00FFFF), QColor(255, 255, 0));
    EXPECT_EQ(RichTextBox::toQColor(0x132095), QColor(149, 32, 19));
    EXPECT_EQ(RichTextBox::toColorref(QColor(149, 32, 19)), 0x132095u);
    EXPECT_EQ(RichTextBox::toColorref(QColor(Qt::white)), 0xFFFFFFu);
    EXPECT_EQ(RichTextBox::toColorref(QColor()), 0u);
    // A system colour: the window background.
    EXPECT_EQ(RichTextBox::toQColor(0x80000005), QApplication::palette().color(QPalette::Base));
}

// ---------------------------------------------------------------- files

class RichTextBoxFileTest : public RichTextBoxTest {
protected:
    QString path(const QString& name) const { return dir.path() + "/" + name; }
    QTemporaryDir dir;
};

TEST_F(RichTextBoxFileTest, PlainTextRoundTripsAsUtf8WithTheLineEndsItWasOpenedWith)
{
    // A text that was never opened from a text file is written with LF.
    const QString text = QString::fromUtf8("Ünïcödé line\r\n😀 second\r\n\r\nlast");
    box.setText(text);
    const QString file = path("saved.txt");
    box.SaveFile(file, RichTextBox::rtfText);
    EXPECT_EQ(readFile(file), QString(text).replace("\r\n", "\n"));

    // A text file keeps its own line ends, whatever is edited in between.
    for (const QByteArray lineEnd : {"\r\n", "\n", "\r"}) {
        const QByteArray bytes = "first" + lineEnd + "second" + lineEnd + lineEnd + QString::fromUtf8("😀 last").toUtf8();
        ASSERT_TRUE(putFile(file, bytes));
        RichTextBox other;
        int changes = 0;
        QObject::connect(&other, &RichTextBox::Change, [&] { ++changes; });
        other.LoadFile(file, RichTextBox::rtfText);
        EXPECT_EQ(other.Text(), QString::fromUtf8("first\r\nsecond\r\n\r\n😀 last"));
        EXPECT_EQ(changes, 1);
        EXPECT_EQ(other.SelStart(), 0);
        other.setSelStart(other.TextLength());
        other.setSelText("\r\nadded");
        other.SaveFile(file, RichTextBox::rtfText);
        EXPECT_EQ(readFile(file), QString::fromUtf8(bytes + lineEnd + "added")) << lineEnd.toStdString();
    }
}

TEST_F(RichTextBoxFileTest, LoadsOtherLineBreaksAndEncodings)
{
    ASSERT_TRUE(putFile(path("lf.txt"), "one\ntwo\n"));
    box.LoadFile(path("lf.txt"), RichTextBox::rtfText);
    EXPECT_EQ(box.Text(), "one\r\ntwo\r\n");

    ASSERT_TRUE(putFile(path("bom.txt"), "\xEF\xBB\xBF" "caf\xC3\xA9"));
    box.LoadFile(path("bom.txt"), RichTextBox::rtfText);
    EXPECT_EQ(box.Text(), QString::fromUtf8("café"));

    QByteArray utf16("\xFF\xFE", 2);
    const QString wide = QString::fromUtf8("wide ü\r\n");
    utf16.append(reinterpret_cast<const char*>(wide.utf16()), wide.size() * 2);
    ASSERT_TRUE(putFile(path("utf16.txt"), utf16));
    box.LoadFile(path("utf16.txt"), RichTextBox::rtfText);
    EXPECT_EQ(box.Text(), wide);

    // Not UTF-8: read as the Windows code page, nothing dropped.
    ASSERT_TRUE(putFile(path("ansi.txt"), "caf\xE9 na\xEFve"));
    box.LoadFile(path("ansi.txt"), RichTextBox::rtfText);
    EXPECT_EQ(box.Text(), QString::fromUtf8("café naïve"));
}

TEST_F(RichTextBoxFileTest, LoadFileLaysALookOverEveryCharacterAsItGoesIn)
{
    RichTextBox::FontAndColor look;
    look.fontName = "DejaVu Serif";
    look.fontSize = 15;
    look.color = 0x000080; // dark red
    ASSERT_TRUE(putFile(path("look.rtf"), "{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1 Courier New;}}"
                                          "{\\colortbl;\\red0\\green0\\blue255;\\red255\\green255\\blue0;}"
                                          "\\f0\\fs20 plain {\\b bold} {\\f1\\cf1 blue} {\\highlight2 marked}\\par\\par end}"));
    ASSERT_TRUE(putFile(path("look.txt"), "first line\nsecond\n\nlast"));
    ASSERT_TRUE(putFile(path("empty.txt"), ""));
    for (const auto& [file, type] : {std::pair{"look.rtf", RichTextBox::rtfRTF}, std::pair{"look.txt", RichTextBox::rtfText},
                                     std::pair{"empty.txt", RichTextBox::rtfText}}) {
        RichTextBox other;
        other.setText("old text");
        other.setSelStart(3);
        other.setSelLength(2);
        int changes = 0, selections = 0;
        QObject::connect(&other, &RichTextBox::Change, [&] { ++changes; });
        QObject::connect(&other, &QTextEdit::selectionChanged, [&] { selections += other.textCursor().hasSelection(); });
        other.LoadFile(path(file), type, look);
        EXPECT_EQ(changes, 1) << file;
        EXPECT_EQ(selections, 0) << file << ": nothing is selected for it";
        EXPECT_EQ(other.SelStart(), 0) << file;
        EXPECT_EQ(other.SelLength(), 0) << file;
        EXPECT_EQ(other.document()->availableUndoSteps(), 0) << file;
        // Every character, and what is typed next.
        other.setSelLength(other.TextLength());
        EXPECT_EQ(other.SelFontName(), std::optional<QString>("DejaVu Serif")) << file;
        EXPECT_EQ(other.SelFontSize(), std::optional<double>(15)) << file;
        EXPECT_EQ(other.SelColor(), std::optional<std::uint32_t>(0x000080)) << file;
        other.setSelStart(other.TextLength());
        other.insertPlainText("typed");
        other.setSelStart(other.TextLength() - 5);
        other.setSelLength(5);
        EXPECT_EQ(other.SelFontName(), std::optional<QString>("DejaVu Serif")) << file;
        EXPECT_EQ(other.SelColor(), std::optional<std::uint32_t>(0x000080)) << file;
        // The whole text is built again after an edit and its undo.
        EXPECT_TRUE(other.Text().endsWith("typed")) << file;
        other.undo();
        EXPECT_FALSE(other.Text().endsWith("typed")) << file;
    }
    // An RTF file keeps what the look leaves alone: its bold and its marks.
    RichTextBox rtf;
    rtf.LoadFile(path("look.rtf"), RichTextBox::rtfRTF, look);
    EXPECT_EQ(rtf.Text(), "plain bold blue marked\r\n\r\nend");
    rtf.setSelStart(6);
    rtf.setSelLength(4);
    EXPECT_EQ(rtf.SelBold(), std::optional<bool>(true));
    EXPECT_EQ(formatBackground(rtf, 18).color(), QColor(255, 255, 0));
    EXPECT_EQ(formatBackground(rtf, 2).style(), Qt::NoBrush);
}

TEST_F(RichTextBoxTest, SetFontAndColorGivesTheWholeTextALookWithoutAnEdit)
{
    box.setText("one\r\ntwo three");
    box.setSelStart(5);
    int changes = 0, selections = 0;
    QObject::connect(&box, &RichTextBox::Change, [&] { ++changes; });
    QObject::connect(&box, &QTextEdit::selectionChanged, [&] { selections += box.textCursor().hasSelection(); });
    RichTextBox::FontAndColor look;
    look.fontName = "DejaVu Serif";
    look.bold = true;
    look.fontSize = 5000; // the largest the control shows
    box.SetFontAndColor(look);
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(selections, 0);
    EXPECT_EQ(box.SelStart(), 5);
    typeText(box.viewport(), "x");
    box.setSelStart(0);
    box.setSelLength(box.TextLength());
    EXPECT_EQ(box.SelFontName(), std::optional<QString>("DejaVu Serif"));
    EXPECT_EQ(box.SelBold(), std::optional<bool>(true));
    EXPECT_EQ(box.SelFontSize(), std::optional<double>(1638));
}

TEST_F(RichTextBoxFileTest, FailuresSayWhyAndLeaveTheTextAlone)
{
    box.setText("kept");
    const auto message = [&](auto&& step) -> std::string {
        try {
            step();
        } catch (const std::runtime_error& e) {
            return e.what();
        }
        return "no error";
    };
    ASSERT_TRUE(putFile(path("plain.txt"), "x"));

    EXPECT_NE(message([&] { box.LoadFile(path("missing.txt")); }).find("does not exist"), std::string::npos);
    EXPECT_NE(message([&] { box.LoadFile(path("no/such/folder/a.txt")); }).find("folder"), std::string::npos);
    EXPECT_NE(message([&] { box.LoadFile(dir.path()); }).find("is a folder"), std::string::npos);
    EXPECT_NE(message([&] { box.LoadFile(""); }).find("No file name"), std::string::npos);
    EXPECT_EQ(box.Text(), "kept");

    EXPECT_NE(message([&] { box.SaveFile(path("no/such/folder/a.txt")); }).find("does not exist"),
              std::string::npos);
    // A "folder" that is a file: nothing can be written under it.
    EXPECT_NE(message([&] { box.SaveFile(path("plain.txt/a.txt")); }).find("does not exist"), std::string::npos);
    EXPECT_NE(message([&] { box.SaveFile(dir.path()); }).find("is a folder"), std::string::npos);
    EXPECT_EQ(readFile(path("plain.txt")), "x");

    if (geteuid() != 0) {
        // Folders without write permission stop ordinary users (not root).
        QDir(dir.path()).mkdir("locked");
        QFile::setPermissions(path("locked"), QFile::ReadOwner | QFile::ExeOwner);
        EXPECT_NE(message([&] { box.SaveFile(path("locked/a.txt")); }).find("cannot be written"), std::string::npos);
        QFile::setPermissions(path("locked"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        // An unreadable file.
        QFile::setPermissions(path("plain.txt"), QFile::WriteOwner);
        EXPECT_NE(message([&] { box.LoadFile(path("plain.txt")); }).find("cannot be read"), std::string::npos);
        QFile::setPermissions(path("plain.txt"), QFile::ReadOwner | QFile::WriteOwner);
    }
}

TEST_F(RichTextBoxFileTest, AFailedSaveLeavesTheOldFileWhole)
{
    const QString file = path("story.txt");
    ASSERT_TRUE(putFile(file, "the old story"));
    // The file-size limit makes writing fail part way, as a full disk
    // would, also for root.
    struct rlimit old {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 64 * 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);

    box.setText(QString(200 * 1024, QChar(u'n')));
    std::string error;
    try {
        box.SaveFile(file, RichTextBox::rtfText);
    } catch (const std::runtime_error& e) {
        error = e.what();
    }
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_NE(error.find("could not be written"), std::string::npos) << error;
    EXPECT_EQ(readFile(file), "the old story");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"story.txt"}); // no leftovers

    box.setText("the new story");
    box.SaveFile(file, RichTextBox::rtfText);
    EXPECT_EQ(readFile(file), "the new story");
}

} // namespace
