#include "core/Globals.h"
#include "core/StringTable.h"
#include "platform/Registry.h"
#include "speech/FaceSwitch.h"
#include "speech/ReadingState.h"
#include "support/NullActiveDocument.h"
#include "support/IsolatedSettings.h"
#include "support/TestFaces.h"

#include <QAction>
#include <QStringList>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

QString stored(const char* name)
{
    const auto v = GetSetting(QStringLiteral("Corvane"), QStringLiteral("Controls"), QLatin1String(name));
    return v ? *v : QStringLiteral("<none>");
}

// What the world looked like when a face was called: the flags, the stored
// per-user values and the tray items.
struct Entry {
    QString call;
    bool speaking;
    bool pausing;
    bool dictating;
    QString storedSpeaking;
    QString storedPausing;
    QString storedDictating;
    bool trayStopEnabled;
    bool trayPauseEnabled;
};

// Logs every call made on the fakes, in order.
struct Recorder {
    std::vector<Entry> entries;
    QAction* trayStop = nullptr;
    QAction* trayPause = nullptr;

    void log(const QString& call)
    {
        entries.push_back({call, readingState.IsSpeaking(), readingState.IsPausing(), readingState.IsDictating(), stored("IsSpeaking"),
                           stored("IsPausing"), stored("IsDictating"),
                           trayStop && trayStop->isEnabled(), trayPause && trayPause->isEnabled()});
    }
    QStringList calls() const
    {
        QStringList out;
        for (const Entry& e : entries)
            out << e.call;
        return out;
    }
};

QString onOff(bool v)
{
    return v ? QStringLiteral("1") : QStringLiteral("0");
}

// The names the calls are logged by.
QString nameOf(DocumentControl control)
{
    switch (control) {
    case DocumentControl::tbToolBar:
        return QStringLiteral("tbToolBar");
    case DocumentControl::SpeakBtn:
        return QStringLiteral("SpeakBtn");
    case DocumentControl::StopBtn:
        return QStringLiteral("StopBtn");
    case DocumentControl::PauseBtn:
        return QStringLiteral("PauseBtn");
    case DocumentControl::ResumeBtn:
        return QStringLiteral("ResumeBtn");
    case DocumentControl::VoiceCB:
        return QStringLiteral("VoiceCB");
    case DocumentControl::cpvSlider1:
        return QStringLiteral("cpvSlider1");
    case DocumentControl::NextBtn:
        return QStringLiteral("NextBtn");
    case DocumentControl::PriewBtn:
        return QStringLiteral("PriewBtn");
    }
    return QStringLiteral("?");
}

QString nameOf(MenuItem item)
{
    switch (item) {
    case MenuItem::mnuCtlSpeak:
        return QStringLiteral("mnuCtlSpeak");
    case MenuItem::mnuCtlPause:
        return QStringLiteral("mnuCtlPause");
    case MenuItem::mnuCtlStop:
        return QStringLiteral("mnuCtlStop");
    case MenuItem::mnuCtlclipboard:
        return QStringLiteral("mnuCtlclipboard");
    case MenuItem::mnuCtlSaveClipboardTexttoWav:
        return QStringLiteral("mnuCtlSaveClipboardTexttoWav");
    case MenuItem::mnuCtlSet:
        return QStringLiteral("mnuCtlSet");
    case MenuItem::mnuCtlDictation:
        return QStringLiteral("mnuCtlDictation");
    case MenuItem::mnuTrayPause:
        return QStringLiteral("mnuTrayPause");
    case MenuItem::mnuTrayStop:
        return QStringLiteral("mnuTrayStop");
    case MenuItem::mnuTrayReadClipboard:
        return QStringLiteral("mnuTrayReadClipboard");
    case MenuItem::mnuTrayPlayFile:
        return QStringLiteral("mnuTrayPlayFile");
    case MenuItem::mnuTrayClipboardtoWav:
        return QStringLiteral("mnuTrayClipboardtoWav");
    case MenuItem::mnuPopSpeak:
        return QStringLiteral("mnuPopSpeak");
    case MenuItem::mnuPopPaste:
        return QStringLiteral("mnuPopPaste");
    case MenuItem::mnuPopPause:
        return QStringLiteral("mnuPopPause");
    case MenuItem::mnuPopStop:
        return QStringLiteral("mnuPopStop");
    case MenuItem::mnuEdit:
        return QStringLiteral("mnuEdit");
    case MenuItem::mnuWebsite:
        return QStringLiteral("mnuWebsite");
    case MenuItem::mnuFile:
        return QStringLiteral("mnuFile");
    case MenuItem::mnuFormat:
        return QStringLiteral("mnuFormat");
    case MenuItem::mnuWindow:
        return QStringLiteral("mnuWindow(0)");
    case MenuItem::mnuView:
        return QStringLiteral("mnuView");
    }
    return QStringLiteral("?");
}

