// The settings dialog: its pages, what it reads, the boxes that store at
// once, OK's checks and writes, Cancel, and the quality and font pages.
#include "app/AppWindows.h"
#include "core/Globals.h"
#include "core/MessageBox.h"
#include "core/SettingsStore.h"
#include "floatingbar/frmSet.h"
#include "mainwindow/CommonDialog.h"
#include "platform/GlobalHotkeys.h"
#include "speech/ReadingState.h"
#include "speech/systemtray.h"
#include "support/IsolatedSettings.h"
#include "support/ScriptedSpeechVoice.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSet>
#include <QSlider>
#include <QTabBar>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

#include <memory>

namespace {

struct Grabs {
    QSet<QPair<int, int>> held;
    std::function<void()> onGrab;
};

class RecordingBackend : public HotkeyBackend {
public:
    explicit RecordingBackend(std::shared_ptr<Grabs> g)
        : g_(std::move(g))
    {
    }
    bool grab(int modifiers, int key) override
    {
        if (g_->onGrab)
            g_->onGrab();
        g_->held.insert({modifiers, key});
        return true;
    }
    void ungrab(int modifiers, int key) override { g_->held.remove({modifiers, key}); }

private:
    std::shared_ptr<Grabs> g_;
};

class SettingsDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QFile::exists(isolated.file));
        globals.SettingsFile = isolated.file;
        ASSERT_FALSE(qEnvironmentVariable("TAMSEL_PROGRAM_DIR").isEmpty()) << "TAMSEL_PROGRAM_DIR must name the program folder";
        globals.AppFolder = qEnvironmentVariable("TAMSEL_PROGRAM_DIR");
        SetMsgBoxAnswerer([this](const MsgBoxCall& call) {
            messages.append(call);
            return int(vbOK);
        });
        readingState.usePunctuationMode(0);
    }
    void TearDown() override
    {
        SetMsgBoxAnswerer({});
        SetModalAnswerer({});
        SetCommonDialogAnswerer({});
        GlobalHotkeys::instance()->setBackend(std::make_unique<RecordingBackend>(std::make_shared<Grabs>()));
    }

    void set(const QString& section, const QString& key, const QString& value) { WriteSetting(isolated.file, section, key, value); }
    QString get(const QString& section, const QString& key) const { return ReadSetting(isolated.file, section, key, "<missing>"); }
    QByteArray fileBytes() const
    {
        QFile f(isolated.file);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }
    // Keys of a section in the order they stand in the file.
    QStringList keysOf(const QString& section) const
    {
        QXmlStreamReader xml(fileBytes());
        QStringList keys;
        int depth = 0;
        bool inSection = false;
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isStartElement()) {
                ++depth;
                if (depth == 2)
                    inSection = xml.name() == section;
                else if (depth == 3 && inSection)
                    keys << xml.name().toString();
            } else if (xml.isEndElement()) {
                --depth;
            }
        }
        return keys;
    }
    void distinctHotkeys(frmSet& d)
    {
        const char* keys[] = {"1", "2", "3", "4", "5", "6", "7"};
        for (int i = 0; i < 7; ++i)
            d.ComboKey[i]->setCurrentText(keys[i]);
    }

    IsolatedSettings isolated;
    QList<MsgBoxCall> messages;
};

TEST_F(SettingsDialogTest, SevenPagesInOrderAndTheirTabs)
{
    frmSet d;
    EXPECT_EQ(d.windowTitle(), "Lectova");
    EXPECT_EQ(d.Cmdok->text(), "Ok");
    EXPECT_EQ(d.Cmdcancel->text(), "Cancel");
    QStringList tabs;
    for (int i = 0; i < d.TabStrip1->count(); ++i)
        tabs << d.TabStrip1->tabText(i);
    EXPECT_EQ(tabs, (QStringList{"Text to Speech", "Text to MP3", "Font", "HotKey", "Typing Echo", "Spelling", "ToolBars"}));
    EXPECT_EQ(d.currentPage(), d.PicTTS);
    QWidget* expected[] = {d.PicTTS, d.PicTTMP3, d.PicFonts, d.PicHotkey, d.PicKeypress, d.PicSpelling, d.PicToolbar};
    for (int i : {6, 5, 4, 3, 2, 1, 0}) {
        d.TabStrip1->setCurrentIndex(i);
        EXPECT_EQ(d.currentPage(), expected[i]) << i;
    }
}

