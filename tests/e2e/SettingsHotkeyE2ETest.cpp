// The settings dialog on the test desktop: changing the Play/Pause hotkey and
// pressing OK makes the new combination act at once (real X key grabs,
// pressed with xdotool) and frees the old one; duplicate hotkeys keep the
// dialog open with the message.
#include "app/AppWindows.h"
#include "core/Globals.h"
#include "core/MessageBox.h"
#include "core/ProgramWindows.h"
#include "core/SettingsStore.h"
#include "core/StringTable.h"
#include "floatingbar/frmSet.h"
#include "platform/GlobalHotkeys.h"
#include "speech/systemtray.h"
#include "support/EventPump.h"
#include "support/IsolatedSettings.h"
#include "support/ProgramRun.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <gtest/gtest.h>


namespace {

void press(const QString& keys)
{
    QProcess::execute("xdotool", {"key", "--clearmodifiers", keys});
}

QString grabState(int xmods, const QString& keysym)
{
    QProcess p;
    p.start(programDir() + "/grab_check", {QString::number(xmods), keysym});
    p.waitForFinished(5000);
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

// Sets row `row` (0-based) of the hotkey page.
void setRow(frmSet* dialog, int row, bool ctrl, bool shift, bool alt, const QString& key)
{
    dialog->CheckCtrl[row]->setChecked(ctrl);
    dialog->CheckShift[row]->setChecked(shift);
    dialog->CheckArt[row]->setChecked(alt);
    dialog->ComboKey[row]->setCurrentIndex(dialog->ComboKey[row]->findText(key));
}

TEST(SettingsOnTheDesktop, ChangedHotkeyActsAtOnceAndTheOldOneIsFreed)
{
    if (QGuiApplication::platformName() != "xcb")
        GTEST_SKIP() << "needs the test desktop";
    IsolatedSettings settings(fileBytes(programDir() + "/Update.xml"));
    ASSERT_TRUE(QFile::exists(settings.file));
    globals.AppFolder = programDir();
    globals.SettingsFile = settings.file;
    ASSERT_EQ(grabState(4 + 8, "r"), "free") << "another program holds the test hotkey";
    QList<MsgBoxCall> messages;
    SetMsgBoxAnswerer([&](const MsgBoxCall& c) {
        messages << c;
        return int(vbOK);
    });

    AppWindows windows;
    ProgramWindows::install(&windows);
    systemtray controller;
    SpeechController::install(&controller);
    controller.Form_Load();
    QList<int> pressed;
    QObject receiver; // the connection ends with the test
    QObject::connect(GlobalHotkeys::instance(), &GlobalHotkeys::hotKeyPressed, &receiver, [&](int id) { pressed << id; });

    press("ctrl+alt+r");
    EXPECT_TRUE(pumpUntil([&] { return pressed.contains(11112); }, 15000)) << "the shipped Play/Pause hotkey does not act";
    pressed.clear();

    // Row 1 (Play/Pause) becomes Ctrl+Alt+P; OK.
    bool stayedOpen = false;
    SetModalAnswerer([&](QDialog* d) {
        auto* dialog = qobject_cast<frmSet*>(d);
        if (!dialog)
            return 0;
        setRow(dialog, 0, true, false, true, "P");
        dialog->Cmdok_Click();
        return 1;
    });
    ProgramWindows::get().frmSet_ShowModal();
    EXPECT_EQ(ReadSetting(globals.IniFile, "ReadSet", "HotKey1", ""), "Ctrl+Alt+P");

    press("ctrl+alt+p");
    EXPECT_TRUE(pumpUntil([&] { return pressed.contains(11112); }, 15000)) << "the new combination does not act";
    pressed.clear();
    // The old combination, then Stop's: once Stop's press has come, the
    // old one's would have come before it.
    press("ctrl+alt+r");
    press("ctrl+alt+s");
    EXPECT_TRUE(pumpUntil([&] { return pressed.contains(11118); }, 15000)) << "the Stop hotkey does not act";
    EXPECT_FALSE(pressed.contains(11112)) << "the old combination still acts";
    EXPECT_EQ(grabState(4 + 8, "r"), "free");
    EXPECT_EQ(grabState(4 + 8, "p"), "taken");

    // A duplicate (row 1 = row 7's Ctrl+Alt+S): the message, nothing stored,
    // the dialog stays open.
    SetModalAnswerer([&](QDialog* d) {
        auto* dialog = qobject_cast<frmSet*>(d);
        if (!dialog)
            return 0;
        d->show();
        setRow(dialog, 0, true, false, true, "S");
        dialog->Cmdok_Click();
        stayedOpen = d->isVisible() && d->result() == 0;
        return 0;
    });
    ProgramWindows::get().frmSet_ShowModal();
    ASSERT_FALSE(messages.isEmpty());
    EXPECT_TRUE(messages.last().prompt.startsWith(LoadResString(5204))) << messages.last().prompt.toStdString();
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(ReadSetting(globals.IniFile, "ReadSet", "HotKey1", ""), "Ctrl+Alt+P");

    SetModalAnswerer({});
    SetMsgBoxAnswerer({});
    for (int id = 11112; id <= 11118; ++id)
        GlobalHotkeys::instance()->UnregisterHotKey(id);
    ProgramWindows::install(nullptr);
}

// Another program's grab of a moment (a key-binding tool, a test's probe)
// must not cost a hotkey: the refused grab is tried again and lands once the
// other grab ends. A combination held for good is given up after about a
// second.
TEST(SettingsOnTheDesktop, ARefusedGrabIsTriedAgain)
{
    if (QGuiApplication::platformName() != "xcb")
        GTEST_SKIP() << "needs the test desktop";
    struct Holder {
        QProcess proc;
        bool start(const QString& key)
        {
            proc.start(programDir() + "/grab_check", {QString::number(4 + 8), key, "hold"});
            return proc.waitForReadyRead(5000) && proc.readAllStandardOutput().trimmed() == "free";
        }
        ~Holder()
        {
            proc.closeWriteChannel();
            proc.waitForFinished(5000);
        }
    } passing, forGood;
    ASSERT_TRUE(passing.start("r"));
    ASSERT_TRUE(forGood.start("p"));
    GlobalHotkeys* hotkeys = GlobalHotkeys::instance();
    QList<int> pressed;
    QObject receiver; // the connection ends with the test
    QObject::connect(hotkeys, &GlobalHotkeys::hotKeyPressed, &receiver, [&](int id) { pressed << id; });

    EXPECT_FALSE(hotkeys->RegisterHotKey(11112, MOD_CONTROL | MOD_ALT, 'R'));
    EXPECT_FALSE(hotkeys->RegisterHotKey(11113, MOD_CONTROL | MOD_ALT, 'P'));
    EXPECT_TRUE(hotkeys->waiting());
    passing.proc.closeWriteChannel();
    ASSERT_TRUE(passing.proc.waitForFinished(5000));

    EXPECT_TRUE(pumpUntil([&] { return !hotkeys->waiting(); }, 15000));
    EXPECT_TRUE(hotkeys->registered().contains(11112)) << "the grab was not tried again";
    EXPECT_FALSE(hotkeys->registered().contains(11113));
    QProcess::execute("xdotool", {"key", "--clearmodifiers", "ctrl+alt+r"});
    EXPECT_TRUE(pumpUntil([&] { return pressed.contains(11112); }, 15000));

    hotkeys->UnregisterHotKey(11112);
    EXPECT_EQ(grabState(4 + 8, "r"), "free");
}

} // namespace