class FakeBar : public FloatingBarFace {
public:
    explicit FakeBar(Recorder& r) : r_(r) {}
    void docksetmemnu(bool& speaking, bool& paused) override
    {
        r_.log(QStringLiteral("bar %1 %2").arg(onOff(speaking), onOff(paused)));
    }

private:
    Recorder& r_;
};

class FakeDocument : public NullActiveDocument {
public:
    explicit FakeDocument(Recorder& r) : r_(r) {}
    void setControlEnabled(DocumentControl control, bool enabled) override
    {
        r_.log(QStringLiteral("doc %1.Enabled=%2").arg(nameOf(control), onOff(enabled)));
    }
    void setControlVisible(DocumentControl control, bool visible) override
    {
        r_.log(QStringLiteral("doc %1.Visible=%2").arg(nameOf(control), onOff(visible)));
    }
    void setToolbarButtonEnabled(int index, bool enabled) override
    {
        r_.log(QStringLiteral("doc tbToolBar.Buttons(%1).Enabled=%2").arg(index).arg(onOff(enabled)));
    }
    void control_pos() override { r_.log(QStringLiteral("doc control_pos")); }

private:
    Recorder& r_;
};

class FakeMainWindow : public MainWindowFace {
public:
    explicit FakeMainWindow(Recorder& r) : r_(r) {}
    void setMenuEnabled(MenuItem item, bool enabled) override
    {
        r_.log(QStringLiteral("menu %1=%2").arg(nameOf(item), onOff(enabled)));
    }
    void setMenuCaption(MenuItem item, const QString& caption) override
    {
        r_.log(QStringLiteral("caption %1=%2").arg(nameOf(item), caption));
    }
    // The main window's active document window (given to the faces).
    ActiveDocument* document = nullptr;

private:
    Recorder& r_;
};

// The menu table: item, value when idle, value when speaking ('E', 'D', or
// '-' for not touched).
struct MenuRow {
    const char* item;
    char idle;
    char speaking;
};
const MenuRow kMenuTable[] = {
    {"mnuCtlSpeak", 'E', 'D'},
    {"mnuCtlPause", 'D', 'E'},
    {"mnuCtlStop", 'D', 'E'},
    {"mnuCtlclipboard", 'E', 'D'},
    {"mnuCtlSaveClipboardTexttoWav", 'E', 'D'},
    {"mnuCtlSet", 'E', 'D'},
    {"mnuCtlDictation", 'E', 'D'},
    {"mnuTrayPause", 'D', 'E'},
    {"mnuTrayStop", 'D', 'E'},
    {"mnuTrayReadClipboard", 'E', 'D'},
    {"mnuTrayPlayFile", 'E', 'D'},
    {"mnuTrayClipboardtoWav", 'E', 'D'},
    {"mnuPopSpeak", 'E', '-'},
    {"mnuPopPaste", 'E', '-'},
    {"mnuPopPause", 'D', '-'},
    {"mnuPopStop", 'D', '-'},
    {"mnuEdit", 'E', 'D'},
    {"mnuWebsite", 'E', 'D'},
    {"mnuFile", 'E', 'D'},
    {"mnuFormat", 'E', 'D'},
    {"mnuWindow(0)", 'E', 'D'},
};