TEST_F(SettingsDialogTest, DefaultsOfAnEmptyFile)
{
    frmSet d;
    EXPECT_EQ(d.HsSpeed->value(), 0);
    EXPECT_EQ(d.HsSpeed->minimum(), -6);
    EXPECT_EQ(d.HsSpeed->maximum(), 4);
    EXPECT_EQ(d.Label28->text(), "0");
    EXPECT_EQ(d.VoiceCB->count(), 0);
    EXPECT_FALSE(d.ChkPunctuation->isChecked());
    // Simple Control: the format list shows the format of the quality.
    EXPECT_EQ(d.FormatCB->currentText(), "SAFT48kHz16BitMono");
    EXPECT_EQ(d.Slider1->value(), 9);
    EXPECT_FALSE(d.ChkMP3ogg->isChecked());
    EXPECT_FALSE(d.Slider1->isEnabled());
    EXPECT_EQ(d.LblBitrate->text(), "Current nominal bitrate: 128 kbit");
    EXPECT_TRUE(d.OptionQality[0]->isChecked());
    EXPECT_EQ(d.QualityCB->currentText(), "High");
    EXPECT_TRUE(d.QualityCB->isEnabled());
    EXPECT_FALSE(d.FormatCB->isEnabled());
    EXPECT_FALSE(d.ChkMP3ogg->isEnabled());
    EXPECT_EQ(d.slblFontName->text(), "Arial");
    EXPECT_EQ(d.slblFontSize->text(), "12");
    EXPECT_EQ(d.slblFontStyle->text(), "Bold     Italic     StrikeThru     Underline     ");
    for (int i = 0; i < 7; ++i) {
        EXPECT_TRUE(d.CheckCtrl[i]->isChecked()) << i;
        EXPECT_FALSE(d.CheckShift[i]->isChecked()) << i;
        EXPECT_FALSE(d.CheckArt[i]->isChecked()) << i;
        EXPECT_EQ(d.ComboKey[i]->currentText(), "Add") << i;
    }
    for (QCheckBox* b : {d.ChkWordbar, d.ChkPPTbar, d.ChkOutlookbar, d.ChkIEbar, d.ChkPrediction, d.chkIgnoreMixed,
                         d.chkSuggest, d.chkIgnoreNum, d.chkIgnoreUp, d.chkwhiletype})
        EXPECT_TRUE(b->isChecked()) << b->objectName().toStdString();
    EXPECT_FALSE(d.chkkeypress->isChecked());
    EXPECT_TRUE(d.ChkLetter->isHidden());
    EXPECT_TRUE(d.ChkWord->isHidden());
    EXPECT_TRUE(d.ChkSentence->isHidden());
    // Loading stores nothing.
    EXPECT_EQ(fileBytes(), QByteArray("<r/>"));
}

