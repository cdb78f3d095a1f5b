// The two companion programs. Pellix's start sequence and its failure
// report are checked in this process; the real programs run as child
// processes with stand-ins on the search path: a `regsvr32` that records
// its arguments, a web browser that records the address it is given.
#include "companions/Pellix.h"
#include "support/ProgramRun.h"
#include "support/RecordedMessageBoxes.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdio>

namespace {

const QStringList kPellixCalls{
    "/u /s comdlg32.ocx", "/s comdlg32.ocx", "/u /s mscomctl.ocx", "/s mscomctl.ocx", "/s /u comctl32.ocx",
    "/s comctl32.ocx",    "/s /u Richtx32.ocx", "/s Richtx32.ocx", "/s /u actskin4.ocx", "/s actskin4.ocx",
};

bool writeScript(const QString& path, const QByteArray& body)
{
    return putFile(path, "#!/bin/sh\n" + body)
        && QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST(Pellix, StartsTheTenCommandsInOrderAndStopsAtTheFirstThatCannotStart)
{
    RecordedMessageBoxes boxes;
    const struct {
        const char* name;
        int failAt; // 0-based; -1: none fails
    } cases[] = {{"all start", -1}, {"the third fails", 2}, {"the first fails", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        boxes.calls.clear();
        QStringList started;
        const int count = RunPellix([&](const QString& program, const QStringList& args, QString& error) {
            if (started.size() == c.failAt) {
                error = "no such thing";
                return false;
            }
            started << program + " " + args.join(' ');
            return true;
        });
        const qsizetype expected = c.failAt < 0 ? kPellixCalls.size() : c.failAt;
        EXPECT_EQ(count, expected);
        QStringList wanted;
        for (qsizetype i = 0; i < expected; ++i)
            wanted << "regsvr32 " + kPellixCalls[i];
        EXPECT_EQ(started, wanted);
        if (c.failAt < 0) {
            EXPECT_TRUE(boxes.calls.isEmpty());
        } else {
            ASSERT_EQ(boxes.calls.size(), 1);
            EXPECT_EQ(boxes.calls[0].prompt,
                      "Could not start \"regsvr32 " + kPellixCalls[c.failAt] + "\": no such thing.");
            EXPECT_EQ(boxes.calls[0].title, "Pellix");
            EXPECT_EQ(boxes.calls[0].style, int(vbCritical));
        }
    }
}

TEST(Pellix, WithoutRegsvr32OnTheSearchPathItSaysSoAndStartsNothing)
{
    RecordedMessageBoxes boxes;
    QTemporaryDir empty;
    const QByteArray savedPath = qgetenv("PATH");
    qputenv("PATH", empty.path().toUtf8());
    const int count = RunPellix();
    qputenv("PATH", savedPath);
    EXPECT_EQ(count, 0);
    ASSERT_EQ(boxes.calls.size(), 1);
    EXPECT_EQ(boxes.calls[0].prompt,
              "Could not start \"regsvr32 /u /s comdlg32.ocx\": regsvr32 was not found on the search path.");
}

// Runs a companion program to its end with `env`; its exit code, or -1 when
// it did not end normally within `ms`.
int runCompanion(const QString& name, const QProcessEnvironment& env, int ms, qint64* took = nullptr)
{
    QProcess p;
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::ForwardedChannels);
    QElapsedTimer t;
    t.start();
    p.start(programDir() + "/" + name);
    if (!p.waitForFinished(ms)) {
        p.kill();
        p.waitForFinished();
        return -1;
    }
    if (took)
        *took = t.elapsed();
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

// The environment of a companion with no display: a program that tried to
// open a window would fail to start.
QProcessEnvironment withoutDisplay(const TempHome& home)
{
    QProcessEnvironment env = home.environment();
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.insert("QT_QPA_PLATFORM", "xcb");
    return env;
}

TEST(Companions, PellixStartsRegsvr32TenTimesWithTheCommandsArguments)
{
    TempHome home;
    const QString bin = home.path() + "/bin";
    const QString log = home.path() + "/calls";
    ASSERT_TRUE(writeScript(bin + "/regsvr32", "echo \"$*\" >> '" + log.toUtf8() + "'\n"));
    QProcessEnvironment env = withoutDisplay(home);
    env.insert("PATH", bin + ":/usr/bin:/bin");
    EXPECT_EQ(runCompanion("pellix", env, 10000), 0);
    // The commands run at the same time: their calls arrive in any order.
    auto calls = [&] { return QString::fromUtf8(fileBytes(log)).split('\n', Qt::SkipEmptyParts); };
    EXPECT_TRUE(waitUntil([&] { return calls().size() >= kPellixCalls.size(); }, 10000));
    QStringList got = calls(), wanted = kPellixCalls;
    got.sort();
    wanted.sort();
    EXPECT_EQ(got, wanted);
}

TEST(Companions, VarnelOpensTheFeaturesPageInTheBrowserAndEndsAtOnce)
{
    const struct {
        const char* name;
        bool browser;
    } cases[] = {{"with a browser", true}, {"without a browser", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempHome home;
        const QString opened = home.path() + "/opened";
        const QString release = home.path() + "/release";
        const QString closed = home.path() + "/closed";
        QProcessEnvironment env = withoutDisplay(home);
        env.insert("TAMSEL_SERVER", "http://features.test:8123/");
        env.insert("XDG_DATA_DIRS", home.path() + "/no-system-programs");
        env.remove("BROWSER");
        if (c.browser) {
            // The browser stays open until the test lets it go (30 s at most).
            const QString browser = home.path() + "/browser.sh";
            ASSERT_TRUE(writeScript(browser, "echo \"$1\" > '" + opened.toUtf8() + "'\n"
                                             "for i in $(seq 600); do [ -e '" + release.toUtf8()
                                                 + "' ] && break; sleep 0.05; done\n"
                                                   "echo closed > '" + closed.toUtf8() + "'\n"));
            ASSERT_TRUE(putFile(home.path() + "/.local/share/applications/test-browser.desktop",
                                "[Desktop Entry]\nType=Application\nName=Test browser\nExec=" + browser.toUtf8()
                                    + " %u\nMimeType=x-scheme-handler/http;\n"));
            ASSERT_TRUE(putFile(home.path() + "/.config/mimeapps.list",
                                "[Default Applications]\nx-scheme-handler/http=test-browser.desktop\n"));
            // Without a display the desktop's opener hands the address to $BROWSER.
            env.insert("BROWSER", browser);
        }
        qint64 took = 0;
        // Ends without waiting for the browser, which is still open.
        EXPECT_EQ(runCompanion("varnel", env, 20000, &took), 0);
        std::printf("varnel ended after %lld ms\n", static_cast<long long>(took));
        if (c.browser) {
            EXPECT_TRUE(waitUntil([&] { return !fileBytes(opened).isEmpty(); }, 20000));
            EXPECT_EQ(fileBytes(opened).trimmed(), "http://features.test:8123/features.htm");
            EXPECT_FALSE(QFile::exists(closed));
            putFile(release, "");
            EXPECT_TRUE(waitUntil([&] { return QFile::exists(closed); }, 20000));
        }
    }
}

} // namespace