QString menu(const QString& item, char value)
{
    return QStringLiteral("menu %1=%2").arg(item, value == 'E' ? QStringLiteral("1") : QStringLiteral("0"));
}

QStringList idleMenus()
{
    QStringList out;
    for (const MenuRow& row : kMenuTable)
        out << menu(row.item, row.idle);
    return out;
}

QStringList speakingMenus()
{
    QStringList out;
    for (const MenuRow& row : kMenuTable) {
        if (row.speaking != '-')
            out << menu(row.item, row.speaking);
    }
    return out;
}

// While dictating: the two stop items and Edit enabled, every other
// non-pop-up item of the table and View disabled.
QStringList dictatingMenus()
{
    QStringList out;
    for (const MenuRow& row : kMenuTable) {
        const QString item = row.item;
        if (item.startsWith(QStringLiteral("mnuPop")))
            continue;
        const bool on = item == "mnuTrayStop" || item == "mnuCtlStop" || item == "mnuEdit";
        out << menu(item, on ? 'E' : 'D');
    }
    out << menu(QStringLiteral("mnuView"), 'D');
    return out;
}

const QStringList kIdleDocument = {
    "doc tbToolBar.Enabled=1",  "doc SpeakBtn.Enabled=1", "doc SpeakBtn.Visible=1",
    "doc StopBtn.Enabled=0",    "doc PauseBtn.Visible=0", "doc ResumeBtn.Visible=0",
    "doc VoiceCB.Enabled=1",    "doc cpvSlider1.Enabled=1", "doc NextBtn.Enabled=0",
    "doc PriewBtn.Enabled=0",   "doc control_pos",
};

const QStringList kSpeakingDocument = {
    "doc tbToolBar.Enabled=0", "doc SpeakBtn.Visible=0", "doc StopBtn.Enabled=1",
    "doc PauseBtn.Enabled=1",  "doc PauseBtn.Visible=1", "doc ResumeBtn.Visible=0",
    "doc VoiceCB.Enabled=0",   "doc cpvSlider1.Enabled=0",
};

const QStringList kRunningDocument = {
    "doc NextBtn.Enabled=1", "doc PriewBtn.Enabled=1", "doc PauseBtn.Visible=1",
    "doc ResumeBtn.Visible=0",
};

const QStringList kPausedDocument = {
    "doc PauseBtn.Visible=0", "doc ResumeBtn.Visible=1", "doc NextBtn.Enabled=0",
    "doc PriewBtn.Enabled=0",
};

QStringList captions(const QString& text)
{
    return {QStringLiteral("caption mnuCtlPause=") + text, QStringLiteral("caption mnuPopPause=") + text};
}

QStringList withoutDocument(const QStringList& calls)
{
    QStringList out;
    for (const QString& c : calls) {
        if (!c.startsWith(QStringLiteral("doc ")))
            out << c;
    }
    return out;
}

class ReadingStateTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(RegistryFile(RegRoot::CurrentUser).startsWith(settings_.configHome()));

        globals.AppFolder = qEnvironmentVariable("TAMSEL_PROGRAM_DIR");
        pause_ = LoadResString(1131);
        resume_ = LoadResString(2107);
        ASSERT_EQ(pause_, QStringLiteral("Pause"));
        ASSERT_EQ(resume_, QStringLiteral("Resume"));

        readingState.reset();
        trayStop_ = std::make_unique<QAction>(QStringLiteral("Stop"));
        trayPause_ = std::make_unique<QAction>(QStringLiteral("Pause"));
        trayStop_->setEnabled(false);
        trayPause_->setEnabled(false);
        rec_.trayStop = trayStop_.get();
        rec_.trayPause = trayPause_.get();
        faces_.bar = &bar_;
        faces_.main = &main_;
        faces_.document = [this] { return main_.document; };
        ReadingFaces::mnuTrayStop = trayStop_.get();
        ReadingFaces::mnuTrayPause = trayPause_.get();
    }

    void TearDown() override
    {
        ReadingFaces::mnuTrayStop = nullptr;
        ReadingFaces::mnuTrayPause = nullptr;
        readingState.reset();
    }

    // Main window shown with an open document window.
    void showMainWithDocument()
    {
        FaceSwitch::mainWindowShown(true);
        main_.document = &doc_;
    }

    // Runs a call and returns the face calls it made.
    template <typename F>
    QStringList run(F&& f)
    {
        rec_.entries.clear();
        f();
        return rec_.calls();
    }

    IsolatedSettings settings_;
    QString pause_, resume_;
    Recorder rec_;
    FakeBar bar_{rec_};
    FakeDocument doc_{rec_};
    FakeMainWindow main_{rec_};
    TestFaces faces_;
    std::unique_ptr<QAction> trayStop_, trayPause_;
};

