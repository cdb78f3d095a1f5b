// The document window: its load, voice list and speed bar, re-skinning,
// change tracking, activation and the close with the save question.
#include "DocumentWindowFixture.h"

#include <QApplication>
#include <QClipboard>
#include <QTest>

namespace {

// ---------------------------------------------------------------------------
// Load, voice list and speed bar

TEST_F(DocumentWindowTest, LoadShowsTheStoredVoiceAndSpeed)
{
    setting("ReadSet", "Reader", "2");
    setting("ReadSet", "Speed", "-3");
    setting("ReadSet", "PunctuationTag", "1");
    frmMain& m = mainWindow();
    predictionState.PredictionPage = 5;
    documentTable.DocChanged[0] = true;
    frmDocument* d = newDocument();

    ASSERT_EQ(d->VoiceCB->count(), 3);
    EXPECT_EQ(d->VoiceCB->itemText(0), "Alpha");
    EXPECT_EQ(d->VoiceCB->itemText(2), "Gamma");
    EXPECT_EQ(d->VoiceCB->currentIndex(), 2);
    EXPECT_EQ(d->cpvSlider1->value(), -3);
    EXPECT_EQ(d->Lblspeed->text(), "-3");
    EXPECT_EQ(m.panelText(2), "Speaker:  Gamma");
    EXPECT_EQ(m.panelText(3), "Speed:-3");
    EXPECT_EQ(readingState.PunctuationMode(), 1);
    EXPECT_EQ(predictionState.PredictionPage, 0);
    // A window that loads has no slot yet: it clears entry 0.
    EXPECT_FALSE(documentTable.DocChanged[0]);
    EXPECT_TRUE(documentTable.IgnoreNextChange);
    EXPECT_EQ(d->view_status, 1);
    EXPECT_FALSE(d->NextBtn->isEnabled());
    EXPECT_FALSE(d->PriewBtn->isEnabled());
    EXPECT_TRUE(d->lblAd->isHidden());
    EXPECT_FALSE(Access::LoadingWindow(*d));
}

TEST_F(DocumentWindowTest, EveryWindowShowsTheTrueVoiceSpeedAndReadingState)
{
    setting("ReadSet", "Reader", "1");
    setting("ReadSet", "Speed", "3");
    frmMain& m = mainWindow();
    FaceSwitch::mainWindowShown(true);
    makeFace(m);
    frmDocument* first = newInMain();
    // Idle: nothing to stop, in the first window and in one opened later.
    EXPECT_FALSE(first->StopBtn->isEnabled());
    const QString file = dir.filePath("opened.txt");
    writeFile(file, "Some text.");
    frmDocument* second = m.OpenFileInNewWindow(file);
    ASSERT_NE(second, nullptr);
    EXPECT_FALSE(second->StopBtn->isEnabled());
    EXPECT_TRUE(second->SpeakBtn->isEnabled());

    // The voice and speed are the program's: changed in the second window,
    // the first shows them again when it comes to the front, and the
    // status bar says the same.
    second->VoiceCB->setCurrentIndex(2);
    second->cpvSlider1->setValue(-2);
    m.mdiArea->setActiveSubWindow(frameOf(first));
    ASSERT_EQ(m.activeDocument(), first);
    EXPECT_EQ(first->VoiceCB->currentText(), "Gamma");
    EXPECT_EQ(first->cpvSlider1->value(), -2);
    EXPECT_EQ(first->Lblspeed->text(), "-2");
    EXPECT_EQ(m.panelText(2), "Speaker:  Gamma");
    EXPECT_EQ(m.panelText(3), "Speed:-2");
    EXPECT_EQ(stored("ReadSet", "Reader"), "2");
    EXPECT_EQ(stored("ReadSet", "Speed"), "-2");

    // A hotkey changed the settings while another window was in front.
    setting("ReadSet", "Reader", "0");
    m.mdiArea->setActiveSubWindow(frameOf(second));
    EXPECT_EQ(second->VoiceCB->currentText(), "Alpha");
    EXPECT_EQ(m.panelText(2), "Speaker:  Alpha");
    EXPECT_EQ(m.panelText(3), "Speed:-2");
}

TEST_F(DocumentWindowTest, VoiceIsStoredOnlyWhenChosenAfterLoading)
{
    frmMain& m = mainWindow();
    frmDocument* d = newDocument();
    // No voice was stored: the first one is selected, and nothing written.
    EXPECT_EQ(d->VoiceCB->currentText(), "Alpha");
    EXPECT_EQ(stored("ReadSet", "Reader"), "<none>");

    d->VoiceCB->setCurrentIndex(1);
    EXPECT_EQ(stored("ReadSet", "Reader"), "1");
    EXPECT_EQ(m.panelText(2), "Speaker:  Beta");

    Access::LoadingWindow(*d) = true;
    d->VoiceCB->setCurrentIndex(2);
    EXPECT_EQ(stored("ReadSet", "Reader"), "1");
    EXPECT_EQ(m.panelText(2), "Speaker:  Gamma");
}

TEST_F(DocumentWindowTest, VoiceListTakesEachDescriptionBeforeItsTerminator)
{
    tray->voiceDescriptions = "Kate Voice;Paul Voice;";
    EXPECT_EQ(newDocument()->VoiceCB->count(), 2);
    tray->voiceDescriptions.clear();
    frmDocument* empty = newDocument();
    EXPECT_EQ(empty->VoiceCB->count(), 0);
    EXPECT_TRUE(empty->VoiceCB->currentText().isEmpty());
    tray.reset();
    EXPECT_EQ(newDocument()->VoiceCB->count(), 0);
}

TEST_F(DocumentWindowTest, SpeedBarStoresAndShowsItsEnds)
{
    frmMain& m = mainWindow();
    frmDocument* d = newDocument();
    EXPECT_EQ(d->cpvSlider1->minimum(), -6);
    EXPECT_EQ(d->cpvSlider1->maximum(), 4);
    d->cpvSlider1->setValue(-6);
    EXPECT_EQ(stored("ReadSet", "Speed"), "-6");
    EXPECT_EQ(m.panelText(3), "Speed:-6");
    EXPECT_EQ(d->Lblspeed->text(), "-6");
    d->cpvSlider1->setValue(4);
    EXPECT_EQ(stored("ReadSet", "Speed"), "4");
    EXPECT_EQ(d->Lblspeed->text(), "4");
}

TEST_F(DocumentWindowTest, StoredValuesOutsideTheControlsAreRefused)
{
    frmMain& m = mainWindow();
    frmDocument* d = newDocument();
    d->cpvSlider1->setValue(2);
    d->VoiceCB->setCurrentIndex(1);
    setting("ReadSet", "Speed", "9");
    setting("ReadSet", "Reader", "7");

    d->Adjustspeed();
    EXPECT_EQ(d->cpvSlider1->value(), 2);
    EXPECT_EQ(m.panelText(3), "Speed:2");
    d->LoadSkin();
    EXPECT_EQ(d->cpvSlider1->value(), 2);
    EXPECT_EQ(d->VoiceCB->currentIndex(), 1);
    EXPECT_THROW(d->setSpeedValue(-7), std::out_of_range);

    setting("ReadSet", "Speed", "-4");
    d->Adjustspeed();
    EXPECT_EQ(d->cpvSlider1->value(), -4);
    EXPECT_EQ(m.panelText(3), "Speed:-4");
}

TEST_F(DocumentWindowTest, ConvoiceMatchesShortNamesExactly)
{
    tray->voiceDescriptions = "Paul;Kate;Crystal;Mike;Audrey;Charles;kate;Other;";
    frmDocument* d = newDocument();
    const QStringList expected{"Corvane Paul",          "Corvane Kate",          "ATT DTNV 1.4 Crystal16",
                               "ATT DTNV 1.4 Mike16",   "ATT DTNV 1.4 Audrey16", "ATT DTNV 1.4 Charles16",
                               "Combo1",                "Combo1"};
    for (int i = 0; i < expected.size(); ++i) {
        d->VoiceCB->setCurrentIndex(i);
        d->Combo2->setEditText("Combo1");
        EXPECT_EQ(d->convoice(), -1) << i;
        EXPECT_EQ(d->Combo2->currentText(), expected[i]) << d->VoiceCB->currentText().toStdString();
    }
}

// ---------------------------------------------------------------------------
// Skins, fonts and colours

TEST_F(DocumentWindowTest, ReskinFormatsTheWholeTextWithoutMarkingAnEdit)
{
    frmDocument* d = newDocument(3);
    d->rtfText->setText("Hello world. Bye.");
    d->rtfText->setSelStart(6);
    documentTable.DocChanged[3] = false;
    // Every style defaults to on.
    d->LoadSkin();
    d->rtfText->setSelStart(0);
    d->rtfText->setSelLength(d->rtfText->TextLength());
    EXPECT_EQ(d->rtfText->SelItalic(), std::optional<bool>(true));
    EXPECT_EQ(d->rtfText->SelUnderline(), std::optional<bool>(true));
    EXPECT_EQ(d->rtfText->SelFontName(), std::optional<QString>("Arial"));

    setting("FrmSet", "FontName", "Courier New");
    setting("FrmSet", "FontBold", "False");
    setting("FrmSet", "FontSize", "20");
    setting("FrmSet", "Color", "255");
    setting("FrmSet", "BColor", "65535");
    d->LoadSkin();
    EXPECT_FALSE(documentTable.DocChanged[3]);
    EXPECT_EQ(d->rtfText->SelStart(), 0);
    EXPECT_EQ(d->rtfText->SelLength(), 0);
    EXPECT_EQ(d->rtfText->BackColor(), 65535u);
    d->rtfText->setSelLength(d->rtfText->TextLength());
    EXPECT_EQ(d->rtfText->SelFontName(), std::optional<QString>("Courier New"));
    EXPECT_EQ(d->rtfText->SelBold(), std::optional<bool>(false));
    EXPECT_EQ(d->rtfText->SelFontSize(), std::optional<double>(20.0));
    EXPECT_EQ(d->rtfText->SelColor(), std::optional<std::uint32_t>(255u));

    documentTable.DocChanged[3] = true;
    d->LoadSkin();
    EXPECT_TRUE(documentTable.DocChanged[3]);

    // A value that cannot be read leaves that part of the look as it is.
    setting("FrmSet", "FontSize", "big");
    setting("FrmSet", "Color", "65280");
    d->LoadSkin();
    d->rtfText->setSelLength(d->rtfText->TextLength());
    EXPECT_EQ(d->rtfText->SelFontSize(), std::optional<double>(20.0));
    EXPECT_EQ(d->rtfText->SelColor(), std::optional<std::uint32_t>(65280u));
    EXPECT_EQ(d->rtfText->SelFontName(), std::optional<QString>("Courier New"));

    // Typed into the emptied text, or pasted over the whole of a loaded
    // file, text takes the configured look, not the editor's default.
    const auto expectLook = [&](const char* text) {
        d->rtfText->selectAll();
        EXPECT_EQ(d->rtfText->SelText(), text);
        EXPECT_EQ(d->rtfText->SelFontSize(), std::optional<double>(20.0)) << text;
        EXPECT_EQ(d->rtfText->SelColor(), std::optional<std::uint32_t>(65280u)) << text;
    };
    d->rtfText->selectAll();
    QTest::keyClick(d->rtfText, Qt::Key_Delete);
    QTest::keyClicks(d->rtfText, "typed");
    expectLook("typed");
    writeFile(dir.filePath("loaded.txt"), "loaded");
    d->rtfText->LoadFile(dir.filePath("loaded.txt"), RichTextBox::rtfText);
    d->rtfText->selectAll();
    QApplication::clipboard()->setText("pasted");
    d->rtfText->paste();
    expectLook("pasted");
}

TEST_F(DocumentWindowTest, SkinsGoToTheirButtons)
{
    frmDocument* d = newDocument();
    Skin play, labaicon, button;
    ASSERT_TRUE(play.LoadSkin(globals.AppFolder + "/mainplay.skn"));
    ASSERT_TRUE(labaicon.LoadSkin(globals.AppFolder + "/labaicon.skn"));
    ASSERT_TRUE(button.LoadSkin(globals.AppFolder + "/button.skn"));
    EXPECT_EQ(d->SpeakBtn->styleSheet(), play.StyleSheet());
    EXPECT_EQ(d->ResumeBtn->styleSheet(), play.StyleSheet());
    EXPECT_NE(d->PauseBtn->styleSheet(), play.StyleSheet());
    for (QPushButton* row : d->Command6)
        EXPECT_EQ(row->styleSheet(), labaicon.StyleSheet());
    EXPECT_EQ(d->KeyPressbtn->styleSheet(), button.StyleSheet());
    // A picture skin replaces the caption; a text skin keeps it.
    EXPECT_TRUE(d->SpeakBtn->text().isEmpty());
    EXPECT_FALSE(d->BtnVoiceSample->text().isEmpty());

    // Without skin files the buttons stay plain and say what they do.
    ownProgramFolder();
    frmDocument* plain = newDocument();
    EXPECT_TRUE(plain->SpeakBtn->styleSheet().isEmpty());
    EXPECT_FALSE(plain->SpeakBtn->text().isEmpty());
    EXPECT_FALSE(plain->NextBtn->text().isEmpty());
}

TEST_F(DocumentWindowTest, SetrtfformatLeavesTheCaretAtTheStart)
{
    frmDocument* d = newDocument();
    d->rtfText->setText("abc def");
    d->rtfText->setSelStart(3);
    setting("FrmSet", "FontName", "Courier New");
    d->setrtfformat();
    EXPECT_EQ(d->rtfText->SelStart(), 0);
    EXPECT_EQ(d->rtfText->SelLength(), 0);
    d->rtfText->setSelLength(7);
    EXPECT_EQ(d->rtfText->SelFontName(), std::optional<QString>("Courier New"));
    // It has no error handling of its own: the caller learns of the failure,
    // after the settings read before it were given to the text.
    setting("FrmSet", "FontSize", "big");
    setting("FrmSet", "FontName", "DejaVu Serif");
    setting("FrmSet", "Color", "255");
    EXPECT_ANY_THROW(d->setrtfformat());
    d->rtfText->setSelStart(0);
    d->rtfText->setSelLength(7);
    EXPECT_EQ(d->rtfText->SelFontName(), std::optional<QString>("DejaVu Serif"));
    EXPECT_EQ(d->rtfText->SelColor(), std::optional<std::uint32_t>(255));
}

// ---------------------------------------------------------------------------
// Change tracking and activation

TEST_F(DocumentWindowTest, OnlyTheUsersEditsMarkTheDocumentChanged)
{
    frmDocument* d = newDocument(4);
    documentTable.IgnoreNextChange = true; // as before a file is loaded
    d->rtfText->setText("Loaded text.");
    EXPECT_FALSE(documentTable.DocChanged[4]);
    EXPECT_FALSE(documentTable.IgnoreNextChange);
    d->rtfText->setSelStart(6);
    d->rtfText->setSelText("x");
    EXPECT_TRUE(documentTable.DocChanged[4]);

    documentTable.DocChanged[4] = false;
    SetSpeakingState(true, false);
    d->rtfText->setSelText("y");
    EXPECT_FALSE(documentTable.DocChanged[4]);
}

TEST_F(DocumentWindowTest, ActivationPointsTheFileDialogAtTheDocument)
{
    frmMain& m = mainWindow();
    frmDocument* d = newDocument(3);
    m.dlgCommonDialog.FileName = "kept";
    d->setWindowTitle("Document 3");
    documentTable.ClosingDocument = true;
    readingState.leaveIdle();
    d->Form_Activate();
    EXPECT_EQ(m.dlgCommonDialog.FileName, "kept");
    EXPECT_FALSE(documentTable.ClosingDocument);
    EXPECT_TRUE(readingState.IsIdle());
    d->setWindowTitle("/home/user/notes.txt");
    d->Form_Activate();
    EXPECT_EQ(m.dlgCommonDialog.FileName, "/home/user/notes.txt");
}

// ---------------------------------------------------------------------------
// Closing

TEST_F(DocumentWindowTest, UnchangedDocumentClosesWithoutAQuestion)
{
    frmDocument* d1 = newInMain();
    QPointer<frmDocument> d2 = newInMain();
    newInMain();
    ASSERT_EQ(documentTable.DocCount, 3);
    ASSERT_EQ(d2->windowTitle(), "Document 2");
    d2->VoiceCB->setCurrentIndex(1);
    d2->cpvSlider1->setValue(-2);
    setting("ReadSet", "Reader", "0");
    setting("ReadSet", "Speed", "3");

    EXPECT_TRUE(frameOf(d2)->close());
    flushDeletes();
    EXPECT_TRUE(boxes.isEmpty());
    EXPECT_TRUE(d2.isNull());
    EXPECT_FALSE(documentTable.DocSlotUsed[2]);
    EXPECT_EQ(documentTable.DocCount, 2);
    // The closing window's voice and speed are the program's again.
    EXPECT_EQ(stored("ReadSet", "Reader"), "1");
    EXPECT_EQ(stored("ReadSet", "Speed"), "-2");

    EXPECT_EQ(newInMain()->windowTitle(), "Document 2");
    EXPECT_TRUE(documentTable.DocSlotUsed[1] && d1);
}

TEST_F(DocumentWindowTest, EditedDocumentAnsweredNoIsDiscarded)
{
    QPointer<frmDocument> d = newInMain();
    d->rtfText->setText("Some words.");
    answer = vbNo;
    EXPECT_TRUE(frameOf(d)->close());
    flushDeletes();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0].prompt, "This document has been changed, do you wish to save?");
    EXPECT_EQ(boxes[0].style, vbYesNo + vbQuestion);
    EXPECT_EQ(boxes[0].title, "Lectova");
    EXPECT_EQ(dialogs, 0);
    EXPECT_TRUE(d.isNull());
    EXPECT_FALSE(documentTable.DocSlotUsed[1]);
    EXPECT_EQ(documentTable.DocCount, 0);
}

