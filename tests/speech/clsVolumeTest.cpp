// The volume class against the test desktop's sound server: a null sink and
// a null source of the test's own are made the defaults, the volumes the
// class writes are read back with pactl; then no server, and a server that
// never answers.
#include "speech/clsVolume.h"
#include "support/RecordedMessageBoxes.h"

#include <QLocalServer>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QString pactl(const QStringList& args, bool* ok = nullptr)
{
    QProcess p;
    p.start(QStringLiteral("pactl"), args);
    const bool done = p.waitForFinished(10000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    if (ok)
        *ok = done;
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

// The raw volume of each channel, as pactl prints it ("front-left: 32768 / 50% / ...").
QList<long> channelVolumes(const QString& kind, const QString& device)
{
    static const QRegularExpression raw(QStringLiteral("(\\d+) /\\s+\\d+%"));
    QList<long> volumes;
    for (auto it = raw.globalMatch(pactl({"get-" + kind + "-volume", device})); it.hasNext();)
        volumes.append(it.next().captured(1).toLong());
    return volumes;
}

// A null sink and a null source of the test's own as the server's
// defaults, for as long as the object lives.
class OwnDevices {
public:
    OwnDevices()
    {
        oldSink = pactl({"get-default-sink"}, &available);
        oldSource = pactl({"get-default-source"});
        if (!available)
            return;
        modules << pactl({"load-module", "module-null-sink", "sink_name=volumetest_out"})
                << pactl({"load-module", "module-null-source", "source_name=volumetest_mic", "channels=1"});
        pactl({"set-default-sink", "volumetest_out"});
        pactl({"set-default-source", "volumetest_mic"});
    }
    ~OwnDevices()
    {
        if (!available)
            return;
        pactl({"set-default-sink", oldSink});
        pactl({"set-default-source", oldSource});
        for (const QString& id : modules)
            pactl({"unload-module", id});
    }

    bool available = false;
    QString oldSink, oldSource;
    QStringList modules;
};

// Points the class at another sound server for as long as the object lives.
class OtherSoundServer {
public:
    explicit OtherSoundServer(const QString& address)
        : saved_(qgetenv("PULSE_SERVER"))
    {
        qputenv("PULSE_SERVER", address.toUtf8());
    }
    ~OtherSoundServer() { qputenv("PULSE_SERVER", saved_); }

private:
    QByteArray saved_;
};

TEST(MixerVolume, SetsEveryChannelOfTheDefaultDevices)
{
    RecordedMessageBoxes boxes;
    OwnDevices devices;
    if (!devices.available)
        GTEST_SKIP() << "needs the test desktop's sound server";
    const long normal = 65536;
    // The monitor of an output is no microphone: with it as the default
    // input there is no microphone control.
    const struct {
        const char* name;
        const char* source;
        long micMax;
    } cases[] = {{"null source", "volumetest_mic", normal}, {"monitor", "volumetest_out.monitor", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        pactl({"set-default-source", c.source});
        pactl({"set-sink-volume", "volumetest_out", "100%"});
        pactl({"set-source-volume", "volumetest_mic", "100%"});
        clsVolume volume;
        EXPECT_EQ(volume.meOpenMixer(), 0);
        EXPECT_EQ(volume.prMixerErr(), 0);
        EXPECT_TRUE(boxes.calls.isEmpty());
        EXPECT_EQ(volume.prSpeakerMinVolume(), 0);
        EXPECT_EQ(volume.prSpeakerMaxVolume(), normal);
        EXPECT_EQ(volume.prMicMinVolume(), 0);
        EXPECT_EQ(volume.prMicMaxVolume(), c.micMax);

        volume.setPrSpeakerVolume(32768);
        EXPECT_EQ(volume.prSpeakerVolume(), 32768);
        EXPECT_EQ(channelVolumes("sink", "volumetest_out"), (QList<long>{32768, 32768}));
        // Beyond the range: stored, not set.
        volume.setPrSpeakerVolume(normal * 4);
        EXPECT_EQ(volume.prSpeakerVolume(), normal * 4);
        EXPECT_EQ(channelVolumes("sink", "volumetest_out"), (QList<long>{32768, 32768}));

        volume.setPrMicVolume(16384);
        EXPECT_EQ(volume.prMicVolume(), 16384);
        EXPECT_EQ(channelVolumes("source", "volumetest_mic"), (QList<long>{c.micMax ? 16384 : normal}));
    }
}

TEST(MixerVolume, NoServerOrOneThatNeverAnswersReportsOnceAndLeavesTheBoundsAt0)
{
    RecordedMessageBoxes boxes;
    QTemporaryDir dir;
    QLocalServer silent; // takes connections and never says a word
    ASSERT_TRUE(silent.listen(dir.filePath("silent")));
    for (const QString& address : {QStringLiteral("unix:/nonexistent"), "unix:" + dir.filePath("silent")}) {
        SCOPED_TRACE(address.toStdString());
        OtherSoundServer server(address);
        boxes.calls.clear();
        clsVolume volume;
        // Each call to the server has a time limit: the open returns, with
        // an error, from a server that never answers.
        EXPECT_EQ(volume.meOpenMixer(), 0);
        EXPECT_NE(volume.prMixerErr(), 0);
        ASSERT_EQ(boxes.calls.size(), 1);
        EXPECT_EQ(boxes.calls[0].prompt, "Could not open the mixer.");
        EXPECT_EQ(boxes.calls[0].title, "Volume Control");
        EXPECT_EQ(boxes.calls[0].style, int(vbCritical));
        for (long bound : {volume.prSpeakerMinVolume(), volume.prSpeakerMaxVolume(), volume.prMicMinVolume(),
                           volume.prMicMaxVolume()})
            EXPECT_EQ(bound, 0);
        volume.setPrSpeakerVolume(100);
        volume.setPrMicVolume(200);
        EXPECT_EQ(volume.prSpeakerVolume(), 100);
        EXPECT_EQ(volume.prMicVolume(), 200);
    }
}

} // namespace