TEST_F(ReadingStateTest, StartingToSpeakOnTheMainWindowSetsDocumentMenusStoreTrayAndCaptionsInOrder)
{
    showMainWithDocument();
    const QStringList calls = run([] { SetSpeakingState(true, false); });

    EXPECT_EQ(calls, kSpeakingDocument + speakingMenus() + captions(pause_) + kRunningDocument);
    EXPECT_EQ(stored("IsSpeaking"), "1");
    EXPECT_EQ(stored("IsPausing"), "0");
    EXPECT_TRUE(trayStop_->isEnabled());
    EXPECT_TRUE(trayPause_->isEnabled());
    EXPECT_EQ(trayPause_->text(), pause_);
    EXPECT_TRUE(readingState.IsSpeaking());
    EXPECT_FALSE(readingState.IsPausing());

    // Documents and menus come before the stored value and the tray items;
    // the captions after them; the flags change only after every face.
    const qsizetype firstCaption = calls.indexOf(captions(pause_).first());
    ASSERT_GT(firstCaption, 0);
    for (qsizetype i = 0; i < qsizetype(rec_.entries.size()); ++i) {
        const Entry& e = rec_.entries[i];
        EXPECT_FALSE(e.speaking) << e.call.toStdString();
        const bool afterStore = i >= firstCaption;
        EXPECT_EQ(e.storedSpeaking, afterStore ? "1" : "<none>") << e.call.toStdString();
        EXPECT_EQ(e.trayStopEnabled, afterStore) << e.call.toStdString();
        EXPECT_EQ(e.trayPauseEnabled, afterStore) << e.call.toStdString();
        EXPECT_EQ(e.storedPausing, afterStore ? "0" : "<none>") << e.call.toStdString();
    }
}

TEST_F(ReadingStateTest, PauseAndResumeOnTheMainWindowSwapTheButtonsAndCaptions)
{
    showMainWithDocument();
    SetSpeakingState(true, false);

    QStringList calls = run([] { SetSpeakingState(readingState.IsSpeaking(), true); });
    EXPECT_EQ(calls, kSpeakingDocument + speakingMenus() + captions(resume_) + kPausedDocument);
    EXPECT_EQ(stored("IsSpeaking"), "1");
    EXPECT_EQ(stored("IsPausing"), "1");
    EXPECT_EQ(trayPause_->text(), resume_);
    EXPECT_TRUE(trayPause_->isEnabled());
    EXPECT_TRUE(readingState.IsSpeaking());
    EXPECT_TRUE(readingState.IsPausing());
    for (const Entry& e : rec_.entries)
        EXPECT_FALSE(e.pausing) << e.call.toStdString();

    calls = run([] { SetSpeakingState(readingState.IsSpeaking(), false); });
    EXPECT_EQ(calls, kSpeakingDocument + speakingMenus() + captions(pause_) + kRunningDocument);
    EXPECT_EQ(stored("IsPausing"), "0");
    EXPECT_EQ(trayPause_->text(), pause_);
    EXPECT_FALSE(readingState.IsPausing());
    for (const Entry& e : rec_.entries)
        EXPECT_TRUE(e.pausing) << e.call.toStdString();
}

