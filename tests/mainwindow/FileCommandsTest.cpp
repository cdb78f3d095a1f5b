// The File menu with answered dialogs, on real files in a temporary folder.
#include "MainWindowFixture.h"

#include "core/StringTable.h"

#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QStringEncoder>
#include <QTest>

#include <sys/stat.h>

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
    EXPECT_EQ(documentTable.DocCount, 2);
    EXPECT_EQ(Active()->windowTitle(), "Document 2");
    EXPECT_EQ(documentTable.DocSaveAsName[2], "");
    EXPECT_FALSE(documentTable.DocChanged[2]);
    EXPECT_EQ(documentTable.DocSavedText[2], TextFingerprint(ActiveText()));
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
    EXPECT_EQ(documentTable.DocCount, 1);
    EXPECT_FALSE(documentTable.DocChanged[ActiveSlot()]);
    EXPECT_EQ(documentTable.DocSavedText[ActiveSlot()], TextFingerprint(ActiveText()));

    // The user's first edit counts.
    Type("!");
    EXPECT_TRUE(documentTable.DocChanged[ActiveSlot()]);

    fileAnswers.push_back(""); // cancelled
    main->mnuFileOpen_Click();
    EXPECT_EQ(documentTable.DocCount, 1);
}

TEST_F(FileCommandsTest, OpenGivesEveryCharacterTheConfiguredFontAndColourWithoutSelectingIt)
{
    MakeMain();
    ASSERT_TRUE(PutFile(globals.IniFile, "<Settings><ReadSet/><FrmSet><FontName>DejaVu Serif</FontName>"
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
        EXPECT_FALSE(documentTable.DocChanged[ActiveSlot()]) << name;
        EXPECT_EQ(documentTable.DocSavedText[ActiveSlot()], TextFingerprint(ActiveText())) << name;
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
    ASSERT_TRUE(PutFile(globals.IniFile, "<Settings><ReadSet/><FrmSet><FontName>DejaVu Serif</FontName>"
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
    // A pipe would block the program for good, /dev/zero never ends.
    const QString pipe = path("pipe.txt");
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    for (const QString& file : {path("gone.txt"), pipe, QString("/dev/zero")}) {
        boxes.clear();
        OpenThroughDialog(file);
        ASSERT_NE(Active(), nullptr);
        EXPECT_EQ(Active()->windowTitle(), file);
        EXPECT_EQ(ActiveText(), "");
        EXPECT_EQ(BoxesWith("could not be opened"), 1) << file.toStdString();
        ASSERT_FALSE(boxes.empty());
        EXPECT_TRUE(boxes.back().prompt.contains(file));
    }
    EXPECT_EQ(BoxesWith("is not a file that can be opened"), 1);
}

// A text file is written back in the encoding it was read in: every byte
// the user did not touch comes back the same.
TEST_F(FileCommandsTest, TextFilesAreSavedInTheEncodingTheyWereReadIn)
{
    MakeMain();
    const QString stray(QChar(0xDCE9)); // the byte E9 of a UTF-8 file, kept
    // Long texts are written a part at a time: characters of two UTF-16
    // units and line breaks fall on every kind of place between parts, and
    // a character the code page lacks comes only in the last part.
    const QString lines = QString::fromUtf8("😀😀😀\n").repeated(12000);
    const QString wideLines = QString::fromUtf8("a😀\n").repeated(30000);
    const QString ansiLines = QString::fromUtf8("café naïve\r\n").repeated(8000);
    const auto crlf = [](QString text) { return text.replace("\n", "\r\n"); };
    const auto utf16 = [](const QString& text) {
        return QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    };
    QStringEncoder windows1252("windows-1252");
    const QByteArray ansiBytes = windows1252(ansiLines);
    const struct {
        const char* what;
        QByteArray bytes;
        QString read;
        QString typed;
        QByteArray saved;
    } cases[] = {
        {"UTF-8 with its mark", "\xEF\xBB\xBF" "caf\xC3\xA9\r\nna\xC3\xAFve", QString::fromUtf8("café\r\nnaïve"),
         QString::fromUtf8(" é"), "\xEF\xBB\xBF" "caf\xC3\xA9\r\nna\xC3\xAFve \xC3\xA9"},
        {"UTF-8 with a stray byte", "caf\xC3\xA9 \xE9t\xC3\xA9\nfin", QString::fromUtf8("café ") + stray + QString::fromUtf8("té\r\nfin"),
         QString::fromUtf8(" é"), "caf\xC3\xA9 \xE9t\xC3\xA9\nfin \xC3\xA9"},
        {"Windows-1252", "caf\xE9 na\xEFve \x80\x81", QString::fromUtf8("café naïve €") + QChar(0x81),
         QString::fromUtf8(" é"), "caf\xE9 na\xEFve \x80\x81 \xE9"},
        // What the code page cannot hold is not lost: the file becomes UTF-8.
        {"Windows-1252 and a character it lacks", "caf\xE9", QString::fromUtf8("café"), QString::fromUtf8(" Ω"),
         "caf\xC3\xA9 \xCE\xA9"},
        {"long UTF-8 with a stray byte", "a" + lines.toUtf8() + "\xE9", "a" + crlf(lines) + stray, QString::fromUtf8(" é"),
         "a" + lines.toUtf8() + "\xE9 \xC3\xA9"},
        {"long UTF-16 with its mark", "\xFF\xFE" + utf16(wideLines), crlf(wideLines), QString::fromUtf8(" é"),
         "\xFF\xFE" + utf16(wideLines + QString::fromUtf8(" é"))},
        {"long Windows-1252 and a character it lacks", ansiBytes, ansiLines, QString::fromUtf8(" Ω"),
         (ansiLines + QString::fromUtf8(" Ω")).toUtf8()},
    };
    for (const auto& c : cases) {
        const QString file = path("text.txt");
        ASSERT_TRUE(PutFile(file, c.bytes));
        OpenThroughDialog(file);
        EXPECT_EQ(ActiveText(), c.read) << c.what;
        EXPECT_EQ(documentTable.DocSavedText[ActiveSlot()], TextFingerprint(ActiveText())) << c.what;
        main->mnuFileSave_Click();
        EXPECT_EQ(FileBytes(file), c.bytes) << c.what << ": saved unchanged";
        Type(c.typed);
        main->mnuFileSave_Click();
        EXPECT_EQ(FileBytes(file), c.saved) << c.what;
        EXPECT_EQ(documentTable.DocSavedText[ActiveSlot()], TextFingerprint(ActiveText())) << c.what;
        EXPECT_TRUE(boxes.empty()) << c.what;
    }
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
    EXPECT_FALSE(documentTable.DocChanged[SlotOf(docB)]);
    EXPECT_EQ(documentTable.DocSavedText[SlotOf(docB)], TextFingerprint(u"text b changed"));
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
    EXPECT_FALSE(documentTable.DocSaveAsName[ActiveSlot()].isEmpty());

    main->mnuFileNew_Click();
    Type("fresh");
    const QString fresh = path("fresh.txt");
    fileAnswers.push_back(fresh);
    main->mnuFileSave_Click();
    EXPECT_EQ(dialogs.size(), 2u);
    EXPECT_EQ(FileBytes(fresh), "fresh");
    EXPECT_EQ(Active()->windowTitle(), fresh);
}

TEST_F(FileCommandsTest, SaveAsGivesANameWithoutExtensionThatOfTheChosenFilter)
{
    LoadMain();
    struct Case {
        int filter;           // 1 RTF Files, 2 Text files
        const char* typed;    // the name the user typed
        const char* saved;    // the file written
        bool rtf;
    };
    const Case cases[] = {
        {1, "gplcopy", "gplcopy.rtf", true},
        {2, "notes", "notes.txt", false},
        {1, "keep.txt", "keep.txt", false},
        {2, "letter.v2", "letter.v2", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        main->mnuFileNew_Click();
        Type("Some words.\nA second line.");
        SetCommonDialogAnswerer([&](CommonDialog& d, CommonDialog::Kind kind) {
            EXPECT_EQ(kind, CommonDialog::Save);
            EXPECT_EQ(CommonDialog::toQtFilter(d.Filter), "RTF Files (*.rtf);;Text files (*.txt)");
            d.FilterIndex = c.filter;
            d.FileName = path(c.typed);
        });
        main->mnuFileSaveAs_Click();
        const QString saved = path(c.saved);
        EXPECT_EQ(Active()->windowTitle(), saved);
        EXPECT_EQ(documentTable.DocSaveAsName[ActiveSlot()], c.saved);
        EXPECT_EQ(main->mnuRUF.value(1) ? main->mnuRUF[1]->text() : QString(), saved);
        EXPECT_EQ(FileBytes(saved).startsWith("{\\rtf"), c.rtf);
        EXPECT_EQ(QFile::exists(path(c.typed)), QString(c.typed) == c.saved);
    }
    EXPECT_EQ(CommonDialog::toQtFilter("All files|*.rtf;*.txt|RTF Files (*.rtf)|*.rtf|text files|*.txt"),
              "All files (*.rtf *.txt);;RTF Files (*.rtf);;text files (*.txt)");
    EXPECT_EQ(CommonDialog::filterExtension("All|*.*|Text|*.txt;*.text", 1), "");
    EXPECT_EQ(CommonDialog::filterExtension("All|*.*|Text|*.txt;*.text", 2), "txt");
    EXPECT_EQ(CommonDialog::filterExtension("All|*.*|Text|*.txt;*.text", 3), "");
}

TEST_F(FileCommandsTest, TheSaveDialogItselfAddsTheExtensionOfTheFilterChosen)
{
    // The real dialog, filled in as a user does: a name typed without an
    // extension, the filter picked from its list, Save.
    for (const int downs : {0, 1}) {
        CommonDialog d;
        d.Flags = 6;
        d.Filter = "RTF Files (*.rtf)|*.rtf|Text files (*.txt)|*.txt";
        d.InitDir = isolated.dir.path();
        SetCommonDialogAnswerer({});
        QStringList filters;
        SetModalAnswerer([&](QDialog* dialog) {
            auto* files = qobject_cast<QFileDialog*>(dialog);
            EXPECT_NE(files, nullptr);
            if (!files)
                return int(QDialog::Rejected);
            filters = files->nameFilters();
            EXPECT_EQ(QDir(files->directory()).absolutePath(), QDir(isolated.dir.path()).absolutePath());
            files->show();
            auto* types = files->findChild<QComboBox*>("fileTypeCombo");
            auto* name = files->findChild<QLineEdit*>("fileNameEdit");
            EXPECT_TRUE(types && name);
            if (!types || !name)
                return int(QDialog::Rejected);
            for (int i = 0; i < downs; ++i)
                QTest::keyClick(types, Qt::Key_Down);
            name->setFocus();
            QTest::keyClicks(name, "gplcopy");
            QTest::keyClick(name, Qt::Key_Return);
            return files->result();
        });
        d.ShowSave();
        SetModalAnswerer({});
        EXPECT_EQ(filters, (QStringList{"RTF Files (*.rtf)", "Text files (*.txt)"}));
        EXPECT_EQ(d.FilterIndex, downs + 1);
        EXPECT_EQ(d.FileName, path(downs == 0 ? "gplcopy.rtf" : "gplcopy.txt"));
        EXPECT_EQ(d.FileTitle, downs == 0 ? "gplcopy.rtf" : "gplcopy.txt");
    }
}

TEST_F(FileCommandsTest, FileDialogsStartInTheDocumentsFolderAndProposeTheDocumentsName)
{
    const QString savedDocs = globals.MyDocsFolder;
    globals.MyDocsFolder = path("Documents");
    LoadMain();
    std::vector<CommonDialog> seen;
    QString answer;
    SetCommonDialogAnswerer([&](CommonDialog& d, CommonDialog::Kind) {
        seen.push_back(d);
        d.FileName = answer;
    });
    // The welcome text and a new document have no folder of their own.
    main->mnuFileSaveAs_Click();
    main->mnuFileNew_Click();
    main->mnuFileOpen_Click();
    main->mnuFileSaveAs_Click();
    ASSERT_EQ(seen.size(), 3u);
    for (const CommonDialog& d : seen)
        EXPECT_EQ(d.InitDir, globals.MyDocsFolder);
    EXPECT_EQ(seen[0].InitFileName, "first.txt");
    EXPECT_EQ(seen[2].InitFileName, "Document 2");
    EXPECT_EQ(seen[0].FileName, "") << "a cancelled dialog is told apart";

    // A document with a file: its folder, its name.
    const QString file = path("work/letter.txt");
    ASSERT_TRUE(PutFile(file, "Dear reader."));
    main->OpenFileInNewWindow(file);
    seen.clear();
    main->mnuFileOpen_Click();
    main->mnuFileSaveAs_Click();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].InitDir, path("work"));
    EXPECT_EQ(seen[1].InitDir, path("work"));
    EXPECT_EQ(seen[1].InitFileName, "letter.txt");
    globals.MyDocsFolder = savedDocs;
}

TEST_F(FileCommandsTest, CancelledSaveAsChangesNothing)
{
    MakeMain();
    main->mnuFileNew_Click();
    Type("draft");
    const int slot = ActiveSlot();
    const bool changed = documentTable.DocChanged[slot];
    const TextFingerprint snapshot = documentTable.DocSavedText[slot];
    fileAnswers.push_back("");
    main->mnuFileSave_Click(); // a new document: Save As, cancelled
    EXPECT_EQ(Active()->windowTitle(), "Document 1");
    EXPECT_EQ(documentTable.DocChanged[slot], changed);
    EXPECT_EQ(documentTable.DocSavedText[slot], snapshot) << "the text is not taken as saved";
    EXPECT_FALSE(main->lastSaveSucceeded());
    EXPECT_TRUE(boxes.empty());
}

TEST_F(FileCommandsTest, FailedSaveKeepsTheDocumentAndSaysWhy)
{
    MakeMain();
    main->mnuFileNew_Click();
    Type("precious");
    const int slot = ActiveSlot();
    const bool changed = documentTable.DocChanged[slot];
    const QString target = path("missing/folder/x.txt");
    fileAnswers.push_back(target);
    main->mnuFileSaveAs_Click();
    EXPECT_EQ(BoxesWith("could not be saved"), 1);
    EXPECT_TRUE(boxes.back().prompt.contains(target));
    EXPECT_EQ(Active()->windowTitle(), "Document 1");
    EXPECT_EQ(documentTable.DocChanged[slot], changed);
    EXPECT_EQ(documentTable.DocSavedText[slot], TextFingerprint(u""));
    EXPECT_EQ(documentTable.DocSaveAsName[slot], "");
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
    EXPECT_TRUE(documentTable.DocChanged[ActiveSlot()]);
    EXPECT_EQ(documentTable.DocSavedText[ActiveSlot()], TextFingerprint(u"old"));
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
    EXPECT_TRUE(documentTable.DocSlotUsed[slot]);
    EXPECT_EQ(documentTable.DocCount, 2);
    EXPECT_EQ(ActiveText(), "unsaved");
    EXPECT_FALSE(documentTable.ClosingDocument);

    fileAnswers.push_back(path("nowhere/x.txt")); // Yes, then the write fails
    main->mnuFileClose_Click();
    EXPECT_EQ(OpenDocumentWindows(), 2);
    EXPECT_TRUE(documentTable.DocSlotUsed[slot]);
    EXPECT_EQ(documentTable.DocCount, 2);
    EXPECT_FALSE(documentTable.ClosingDocument);

    // A later plain Save does not count the window out.
    const QString target = path("x.txt");
    fileAnswers.push_back(target);
    main->mnuFileSave_Click();
    EXPECT_EQ(documentTable.DocCount, 2);
    EXPECT_EQ(FileBytes(target), "unsaved");

    // Now it closes without a question.
    const size_t asked = boxes.size();
    main->mnuFileClose_Click();
    EXPECT_EQ(boxes.size(), asked);
    EXPECT_EQ(OpenDocumentWindows(), 1);
    EXPECT_FALSE(documentTable.DocSlotUsed[slot]);
    EXPECT_EQ(documentTable.DocCount, 1);
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
    EXPECT_EQ(documentTable.DocCount, 0);
    EXPECT_EQ(OpenDocumentWindows(), 0);
    EXPECT_FALSE(main->mnuFileSave->isEnabled());

    main->mnuFileNew_Click();
    Type("throw away");
    answer = [](const MsgBoxCall&) { return int(vbNo); };
    main->mnuFileClose_Click();
    EXPECT_EQ(documentTable.DocCount, 0);
    EXPECT_FALSE(documentTable.DocSlotUsed[1]);
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
    EXPECT_EQ(documentTable.DocCount, kMaxDocuments);
    EXPECT_EQ(OpenDocumentWindows(), kMaxDocuments);
    EXPECT_TRUE(boxes.empty()) << "no message";
}

} // namespace