TEST_F(DocumentWindowTest, CancelledSaveKeepsTheWindowItsSlotAndTheCount)
{
    QPointer<frmDocument> d = newInMain();
    d->rtfText->setText("Unsaved words.");
    answer = vbYes;
    saveAsName.clear(); // the save dialog is cancelled
    EXPECT_FALSE(frameOf(d)->close());
    flushDeletes();
    EXPECT_EQ(dialogs, 1);
    ASSERT_FALSE(d.isNull());
    EXPECT_EQ(d->rtfText->Text(), "Unsaved words.");
    EXPECT_TRUE(documentTable.DocSlotUsed[1]);
    EXPECT_EQ(documentTable.DocCount, 1);
    EXPECT_FALSE(documentTable.ClosingDocument);

    // Saving under a name lets it close and frees the slot.
    saveAsName = dir.filePath("saved.txt");
    EXPECT_TRUE(frameOf(d)->close());
    flushDeletes();
    EXPECT_TRUE(d.isNull());
    EXPECT_EQ(readFile(saveAsName), "Unsaved words.");
    EXPECT_FALSE(documentTable.DocSlotUsed[1]);
    EXPECT_EQ(documentTable.DocCount, 0);
    EXPECT_EQ(newInMain()->windowTitle(), "Document 1");
}

