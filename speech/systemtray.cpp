#include "systemtray.h"

#include "core/Conversions.h"
#include "core/Globals.h"
#include "core/IgnoreErrors.h"
#include "core/SettingsStore.h"
#include "speech/ReadingState.h"

#include <QCoreApplication>

#include <cmath>
#include <limits>
#include <stdexcept>

namespace {


clsVoice& present(const std::unique_ptr<clsVoice>& voice)
{
    if (!voice)
        throw SpeechError("There is no speech object.");
    return *voice;
}

QString straightenQuotes(QString text)
{
    text.replace(QChar(0x201C), QChar(u'"'));
    text.replace(QChar(0x201D), QChar(u'"'));
    text.replace(QChar(0x2018), QChar(u'\''));
    text.replace(QChar(0x2019), QChar(u'\''));
    return text;
}

const QString kReadSet = QStringLiteral("ReadSet");

} // namespace

systemtray::systemtray(QWidget* parent)
    : QWidget(parent)
    , selectionReader_(std::make_unique<SelectionReader>(*this, *this))
    , hotkeyActions_(std::make_unique<HotkeyActions>(
          *this, *selectionReader_, HotkeyActions::Steps{[this] { stopReading(); }, [this] { return renewVoice(); }}))
    , trayMenu_(std::make_unique<TrayMenu>(*this, TrayMenu::Commands{
                                                      [this] { mnuTrayShowSoftware_Click(); },
                                                      [this] { mnuTrayShowDock_Click(); },
                                                      [this] { mnuSettings_Click(); },
                                                      [this] { mnuTraytraining_Click(); },
                                                      [this] { mnuTrayclipboard_Click(); },
                                                      [this] { mnuTrayPause_Click(); },
                                                      [this] { mnuTrayStop_Click(); },
                                                      [this] { mnuTrayHelp_Click(); },
                                                      [this] { mnuTrayAbout_Click(); },
                                                      [this] { mnuTrayExit_Click(); },
                                                  }))
{
    setObjectName(QStringLiteral("systemtray"));
    const struct {
        QTimer* timer;
        int interval;
        void (systemtray::*handler)();
    } timers[] = {{&Timer3, 1000, &systemtray::Timer3_Timer},
                  {&Timer4, 500, nullptr},
                  {&Timer5, 1000, &systemtray::Timer5_Timer}};
    for (const auto& t : timers) {
        t.timer->setInterval(t.interval);
        if (t.handler)
            connect(t.timer, &QTimer::timeout, this, t.handler);
    }
}

systemtray::~systemtray()
{
    releaseVoice();
    if (&SpeechController::get() == this)
        SpeechController::install(nullptr);
}

ActiveDocument* systemtray::activeDocument()
{
    ActiveDocument* document = nullptr;
    IgnoreErrors([&] { document = ReadingFaces::get().activeDocument(); });
    return document;
}

template <class F>
void systemtray::onDocument(F&& step)
{
    IgnoreErrors([&] {
        if (ActiveDocument* document = readingState.ReadingDocument())
            step(*document);
    });
}

// ---- the selection of other applications, read by the selection reader ----

void systemtray::Timer1_Timer() { selectionReader_->copyPollTick(); }
void systemtray::Timer2_Timer() { selectionReader_->savePollTick(); }
void systemtray::speakclipboardtext() { selectionReader_->speakClipboardText(); }
void systemtray::SaveTextAsAudio(const QString& text) { selectionReader_->saveTextAsAudio(text); }
bool systemtray::ClipboardChanged() { return selectionReader_->clipboardChanged(); }
void systemtray::SaveClipboardToFile() { selectionReader_->saveClipboardToFile(); }

// ---- the tray icon and menu ----

void systemtray::AddTrayIcon() { trayMenu_->addIcon(); }
void systemtray::RemoveTrayIcon() { trayMenu_->removeIcon(); }
void systemtray::TrayIconMessage(int code) { trayMenu_->iconMessage(code); }

// ---- the global hotkeys, run by the hotkey actions ----

void systemtray::Sethotkeys() { hotkeyActions_->registerFromSettings(); }
void systemtray::DoFunctions(int wk_id) { hotkeyActions_->run(wk_id); }

// ---- the speech object ----

