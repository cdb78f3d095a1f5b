// The find-and-replace window on the active document of a main window, with
// its message boxes answered by the test.
#include "MainWindowFixture.h"

#include "core/StringTable.h"
#include "mainwindow/frmFind.h"
#include "support/EventPump.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

const QString kRegionSearched = QStringLiteral("The specified region has been searched.");

class FindReplaceTest : public MainWindowFixture {
protected:
    frmFind* find = nullptr;

    void SetUp() override
    {
        MainWindowFixture::SetUp();
        MakeMain();
    }

    void TearDown() override
    {
        delete frmFind::instance();
        MainWindowFixture::TearDown();
    }

    // A new document holding `text`, and the find window on it.
    RichTextBox* Document(const QString& text)
    {
        main->mnuFileNew_Click();
        RichTextBox* box = Active()->rtfText;
        box->setText(text);
        box->setSelStart(0);
        documentTable.DocChanged[ActiveSlot()] = false;
        if (!find)
            find = frmFind::ShowFind(main);
        return box;
    }

    void Search(const QString& text, bool matchCase = false, bool wholeWord = false)
    {
        find->txtFind->setText(text);
        find->chkMatchCase->setChecked(matchCase);
        find->chkWholeWord->setChecked(wholeWord);
    }

    QString Caption() const { return find->cmdFind->text(); }
};

// Replace All done the slow way: the document's own Find and a replacement
// of the selection, over and over, each search resuming right after the
// inserted text.
int ReplaceOneByOne(RichTextBox* box, const QString& text, const QString& replacement, int options)
{
    int count = 0;
    for (int start = 0;;) {
        if (box->Find(text, start, -1, options) < 0)
            return count;
        ++count;
        box->setSelText(replacement);
        start = box->SelStart();
    }
}

TEST_F(FindReplaceTest, OneModelessWindowWithItsTextsUntilCancel)
{
    Document(QStringLiteral("text"));
    EXPECT_EQ(frmFind::ShowFind(main), find) << "Edit > Find shows the same window again";
    EXPECT_FALSE(find->isModal());
    EXPECT_EQ(find->parentWidget(), main);
    EXPECT_TRUE(find->isVisible());

    EXPECT_EQ(find->lblFind->text(), "Find");
    EXPECT_EQ(find->lblReplace->text(), "Replace with");
    EXPECT_EQ(find->chkMatchCase->text(), "Match Case");
    EXPECT_EQ(find->chkWholeWord->text(), "Find Whole Word Only");
    EXPECT_EQ(find->cmdFind->text(), "&Find");
    EXPECT_EQ(find->cmdReplace->text(), "&Replace..");
    EXPECT_EQ(find->cmdReplaceAll->text(), "Replace &All");
    EXPECT_EQ(find->Cmdcancel->text(), "&Cancel");

    find->Cmdcancel_Click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(frmFind::instance(), nullptr) << "Cancel unloads the window";
    find = nullptr;
    EXPECT_NE(frmFind::ShowFind(main), nullptr) << "and the next Edit > Find makes a new one";
}

TEST_F(FindReplaceTest, FindThenFindNextToTheEndThenFromTheTopAgain)
{
    RichTextBox* box = Document(QStringLiteral("one two one two one"));
    Search(QStringLiteral("one"));
    box->setSelStart(12); // "&Find" starts at the top whatever the caret
    // Clicked in the find window, a match found takes the focus to the
    // document.
    main->show();
    const auto clickInFindWindow = [&] {
        find->activateWindow();
        ASSERT_TRUE(pumpUntil([&] { return QApplication::activeWindow() == find; }, 5000));
        find->cmdFind_Click();
        EXPECT_TRUE(pumpUntil([&] { return QApplication::focusWidget() == box; }, 5000));
    };

    clickInFindWindow();
    EXPECT_EQ(box->SelStart(), 0);
    EXPECT_EQ(box->SelLength(), 3);
    EXPECT_EQ(Caption(), "&Find Next");

    clickInFindWindow();
    EXPECT_EQ(box->SelStart(), 8);
    find->cmdFind_Click();
    EXPECT_EQ(box->SelStart(), 16);
    EXPECT_TRUE(boxes.empty());

    // Past the last match: reported, and no wrap-around.
    find->cmdFind_Click();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].prompt, kRegionSearched);
    EXPECT_EQ(boxes[0].style, vbOKOnly);
    EXPECT_EQ(boxes[0].title, "Lectova");
    EXPECT_EQ(box->SelStart(), 16) << "the selection is left alone";
    EXPECT_EQ(Caption(), "&Find");

    find->cmdFind_Click();
    EXPECT_EQ(box->SelStart(), 0);
    EXPECT_EQ(Caption(), "&Find Next");
    EXPECT_EQ(boxes.size(), 1u);

    // Find Next starts at the caret when the user moved it.
    box->setSelStart(9);
    find->cmdFind_Click();
    EXPECT_EQ(box->SelStart(), 16);
}

