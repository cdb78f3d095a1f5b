// The speech wrapper over a scripted engine: speak flags, the pause rule,
// engine events, the voice and device lists, and life without an engine.
#include "support/ScriptedSpeechVoice.h"
#include "core/MessageBox.h"
#include "platform/Registry.h"
#include "speech/clsVoice.h"
#include "support/IsolatedSettings.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

namespace {

using Call = ScriptedSpeechVoice::Call;

class ClsVoiceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        engine.voices = {
            ScriptedSpeechEngine::voice("v-anna", "Anna (English)",
                                        {{"Name", "Anna"}, {"Language", "409"}, {"TTSData", "anna-data"}}),
            ScriptedSpeechEngine::voice("v-bruno", "Bruno (Italian)", {{"Name", "Bruno"}, {"Language", "410"}}),
            ScriptedSpeechEngine::voice("v-chloe", "Chloe (French)", {{"Name", "Chloe"}, {"Language", "40C"}}),
        };
        engine.outputs = {{QByteArray(), "Default output"}, {"hw:1", "USB headset"}};
        SetMsgBoxAnswerer([this](const MsgBoxCall& call) {
            boxes.append(call);
            return int(vbOK);
        });
    }
    void TearDown() override { SetMsgBoxAnswerer({}); }

    // Flags of every Speak the engine was given.
    static QList<int> speakFlags(const ScriptedSpeechVoice* e)
    {
        QList<int> flags;
        for (const Call& c : e->callsOf("Speak"))
            flags.append(c.number);
        return flags;
    }

    // The user's and the machine's registry in empty folders of their own.
    IsolatedSettings settings;
    ScriptedSpeechEngine engine;
    QList<MsgBoxCall> boxes;
};

TEST_F(ClsVoiceTest, MarkupSwitchStaysOnForTheRestOfTheWrapper)
{
    clsVoice voice;
    voice.SpeakText("plain text", false, false);
    voice.SpeakText("before <set xml=true><emph>loud</emph>", false, false);
    voice.SpeakText("plain once more", false, false);
    EXPECT_EQ(speakFlags(engine.last()), (QList<int>{19, 11, 11}));

    // A new wrapper starts again with plain text.
    clsVoice fresh;
    fresh.SpeakText("plain", false, false);
    EXPECT_EQ(speakFlags(engine.last()), (QList<int>{19}));
}

TEST_F(ClsVoiceTest, MarkupSwitchIsCaseSensitive)
{
    clsVoice voice;
    voice.SpeakText("<SET XML=TRUE>shout", false, false);
    voice.SpeakText("<set xml=True>", false, false);
    voice.SpeakText("<set xml=true >", false, false);
    voice.SpeakText("plain", false, false);
    EXPECT_EQ(speakFlags(engine.last()), (QList<int>{19, 19, 19, 19}));
}

TEST_F(ClsVoiceTest, PausedAndSpeakingDecideBetweenSpeakAndResume)
{
    struct Case {
        bool paused, speaking;
        QStringList ops;
    };
    const QList<Case> cases = {
        {false, false, {"Speak"}},
        {false, true, {"Speak"}},
        {true, false, {"Speak", "Resume"}},
        {true, true, {"Resume"}},
    };
    for (const Case& c : cases) {
        clsVoice voice;
        voice.SpeakText("A sentence.", c.paused, c.speaking);
        EXPECT_EQ(engine.last()->ops(), c.ops) << "paused " << c.paused << ", speaking " << c.speaking;
    }
    clsVoice voice;
    voice.SpeakText("Text", true, false);
    EXPECT_EQ(engine.last()->calls.first().text, "Text");
}

TEST_F(ClsVoiceTest, StopspeakingOnlyPurgesWhateverTheFlags)
{
    clsVoice voice;
    voice.SpeakText("<set xml=true>x", false, false);
    voice.isSpFlagNLPSpeakPunc(true);
    voice.isSVSFlagsAsync(false);
    voice.stopspeaking();
    const Call stop = engine.last()->calls.last();
    EXPECT_EQ(stop.op, "Speak");
    EXPECT_TRUE(stop.text.isEmpty());
    EXPECT_EQ(stop.number, SVSFPurgeBeforeSpeak);
}