void systemtray::makeNewVoice()
{
    auto next = std::make_unique<clsVoice>();
    connect(next.get(), &clsVoice::VoiceEnded, this, &systemtray::voicecls_VoiceEnded);
    connect(next.get(), &clsVoice::HighLightSpokenWord, this, &systemtray::voicecls_HighLightSpokenWord);
    connect(next.get(), &clsVoice::VoiceChanged, this, &systemtray::voicecls_VoiceChanged);
    replaceVoice(std::move(next));
}

int systemtray::renewVoice()
{
    makeNewVoice();
    return present(voicecls).getnumberofSpeakers();
}

void systemtray::releaseVoice()
{
    replaceVoice(nullptr);
}

void systemtray::replaceVoice(std::unique_ptr<clsVoice> next)
{
    std::unique_ptr<clsVoice> old = std::move(voicecls);
    voicecls = std::move(next);
    if (old) {
        // A discarded object raises no further events; releasing it stops
        // its speech.
        QObject::disconnect(old.get(), nullptr, this, nullptr);
        old.reset();
    }
}

// ---- the facade ----

void systemtray::speakstring(QString textstr)
{
    IgnoreErrors([&] {
        if (globals.RenewVoice)
            makeNewVoice();
    });
    IgnoreErrors([&] {
        if (!voicecls)
            makeNewVoice();
    });
    // Voice and rate come from the settings file for every utterance.
    IgnoreErrors([&] {
        const int reader = CInt(ReadSetting(globals.IniFile, kReadSet, QStringLiteral("Reader"), QStringLiteral("0")));
        present(voicecls).SetVoice(reader);
    });
    IgnoreErrors([&] {
        const int speed = CInt(ReadSetting(globals.IniFile, kReadSet, QStringLiteral("Speed"), QStringLiteral("0")));
        present(voicecls).SetRate(speed);
    });
    textstr = straightenQuotes(textstr);
    IgnoreErrors([&] { present(voicecls).SpeakText(textstr, false, false); });
    // A side utterance (a single word) leaves the reading state alone.
    if (!(readingState.IsSpeakingWord() || readingState.IsSpeakingOther()))
        IgnoreErrors([] { SetSpeakingState(true, false); });
}

void systemtray::stopspeaking()
{
    if (voicecls) {
        // With Next or Previous asked for, the purge ends the engine's
        // stream and the end of stream that follows serves the request.
        // Without one the object is discarded, so its end of stream is never
        // handled, whether the engine reports it at once or later on.
        const bool requested = readingState.PrevRequested() || readingState.NextRequested();
        if (!requested)
            QObject::disconnect(voicecls.get(), nullptr, this, nullptr);
        IgnoreErrors([&] { voicecls->stopspeaking(); });
        if (!requested) {
            IgnoreErrors([&] { releaseVoice(); });
            IgnoreErrors([&] { speakingend(); });
        }
    }
    readingState.wholeTextEnds();
}

void systemtray::stopReading()
{
    if (ActiveDocument* document = readingState.ReadingDocument()) {
        IgnoreErrors([&] { document->StopBtn_Click(); });
        return;
    }
    IgnoreErrors([&] { stopspeaking(); });
    IgnoreErrors([] { SetSpeakingState(false, false); });
}

void systemtray::PauseSpeaking()
{
    IgnoreErrors([&] { present(voicecls).PauseSpeaking(); });
    IgnoreErrors([] { SetSpeakingState(readingState.IsSpeaking(), true); });
}

void systemtray::ResumeSpeaking()
{
    if (readingState.ResumePending()) {
        // The sentence ended while paused: read on from the caret with a
        // new speech object.
        IgnoreErrors([&] { releaseVoice(); });
        onDocument([](ActiveDocument& d) { d.SpeakBtn_Click(); });
        readingState.resumeServed();
    } else {
        IgnoreErrors([&] { present(voicecls).ResumeSpeaking(); });
        IgnoreErrors([] { SetSpeakingState(readingState.IsSpeaking(), false); });
    }
}

void systemtray::SetSpFlagIsFilename(int flag)
{
    present(voicecls).SetSpFlagIsFilename(flag);
}

void systemtray::Speakfile(QString filename)
{
    IgnoreErrors([&] { makeNewVoice(); });
    IgnoreErrors([&] { present(voicecls).Speakfile(filename); });
}

// ---- events of voicecls ----