TEST_F(SettingsDialogTest, StoredValuesAreShown)
{
    set("ReadSet", "Speed", "-3");
    set("ReadSet", "Readers", "Alpha;Beta;Gamma;");
    set("ReadSet", "Reader", "1");
    set("ReadSet", "PunctuationTag", "1");
    set("ReadSet", "HotKey1", "Ctrl+Shift+F5");
    set("ReadSet", "HotKey2", "F5");
    set("ReadSet", "HotKey4", "Alt+Ctrl+A");
    set("ReadSet", "HotKey5", "Ctrl+NoSuchKey");
    set("ReadSet", "OptionControl", "1");
    set("ReadSet", "Format", "SAFT22kHz8BitStereo");
    set("ReadSet", "MP3Ogg", "14");
    set("FrmSet", "ChkMP3ogg", "1");
    set("FrmSet", "WordPrediction", "true");
    set("FrmSet", "FontName", "Courier");
    set("FrmSet", "FontSize", "10.5");
    set("FrmSet", "FontBold", "True");
    set("FrmSet", "FontItalic", "False");
    set("FrmSet", "FontStrikethru", "False");
    set("FrmSet", "FontUnderline", "True");
    set("FrmSet", "isshowPP", "0");
    set("FrmSet", "IgnoreUpTag", "0");
    frmSet d;
    EXPECT_EQ(d.HsSpeed->value(), -3);
    EXPECT_EQ(d.Label28->text(), "-3");
    EXPECT_EQ(d.VoiceCB->count(), 3);
    EXPECT_EQ(d.VoiceCB->currentText(), "Beta");
    EXPECT_TRUE(d.ChkPunctuation->isChecked());
    EXPECT_TRUE(d.CheckCtrl[0]->isChecked());
    EXPECT_TRUE(d.CheckShift[0]->isChecked());
    EXPECT_EQ(d.ComboKey[0]->currentText(), "F5");
    EXPECT_FALSE(d.CheckCtrl[1]->isChecked());
    EXPECT_EQ(d.ComboKey[1]->currentText(), "F5");
    EXPECT_TRUE(d.CheckCtrl[2]->isChecked()); // missing HotKey3: Ctrl+Add
    EXPECT_EQ(d.ComboKey[2]->currentText(), "Add");
    EXPECT_TRUE(d.CheckArt[3]->isChecked());
    EXPECT_TRUE(d.CheckCtrl[3]->isChecked());
    EXPECT_EQ(d.ComboKey[3]->currentText(), "A");
    EXPECT_EQ(d.hotkeyText(4), "Ctrl+Alt+A");
    EXPECT_EQ(d.ComboKey[4]->currentText(), ""); // a key not in the list
    EXPECT_TRUE(d.OptionQality[1]->isChecked());
    EXPECT_TRUE(d.FormatCB->isEnabled());
    EXPECT_FALSE(d.QualityCB->isEnabled());
    EXPECT_TRUE(d.Slider1->isEnabled());
    EXPECT_EQ(d.FormatCB->currentText(), "SAFT22kHz8BitStereo");
    EXPECT_EQ(d.LblBitrate->text(), "Current nominal bitrate: 320 kbit");
    EXPECT_FALSE(d.ChkPrediction->isChecked());
    EXPECT_EQ(d.slblFontName->text(), "Courier");
    EXPECT_EQ(d.slblFontSize->text(), "10.5");
    EXPECT_EQ(d.slblFontStyle->text(), "Bold     Underline     ");
    EXPECT_FALSE(d.ChkPPTbar->isChecked());
    EXPECT_TRUE(d.ChkWordbar->isChecked());
    EXPECT_FALSE(d.chkIgnoreUp->isChecked());
}

TEST_F(SettingsDialogTest, VoiceListEdges)
{
    set("ReadSet", "Readers", "Alpha;Beta");
    set("ReadSet", "Reader", "7");
    {
        frmSet d;
        ASSERT_EQ(d.VoiceCB->count(), 1);
        EXPECT_EQ(d.VoiceCB->currentText(), "Alpha");
    }
    set("ReadSet", "Readers", "");
    frmSet d;
    EXPECT_EQ(d.VoiceCB->count(), 0);
}