TEST_F(ClsVoiceTest, SpeakfileSetsTheFileBitForOneCallOnly)
{
    clsVoice voice;
    voice.Speakfile("/sounds/greeting.wav");
    voice.SpeakText("after the file", false, false);
    voice.SpeakText("<set xml=true>markup", false, false);
    voice.Speakfile("/sounds/other.wav");
    voice.SpeakText("after the second file", false, false);
    const ScriptedSpeechVoice* e = engine.last();
    EXPECT_EQ(speakFlags(e), (QList<int>{23, 19, 11, 15, 11}));
    EXPECT_EQ(e->callsOf("Speak").first().text, "/sounds/greeting.wav");
}

TEST_F(ClsVoiceTest, FlagSettersChangeTheirOwnBit)
{
    clsVoice voice;
    auto flagsAfter = [&](auto change) {
        change();
        voice.SpeakText("x", false, false);
        return engine.last()->calls.last().number;
    };
    EXPECT_EQ(flagsAfter([&] { voice.ResetSpeakFlags(); }), 11);
    EXPECT_EQ(flagsAfter([&] { voice.isSpFlagIsXML(false); }), 19);
    EXPECT_EQ(flagsAfter([&] { voice.isSVSFlagsAsync(false); }), 18);
    EXPECT_EQ(flagsAfter([&] { voice.isSpFlagNLPSpeakPunc(true); }), 18 + 64);
    EXPECT_EQ(flagsAfter([&] { voice.isSpFlagPersistXML(true); }), 18 + 64 + 32);
    EXPECT_EQ(flagsAfter([&] { voice.isSpFlagPurgeBeforeSpeak(false); }), 16 + 64 + 32);
    EXPECT_EQ(flagsAfter([&] { voice.isSVSFIsFilename(true); }), 16 + 64 + 32 + 4);
    EXPECT_EQ(flagsAfter([&] { voice.isSpFlagIsXML(true); }), 8 + 64 + 32 + 4);
}

TEST_F(ClsVoiceTest, SetVoiceTakesTheEnginesOrderAndRaisesOutsideIt)
{
    clsVoice voice;
    voice.SetVoice(2);
    voice.SetVoice(0);
    EXPECT_THROW(voice.SetVoice(3), SpeechError);
    EXPECT_THROW(voice.SetVoice(-1), SpeechError);
    const QList<Call> set = engine.last()->callsOf("SetVoice");
    ASSERT_EQ(set.size(), 2);
    EXPECT_EQ(set[0].text, "Chloe (French)");
    EXPECT_EQ(set[1].text, "Anna (English)");
    EXPECT_EQ(engine.last()->Voice().description, "Anna (English)");
}

TEST_F(ClsVoiceTest, EngineFailuresAreIgnored)
{
    engine.failing = {"Speak", "Pause", "Resume", "SetRate", "SetVolume", "Skip", "SetAudioOutputFormat",
                      "SetAllowAudioOutputFormatChangesOnNextSet"};
    clsVoice voice;
    EXPECT_NO_THROW({
        voice.SpeakText("x", true, false);
        voice.Speakfile("/a.wav");
        voice.stopspeaking();
        voice.PauseSpeaking();
        voice.ResumeSpeaking();
        voice.SetRate(1);
        voice.SetVolume(1);
        voice.SkipSpeaking(1);
        voice.SetFormat("22");
    });
    // SpeakText went on to Resume after the failing Speak.
    EXPECT_EQ(engine.last()->ops().mid(0, 2), (QStringList{"Speak", "Resume"}));
    EXPECT_TRUE(boxes.isEmpty());
}

TEST_F(ClsVoiceTest, AudioOutputChangeReportsFailuresInAMessageBox)
{
    clsVoice voice;
    voice.AudioOutputChange(1);
    EXPECT_TRUE(boxes.isEmpty());
    ASSERT_EQ(engine.last()->callsOf("SetAudioOutput").size(), 1);
    EXPECT_EQ(engine.last()->callsOf("SetAudioOutput").first().text, "USB headset");

    voice.AudioOutputChange(2);
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0].style, vbOKOnly);
    EXPECT_FALSE(boxes[0].prompt.isEmpty());
    EXPECT_EQ(engine.last()->callsOf("SetAudioOutput").size(), 1);
}