TEST_F(FindReplaceTest, TextNotFoundKeepsFind)
{
    RichTextBox* box = Document(QStringLiteral("alpha beta"));
    box->setSelStart(2);
    Search(QStringLiteral("gamma"));
    find->cmdFind_Click();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].prompt, "Text not found");
    EXPECT_EQ(boxes[0].style, vbOKOnly);
    EXPECT_EQ(boxes[0].title, "Lectova");
    EXPECT_EQ(Caption(), "&Find");
    EXPECT_EQ(box->SelStart(), 2);
    EXPECT_EQ(box->SelLength(), 0);
}

TEST_F(FindReplaceTest, WholeWordAndMatchCase)
{
    RichTextBox* box = Document(QStringLiteral("Scatter the Cat; cat_x CAT cat"));

    Search(QStringLiteral("cat"));
    find->cmdFind_Click();
    EXPECT_EQ(box->SelStart(), 1) << "inside a word without the whole-word option";

    Search(QStringLiteral("cat"), false, true);
    find->cmdFind_Click(); // Find Next after "cat" of Scatter
    EXPECT_EQ(box->SelStart(), 12);
    EXPECT_EQ(box->SelText(), "Cat");
    find->cmdFind_Click();
    EXPECT_EQ(box->SelStart(), 23) << "cat_x is one word";

    Search(QStringLiteral("cat"), true, true);
    box->setSelStart(0);
    find->cmdFind_Click();
    EXPECT_EQ(box->SelStart(), 27);
    find->cmdFind_Click();
    EXPECT_EQ(BoxesWith(kRegionSearched), 1);

    // Replace All follows the same options.
    Search(QStringLiteral("CAT"), true, false);
    find->txtReplace->setText(QStringLiteral("DOG"));
    EXPECT_EQ(find->cmdReplaceAll_Click(), 1);
    EXPECT_EQ(box->Text(), "Scatter the Cat; cat_x DOG cat");
    Search(QStringLiteral("cat"), false, true);
    find->txtReplace->setText(QStringLiteral("dog"));
    EXPECT_EQ(find->cmdReplaceAll_Click(), 2);
    EXPECT_EQ(box->Text(), "Scatter the dog; cat_x DOG dog");
}

TEST_F(FindReplaceTest, ReplaceFindsFirstThenReplacesAndFindsTheNext)
{
    RichTextBox* box = Document(QStringLiteral("red, Red and RED"));
    Search(QStringLiteral("red"));
    find->txtReplace->setText(QStringLiteral("blue"));

    // Nothing selected: only finds.
    find->cmdReplace_Click();
    EXPECT_EQ(box->Text(), "red, Red and RED");
    EXPECT_EQ(box->SelStart(), 0);
    EXPECT_EQ(box->SelLength(), 3);

    find->cmdReplace_Click();
    EXPECT_EQ(box->Text(), "blue, Red and RED");
    EXPECT_EQ(box->SelStart(), 6);
    EXPECT_EQ(box->SelText(), "Red") << "upper and lower case count as equal";

    find->cmdReplace_Click();
    EXPECT_EQ(box->Text(), "blue, blue and RED");
    EXPECT_EQ(box->SelText(), "RED");

    // With Match Case, "RED" selected is not "red": only a search, which
    // finds nothing after it.
    find->chkMatchCase->setChecked(true);
    find->cmdReplace_Click();
    EXPECT_EQ(box->Text(), "blue, blue and RED");
    EXPECT_EQ(BoxesWith(kRegionSearched), 1);
    EXPECT_EQ(Caption(), "&Find");

    // A selection that does not match only selects the next match.
    box->setText(QStringLiteral("abc xyz abc"));
    find->chkMatchCase->setChecked(false);
    find->txtFind->setText(QStringLiteral("ABC"));
    box->setSelStart(4);
    box->setSelLength(3);
    find->cmdFind->setText(LoadResString(2059));
    find->cmdReplace_Click();
    EXPECT_EQ(box->Text(), "abc xyz abc");
    EXPECT_EQ(box->SelStart(), 8);
    find->cmdReplace_Click();
    EXPECT_EQ(box->Text(), "abc xyz blue");
}

TEST_F(FindReplaceTest, ReplaceAllCountsAndResumesAfterTheInsertedText)
{
    RichTextBox* box = Document(QStringLiteral("aaa"));
    find->cmdFind->setText(LoadResString(2059));
    Search(QStringLiteral("a"));
    find->txtReplace->setText(QStringLiteral("aa"));
    EXPECT_EQ(find->cmdReplaceAll_Click(), 3);
    EXPECT_EQ(box->Text(), "aaaaaa");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].prompt, kRegionSearched + "\r\n3 replacements have been made.");
    EXPECT_EQ(boxes[0].style, vbOKOnly);
    EXPECT_EQ(boxes[0].title, "Lectova");
    EXPECT_EQ(Caption(), "&Find");
    EXPECT_EQ(box->SelStart(), 6) << "the caret stands after the last replacement";
    EXPECT_EQ(box->SelLength(), 0);

    // A shorter replacement: an occurrence right after a replaced one counts.
    box->setText(QStringLiteral("ababab ab"));
    Search(QStringLiteral("ab"));
    find->txtReplace->setText(QStringLiteral("x"));
    EXPECT_EQ(find->cmdReplaceAll_Click(), 4);
    EXPECT_EQ(box->Text(), "xxx x");

    // An empty replacement deletes every match, across line breaks.
    box->setText(QStringLiteral("one, two,\r\nthree,"));
    Search(QStringLiteral(","));
    find->txtReplace->clear();
    EXPECT_EQ(find->cmdReplaceAll_Click(), 3);
    EXPECT_EQ(box->Text(), "one two\r\nthree");
    EXPECT_TRUE(documentTable.DocChanged[ActiveSlot()]);

    // The whole Replace All is one undo step.
    box->undo();
    EXPECT_EQ(box->Text(), "one, two,\r\nthree,");
}