TEST_F(SettingsDialogTest, CheckBoxesStoreAtOnceAndCancelKeepsThem)
{
    frmSet d;
    d.ChkWordbar->click();
    EXPECT_EQ(get("FrmSet", "isshowWord"), "0");
    d.ChkPPTbar->click();
    EXPECT_EQ(get("FrmSet", "isshowPP"), "0");
    d.ChkOutlookbar->click();
    EXPECT_EQ(get("FrmSet", "isshowOutlook"), "0");
    d.ChkIEbar->click();
    EXPECT_EQ(get("FrmSet", "isshowIE"), "0");
    d.ChkPrediction->click();
    EXPECT_EQ(get("FrmSet", "WordPrediction"), "False");
    d.ChkPrediction->click();
    EXPECT_EQ(get("FrmSet", "WordPrediction"), "True");
    d.chkIgnoreMixed->click();
    EXPECT_EQ(get("FrmSet", "IgnoreMixedTag"), "0");
    d.chkIgnoreNum->click();
    EXPECT_EQ(get("FrmSet", "IgnoreNumTag"), "0");
    d.chkIgnoreUp->click();
    EXPECT_EQ(get("FrmSet", "IgnoreUpTag"), "0");
    d.chkSuggest->click();
    EXPECT_EQ(get("FrmSet", "chkSuggestTag"), "0");
    d.chkwhiletype->click();
    EXPECT_EQ(get("FrmSet", "chkwhiletypeTag"), "0");
    EXPECT_FALSE(d.CheckWhileTyping);
    d.ChkPunctuation->click();
    EXPECT_EQ(get("ReadSet", "PunctuationTag"), "1");
    EXPECT_EQ(readingState.PunctuationMode(), 0); // follows only on OK

    set("ReadSet", "READ_WORD", "1");
    d.chkkeypress->click();
    EXPECT_EQ(get("ReadSet", "KEYREAD"), "1");
    EXPECT_FALSE(d.ChkWord->isHidden());
    EXPECT_TRUE(d.ChkWord->isChecked());
    EXPECT_FALSE(d.ChkLetter->isChecked());
    d.ChkLetter->click();
    EXPECT_EQ(get("ReadSet", "READ_LETTER"), "1");
    d.ChkWord->click();
    EXPECT_EQ(get("ReadSet", "READ_WORD"), "0");
    d.ChkSentence->click();
    EXPECT_EQ(get("ReadSet", "READ_SENTENCE"), "1");
    d.chkkeypress->click();
    EXPECT_EQ(get("ReadSet", "KEYREAD"), "0");
    EXPECT_TRUE(d.ChkLetter->isHidden());

    const QByteArray before = fileBytes();
    d.Cmdcancel_Click();
    EXPECT_EQ(d.result(), QDialog::Rejected);
    EXPECT_EQ(fileBytes(), before);
}

TEST_F(SettingsDialogTest, CancelWritesNothing)
{
    set("ReadSet", "Speed", "1");
    const QByteArray before = fileBytes();
    frmSet d;
    d.HsSpeed->setValue(-5);
    EXPECT_EQ(d.Label28->text(), "-5");
    distinctHotkeys(d);
    d.Cmdcancel->click();
    EXPECT_EQ(d.result(), QDialog::Rejected);
    EXPECT_EQ(fileBytes(), before);
}

TEST_F(SettingsDialogTest, DuplicateHotkeysAreReportedAndNothingIsStored)
{
    frmSet d;
    d.TabStrip1->setCurrentIndex(0);
    d.HsSpeed->setValue(3);
    d.Cmdok_Click();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0].prompt, "Hotkey already assigned, please re-define\t");
    EXPECT_EQ(messages[0].style, int(vbOKOnly));
    EXPECT_EQ(messages[0].title, "Lectova"); // the default title
    EXPECT_EQ(fileBytes(), QByteArray("<r/>"));
    EXPECT_EQ(d.currentPage(), d.PicHotkey);
    EXPECT_EQ(d.result(), 0);
    EXPECT_EQ(d.HsSpeed->value(), 3); // the user's choices stay

    // Two rows with no key and no modifier are duplicates too.
    distinctHotkeys(d);
    for (int i : {2, 5}) {
        d.CheckCtrl[i]->setChecked(false);
        d.ComboKey[i]->setCurrentIndex(-1);
    }
    d.Cmdok_Click();
    EXPECT_EQ(messages.size(), 2);
    EXPECT_EQ(fileBytes(), QByteArray("<r/>"));
}