TEST_F(ReadingStateTest, StoppingWhilePausedGivesTheIdleLayoutAndKeepsTheStoredPause)
{
    showMainWithDocument();
    SetSpeakingState(true, false);
    SetSpeakingState(true, true);
    ASSERT_EQ(stored("IsPausing"), "1");

    const QStringList calls = run([] { SetSpeakingState(false, false); });
    EXPECT_EQ(calls, idleMenus() + kIdleDocument);
    EXPECT_EQ(stored("IsSpeaking"), "0");
    EXPECT_EQ(stored("IsPausing"), "1");
    EXPECT_FALSE(trayStop_->isEnabled());
    EXPECT_FALSE(trayPause_->isEnabled());
    EXPECT_FALSE(readingState.IsSpeaking());
    EXPECT_FALSE(readingState.IsPausing());

    // The faces first, then the tray and the stored value, then the flags.
    for (const Entry& e : rec_.entries) {
        EXPECT_TRUE(e.speaking && e.pausing) << e.call.toStdString();
        EXPECT_EQ(e.storedSpeaking, "1") << e.call.toStdString();
        EXPECT_TRUE(e.trayStopEnabled && e.trayPauseEnabled) << e.call.toStdString();
    }
}

TEST_F(ReadingStateTest, MainWindowWithoutDocumentTouchesNoDocumentControl)
{
    FaceSwitch::mainWindowShown(true);
    main_.document = nullptr;

    QStringList calls = run([] { SetSpeakingState(true, true); });
    EXPECT_EQ(calls, withoutDocument(kSpeakingDocument + speakingMenus() + captions(resume_)));
    EXPECT_EQ(stored("IsSpeaking"), "1");
    EXPECT_EQ(stored("IsPausing"), "1");
    EXPECT_TRUE(trayStop_->isEnabled());
    EXPECT_EQ(trayPause_->text(), resume_);

    calls = run([] { SetSpeakingState(false, false); });
    EXPECT_EQ(calls, idleMenus());
    EXPECT_FALSE(calls.contains(QStringLiteral("doc control_pos")));
    EXPECT_EQ(stored("IsSpeaking"), "0");
    EXPECT_FALSE(trayStop_->isEnabled());
    EXPECT_FALSE(trayPause_->isEnabled());

    calls = run([] { SetDictatingState(false); });
    EXPECT_EQ(calls, idleMenus() << menu(QStringLiteral("mnuView"), 'E'));
    calls = run([] { SetDictatingState(true); });
    EXPECT_EQ(calls, dictatingMenus());
    EXPECT_EQ(stored("IsDictating"), "1");
}

TEST_F(ReadingStateTest, MissingTrayItemsAreSkippedAndTheRestIsStillDone)
{
    showMainWithDocument();
    ReadingFaces::mnuTrayStop = nullptr;
    ReadingFaces::mnuTrayPause = nullptr;

    QStringList calls = run([] { SetSpeakingState(true, true); });
    EXPECT_EQ(calls, kSpeakingDocument + speakingMenus() + captions(resume_) + kPausedDocument);
    EXPECT_EQ(stored("IsPausing"), "1");
    calls = run([] { SetSpeakingState(false, false); });
    EXPECT_EQ(calls, idleMenus() + kIdleDocument);
    EXPECT_EQ(stored("IsSpeaking"), "0");
    SetDictatingState(true);
    EXPECT_EQ(stored("IsDictating"), "1");
    EXPECT_TRUE(readingState.IsDictating());
    // The actions the faces no longer point at were left as they were.
    EXPECT_FALSE(trayStop_->isEnabled());
    EXPECT_EQ(trayPause_->text(), QStringLiteral("Pause"));
}