TEST_F(DocumentWindowTest, FailedSaveKeepsTheWindowOpen)
{
    const QString folder = dir.filePath("gone");
    writeFile(folder + "/letter.txt", "Dear all.");
    QPointer<frmDocument> d = mainWindow().OpenFileInNewWindow(folder + "/letter.txt");
    ASSERT_FALSE(d.isNull());
    const int slot = SlotOf(d);
    d->rtfText->setSelStart(d->rtfText->TextLength());
    d->rtfText->setSelText(" More.");
    ASSERT_TRUE(QDir(folder).removeRecursively());
    answer = vbYes;
    EXPECT_FALSE(frameOf(d)->close());
    flushDeletes();
    ASSERT_FALSE(d.isNull());
    EXPECT_TRUE(documentTable.DocSlotUsed[slot]);
    EXPECT_EQ(documentTable.DocCount, 1);
    EXPECT_EQ(dialogs, 0); // a document with a file of its own is saved without asking for a name
}

TEST_F(DocumentWindowTest, ClosingWindowSavesItsOwnTextWhenAnotherIsActive)
{
    const QString first = dir.filePath("first-doc.txt");
    const QString second = dir.filePath("second-doc.txt");
    writeFile(first, "First.");
    writeFile(second, "Second.");
    QPointer<frmDocument> d1 = mainWindow().OpenFileInNewWindow(first);
    QPointer<frmDocument> d2 = mainWindow().OpenFileInNewWindow(second);
    ASSERT_EQ(mainWindow().activeDocument(), d2.data());
    d1->rtfText->setSelStart(d1->rtfText->TextLength());
    d1->rtfText->setSelText(" Edited.");
    answer = vbYes;
    EXPECT_TRUE(frameOf(d1)->close());
    flushDeletes();
    EXPECT_TRUE(d1.isNull());
    EXPECT_EQ(readFile(first), "First. Edited.");
    EXPECT_EQ(readFile(second), "Second.");
    EXPECT_EQ(documentTable.DocCount, 1);
}
} // namespace