TEST_F(SettingsDialogTest, OkWritesInOrderAndCloses)
{
    set("ReadSet", "Readers", "Alpha;Beta;");
    frmSet d;
    distinctHotkeys(d);
    d.CheckShift[1]->setChecked(true);
    d.CheckCtrl[2]->setChecked(false);
    d.ComboKey[0]->setCurrentText("A");
    d.CheckShift[0]->setChecked(true);
    d.ComboKey[1]->setCurrentText("A"); // Ctrl+A and Ctrl+Shift+A: distinct
    d.CheckShift[1]->setChecked(false);
    d.ChkPunctuation->setChecked(true);
    d.VoiceCB->setCurrentIndex(1);
    d.HsSpeed->setValue(-2);
    d.QualityCB->setCurrentIndex(1);
    d.Cmdok_Click();
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(keysOf("ReadSet"), (QStringList{"Readers", "HotKey1", "HotKey2", "HotKey3", "HotKey4", "HotKey5", "HotKey6",
                                              "HotKey7", "PunctuationTag", "Reader", "Speed", "Format", "MP3Ogg",
                                              "OptionControl", "SimplyControl"}));
    EXPECT_EQ(keysOf("FrmSet"), (QStringList{"FontName", "FontSize", "FontBold", "FontItalic", "FontStrikethru",
                                             "FontUnderline", "Color"}));
    EXPECT_EQ(get("ReadSet", "HotKey1"), "Ctrl+Shift+A");
    EXPECT_EQ(get("ReadSet", "HotKey2"), "Ctrl+A");
    EXPECT_EQ(get("ReadSet", "HotKey3"), "3");
    EXPECT_EQ(get("ReadSet", "HotKey7"), "Ctrl+7");
    EXPECT_EQ(get("ReadSet", "PunctuationTag"), "1");
    EXPECT_EQ(get("FrmSet", "FontName"), "Arial");
    EXPECT_EQ(get("FrmSet", "FontSize"), "12");
    EXPECT_EQ(get("FrmSet", "FontBold"), "True");
    EXPECT_EQ(get("FrmSet", "Color"), "0");
    EXPECT_EQ(get("ReadSet", "Reader"), "1");
    EXPECT_EQ(get("ReadSet", "Speed"), "-2");
    EXPECT_EQ(get("ReadSet", "Format"), "SAFT24kHz16BitMono");
    EXPECT_EQ(get("ReadSet", "MP3Ogg"), "6");
    EXPECT_EQ(get("ReadSet", "OptionControl"), "0");
    EXPECT_EQ(get("ReadSet", "SimplyControl"), "1");
    EXPECT_EQ(get("FrmSet", "WordPrediction"), "<missing>"); // no document window
    EXPECT_EQ(readingState.PunctuationMode(), 1);
}

TEST_F(SettingsDialogTest, AdvancedQualityKeepsSimplyControlAndEmptyVoiceListStoresMinusOne)
{
    set("ReadSet", "SimplyControl", "2");
    frmSet d;
    distinctHotkeys(d);
    d.OptionQality[1]->setChecked(true);
    EXPECT_TRUE(d.FormatCB->isEnabled());
    EXPECT_FALSE(d.Slider1->isEnabled());
    d.ChkMP3ogg->click();
    EXPECT_EQ(get("FrmSet", "ChkMP3ogg"), "1");
    EXPECT_TRUE(d.Slider1->isEnabled());
    d.Slider1->setValue(0);
    EXPECT_EQ(d.LblBitrate->text(), "Current nominal bitrate: 8 kbit");
    EXPECT_EQ(d.Slider1->toolTip(), "8");
    d.ChkMP3ogg->click();
    EXPECT_EQ(d.Slider1->value(), 9);
    EXPECT_FALSE(d.Slider1->isEnabled());
    EXPECT_EQ(d.LblBitrate->text(), "Current nominal bitrate: 128 kbit");
    d.ChkMP3ogg->click();
    d.Slider1->setValue(12);
    d.FormatCB->setCurrentText("SAFT16kHz8BitMono");
    d.Cmdok_Click();
    EXPECT_EQ(get("ReadSet", "Format"), "SAFT16kHz8BitMono");
    EXPECT_EQ(get("ReadSet", "MP3Ogg"), "12");
    EXPECT_EQ(get("ReadSet", "OptionControl"), "1");
    EXPECT_EQ(get("ReadSet", "SimplyControl"), "2");
    EXPECT_EQ(get("ReadSet", "Reader"), "-1");
}

