// The settings dialog's OK refreshes the main window's active document
// window, and only when there is one.
#include "mainwindow/MainWindowFixture.h"

#include "core/SettingsStore.h"
#include "floatingbar/frmSet.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>

namespace {

class SettingsDialogDocumentTest : public MainWindowFixture {
protected:
    static void distinctHotkeys(frmSet& d)
    {
        const char* keys[] = {"1", "2", "3", "4", "5", "6", "7"};
        for (int i = 0; i < 7; ++i)
            d.ComboKey[i]->setCurrentText(keys[i]);
    }
    QString get(const QString& section, const QString& key) const
    {
        return ReadSetting(IniFile, section, key, "<missing>");
    }
};

TEST_F(SettingsDialogDocumentTest, OkRefreshesTheActiveDocument)
{
    LoadMain();
    main->mnuFileNew_Click();
    frmDocument* doc = Active();
    ASSERT_NE(doc, nullptr);
    WriteSetting(IniFile, "ReadSet", "KEYREAD", "1");
    WriteSetting(IniFile, "ReadSet", "READ_LETTER", "1");
    WriteSetting(IniFile, "ReadSet", "READ_SENTENCE", "0");

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
