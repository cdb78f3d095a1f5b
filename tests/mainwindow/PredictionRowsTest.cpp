// The document window's word-prediction rows, shown and supplied with words
// by the test, the fragments before the caret and the typing-echo boxes.
#include "DocumentWindowFixture.h"

#include "support/MouseClicks.h"

#include <QCheckBox>

#include <functional>

namespace {

const QStringList kTen = {"one", "two", "three", "four", "five", "six", "seven", "eight", "nine", "ten"};

class PredictionRowsTest : public DocumentWindowTest {
protected:
    void SetUp() override
    {
        DocumentWindowTest::SetUp();
        resetPrediction();
    }
    void TearDown() override
    {
        resetPrediction();
        DocumentWindowTest::TearDown();
    }
    static void resetPrediction()
    {
        predictionState.PredictionList1.clear();
        predictionState.PredictionList2.clear();
        predictionState.PredictionIndex1.clear();
        predictionState.PredictionIndex2.clear();
        predictionState.TypedFragment.clear();
        predictionState.PredictionPage = 0;
    }

    // A document window on the screen with its prediction panel shown.
    frmDocument* shownPanel()
    {
        frmDocument* d = newDocument();
        d->resize(900, 640);
        d->show();
        d->list1->show();
        d->list1->raise();
        d->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(d));
        return d;
    }

    static QStringList captions(const frmDocument* d)
    {
        QStringList out;
        for (const QLabel* row : d->Label1)
            out << row->text();
        return out;
    }
    // The row in the selected colour; -1 when none is, -2 when several are.
    static int selectedRow(const frmDocument* d)
    {
        int found = -1;
        for (int i = 0; i < 10; ++i) {
            const std::uint32_t c = RichTextBox::toColorref(d->Label1[i]->palette().color(QPalette::Window));
            if (c == kPredictionSelectedColor)
                found = found == -1 ? i : -2;
            else if (c != kPredictionRowColor)
                return -3;
        }
        return found;
    }
    static QStringList padded(QStringList words)
    {
        while (words.size() < 10)
            words << QString();
        return words;
    }
    // A sorted list of the words with one letter's index entry covering them.
    static void supply(PredictionWordList& list, PredictionLetterIndex& index, const QString& stem, int n)
    {
        for (int i = 1; i <= n; ++i)
            list.append(PredictionWord::make(stem + QString::number(i).rightJustified(2, u'0')));
        index = PredictionLetterIndex(26, LetterRange{1, 0});
        index[stem.at(0).unicode() - u'a'] = {0, static_cast<std::int32_t>(n - 1)};
    }
    static QString words(const QString& stem, int from, int to)
    {
        QStringList out;
        for (int i = from; i <= to; ++i)
            out << stem + QString::number(i).rightJustified(2, u'0');
        return out.join(u' ');
    }
};

TEST_F(PredictionRowsTest, RowsShowUpToTenWordsAndSelectTheFirst)
{
    frmDocument* d = newDocument();
    EXPECT_EQ(selectedRow(d), -1);
    const struct {
        QString words;
        QStringList rows;
    } cases[] = {
        {"alpha beta", padded({"alpha", "beta"})},
        {"1 2 3 4 5 6 7 8 9 10 11 12", padded({"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"})},
        {"a  b", padded({"a", "", "b"})},
        {"", padded({})},
    };
    for (const auto& c : cases) {
        d->Label1_Click(4);
        d->AddTotalList(c.words);
        EXPECT_EQ(captions(d), c.rows) << c.words.toStdString();
        EXPECT_EQ(selectedRow(d), 0) << c.words.toStdString();
    }
}

TEST_F(PredictionRowsTest, ArrowKeysStepThroughTheRows)
{
    // As in the program: no word lists, so there is no other page.
    frmDocument* d = newDocument();
    d->AddTotalList(kTen.join(u' '));
    const struct {
        int from;
        std::int16_t key;
        int to;
    } cases[] = {
        {0, 40, 1}, {8, 40, 9}, {9, 40, 0}, // an empty next page keeps the rows
        {5, 38, 4}, {1, 38, 0}, {0, 38, 9}, // the first page wraps to its last row
        {3, 65, 3},
    };
    for (const auto& c : cases) {
        d->Label1_Click(c.from);
        d->PicKeydown(c.key);
        EXPECT_EQ(selectedRow(d), c.to) << c.from << " key " << c.key;
        EXPECT_EQ(captions(d), kTen);
        EXPECT_EQ(predictionState.PredictionPage, 0);
    }
}