TEST_F(SettingsDialogTest, OkRegistersTheNewHotkeysAtOnce)
{
    ScriptedSpeechEngine engine;
    auto grabs = std::make_shared<Grabs>();
    GlobalHotkeys::instance()->setBackend(std::make_unique<RecordingBackend>(grabs));
    const char* keys[] = {"1", "2", "3", "4", "5", "6", "7"};
    for (int i = 0; i < 7; ++i)
        set("ReadSet", QStringLiteral("HotKey%1").arg(i + 1), QStringLiteral("Ctrl+%1").arg(keys[i]));
    auto tray = std::make_unique<systemtray>();
    SpeechController::install(tray.get());
    tray->Sethotkeys();
    ASSERT_TRUE(grabs->held.contains({MOD_CONTROL, '1'}));

    frmSet d;
    d.ComboKey[0]->setCurrentText("B");
    d.CheckArt[0]->setChecked(true);
    QStringList fontNameAtGrab;
    grabs->onGrab = [&] { fontNameAtGrab << get("FrmSet", "FontName"); };
    d.Cmdok_Click();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_TRUE(grabs->held.contains({MOD_CONTROL | MOD_ALT, 'B'}));
    EXPECT_FALSE(grabs->held.contains({MOD_CONTROL, '1'}));
    EXPECT_EQ(GlobalHotkeys::instance()->registered().value(11112), (GlobalHotkeys::Combination{3, 66}));
    // Registered right after the hotkeys were stored, before the rest.
    ASSERT_FALSE(fontNameAtGrab.isEmpty());
    for (const QString& v : fontNameAtGrab)
        EXPECT_EQ(v, "<missing>");
    grabs->onGrab = {};
    tray.reset();
}

TEST_F(SettingsDialogTest, TheFormatShownIsTheFormatStored)
{
    // Simple Control: each quality shows the format OK stores for it.
    const char* simple[] = {"SAFT48kHz16BitMono", "SAFT24kHz16BitMono", "SAFT11kHz16BitMono"};
    set("ReadSet", "Format", "SAFT44kHz16BitStereo");
    for (int quality : {2, 1, 0}) {
        frmSet d;
        distinctHotkeys(d);
        d.QualityCB->setCurrentIndex(quality);
        EXPECT_EQ(d.FormatCB->currentText(), simple[quality]);
        d.Cmdok_Click();
        EXPECT_EQ(get("ReadSet", "Format"), simple[quality]);
        frmSet again;
        EXPECT_EQ(again.FormatCB->currentText(), simple[quality]);
        EXPECT_EQ(again.QualityCB->currentIndex(), quality);
    }
    // Advanced Control: the format chosen, from the one Simple showed.
    const QStringList formats = frmSet::AudioFormatNames();
    for (int i = 0; i < formats.size(); i += 7) {
        frmSet d;
        distinctHotkeys(d);
        d.OptionQality[1]->setChecked(true);
        EXPECT_EQ(d.FormatCB->currentText(), simple[0]);
        d.FormatCB->setCurrentIndex(i);
        d.Cmdok_Click();
        EXPECT_EQ(get("ReadSet", "Format"), formats[i]);
        frmSet again;
        EXPECT_EQ(again.FormatCB->currentText(), formats[i]);
        EXPECT_TRUE(again.OptionQality[1]->isChecked());
        set("ReadSet", "OptionControl", "0");
    }
}

TEST_F(SettingsDialogTest, FormatNamesKeyNamesAndBitrates)
{
    const QStringList formats = frmSet::AudioFormatNames();
    ASSERT_EQ(formats.size(), 36);
    EXPECT_EQ(formats.first(), "SAFT8kHz8BitMono");
    EXPECT_EQ(formats[1], "SAFT8kHz8BitStereo");
    EXPECT_EQ(formats[2], "SAFT8kHz16BitMono");
    EXPECT_EQ(formats[4], "SAFT11kHz8BitMono");
    EXPECT_EQ(formats[19], "SAFT22kHz16BitStereo");
    EXPECT_EQ(formats.last(), "SAFT48kHz16BitStereo");
    const QStringList keys = frmSet::HotkeyKeyNames();
    ASSERT_EQ(keys.size(), 56);
    EXPECT_EQ(keys[0], "0");
    EXPECT_EQ(keys[10], "A");
    EXPECT_EQ(keys[36], "F1");
    EXPECT_EQ(keys.mid(48), (QStringList{"Add", "Subtract", "Left", "Up", "Right", "Down", "PageUp", "PageDown"}));
    const int expected[] = {8, 16, 24, 32, 48, 56, 64, 96, 112, 128, 160, 192, 224, 256, 320};
    for (int step = 0; step < 15; ++step) {
        int kbit = -1;
        frmSet::BitrateFromSlider(step, kbit);
        EXPECT_EQ(kbit, expected[step]) << step;
    }
    for (int step : {-1, 15, 100}) {
        int kbit = -1;
        frmSet::BitrateFromSlider(step, kbit);
        EXPECT_EQ(kbit, 0);
    }
    frmSet d;
    EXPECT_EQ(d.FormatCB->count(), 36);
    EXPECT_EQ(d.ComboKey[6]->count(), 56);
}

