// The File menu with answered dialogs, on real files in a temporary folder.
#include "MainWindowFixture.h"

#include "core/StringTable.h"

namespace {

class FileCommandsTest : public MainWindowFixture {
protected:
    // Opens a file through File > Open.
    void OpenThroughDialog(const QString& file)
    {
        fileAnswers.push_back(file);
        main->mnuFileOpen_Click();
    }
};

TEST_F(FileCommandsTest, FormatFollowsTheLastThreeLettersOfTheName)
{
    EXPECT_TRUE(frmMain::isRtfForOpen("notes.Rtf"));
    EXPECT_FALSE(frmMain::isRtfForOpen("notes.txt"));
    EXPECT_FALSE(frmMain::isRtfForOpen("notes.doc"));
    EXPECT_TRUE(frmMain::isRtfForSave("b.doc"));
    EXPECT_TRUE(frmMain::isRtfForSave("B.DOC"));
    EXPECT_TRUE(frmMain::isRtfForSave("b.rtf"));
    EXPECT_FALSE(frmMain::isRtfForSave("b.txt"));
    EXPECT_FALSE(frmMain::isRtfForSaveAs("b.doc"));
    EXPECT_TRUE(frmMain::isRtfForSaveAs("b.RTF"));
    EXPECT_TRUE(frmMain::isRtfForOpen("xrtf")) << "only the last three letters count";
}

TEST_F(FileCommandsTest, NewMakesANumberedUnchangedDocument)
{
    MakeMain();
    main->mnuFileNew_Click();
    main->mnuWindowNewWindow_Click();
    EXPECT_EQ(DocCount, 2);
    EXPECT_EQ(Active()->windowTitle(), "Document 2");
    EXPECT_EQ(DocSaveAsName[2], "");
    EXPECT_FALSE(DocChanged[2]);
    EXPECT_EQ(DocSavedText[2], ActiveText());
    EXPECT_TRUE(main->mnuFileSave->isEnabled());
}

TEST_F(FileCommandsTest, OpenLoadsTheChosenFileInANewWindow)
{
    MakeMain();
    const QString file = path("letter.txt");
    ASSERT_TRUE(PutFile(file, "Dear reader,\nhello."));
    OpenThroughDialog(file);
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_EQ(dialogs[0], CommonDialog::Open);
    ASSERT_NE(Active(), nullptr);
    EXPECT_EQ(Active()->windowTitle(), file);
    EXPECT_EQ(ActiveText(), "Dear reader,\r\nhello.");
    EXPECT_EQ(DocCount, 1);
    EXPECT_FALSE(DocChanged[ActiveSlot()]);
    EXPECT_EQ(DocSavedText[ActiveSlot()], ActiveText());

    // The user's first edit counts.
    Type("!");
    EXPECT_TRUE(DocChanged[ActiveSlot()]);

    fileAnswers.push_back(""); // cancelled
    main->mnuFileOpen_Click();
    EXPECT_EQ(DocCount, 1);
}

TEST_F(FileCommandsTest, OpenGivesEveryCharacterTheConfiguredFontAndColourWithoutSelectingIt)
{
    MakeMain();
    ASSERT_TRUE(PutFile(IniFile, "<Settings><ReadSet/><FrmSet><FontName>DejaVu Serif</FontName>"
                                 "<FontSize>15</FontSize><Color>128</Color><FontBold>True</FontBold>"
                                 "<FontItalic>False</FontItalic><FontStrikethru>False</FontStrikethru>"
                                 "<FontUnderline>True</FontUnderline></FrmSet></Settings>"));
    ASSERT_TRUE(PutFile(path("a.txt"), "Dear reader,\n\nhello."));
    ASSERT_TRUE(PutFile(path("a.rtf"), "{\\rtf1{\\fonttbl{\\f0 Courier New;}}{\\colortbl;\\red0\\green0\\blue255;}"
                                       "\\f0\\fs40\\i\\cf1 Dear {\\strike reader},\\par\\par hello.}"));
    // Whether any document window had a selection while it opened.
    bool selected = false;
    QObject::connect(main->mdiArea, &QMdiArea::subWindowActivated, main, [&](QMdiSubWindow* sub) {
        if (auto* doc = sub ? qobject_cast<frmDocument*>(sub->widget()) : nullptr)
            QObject::connect(doc->rtfText, &QTextEdit::selectionChanged, main,
                             [&selected, doc] { selected = selected || doc->rtfText->textCursor().hasSelection(); });
    });
    for (const char* name : {"a.txt", "a.rtf"}) {
        selected = false;
        OpenThroughDialog(path(name));
        ASSERT_NE(Active(), nullptr);
        RichTextBox* rtf = Active()->rtfText;
        EXPECT_FALSE(selected) << name;
        EXPECT_EQ(ActiveText(), "Dear reader,\r\n\r\nhello.") << name;
        EXPECT_EQ(rtf->SelStart(), 0) << name;
        EXPECT_EQ(rtf->SelLength(), 0) << name;
        EXPECT_FALSE(DocChanged[ActiveSlot()]) << name;
        EXPECT_EQ(DocSavedText[ActiveSlot()], ActiveText()) << name;
        rtf->setSelLength(rtf->TextLength());
        EXPECT_EQ(rtf->SelFontName(), std::optional<QString>("DejaVu Serif")) << name;
        EXPECT_EQ(rtf->SelFontSize(), std::optional<double>(15)) << name;
        EXPECT_EQ(rtf->SelColor(), std::optional<std::uint32_t>(128)) << name;
        EXPECT_EQ(rtf->SelBold(), std::optional<bool>(true)) << name;
        EXPECT_EQ(rtf->SelItalic(), std::optional<bool>(false)) << name;
        EXPECT_EQ(rtf->SelStrikeThru(), std::optional<bool>(false)) << name;
        EXPECT_EQ(rtf->SelUnderline(), std::optional<bool>(true)) << name;
    }

    // A size that is no number leaves it and the settings after it out;
    // the colour and font before it still apply, and nothing is reported.
    ASSERT_TRUE(PutFile(IniFile, "<Settings><ReadSet/><FrmSet><FontName>DejaVu Serif</FontName>"
                                 "<FontSize>big</FontSize><Color>128</Color></FrmSet></Settings>"));
    OpenThroughDialog(path("a.rtf"));
    RichTextBox* rtf = Active()->rtfText;
    rtf->setSelLength(rtf->TextLength());
    EXPECT_EQ(rtf->SelFontName(), std::optional<QString>("DejaVu Serif"));
    EXPECT_EQ(rtf->SelColor(), std::optional<std::uint32_t>(128));
    EXPECT_EQ(rtf->SelFontSize(), std::optional<double>(20)) << "the file's own size stays";
    EXPECT_EQ(rtf->SelItalic(), std::optional<bool>(true));
    EXPECT_TRUE(boxes.empty());
}

TEST_F(FileCommandsTest, AFileThatCannotBeReadIsReported)
{
    MakeMain();
    const QString missing = path("gone.txt");
    OpenThroughDialog(missing);
    ASSERT_NE(Active(), nullptr);
    EXPECT_EQ(Active()->windowTitle(), missing);
    EXPECT_EQ(ActiveText(), "");
    EXPECT_EQ(BoxesWith("could not be opened"), 1);
    ASSERT_FALSE(boxes.empty());
    EXPECT_TRUE(boxes.back().prompt.contains(missing));
}

TEST_F(FileCommandsTest, SaveWritesEachWindowToItsOwnFile)
{
    MakeMain();
    const QString a = path("a.txt");
    const QString b = path("b.txt");
    ASSERT_TRUE(PutFile(a, "text a"));
    ASSERT_TRUE(PutFile(b, "text b"));
    main->OpenFileInNewWindow(a);
    frmDocument* docA = Active();
    main->OpenFileInNewWindow(b);
    frmDocument* docB = Active();

    Type(" changed");
    main->mnuFileSave_Click();
    EXPECT_TRUE(dialogs.empty()) << "a document with a file needs no dialog";
    EXPECT_EQ(FileBytes(b), "text b changed");
    EXPECT_EQ(FileBytes(a), "text a");
    EXPECT_FALSE(DocChanged[SlotOf(docB)]);
    EXPECT_EQ(DocSavedText[SlotOf(docB)], "text b changed");
    EXPECT_TRUE(main->lastSaveSucceeded());

    main->mdiArea->setActiveSubWindow(main->mdiArea->subWindowList().first());
    ASSERT_EQ(Active(), docA);
    Type(" too");
    main->mnuFileSave_Click();
    EXPECT_EQ(FileBytes(a), "text a too");
    EXPECT_EQ(FileBytes(b), "text b changed");
}

TEST_F(FileCommandsTest, NewAndWelcomeDocumentsAreSavedUnderAChosenName)
{
    LoadMain();
    const QString welcome = Active()->windowTitle();
    Type(" My own words.");
    const QString mine = path("mine.txt");
    fileAnswers.push_back(mine);
    main->mnuFileSave_Click();
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_EQ(dialogs[0], CommonDialog::Save);
    EXPECT_EQ(Active()->windowTitle(), mine);
    EXPECT_TRUE(FileBytes(mine).endsWith("My own words."));
    EXPECT_FALSE(FileBytes(welcome).contains("My own words.")) << "the shipped welcome file is not overwritten";
    EXPECT_FALSE(DocSaveAsName[ActiveSlot()].isEmpty());

    main->mnuFileNew_Click();
    Type("fresh");
    const QString fresh = path("fresh.txt");
    fileAnswers.push_back(fresh);
    main->mnuFileSave_Click();
    EXPECT_EQ(dialogs.size(), 2u);
    EXPECT_EQ(FileBytes(fresh), "fresh");
    EXPECT_EQ(Active()->windowTitle(), fresh);
}

TEST_F(FileCommandsTest, CancelledSaveAsChangesNothing)
{
    MakeMain();
    main->mnuFileNew_Click();
    Type("draft");
    const int slot = ActiveSlot();
    const bool changed = DocChanged[slot];
    const QString snapshot = DocSavedText[slot];
    fileAnswers.push_back("");
    main->mnuFileSave_Click(); // a new document: Save As, cancelled
    EXPECT_EQ(Active()->windowTitle(), "Document 1");
    EXPECT_EQ(DocChanged[slot], changed);
    EXPECT_EQ(DocSavedText[slot], snapshot) << "the text is not taken as saved";
    EXPECT_FALSE(main->lastSaveSucceeded());
    EXPECT_TRUE(boxes.empty());
}

TEST_F(FileCommandsTest, FailedSaveKeepsTheDocumentAndSaysWhy)
{
    MakeMain();
    main->mnuFileNew_Click();
    Type("precious");
    const int slot = ActiveSlot();
    const bool changed = DocChanged[slot];
    const QString target = path("missing/folder/x.txt");
    fileAnswers.push_back(target);
    main->mnuFileSaveAs_Click();
    EXPECT_EQ(BoxesWith("could not be saved"), 1);
    EXPECT_TRUE(boxes.back().prompt.contains(target));
    EXPECT_EQ(Active()->windowTitle(), "Document 1");
    EXPECT_EQ(DocChanged[slot], changed);
    EXPECT_EQ(DocSavedText[slot], "");
    EXPECT_EQ(DocSaveAsName[slot], "");
    EXPECT_EQ(ActiveText(), "precious");
    EXPECT_FALSE(QFile::exists(target));

    // Save to a path that has become unwritable (a folder now stands there).
    const QString file = path("plain.txt");
    ASSERT_TRUE(PutFile(file, "old"));
    main->OpenFileInNewWindow(file);
    Type(" new");
    ASSERT_TRUE(QFile::remove(file));
    ASSERT_TRUE(QDir().mkpath(file));
    main->mnuFileSave_Click();
    EXPECT_EQ(BoxesWith("could not be saved"), 2);
    EXPECT_TRUE(DocChanged[ActiveSlot()]);
    EXPECT_EQ(DocSavedText[ActiveSlot()], "old");
}

TEST_F(FileCommandsTest, ClosingAChangedDocumentAsksAndKeepsItWhenTheSaveDoesNotHappen)
{
    MakeMain();
    main->mnuFileNew_Click();
    main->mnuFileNew_Click();
    Type("unsaved");
    const int slot = ActiveSlot();
    answer = [](const MsgBoxCall& call) { return call.style & vbYesNo ? int(vbYes) : int(vbOK); };

    fileAnswers.push_back(""); // Yes, then the save dialog is cancelled
    main->mnuFileClose_Click();
    EXPECT_EQ(OpenDocumentWindows(), 2);
    EXPECT_TRUE(DocSlotUsed[slot]);
    EXPECT_EQ(DocCount, 2);
    EXPECT_EQ(ActiveText(), "unsaved");
    EXPECT_FALSE(ClosingDocument);

    fileAnswers.push_back(path("nowhere/x.txt")); // Yes, then the write fails
    main->mnuFileClose_Click();
    EXPECT_EQ(OpenDocumentWindows(), 2);
    EXPECT_TRUE(DocSlotUsed[slot]);
    EXPECT_EQ(DocCount, 2);
    EXPECT_FALSE(ClosingDocument);

    // A later plain Save does not count the window out.
    const QString target = path("x.txt");
    fileAnswers.push_back(target);
    main->mnuFileSave_Click();
    EXPECT_EQ(DocCount, 2);
    EXPECT_EQ(FileBytes(target), "unsaved");

    // Now it closes without a question.
    const size_t asked = boxes.size();
    main->mnuFileClose_Click();
    EXPECT_EQ(boxes.size(), asked);
    EXPECT_EQ(OpenDocumentWindows(), 1);
    EXPECT_FALSE(DocSlotUsed[slot]);
    EXPECT_EQ(DocCount, 1);
}

TEST_F(FileCommandsTest, ClosingAChangedDocumentWithYesSavesItAndNoDiscardsIt)
{
    MakeMain();
    const QString file = path("kept.txt");
    ASSERT_TRUE(PutFile(file, "start"));
    main->OpenFileInNewWindow(file);
    Type(" and more");
    answer = [](const MsgBoxCall&) { return int(vbYes); };
    main->mnuFileClose_Click();
    EXPECT_EQ(FileBytes(file), "start and more");
    EXPECT_EQ(DocCount, 0);
    EXPECT_EQ(OpenDocumentWindows(), 0);
    EXPECT_FALSE(main->mnuFileSave->isEnabled());

    main->mnuFileNew_Click();
    Type("throw away");
    answer = [](const MsgBoxCall&) { return int(vbNo); };
    main->mnuFileClose_Click();
    EXPECT_EQ(DocCount, 0);
    EXPECT_FALSE(DocSlotUsed[1]);
    EXPECT_TRUE(dialogs.empty());
}

TEST_F(FileCommandsTest, PrintNeedsADocument)
{
    MakeMain();
    main->mnuFilePrint_Click();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].prompt, "No open documents !");
    EXPECT_EQ(boxes[0].style, vbOKOnly);
    EXPECT_EQ(boxes[0].title, LoadResString(2205));

    std::vector<int> margins;
    RichTextBox* printed = nullptr;
    frmMain::setRichTextPrinter([&](RichTextBox* rtf, int l, int t, int r, int b) {
        printed = rtf;
        margins = {l, t, r, b};
    });
    main->mnuFileNew_Click();
    main->mnuFilePrint_Click();
    frmMain::setRichTextPrinter({});
    EXPECT_EQ(printed, Active()->rtfText);
    EXPECT_EQ(margins, (std::vector<int>{720, 720, 720, 720}));
    EXPECT_EQ(boxes.size(), 1u);
}

TEST_F(FileCommandsTest, NothingOpensWhenThirtyDocumentsAreOpen)
{
    MakeMain();
    for (int i = 0; i < kMaxDocuments; ++i)
        main->mnuFileNew_Click();
    const QString file = path("one.txt");
    ASSERT_TRUE(PutFile(file, "x"));
    OpenThroughDialog(file);
    EXPECT_EQ(main->OpenFileInNewWindow(file), nullptr);
    EXPECT_EQ(DocCount, kMaxDocuments);
    EXPECT_EQ(OpenDocumentWindows(), kMaxDocuments);
    EXPECT_TRUE(boxes.empty()) << "no message";
}

} // namespace
