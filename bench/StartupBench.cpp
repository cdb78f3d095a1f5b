// Measures a normal start of the program with a message server that has no
// message: the time from starting the process to its tray icon on the
// display, and the memory of the program (with any processes it started)
// 10 s after the start. With TAMSEL_BASELINE_DIR naming the program folder
// of another build, both builds run in turns and the two are compared.
// Runs on the test desktop: needs DISPLAY and TAMSEL_PROGRAM_DIR.
#include "support/LocalHttpServer.h"
#include "support/ProcessTree.h"
#include "support/ProgramRun.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <csignal>
#include <vector>

namespace {

constexpr int kRounds = 11;
constexpr int kIdleAfterMs = 10000;

// A field of /proc/<pid>/status or smaps_rollup, in kB.
long kbField(const QString& file, const char* field)
{
    const auto m = QRegularExpression(QString("^%1:\\s+(\\d+) kB").arg(field), QRegularExpression::MultilineOption)
                       .match(QString::fromLatin1(fileBytes(file)));
    return m.hasMatch() ? m.captured(1).toLong() : 0;
}

// Whether one of the program's visible windows is icon-sized: its tray icon.
bool trayIconShown(qint64 pid)
{
    for (const QString& id :
         commandOutput("xdotool", {"search", "--onlyvisible", "--pid", QString::number(pid)}).split('\n', Qt::SkipEmptyParts)) {
        const QString g = commandOutput("xdotool", {"getwindowgeometry", "--shell", id});
        const int w = QRegularExpression("WIDTH=(\\d+)").match(g).captured(1).toInt();
        const int h = QRegularExpression("HEIGHT=(\\d+)").match(g).captured(1).toInt();
        if (w > 0 && w <= 64 && h > 0 && h <= 64)
            return true;
    }
    return false;
}

struct Sample {
    double trayMs = -1;
    double rssMb = 0, pssMb = 0;
    int processes = 0;
};

// One build: a home folder of its own, whose first start (which makes the
// settings file) is not measured.
class Build {
public:
    Build(QString name, QString dir, const QString& server)
        : name(std::move(name)), dir_(std::move(dir))
    {
        QDir(home_.path()).mkpath("run");
        QFile::setPermissions(home_.path() + "/run", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        env_ = QProcessEnvironment::systemEnvironment();
        env_.remove("QT_QPA_PLATFORM");
        env_.insert("HOME", home_.path());
        env_.insert("XDG_CONFIG_HOME", home_.path() + "/.config");
        env_.insert("XDG_DATA_HOME", home_.path() + "/.local/share");
        env_.insert("XDG_CACHE_HOME", home_.path() + "/.cache");
        env_.insert("XDG_RUNTIME_DIR", home_.path() + "/run");
        env_.insert("TAMSEL_SERVER", server);
        measure(); // the first start
    }

    Sample measure()
    {
        Sample s;
        QProcess program;
        program.setProcessEnvironment(env_);
        program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QElapsedTimer clock;
        clock.start();
        program.start(dir_ + "/tamsel", {});
        if (!program.waitForStarted(5000))
            return s;
        const qint64 pid = program.processId();
        while (clock.elapsed() < 20000) {
            if (trayIconShown(pid)) {
                s.trayMs = double(clock.nsecsElapsed()) / 1e6;
                break;
            }
            QThread::msleep(5);
        }
        QThread::msleep(std::max<qint64>(0, kIdleAfterMs - clock.elapsed()));
        const QList<qint64> all = QList<qint64>{pid} + DescendantsOf(pid);
        s.processes = all.size();
        for (qint64 p : all) {
            s.rssMb += kbField(QString("/proc/%1/status").arg(p), "VmRSS") / 1024.0;
            s.pssMb += kbField(QString("/proc/%1/smaps_rollup").arg(p), "Pss") / 1024.0;
        }
        ::kill(static_cast<pid_t>(pid), SIGTERM);
        if (!program.waitForFinished(10000)) {
            program.kill();
            program.waitForFinished(5000);
        }
        return s;
    }

    QString name;
    std::vector<Sample> samples;

private:
    QString dir_;
    QTemporaryDir home_;
    QProcessEnvironment env_;
};

double median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

template <class F>
double medianOf(const Build& b, F field)
{
    std::vector<double> v;
    for (const Sample& s : b.samples)
        v.push_back(field(s));
    return median(v);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QString after = qEnvironmentVariable("TAMSEL_PROGRAM_DIR");
    const QString before = qEnvironmentVariable("TAMSEL_BASELINE_DIR");
    if (after.isEmpty() || qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::puts("needs DISPLAY and TAMSEL_PROGRAM_DIR (and TAMSEL_BASELINE_DIR to compare)");
        return 1;
    }
    LocalHttpServer server;
    server.serve("/checkupdate.php", {200, "<html><body>No news today.</body></html>"});

    std::vector<Build*> builds;
    Build* base = before.isEmpty() ? nullptr : new Build("before", before, server.address());
    Build current("after", after, server.address());
    if (base)
        builds.push_back(base);
    builds.push_back(&current);
    // In turns, so that a busy moment of the machine falls on both.
    for (int round = 0; round < kRounds; ++round)
        for (Build* b : builds)
            b->samples.push_back(b->measure());

    std::printf("normal start, message server without a message, %d starts each (median):\n", kRounds);
    for (Build* b : builds) {
        std::printf("  %-6s start -> tray icon %6.0f ms   10 s after start: RSS %6.1f MB, PSS %6.1f MB, %d process(es)\n",
                    qPrintable(b->name), medianOf(*b, [](const Sample& s) { return s.trayMs; }),
                    medianOf(*b, [](const Sample& s) { return s.rssMb; }),
                    medianOf(*b, [](const Sample& s) { return s.pssMb; }),
                    int(medianOf(*b, [](const Sample& s) { return double(s.processes); })));
    }
    if (base) {
        const auto change = [&](auto field) {
            const double a = medianOf(*base, field), b = medianOf(current, field);
            return a > 0 ? (b - a) / a * 100 : 0;
        };
        std::printf("  change: start -> tray icon %+.1f %%, RSS %+.1f %%, PSS %+.1f %% (goal: start and RSS no worse than +5 %%; PSS moves with what other processes share)\n",
                    change([](const Sample& s) { return s.trayMs; }), change([](const Sample& s) { return s.rssMb; }),
                    change([](const Sample& s) { return s.pssMb; }));
    }
    std::printf("  message requests answered: %lld\n", static_cast<long long>(server.requestsFor("/checkupdate.php").size()));

    // For comparison, what a message costs when there is one.
    server.serve("/checkupdate.php", {200, "<html><body>navcodeshowctl_show<input type='hidden' id='msgid' value='1'>"
                                           "<input type='hidden' id='msgtitle' value='News'>Some news.</body></html>"});
    const Sample m = current.measure();
    std::printf("with a message shown (after, one start): start -> tray icon %.0f ms, 10 s after start: RSS %.1f MB, "
                "PSS %.1f MB in %d processes\n",
                m.trayMs, m.rssMb, m.pssMb, m.processes);
    delete base;
    return 0;
}