TEST_F(ClsVoiceTest, EngineEventsBecomeWrapperEvents)
{
    clsVoice voice;
    QStringList seen;
    QObject::connect(&voice, &clsVoice::VoiceStarted, [&] { seen << "started"; });
    QObject::connect(&voice, &clsVoice::VoiceEnded, [&] { seen << "ended"; });
    QObject::connect(&voice, &clsVoice::HighLightSpokenWord,
                     [&](int pos, int len) { seen << QString("word %1 %2").arg(pos).arg(len); });
    QObject::connect(&voice, &clsVoice::VoiceChanged,
                     [&](const VoiceToken& token) { seen << "voice " + token.description; });
    QObject::connect(&voice, &clsVoice::playstopped, [&] { seen << "playstopped"; });

    voice.SpeakText("Hello there", false, false);
    ScriptedSpeechVoice* e = engine.last();
    const int s = e->lastStream();
    e->emitStart(s);
    e->emitVoiceChange(s, engine.voices[1]);
    e->emitWord(s, 0, 5, 3200);
    e->emitSentence(s, 0, 11);
    e->emitPhoneme(s, 10, 2, 0, 1);
    e->emitViseme(s, 10, 2, 0, 1);
    e->emitBookmark(s, "mark", 7);
    e->emitAudioLevel(s, 30);
    e->emitEnginePrivate(s, 9);
    e->emitWord(s, 6, 5);
    e->emitEnd(s);
    EXPECT_EQ(seen, (QStringList{"started", "voice Bruno (Italian)", "word 0 5", "word 6 5", "ended"}));
}

TEST_F(ClsVoiceTest, TraceLinesAreFormedOnlyWhileShowingEvents)
{
    clsVoice voice;
    ScriptedSpeechVoice* e = engine.last();
    e->emitWord(1, 6, 5, 640);
    EXPECT_TRUE(voice.lastTrace().isEmpty());

    voice.isShowEvents = true;
    const QList<std::pair<std::function<void()>, QString>> lines = {
        {[&] { e->emitWord(1, 6, 5, 640); }, "Word, StreamNum=1, StreamPos=640, Pos=6, Length=5"},
        {[&] { e->emitStart(2, 0); }, "StartStream, StreamNum=2, StreamPos=0"},
        {[&] { e->emitEnd(2, 88200); }, "EndStream, StreamNum=2, StreamPos=88200"},
        {[&] { e->emitVoiceChange(3, engine.voices[2], 12); }, "VoiceChange, StreamNum=3, StreamPos=12, Token=Chloe (French)"},
        {[&] { e->emitSentence(1, 12, 20, 5); }, "Sentence, StreamNum=1, StreamPos=5, Pos=12, Length=20"},
        {[&] { e->emitPhoneme(1, 80, 21, 4, 20, 7); },
         "Phoneme, StreamNumber=1, StreamPosition=7, NextPhoneId=21, Feature=4, CurrentPhoneId=20"},
        {[&] { e->emitViseme(1, 80, 11, 2, 10, 7); },
         "Viseme, StreamNum=1, StreamPos=7, Duration=80, VisemeType=11, Feature=2, VisemeId=10"},
        {[&] { e->emitBookmark(1, "here", 42, 7); }, "BookMark, StreamNumber=1, StreamPosition=7, Bookmark=here, BookmarkId=42"},
        {[&] { e->emitAudioLevel(1, 55, 7); }, "AudioLevel, StreamNumber=1, StreamPosition=7, AudioLevel=55"},
        {[&] { e->emitEnginePrivate(1, 99, 7); }, "EnginePrivate, StreamNumber=1, StreamPosition=7, lParam=99"},
    };
    for (const auto& [fire, line] : lines) {
        fire();
        EXPECT_EQ(voice.lastTrace(), line);
    }
}

