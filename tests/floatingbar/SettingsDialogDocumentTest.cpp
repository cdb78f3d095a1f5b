// The settings dialog's OK refreshes the main window's active document
// window, and only when there is one.
#include "mainwindow/MainWindowFixture.h"

#include "core/SettingsStore.h"
#include "floatingbar/frmSet.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>

#include <memory>

namespace {

class SettingsDialogDocumentTest : public MainWindowFixture {
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        // The dialog reaches the document window through the program's windows.
        ProgramWindows::install(&faces);
    }
    static void distinctHotkeys(frmSet& d)
    {
        const char* keys[] = {"1", "2", "3", "4", "5", "6", "7"};
        for (int i = 0; i < 7; ++i)
            d.ComboKey[i]->setCurrentText(keys[i]);
    }
    QString get(const QString& section, const QString& key) const
    {
        return ReadSetting(globals.IniFile, section, key, "<missing>");
    }
};

TEST_F(SettingsDialogDocumentTest, OkRefreshesTheActiveDocument)
{
    LoadMain();
    main->mnuFileNew_Click();
    frmDocument* doc = Active();
    ASSERT_NE(doc, nullptr);
    WriteSetting(globals.IniFile, "ReadSet", "KEYREAD", "1");
    WriteSetting(globals.IniFile, "ReadSet", "READ_LETTER", "1");
    WriteSetting(globals.IniFile, "ReadSet", "READ_SENTENCE", "0");

    frmSet d;
    ASSERT_TRUE(d.chkkeypress->isChecked());
    distinctHotkeys(d);
    d.ChkPrediction->setChecked(false); // not clicked: OK stores it
    d.Cmdok_Click();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(get("FrmSet", "WordPrediction"), "False");
    ASSERT_NE(doc->KeyPressbtn, nullptr);
    EXPECT_EQ(doc->KeyPressbtn->text(), "Disable Typing Echo");
    ASSERT_NE(doc->ChkLetter, nullptr);
    EXPECT_TRUE(doc->ChkLetter->isChecked());
    ASSERT_NE(doc->ChkSentence, nullptr);
    EXPECT_FALSE(doc->ChkSentence->isChecked());
    ASSERT_NE(doc->PicEchoOptions, nullptr);
    EXPECT_FALSE(doc->PicEchoOptions->isHidden());
    EXPECT_EQ(doc->toolbarButtonImage(22), 17) << "word prediction off";
}

TEST_F(SettingsDialogDocumentTest, TypingEchoOffHidesTheDocumentsOptions)
{
    LoadMain();
    main->mnuFileNew_Click();
    frmDocument* doc = Active();
    ASSERT_NE(doc, nullptr);
    frmSet d;
    distinctHotkeys(d);
    d.Cmdok_Click();
    EXPECT_EQ(get("FrmSet", "WordPrediction"), "True");
    ASSERT_NE(doc->KeyPressbtn, nullptr);
    EXPECT_EQ(doc->KeyPressbtn->text(), "Enable Typing Echo");
    ASSERT_NE(doc->PicEchoOptions, nullptr);
    EXPECT_TRUE(doc->PicEchoOptions->isHidden());
    EXPECT_EQ(doc->toolbarButtonImage(22), 16) << "word prediction on";
}

// A stored typing-echo option that is not a number (an empty element is
// none) cannot be shown in the document window: OK ends there, with the
// dialog open and the user told, as with any failing step.
TEST_F(SettingsDialogDocumentTest, OkWithATypingEchoOptionThatIsNoNumberKeepsTheDialogOpen)
{
    LoadMain();
    main->mnuFileNew_Click();
    ASSERT_NE(Active(), nullptr);
    for (const char* stored : {"", "abc"}) {
        WriteSetting(globals.IniFile, "ReadSet", "KEYREAD", "1");
        WriteSetting(globals.IniFile, "ReadSet", "READ_WORD", stored);
        boxes.clear();
        frmSet d;
        distinctHotkeys(d);
        EXPECT_NO_THROW(d.Cmdok->click()) << stored;
        EXPECT_NE(d.result(), QDialog::Accepted) << stored;
        ASSERT_EQ(boxes.size(), 1u) << stored;
        EXPECT_TRUE(boxes[0].prompt.contains("READ_WORD")) << boxes[0].prompt.toStdString();
        EXPECT_EQ(get("ReadSet", "HotKey1"), "Ctrl+1") << "the steps before stay done";
    }
}

// The word-prediction read of the load is guarded like every other: a
// settings file that cannot be read does not stop the dialog from opening.
TEST_F(SettingsDialogDocumentTest, LoadCarriesOnPastASettingsFileThatCannotBeRead)
{
    ASSERT_TRUE(PutFile(globals.IniFile, "<?xml version=\"1.0\"?><Settings><FrmSet/></Settings>"));
    std::unique_ptr<frmSet> d;
    EXPECT_NO_THROW(d = std::make_unique<frmSet>());
    ASSERT_NE(d, nullptr);
    EXPECT_TRUE(d->ChkLetter->isHidden()) << "the steps after it ran";
}

TEST_F(SettingsDialogDocumentTest, WithoutADocumentWindowNothingIsRefreshed)
{
    MakeMain(); // not loaded: no document window
    frmSet d;
    distinctHotkeys(d);
    d.Cmdok_Click();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(get("FrmSet", "WordPrediction"), "<missing>");
    EXPECT_EQ(get("ReadSet", "HotKey1"), "Ctrl+1");
}

} // namespace
