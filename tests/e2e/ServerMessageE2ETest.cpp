// The program's message request seen from outside: what it asks the
// server at each start, that a start without a message never loads the
// browser engine, and that a message shows in the bottom-right corner and
// leaves no browser process behind when the program ends.
#include "core/SettingsStore.h"
#include "support/LocalHttpServer.h"
#include "support/ProcessTree.h"
#include "support/ProgramRun.h"
#include "support/StubbedBrowser.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

QList<qint64> browserProcesses(qint64 pid)
{
    QList<qint64> out;
    for (qint64 p : DescendantsOf(pid))
        if (fileBytes(QString("/proc/%1/cmdline").arg(p)).contains("QtWebEngineProcess"))
            out << p;
    return out;
}

bool engineLoaded(qint64 pid)
{
    const QByteArray maps = fileBytes(QString("/proc/%1/maps").arg(pid));
    return maps.contains("libQt6WebEngineCore") || maps.contains("libtamsel_browser");
}

bool alive(qint64 pid)
{
    return QFile::exists(QString("/proc/%1").arg(pid))
        && !fileBytes(QString("/proc/%1/stat").arg(pid)).contains(") Z ");
}

class ServerMessageE2E : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            GTEST_SKIP() << "needs the test desktop";
        env.insert("TAMSEL_SERVER", server.address());
        env.insert("PATH", browser.binDir() + ':' + qEnvironmentVariable("PATH"));
    }

    std::unique_ptr<Program> start(const QStringList& args = {"3250"})
    {
        auto p = std::make_unique<Program>(home, args, env);
        EXPECT_TRUE(p->started);
        return p;
    }

    QStringList queries() const { return server.requestsFor("/checkupdate.php"); }
    QString storedId() const { return ReadSetting(home.settingsFile(), "FrmSet", "GUID", ""); }

    TempHome home;
    LocalHttpServer server;
    StubbedBrowser browser;
    QProcessEnvironment env;
};

TEST_F(ServerMessageE2E, EachNormalStartAsksOnceWithTheSameIdAndNoMessageCostsNoBrowser)
{
    server.serve("/checkupdate.php", {200, "<html><body>No news.</body></html>"});
    {
        auto first = start(); // the automatic start keeps the request
        ASSERT_TRUE(server.waitForRequests("/checkupdate.php", 1, 30000));
        const QString id = storedId();
        EXPECT_TRUE(QRegularExpression("^[0-9A-F]{32}$").match(id).hasMatch()) << id.toStdString();
        EXPECT_EQ(queries().value(0), "/checkupdate.php?netid=" + id + "&version=9.6");
        // Nothing to wait for: the page is simply dropped. Watch a while that
        // no browser is loaded or started.
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 2000) {
            ASSERT_FALSE(engineLoaded(first->proc.processId())) << "the browser engine was loaded";
            ASSERT_TRUE(browserProcesses(first->proc.processId()).isEmpty()) << "a browser process was started";
            QThread::msleep(100);
        }

        // A second start hands over to the first and asks nothing.
        Program second(home, {}, env);
        ASSERT_TRUE(second.started);
        ASSERT_TRUE(second.proc.waitForFinished(30000));
        EXPECT_TRUE(first->terminate());
        EXPECT_EQ(queries().size(), 1);
    }
    const QString id = storedId();
    auto later = start({});
    ASSERT_TRUE(server.waitForRequests("/checkupdate.php", 2, 30000));
    EXPECT_EQ(queries().value(1), "/checkupdate.php?netid=" + id + "&version=9.6") << "a later start sends the same id";
    EXPECT_EQ(storedId(), id);
    EXPECT_TRUE(later->terminate());
}

TEST_F(ServerMessageE2E, MessageShowsAtTheBottomRightAndNoBrowserProcessOutlivesTheProgram)
{
    server.serve("/checkupdate.php",
                 {200, "<html><body><b>navcodeshowctl_show</b><input type='hidden' id='msgid' value='42'>"
                       "<input type='hidden' id='msgtitle' value='Spring news'>Hello.</body></html>"});
    auto program = start();
    const QString pid = QString::number(program->proc.processId());
    QString window;
    ASSERT_TRUE(waitUntil(
        [&] {
            window = commandOutput("xdotool", {"search", "--all", "--onlyvisible", "--pid", pid, "--name", "^Thanks for using Lectova$"})
                         .section('\n', 0, 0);
            return !window.isEmpty();
        },
        90000))
        << "the popup did not appear";

    // The work area: the screen less the tray panel at the bottom.
    const QStringList area = commandOutput("xprop", {"-root", "_NET_WORKAREA"}).trimmed().section('=', 1).split(',');
    ASSERT_GE(area.size(), 4);
    const int right = area[0].toInt() + area[2].toInt(), bottom = area[1].toInt() + area[3].toInt();
    QString geometry;
    EXPECT_TRUE(waitUntil(
        [&] {
            geometry = commandOutput("xdotool", {"getwindowgeometry", "--shell", window});
            const auto value = [&](const char* key) {
                return QRegularExpression(QString("%1=(\\d+)").arg(key)).match(geometry).captured(1).toInt();
            };
            return value("X") + value("WIDTH") == right && value("Y") + value("HEIGHT") == bottom;
        },
        5000))
        << geometry.toStdString() << " in a work area ending at " << right << "," << bottom;

    const QList<qint64> browsers = browserProcesses(program->proc.processId());
    EXPECT_FALSE(browsers.isEmpty());
    // Ended as at log-out; the browser engine may take a while to shut down
    // on a busy machine.
    ::kill(static_cast<pid_t>(program->proc.processId()), SIGTERM);
    ASSERT_TRUE(program->proc.waitForFinished(30000)) << "the program did not end with a page shown";
    EXPECT_EQ(program->proc.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program->proc.exitCode(), 0);
    for (qint64 b : browsers)
        EXPECT_TRUE(waitUntil([&] { return !alive(b); }, 30000)) << "browser process " << b << " outlived the program";
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv); // for the test server's thread
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