TEST_F(ClsVoiceTest, ReleasedFromItsOwnEndEventWithoutHarm)
{
    // The holder may release the wrapper from inside its end event, while
    // the engine is still delivering that event.
    auto voice = std::make_unique<clsVoice>();
    QPointer<ScriptedSpeechVoice> e = engine.last();
    int ends = 0;
    QObject::connect(voice.get(), &clsVoice::VoiceEnded, [&] {
        ++ends;
        voice.reset();
    });
    voice->SpeakText("first", false, false);
    voice->SpeakText("second", false, false);
    e->emitEnd(1);
    EXPECT_EQ(ends, 1);
    EXPECT_EQ(voice, nullptr);
    ASSERT_TRUE(e);
    // Silenced at once, deaf from then on, gone once the delivery is over.
    EXPECT_EQ(e->calls.last().number, SVSFPurgeBeforeSpeak);
    EXPECT_TRUE(e->calls.last().text.isEmpty());
    e->emitEnd(2);
    QCoreApplication::processEvents();
    EXPECT_EQ(ends, 1);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(e);
}

TEST_F(ClsVoiceTest, WithoutAnEngineEveryCallIsIgnored)
{
    engine.available = false;
    clsVoice voice;
    EXPECT_EQ(voice.Voice1, nullptr);
    EXPECT_NO_THROW({
        voice.SpeakText("x", true, false);
        voice.Speakfile("/a.wav");
        voice.stopspeaking();
        voice.PauseSpeaking();
        voice.ResumeSpeaking();
        voice.SetRate(2);
        voice.SetVolume(50);
        voice.SkipSpeaking(1);
        voice.SetFormat("22");
        voice.SetSpFlagIsFilename(1);
    });
    EXPECT_EQ(voice.GetVoiceNames(), "");
    EXPECT_EQ(voice.GetVoiceDescription(), "");
    EXPECT_EQ(voice.GetVoiceData(), "");
    EXPECT_EQ(voice.GetVoiceLanguages(), "");
    EXPECT_EQ(voice.getOutputdevices(), "");
    // The members that let errors through still do.
    EXPECT_THROW(voice.SetVoice(0), SpeechError);
    EXPECT_THROW(voice.getnumberofSpeakers(), SpeechError);
    EXPECT_THROW(voice.OutputToFile("/tmp/x.wav", "x", "SAFT22kHz16BitMono"), SpeechError);
    voice.AudioOutputChange(0);
    EXPECT_EQ(boxes.size(), 1);
}

// ---- lists ----

TEST_F(ClsVoiceTest, VoiceListsEndEveryItemWithItsTerminator)
{
    clsVoice voice;
    EXPECT_EQ(voice.GetVoiceNames(), "Anna;Bruno;Chloe;");
    EXPECT_EQ(voice.GetVoiceDescription(), "Anna (English);Bruno (Italian);Chloe (French);");
    EXPECT_EQ(voice.GetVoiceLanguages(), "409$410$40C$");
    EXPECT_EQ(voice.getnumberofSpeakers(), 3);
    // Piece k of the description list is the voice SetVoice(k) picks.
    const QStringList pieces = voice.GetVoiceDescription().split(';');
    ASSERT_EQ(pieces.size(), 4);
    voice.SetVoice(1);
    EXPECT_EQ(engine.last()->Voice().description, pieces[1]);
}

TEST_F(ClsVoiceTest, VoiceDataFallsBackToTheRegistryByDescription)
{
    const QString tokens = "SOFTWARE\\Microsoft\\Speech\\Voices\\Tokens\\";
    ASSERT_TRUE(RegSetValue(RegRoot::LocalMachine, tokens + "Bruno (Italian)", "VoiceData",
                            {RegType::String, "bruno-reg", 0}));
    // Keyed by description, not by identifier.
    ASSERT_TRUE(RegSetValue(RegRoot::LocalMachine, tokens + "v-chloe", "VoiceData", {RegType::String, "wrong", 0}));
    // The attribute wins over the registry.
    ASSERT_TRUE(RegSetValue(RegRoot::LocalMachine, tokens + "Anna (English)", "VoiceData",
                            {RegType::String, "ignored", 0}));
    clsVoice voice;
    EXPECT_EQ(voice.GetVoiceData(), "anna-data$bruno-reg$$");
}

TEST_F(ClsVoiceTest, NoVoicesGiveEmptyLists)
{
    engine.voices.clear();
    clsVoice voice;
    EXPECT_EQ(voice.GetVoiceNames(), "");
    EXPECT_EQ(voice.GetVoiceDescription(), "");
    EXPECT_EQ(voice.GetVoiceData(), "");
    EXPECT_EQ(voice.GetVoiceLanguages(), "");
    EXPECT_EQ(voice.getnumberofSpeakers(), 0);
}