TEST_F(FindReplaceTest, ReplaceAllMatchesReplacingOneByOne)
{
    struct Case {
        const char* text;
        const char* find;
        const char* replacement;
        int options;
    };
    // The whole-word cases include matches that start right where the
    // previous replacement ended, whose left neighbour is then the end of
    // the replacement.
    const Case cases[] = {
        {"a.a.a.", "a.", "b", RichTextBox::rtfWholeWord},
        {"a.a.a.", "a.", ".", RichTextBox::rtfWholeWord},
        {"a.a.a.", "a.", "", RichTextBox::rtfWholeWord},
        {"x.a.a.", "a.", "", RichTextBox::rtfWholeWord},
        {"Cat cat CAT\r\ncatcat cat.", "cat", "dog", RichTextBox::rtfWholeWord},
        {"Cat cat CAT\r\ncatcat cat.", "cat", "Cat", RichTextBox::rtfMatchCase},
        {"Cat cat CAT\r\ncatcat cat.", "CAT", "", RichTextBox::rtfWholeWord + RichTextBox::rtfMatchCase},
        {"line\r\nline\r\n\r\nline", "line", "a\r\nb", 0},
        {"aaaa", "aa", "a", 0},
    };
    for (const Case& c : cases) {
        RichTextBox* one = Document(QString::fromLatin1(c.text));
        const int expected = ReplaceOneByOne(one, QString::fromLatin1(c.find),
                                             QString::fromLatin1(c.replacement), c.options);
        const QString expectedText = one->Text();
        RichTextBox* all = Document(QString::fromLatin1(c.text));
        EXPECT_EQ(frmFind::ReplaceAllIn(all, QString::fromLatin1(c.find),
                                        QString::fromLatin1(c.replacement), c.options),
                  expected)
            << c.text << " / " << c.find;
        EXPECT_EQ(all->Text(), expectedText) << c.text << " / " << c.find;
    }
}

TEST_F(FindReplaceTest, EmptySearchTextOrNoMatchShowsNothing)
{
    RichTextBox* box = Document(QStringLiteral("some text"));
    box->setSelStart(4);
    find->txtFind->clear();
    find->txtReplace->setText(QStringLiteral("X"));
    find->cmdFind->setText(LoadResString(2059));

    EXPECT_EQ(find->cmdReplaceAll_Click(), 0);
    EXPECT_EQ(Caption(), "&Find Next") << "an empty search text leaves everything as it was";
    // Find and Replace with an empty search text do nothing either: Replace
    // would otherwise take the empty selection for a match and insert.
    find->cmdReplace_Click();
    find->cmdFind_Click();
    EXPECT_EQ(box->Text(), "some text");
    EXPECT_EQ(box->SelStart(), 4);
    EXPECT_TRUE(boxes.empty());

    Search(QStringLiteral("absent"));
    EXPECT_EQ(find->cmdReplaceAll_Click(), 0);
    EXPECT_TRUE(boxes.empty()) << "no replacement, no message";
    EXPECT_EQ(Caption(), "&Find");
    EXPECT_FALSE(documentTable.DocChanged[ActiveSlot()]);
}

TEST_F(FindReplaceTest, WorksOnWhicheverDocumentIsActive)
{
    RichTextBox* first = Document(QStringLiteral("fox fox"));
    RichTextBox* second = Document(QStringLiteral("a fox"));
    Search(QStringLiteral("fox"));
    find->cmdFind_Click();
    EXPECT_EQ(second->SelStart(), 2);
    EXPECT_EQ(first->SelLength(), 0);

    // Still "&Find Next": the newly active document is searched from its
    // own selection.
    main->mdiArea->setActiveSubWindow(main->mdiArea->subWindowList().first());
    ASSERT_EQ(Active()->rtfText, first);
    first->setSelStart(1);
    find->cmdFind_Click();
    EXPECT_EQ(first->SelStart(), 4);

    // With no document open, no button does anything.
    documentTable.DocChanged[1] = documentTable.DocChanged[2] = false;
    answer = [](const MsgBoxCall&) { return int(vbNo); }; // their texts go
    main->mdiArea->closeAllSubWindows();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(Active(), nullptr);
    boxes.clear();
    find->cmdFind_Click();
    find->cmdReplace_Click();
    EXPECT_EQ(find->cmdReplaceAll_Click(), 0);
    EXPECT_TRUE(boxes.empty());
}

} // namespace