TEST_F(ReadingStateTest, FloatingBarFaceLeavesStoreAndTrayAloneWhileSpeaking)
{
    // The main window is loaded but not the face: only the flag counts.
    FaceSwitch::floatingBarShown(true);
    main_.document = &doc_;
    trayPause_->setText(QStringLiteral("old"));

    QStringList calls = run([] { SetSpeakingState(true, false); });
    EXPECT_EQ(calls, QStringList{"bar 1 0"});
    EXPECT_EQ(stored("IsSpeaking"), "<none>");
    EXPECT_EQ(stored("IsPausing"), "<none>");
    EXPECT_FALSE(trayStop_->isEnabled());
    EXPECT_FALSE(trayPause_->isEnabled());
    EXPECT_EQ(trayPause_->text(), QStringLiteral("old"));
    EXPECT_TRUE(readingState.IsSpeaking());

    // Stopping disables the tray items and stores "0" whatever the face,
    // and never stores the pause.
    trayStop_->setEnabled(true);
    trayPause_->setEnabled(true);
    calls = run([] { SetSpeakingState(false, false); });
    EXPECT_EQ(calls, QStringList{"bar 0 0"});
    EXPECT_EQ(stored("IsSpeaking"), "0");
    EXPECT_EQ(stored("IsPausing"), "<none>");
    EXPECT_FALSE(trayStop_->isEnabled());
    EXPECT_FALSE(trayPause_->isEnabled());
    EXPECT_FALSE(readingState.IsSpeaking());
    // The bar was called before the tray and the store changed.
    EXPECT_TRUE(rec_.entries.at(0).trayStopEnabled);
    EXPECT_EQ(rec_.entries.at(0).storedSpeaking, "<none>");
}

TEST_F(ReadingStateTest, FloatingBarIsGivenThePauseStoredBeforeTheCall)
{
    FaceSwitch::floatingBarShown(true);
    SetSpeakingState(true, false);

    // A pause by hotkey: the bar still sees "not paused" and keeps Pause.
    QStringList calls = run([] { SetSpeakingState(readingState.IsSpeaking(), true); });
    EXPECT_EQ(calls, QStringList{"bar 1 0"});
    EXPECT_TRUE(readingState.IsPausing());

    // The next call shows the pause that was stored by the previous one.
    calls = run([] { SetSpeakingState(readingState.IsSpeaking(), false); });
    EXPECT_EQ(calls, QStringList{"bar 1 1"});
    EXPECT_FALSE(readingState.IsPausing());

    // The bar's own Pause button has the state show the pause first.
    SetSpeakingState(readingState.IsSpeaking(), true);
    calls = run([] { SetSpeakingState(readingState.IsSpeaking(), true); });
    EXPECT_EQ(calls, QStringList{"bar 1 1"});
}

TEST_F(ReadingStateTest, BothFacesShownBarComesFirst)
{
    FaceSwitch::floatingBarShown(true);
    showMainWithDocument();

    QStringList calls = run([] { SetSpeakingState(true, false); });
    EXPECT_EQ(calls, QStringList{"bar 1 0"} + kSpeakingDocument + speakingMenus() + captions(pause_)
                  + kRunningDocument);

    // Not speaking but paused: the idle layout everywhere, yet the pause
    // flag is kept as given and the stored pause is not written.
    calls = run([] { SetSpeakingState(false, true); });
    EXPECT_EQ(calls, QStringList{"bar 0 0"} + idleMenus() + kIdleDocument);
    EXPECT_FALSE(readingState.IsSpeaking());
    EXPECT_TRUE(readingState.IsPausing());
    EXPECT_EQ(stored("IsSpeaking"), "0");
    EXPECT_EQ(stored("IsPausing"), "0");
}

TEST_F(ReadingStateTest, EndOfDictationRestoresTheIdleLayout)
{
    // Dictating while no face is shown: only the flag changes.
    SetDictatingState(true);
    FaceSwitch::floatingBarShown(true);
    showMainWithDocument();
    trayStop_->setEnabled(true);
    trayPause_->setEnabled(true);

    const QStringList calls = run([] { SetDictatingState(false); });
    const QStringList document = {
        "doc tbToolBar.Buttons(1).Enabled=1", "doc tbToolBar.Buttons(2).Enabled=1",
        "doc SpeakBtn.Enabled=1",            "doc SpeakBtn.Visible=1",
        "doc StopBtn.Enabled=0",             "doc PauseBtn.Visible=0",
        "doc ResumeBtn.Visible=0",           "doc VoiceCB.Enabled=1",
        "doc cpvSlider1.Enabled=1",          "doc control_pos",
    };
    EXPECT_EQ(calls, QStringList{"bar 0 0"} + idleMenus() + QStringList{menu("mnuView", 'E')} + document);
    EXPECT_EQ(stored("IsDictating"), "0");
    EXPECT_EQ(stored("IsSpeaking"), "<none>");
    EXPECT_FALSE(trayStop_->isEnabled());
    EXPECT_FALSE(trayPause_->isEnabled());
    EXPECT_FALSE(readingState.IsDictating());
    for (const Entry& e : rec_.entries) {
        EXPECT_TRUE(e.dictating) << e.call.toStdString();
        EXPECT_EQ(e.storedDictating, "<none>") << e.call.toStdString();
        EXPECT_TRUE(e.trayStopEnabled) << e.call.toStdString();
    }
}