void systemtray::voicecls_HighLightSpokenWord(int pos, int len)
{
    if (readingState.PunctuationMode() == 1)
        return;
    if (readingState.IsReadingClipboard() || readingState.IsDockShown())
        return;
    if (!readingState.IsMainShown())
        return;
    if (readingState.IsSpeakingOther() || readingState.IsSpeakingWord())
        return;
    // Word positions count within the spoken text; the sentence starts at
    // SentenceStart in the document. A sum beyond 32 bits is skipped.
    const qint64 at = static_cast<qint64>(pos) + readingState.SentenceStart();
    const bool fits = at >= std::numeric_limits<std::int32_t>::min() && at <= std::numeric_limits<std::int32_t>::max();
    onDocument([&](ActiveDocument& d) {
        if (fits)
            d.rtfSetSelStart(static_cast<int>(at));
    });
    onDocument([&](ActiveDocument& d) { d.rtfSetSelLength(len); });
    if (fits)
        readingState.moveTo(static_cast<std::int32_t>(at));
}

void systemtray::voicecls_VoiceChanged(const VoiceToken& token)
{
    const QString description = token.GetDescription(0);
    const std::int16_t index = getfunctionID(description);
    WriteSetting(globals.IniFile, kReadSet, QStringLiteral("Reader"), QString::number(index));
}

std::int16_t systemtray::getfunctionID(const QString& tokendescription)
{
    // Every piece but the empty one behind the final ";".
    const QStringList pieces = voiceDescriptions.split(u';');
    for (qsizetype i = 0; i <= pieces.size() - 2; ++i) {
        if (pieces.at(i) == tokendescription)
            return static_cast<std::int16_t>(i);
    }
    return 0;
}

void systemtray::voicecls_VoiceEnded()
{
    globals.RenewVoice = false;
    if (readingState.IsDockShown()) {
        // The floating bar speaks one text per Read; nothing follows. Text
        // read from another application is over as well: the next reading
        // in a document gets its word highlight and its continuation.
        readingState.clipboardTextEnds();
        IgnoreErrors([] { SetSpeakingState(false, false); });
        return;
    }
    if (readingState.IsSpeakingOther() || readingState.IsSpeakingWord())
        return;
    // Text of another application is one utterance: its end continues no
    // document reading, whatever state that reading was left in.
    const bool clipboardText = readingState.IsReadingClipboard();
    IgnoreErrors([&] { speakingend(); });
    if (!clipboardText)
        IgnoreErrors([&] { speakingendbynormal(); });
}

void systemtray::speakingend()
{
    if (readingState.IsDockShown()) {
        readingState.clipboardTextEnds();
        return;
    }
    if (readingState.IsReadingClipboard()) {
        IgnoreErrors([] { SetSpeakingState(false, false); });
        readingState.clipboardTextEnds();
        return;
    }
    ActiveDocument* const read = readingState.ReadingDocument();
    onDocument([](ActiveDocument& d) { d.SetCursorP(); });
    const bool ends = (!readingState.PrevRequested() && readingState.IsLastSentence()) || readingState.StopRequested();
    if (ends) {
        IgnoreErrors([] { SetSpeakingState(false, readingState.IsPausing()); });
        onDocument([](ActiveDocument& d) { d.FeedBack(); });
        onDocument([](ActiveDocument& d) { d.setNextBtnEnabled(false); });
        onDocument([](ActiveDocument& d) { d.setPriewBtnEnabled(false); });
        IgnoreErrors([] { QCoreApplication::processEvents(); });
        readingState.goIdle();
    }
    // The caret shows in the document read. It takes the focus only while
    // its window is the active one: focus would bring it back over the
    // window the user went to.
    onDocument([](ActiveDocument& d) {
        if (&d == activeDocument())
            d.rtfSetFocus();
    });
    if (ends)
        readingState.letGo(read);
    readingState.wholeTextEnds();
}

void systemtray::speakingendbynormal()
{
    if (readingState.StopRequested())
        return;
    readingState.nextServed();
    if (readingState.PrevRequested()) {
        // With no document window the request stays for later.
        if (readingState.ReadingDocument()) {
            onDocument([](ActiveDocument& d) { d.SpeakPrew(); });
            readingState.dropPrevious();
        }
        return;
    }
    if (!readingState.ReadingDocument() || readingState.IsLastSentence())
        return;
    if (readingState.IsPausing()) {
        // The next sentence waits for ResumeSpeaking.
        readingState.waitForResume();
        return;
    }
    if (readingState.IsReadingSelection())
        onDocument([](ActiveDocument& d) { d.SpeakSelNextSentence(); });
    else
        onDocument([](ActiveDocument& d) { d.SpeakNextSentence(); });
}