TEST_F(ClsVoiceTest, OutputDeviceList)
{
    clsVoice voice;
    EXPECT_EQ(voice.getOutputdevices(), "Default output;USB headset;");
    EXPECT_TRUE(voice.OutputDevicename.isEmpty());

    engine.outputs.clear();
    clsVoice silent;
    EXPECT_EQ(silent.getOutputdevices(), "");
    EXPECT_EQ(silent.OutputDevicename, "No audio ouput object available;");
}

TEST_F(ClsVoiceTest, ListsAreEmptyWhenTheEngineCannotListVoices)
{
    engine.failing = {"GetVoices", "GetAudioOutputs"};
    clsVoice voice;
    EXPECT_EQ(voice.GetVoiceNames(), "");
    EXPECT_EQ(voice.GetVoiceDescription(), "");
    EXPECT_EQ(voice.GetVoiceData(), "");
    EXPECT_EQ(voice.GetVoiceLanguages(), "");
    EXPECT_EQ(voice.getOutputdevices(), "");
    EXPECT_THROW(voice.getnumberofSpeakers(), SpeechError);
}

TEST_F(ClsVoiceTest, FormatNamesMapToFormatNumbers)
{
    clsVoice voice;
    EXPECT_EQ(voice.getformatype("SAFT8kHz8BitMono"), 4);
    EXPECT_EQ(voice.getformatype("SAFT8kHz8BitStereo"), 5);
    EXPECT_EQ(voice.getformatype("SAFT11kHz8BitMono"), 8);
    EXPECT_EQ(voice.getformatype("SAFT22kHz16BitMono"), 22);
    EXPECT_EQ(voice.getformatype("SAFT48kHz16BitStereo"), 39);
    // Anything else, letter case included, is 38.
    for (const char* other : {"saft8khz8bitmono", "", "SAFT8kHz8BitMono ", "SAFT96kHz16BitMono", "22"})
        EXPECT_EQ(voice.getformatype(QString::fromLatin1(other)), 38) << other;

    // Each of the 36 names stands for the format it spells.
    const QList<std::pair<QString, int>> rates = {{"8", 8000},   {"11", 11025}, {"12", 12000},
                                                  {"16", 16000}, {"22", 22050}, {"24", 24000},
                                                  {"32", 32000}, {"44", 44100}, {"48", 48000}};
    QSet<int> numbers;
    for (const auto& [rate, hz] : rates) {
        for (int bits : {8, 16}) {
            for (const QString& channels : {QString("Mono"), QString("Stereo")}) {
                const QString name = "SAFT" + rate + "kHz" + QString::number(bits) + "Bit" + channels;
                AudioFormat f;
                ASSERT_TRUE(AudioFormatFromType(voice.getformatype(name), f)) << name.toStdString();
                EXPECT_EQ(f.sampleRate, hz) << name.toStdString();
                EXPECT_EQ(f.bitsPerSample, bits) << name.toStdString();
                EXPECT_EQ(f.channels, channels == "Mono" ? 1 : 2) << name.toStdString();
                numbers.insert(voice.getformatype(name));
            }
        }
    }
    EXPECT_EQ(numbers.size(), 36);
}

TEST_F(ClsVoiceTest, OutputToFileSpeaksIntoTheFileAndWaits)
{
    if (!CreateSpeechFileStream())
        GTEST_SKIP() << "no wave-file stream on this build";
    QTemporaryDir dir;
    clsVoice voice;
    voice.OutputToFile(dir.filePath("out.wav"), "Saved words.", "SAFT16kHz16BitMono");
    EXPECT_EQ(engine.last()->ops(), (QStringList{"SetAllowAudioOutputFormatChangesOnNextSet", "SetAudioOutputStream",
                                                 "Speak", "Speak", "WaitUntilDone"}));
    EXPECT_EQ(speakFlags(engine.last()), (QList<int>{11, 19}));
    EXPECT_EQ(engine.last()->calls.last().number, -1);
    ASSERT_TRUE(engine.last()->AudioOutputStream());
    EXPECT_EQ(engine.last()->AudioOutputStream()->formatType, 18);
}

} // namespace