TEST_F(ReadingStateTest, DictationSetsItsOwnLayoutOnTheMainWindowOnly)
{
    FaceSwitch::floatingBarShown(true);
    showMainWithDocument();

    QStringList calls = run([] { SetDictatingState(true); });
    const QStringList document = {
        "doc tbToolBar.Buttons(1).Enabled=0", "doc tbToolBar.Buttons(2).Enabled=0",
        "doc SpeakBtn.Visible=0",            "doc StopBtn.Enabled=1",
        "doc PauseBtn.Enabled=0",            "doc PauseBtn.Visible=1",
        "doc ResumeBtn.Visible=0",           "doc VoiceCB.Enabled=0",
        "doc cpvSlider1.Enabled=0",
    };
    EXPECT_EQ(calls, QStringList{"bar 0 1"} + document + dictatingMenus());
    EXPECT_EQ(stored("IsDictating"), "1");
    EXPECT_TRUE(trayStop_->isEnabled());
    EXPECT_FALSE(trayPause_->isEnabled());
    EXPECT_TRUE(readingState.IsDictating());
    EXPECT_FALSE(readingState.IsSpeaking());
    for (const Entry& e : rec_.entries) {
        EXPECT_FALSE(e.dictating) << e.call.toStdString();
        EXPECT_EQ(e.storedDictating, "<none>") << e.call.toStdString();
        EXPECT_FALSE(e.trayStopEnabled) << e.call.toStdString();
    }

    // With only the bar shown nothing is stored and the tray is left alone;
    // the end of dictation stores "0" and disables the tray whatever the face.
    FaceSwitch::mainWindowShown(false);
    trayStop_->setEnabled(false);
    trayPause_->setEnabled(true);
    SaveSetting("Corvane", "Controls", "IsDictating", "0");
    calls = run([] { SetDictatingState(true); });
    EXPECT_EQ(calls, QStringList{"bar 0 1"});
    EXPECT_EQ(stored("IsDictating"), "0");
    EXPECT_FALSE(trayStop_->isEnabled());
    EXPECT_TRUE(trayPause_->isEnabled());

    trayStop_->setEnabled(true);
    calls = run([] { SetDictatingState(false); });
    EXPECT_EQ(calls, QStringList{"bar 0 0"});
    EXPECT_EQ(stored("IsDictating"), "0");
    EXPECT_FALSE(trayStop_->isEnabled());
    EXPECT_FALSE(trayPause_->isEnabled());
    EXPECT_FALSE(readingState.IsDictating());
}

TEST_F(ReadingStateTest, NoFaceShownOnlyTheTrayStoreAndFlagsChange)
{
    // Faces are registered but neither is shown.
    main_.document = &doc_;
    trayStop_->setEnabled(true);
    trayPause_->setEnabled(true);

    QStringList calls = run([] { SetSpeakingState(false, true); });
    EXPECT_TRUE(calls.isEmpty());
    EXPECT_EQ(stored("IsSpeaking"), "0");
    EXPECT_FALSE(trayStop_->isEnabled());
    EXPECT_FALSE(trayPause_->isEnabled());
    EXPECT_TRUE(readingState.IsPausing());

    calls = run([] { SetSpeakingState(true, false); });
    EXPECT_TRUE(calls.isEmpty());
    EXPECT_EQ(stored("IsSpeaking"), "0");
    EXPECT_FALSE(trayStop_->isEnabled());
    EXPECT_TRUE(readingState.IsSpeaking());
    EXPECT_FALSE(readingState.IsPausing());
}

} // namespace