TEST_F(PredictionRowsTest, NumberKeysInsertTheRowsWord)
{
    frmDocument* d = newDocument();
    d->AddTotalList(kTen.join(u' '));
    const struct {
        std::int16_t key;
        const char* fragment;
        const char* text;
        int caret;
        const char* after;
        int caretAfter;
    } cases[] = {
        {49, "", "ab", 1, "aoneb", 4},
        {48, "", "ab", 1, "atenb", 4},
        {53, "", "ab", 2, "abfive", 6},
        {48, "te", "xte y", 3, "xten y", 4}, // the typed beginning is replaced
        {49, "long", "ab", 1, "ab", 1},     // longer than the text before the caret
    };
    for (const auto& c : cases) {
        predictionState.TypedFragment = c.fragment;
        d->rtfText->setText(c.text);
        d->rtfText->setSelStart(c.caret);
        try {
            d->PicKeydown(c.key);
        } catch (const std::exception&) {
        }
        EXPECT_EQ(d->rtfText->Text(), c.after) << c.key << " " << c.text;
        EXPECT_EQ(d->rtfText->SelStart(), c.caretAfter) << c.key << " " << c.text;
        EXPECT_EQ(d->rtfText->SelLength(), 0);
    }
}

TEST_F(PredictionRowsTest, RowsAnswerTheMouse)
{
    frmDocument* d = shownPanel();
    d->AddTotalList(kTen.join(u' '));
    d->rtfText->setText("ab");
    d->rtfText->setSelStart(1);

    mouse::click(d->Label1[4]);
    EXPECT_EQ(selectedRow(d), 4);
    mouse::click(d->Label1[0]);
    EXPECT_EQ(selectedRow(d), 0);
    EXPECT_EQ(d->rtfText->Text(), "ab");

    mouse::doubleClick(d->Label1[9]);
    EXPECT_EQ(d->rtfText->Text(), "atenb");
    EXPECT_TRUE(d->list1->isHidden());

    d->list1->show();
    mouse::doubleClick(d->Label1[2]);
    EXPECT_EQ(d->rtfText->Text(), "atenthreeb");
}

TEST_F(PredictionRowsTest, PagingWalksBothListsWithTheirOwnSkips)
{
    supply(predictionState.PredictionList1, predictionState.PredictionIndex1, "w", 13);
    supply(predictionState.PredictionList2, predictionState.PredictionIndex2, "wb", 40);
    predictionState.TypedFragment = "w";
    frmDocument* d = newDocument();
    d->AddTotalList(PredictWords(predictionState.PredictionList1, predictionState.PredictionIndex1, predictionState.TypedFragment, 0, 10));
    ASSERT_EQ(captions(d).join(u' '), words("w", 1, 10));

    const auto next = [](frmDocument* w) { w->Command8_Click(); };
    const auto previous = [](frmDocument* w) { w->Command7_Click(); };
    const struct {
        const char* step;
        std::function<void(frmDocument*)> action;
        int page;
        QString rows;
        int selected;
    } steps[] = {
        // Going on, the second list starts SecondListCount words past ten a page...
        {"next to 1", next, 1, words("w", 11, 13) + " " + words("wb", 18, 24), 0},
        {"next to 2", next, 2, words("wb", 31, 40), 0},
        {"next: nothing more", next, 2, words("wb", 31, 40), 0},
        // ...going back, SecondListCount words short of it.
        {"previous to 1", previous, 1, words("w", 11, 13) + " " + words("wb", 4, 10), 0},
        {"previous to 0", previous, 0, words("w", 1, 10), 0},
        {"previous on the first page", previous, 0, words("w", 1, 10), 0},
        // The keys page at the ends of the rows.
        {"down on row 9", [](frmDocument* w) { w->Label1_Click(9); w->PicKeydown(40); }, 1,
         words("w", 11, 13) + " " + words("wb", 18, 24), 0},
        {"up on row 0", [](frmDocument* w) { w->PicKeydown(38); }, 0, words("w", 1, 10), 9},
    };
    for (const auto& s : steps) {
        s.action(d);
        EXPECT_EQ(predictionState.PredictionPage, s.page) << s.step;
        EXPECT_EQ(captions(d).join(u' ').trimmed(), s.rows) << s.step;
        EXPECT_EQ(selectedRow(d), s.selected) << s.step;
    }
}

TEST_F(PredictionRowsTest, SpeakButtonSpeaksTheRowsWordAndLeavesTheReadingButtons)
{
    frmMain& m = mainWindow();
    frmDocument* d = newInMain();
    makeFace(m);
    FaceSwitch::mainWindowShown(true);
    m.show();
    m.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&m));
    d->list1->show();
    d->list1->raise();
    d->AddTotalList(kTen.join(u' '));
    const auto buttons = [d] {
        return QList<bool>{d->SpeakBtn->isVisible(), d->StopBtn->isEnabled(),   d->PauseBtn->isVisible(),
                           d->PauseBtn->isEnabled(), d->ResumeBtn->isVisible(), d->VoiceCB->isEnabled(),
                           d->tbToolBar->isEnabled()};
    };
    const QList<bool> before = buttons();

    d->VoiceCB->setFocus();
    mouse::click(d->Command6[3]);
    ASSERT_NE(engine.last(), nullptr);
    ASSERT_FALSE(engine.last()->callsOf("Speak").isEmpty());
    EXPECT_EQ(engine.last()->callsOf("Speak").last().text, "four");
    EXPECT_TRUE(readingState.IsSpeakingWord());
    EXPECT_FALSE(readingState.IsSpeaking());
    EXPECT_EQ(buttons(), before);
    EXPECT_TRUE(d->rtfText->hasFocus());

    // A speak button that gets the focus selects its row.
    d->Command6[6]->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(selectedRow(d), 6);
}