TEST_F(SettingsDialogTest, FontPageThroughTheCommonDialog)
{
    set("FrmSet", "FontBold", "False");
    set("FrmSet", "FontItalic", "False");
    set("FrmSet", "FontUnderline", "False");
    frmSet d;
    QList<CommonDialog> seen;
    SetCommonDialogAnswerer([&](CommonDialog& dlg, CommonDialog::Kind kind) {
        EXPECT_EQ(kind, CommonDialog::Font);
        seen.append(dlg);
        dlg.FontName = "Courier";
        dlg.FontSize = 14.5F;
        dlg.FontBold = true;
        dlg.FontStrikethru = false;
        dlg.FontUnderline = true;
        dlg.Color = 0x0000FF; // red
    });
    d.CmdFormatFont->click();
    ASSERT_EQ(seen.size(), 1);
    EXPECT_EQ(seen[0].Flags, 259);
    EXPECT_EQ(seen[0].FontName, "Arial");
    EXPECT_EQ(seen[0].FontSize, 12.0F);
    EXPECT_TRUE(seen[0].FontStrikethru);
    EXPECT_FALSE(seen[0].FontBold);
    EXPECT_EQ(d.slblFontName->text(), "Courier");
    EXPECT_EQ(d.slblFontSize->text(), "14.5");
    EXPECT_EQ(d.slblFontStyle->text(), "Bold     Underline     ");

    // A cancelled font dialog keeps the font as it was.
    SetCommonDialogAnswerer([](CommonDialog&, CommonDialog::Kind) {});
    d.CmdFormatFont->click();
    EXPECT_EQ(d.slblFontStyle->text(), "Bold     Underline     ");
    EXPECT_EQ(d.slblFontName->text(), "Courier");

    distinctHotkeys(d);
    d.Cmdok_Click();
    EXPECT_EQ(get("FrmSet", "FontName"), "Courier");
    EXPECT_EQ(get("FrmSet", "FontSize"), "14.5");
    EXPECT_EQ(get("FrmSet", "FontBold"), "True");
    EXPECT_EQ(get("FrmSet", "FontItalic"), "False");
    EXPECT_EQ(get("FrmSet", "FontStrikethru"), "False");
    EXPECT_EQ(get("FrmSet", "FontUnderline"), "True");
    EXPECT_EQ(get("FrmSet", "Color"), "255");
}

TEST_F(SettingsDialogTest, CancelledFontDialogKeepsStrikeThrough)
{
    frmSet d;
    SetCommonDialogAnswerer([](CommonDialog&, CommonDialog::Kind) {});
    d.CmdFormatFont_Click();
    EXPECT_EQ(d.slblFontStyle->text(), "Bold     Italic     StrikeThru     Underline     ");
}

TEST_F(SettingsDialogTest, ShownModalThroughTheProgramWindows)
{
    set("ReadSet", "Speed", "2");
    QStringList seen;
    SetModalAnswerer([&](QDialog* dialog) {
        auto* d = qobject_cast<frmSet*>(dialog);
        EXPECT_NE(d, nullptr);
        if (!d)
            return 0;
        seen << d->Label28->text();
        d->Cmdcancel_Click();
        return d->result();
    });
    AppWindows windows;
    windows.frmSet_ShowModal();
    set("ReadSet", "Speed", "-1");
    windows.frmSet_ShowModal();
    EXPECT_EQ(seen, (QStringList{"2", "-1"}));
}

} // namespace
