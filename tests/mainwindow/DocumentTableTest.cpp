// The table of open document windows: slot numbers, counting, the active
// slot, the line-number panel and the highlight helpers.
#include "MainWindowFixture.h"

#include "core/StringTable.h"

#include <stdexcept>

namespace {

class DocumentTableTest : public MainWindowFixture {};

TEST_F(DocumentTableTest, VacantSlotSearchTakesTheLowestFreeSlotUntilAllThirtyAreTaken)
{
    for (int expected = 1; expected <= kMaxDocuments; ++expected) {
        EXPECT_EQ(FindVacantDocumentSlot(), expected);
        EXPECT_TRUE(documentTable.DocSlotUsed[expected]);
    }
    EXPECT_EQ(FindVacantDocumentSlot(), -1);
    documentTable.DocSlotUsed[17] = false;
    documentTable.DocSlotUsed[4] = false;
    EXPECT_EQ(FindVacantDocumentSlot(), 4);
    EXPECT_EQ(FindVacantDocumentSlot(), 17);
    EXPECT_EQ(FindVacantDocumentSlot(), -1);
}

TEST_F(DocumentTableTest, SlotOfReadsTheTagAndGivesZeroForAnythingElse)
{
    frmDocument doc;
    EXPECT_EQ(SlotOf(&doc), 0) << "a window still loading has an empty Tag";
    doc.setTag("7");
    EXPECT_EQ(SlotOf(&doc), 7);
    for (const char* bad : {"x", "3a", "-1", "31", "99999"}) {
        doc.setTag(bad);
        EXPECT_EQ(SlotOf(&doc), 0) << bad;
    }
    EXPECT_EQ(SlotOf(nullptr), 0);
}

TEST_F(DocumentTableTest, ActiveSlotWithoutADocumentMakesOneInTheLowestVacantSlot)
{
    MakeMain();
    documentTable.DocSlotUsed[1] = true; // taken by a window elsewhere
    documentTable.DocSavedText[2] = TextFingerprint(u"left over from an earlier document");
    const std::int16_t slot = GetActiveDocumentSlot();
    EXPECT_EQ(slot, 2);
    ASSERT_NE(Active(), nullptr);
    EXPECT_EQ(Active()->windowTitle(), "Document 2");
    EXPECT_EQ(documentTable.Documents[2], Active());
    EXPECT_EQ(documentTable.DocCount, 1);
    EXPECT_TRUE(main->mnuFileSave->isEnabled()) << "the menus follow the new count";
    EXPECT_EQ(documentTable.DocSavedText[2], TextFingerprint(ActiveText())) << "a new window starts unchanged";

    // With a document active it only reports its slot.
    EXPECT_EQ(GetActiveDocumentSlot(), 2);
    EXPECT_EQ(documentTable.DocCount, 1);
    EXPECT_EQ(OpenDocumentWindows(), 1);
}

TEST_F(DocumentTableTest, ActiveSlotFailsWithoutAMainWindowOrAVacantSlot)
{
    EXPECT_THROW(GetActiveDocumentSlot(), std::runtime_error);
    MakeMain();
    documentTable.DocSlotUsed.fill(true);
    EXPECT_THROW(GetActiveDocumentSlot(), std::runtime_error);
    EXPECT_EQ(documentTable.DocCount, 0);
    EXPECT_EQ(OpenDocumentWindows(), 0);
}

TEST_F(DocumentTableTest, ClosedSlotsAreReusedLowestFirst)
{
    MakeMain();
    for (int i = 0; i < 3; ++i)
        main->mnuFileNew_Click();
    ASSERT_EQ(documentTable.DocCount, 3);
    // Close "Document 2".
    main->mdiArea->setActiveSubWindow(main->mdiArea->subWindowList().at(1));
    ASSERT_EQ(Active()->windowTitle(), "Document 2");
    main->mnuFileClose_Click();
    EXPECT_EQ(documentTable.DocCount, 2);
    EXPECT_FALSE(documentTable.DocSlotUsed[2]);
    main->mnuFileNew_Click();
    EXPECT_EQ(Active()->windowTitle(), "Document 2");
    EXPECT_EQ(documentTable.DocCount, 3);
}

TEST_F(DocumentTableTest, ThirtyDocumentsOpenedAndClosedLeaveEverySlotFree)
{
    MakeMain();
    for (int i = 0; i < kMaxDocuments; ++i)
        main->mnuFileNew_Click();
    EXPECT_EQ(documentTable.DocCount, kMaxDocuments);
    main->mnuFileNew_Click();
    EXPECT_EQ(documentTable.DocCount, kMaxDocuments) << "a 31st document is not made";
    EXPECT_EQ(OpenDocumentWindows(), kMaxDocuments);

    // One edited document is saved on the way out (answer Yes).
    Type("keep me");
    const QString target = path("kept.txt");
    fileAnswers.push_back(target);
    answer = [](const MsgBoxCall&) { return int(vbYes); };
    while (Active())
        main->mnuFileClose_Click();
    EXPECT_EQ(documentTable.DocCount, 0);
    EXPECT_EQ(OpenDocumentWindows(), 0);
    for (int slot = 1; slot <= kMaxDocuments; ++slot)
        EXPECT_FALSE(documentTable.DocSlotUsed[slot]) << slot;
    EXPECT_TRUE(FileBytes(target).contains("keep me"));

    main->mnuFileNew_Click();
    EXPECT_EQ(Active()->windowTitle(), "Document 1");
}

TEST_F(DocumentTableTest, LineNumberPanelShowsTheCaretLine)
{
    MakeMain();
    ShowLineNumber(); // no document: nothing, no failure
    EXPECT_EQ(main->panelText("Text"), "");
    main->mnuFileNew_Click();
    RichTextBox* rtf = Active()->rtfText;
    rtf->setText("first\r\nsecond\r\nthird line");
    rtf->setSelStart(0);
    ShowLineNumber();
    EXPECT_EQ(main->panelText("Text"), LoadResString(2206) + "1");
    rtf->setSelStart(rtf->Text().indexOf("third") + 2);
    ShowLineNumber();
    EXPECT_EQ(main->panelText("Text"), LoadResString(2206) + "3");
}

TEST_F(DocumentTableTest, PaintingAndClearingTheHighlightIsNoEdit)
{
    MakeMain();
    const QString file = path("story.txt");
    ASSERT_TRUE(PutFile(file, "One sentence. Another one."));
    main->OpenFileInNewWindow(file);
    const int slot = ActiveSlot();
    RichTextBox* rtf = Active()->rtfText;
    rtf->setSelStart(0);
    rtf->setSelLength(13);
    SetSelectionBackColor(rtf, kSentenceYellow);
    SetAllBackColor(rtf, kClearedWhite);
    SetSelectionBackColor(nullptr, kSentenceYellow); // ignored
    EXPECT_FALSE(documentTable.DocChanged[slot]);
    EXPECT_EQ(documentTable.DocSavedText[slot], TextFingerprint(rtf->Text()));
}

} // namespace