TEST_F(PredictionRowsTest, FragmentsBeforeTheCaret)
{
    frmDocument* d = newDocument();
    const struct {
        const char* text;
        int caret;
        const char* lastWord, *word, *phrase;
    } cases[] = {
        {"a, b c", 6, "c", "c", " b c"},
        {"a, b c", 3, "", "", " "},
        {"a, b c", 2, "", "", ""},
        {"a, b c", 0, "", "", ""},
        {"say \"hi", 7, "hi", "hi", "say \"hi"},
        {"it's", 4, "s", "it's", "it's"},
        {"one: two", 8, "two", "two", "one: two"},
        // A line ends a word at its CR; the LF before the caret stays.
        {"Hi.\nThere", 10, "There", "\nThere", "\nThere"},
    };
    for (const auto& c : cases) {
        d->rtfText->setText(c.text);
        d->rtfText->setSelStart(c.caret);
        EXPECT_EQ(Access::GetLastWord(*d, d->rtfText), c.lastWord) << c.text << " @" << c.caret;
        EXPECT_EQ(Access::GetWordPrefix(*d), c.word) << c.text << " @" << c.caret;
        EXPECT_EQ(Access::GetPhrasePrefix(*d), c.phrase) << c.text << " @" << c.caret;
        EXPECT_EQ(Access::PrefixCaretPos(*d), c.caret);
    }
    EXPECT_EQ(Access::GetLastWord(*d, nullptr), "");
}

TEST_F(PredictionRowsTest, EchoBoxesStoreWhatTheUserClicks)
{
    setting("ReadSet", "READ_WORD", "1");
    frmDocument* d = shownPanel();
    d->PicEchoOptions->show();
    for (QCheckBox* box : {d->ChkLetter, d->ChkWord, d->ChkSentence})
        EXPECT_FALSE(box->isChecked()) << box->objectName().toStdString();

    d->ChkLetter->setChecked(true); // set by the program: nothing stored
    EXPECT_EQ(stored("ReadSet", "READ_LETTER"), "<none>");

    mouse::click(d->ChkWord);
    EXPECT_EQ(stored("ReadSet", "READ_WORD"), "1");
    mouse::click(d->ChkWord);
    EXPECT_EQ(stored("ReadSet", "READ_WORD"), "0");
    mouse::click(d->ChkLetter);
    EXPECT_EQ(stored("ReadSet", "READ_LETTER"), "0");
    mouse::click(d->ChkSentence);
    EXPECT_EQ(stored("ReadSet", "READ_SENTENCE"), "1");
    d->ChkSentence->setCheckState(Qt::PartiallyChecked);
    d->ChkSentence_Click();
    EXPECT_EQ(stored("ReadSet", "READ_SENTENCE"), "2");
    EXPECT_TRUE(boxes.isEmpty());

    // A settings file that cannot be written is reported.
    writeFile(globals.IniFile, "<?xml version=\"1.0\"?><Settings><ReadSet/></Settings>");
    mouse::click(d->ChkWord);
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_TRUE(boxes[0].prompt.startsWith("The settings could not be stored:"));
}

TEST_F(PredictionRowsTest, EchoModeFromTheThreeFlags)
{
    frmDocument* d = newDocument();
    const struct {
        std::int16_t letter, word, sentence, mode;
    } cases[] = {
        {1, 0, 0, 1}, {0, 1, 0, 2}, {1, 0, 1, 3}, {1, 1, 1, 4}, {1, 1, 0, 5},
        {0, 1, 1, 6}, {0, 0, 1, 0}, {0, 0, 0, 99}, {2, 0, 0, 99},
    };
    for (const auto& c : cases) {
        predictionState.EchoOption1 = c.letter;
        predictionState.EchoOption2 = c.word;
        predictionState.EchoOption3 = c.sentence;
        predictionState.EchoMode = 99;
        Access::SetEchoMode(*d);
        EXPECT_EQ(predictionState.EchoMode, c.mode) << c.letter << c.word << c.sentence;
    }
    predictionState.EchoOption1 = predictionState.EchoOption2 = predictionState.EchoOption3 = predictionState.EchoMode = 0;
}

} // namespace
