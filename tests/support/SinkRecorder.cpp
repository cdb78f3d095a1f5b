#include "SinkRecorder.h"

#include <QElapsedTimer>

#include <algorithm>
#include <cstdlib>
#include <cstring>

QString SinkRecorder::sink()
{
    return qEnvironmentVariable("TAMSEL_TEST_SINK");
}

bool SinkRecorder::start()
{
    raw_.clear();
    counted_ = 0;
    loud_ = 0;
    proc_.start(QStringLiteral("parec"),
                {QStringLiteral("-d"), sink() + QStringLiteral(".monitor"), QStringLiteral("--raw"),
                 QStringLiteral("--format=s16le"), QStringLiteral("--rate=%1").arg(kRate),
                 QStringLiteral("--channels=1"), QStringLiteral("--latency-msec=10")});
    if (!proc_.waitForStarted(5000))
        return false;
    // Recording has begun when the first samples come: the test desktop
    // keeps its sink running, so they come as soon as the recording stream
    // is connected.
    QElapsedTimer waited;
    waited.start();
    while (proc_.bytesAvailable() == 0 && proc_.state() == QProcess::Running && waited.elapsed() < 10000)
        proc_.waitForReadyRead(100);
    return proc_.bytesAvailable() > 0;
}

void SinkRecorder::take()
{
    raw_ += proc_.readAllStandardOutput();
    const auto* s = reinterpret_cast<const qint16*>(raw_.constData());
    for (; counted_ + 2 <= raw_.size(); counted_ += 2)
        loud_ += std::abs(s[counted_ / 2]) > 300 ? 1 : 0;
}

qsizetype SinkRecorder::loudSoFar()
{
    take();
    return loud_;
}

bool SinkRecorder::quietFor(int ms)
{
    take();
    const qsizetype quietBytes = 2 * (qsizetype(kRate) * ms / 1000);
    if (raw_.size() < quietBytes)
        return false;
    const auto* tail = reinterpret_cast<const qint16*>(raw_.constData() + (raw_.size() & ~qsizetype(1)) - quietBytes);
    return std::all_of(tail, tail + quietBytes / 2, [](qint16 v) { return std::abs(v) <= 300; });
}

bool SinkRecorder::waitForSound(qsizetype loud, int ms)
{
    QElapsedTimer waited;
    waited.start();
    while (proc_.state() == QProcess::Running) {
        if (loudSoFar() > loud)
            return true;
        if (waited.elapsed() >= ms)
            return false;
        proc_.waitForReadyRead(50);
    }
    return false;
}

std::vector<qint16> SinkRecorder::stop()
{
    // What was played reaches the recording a little later, on a busy
    // machine much later: record on until the last 300 ms are quiet (10 s
    // at most).
    QElapsedTimer waited;
    waited.start();
    while (proc_.state() == QProcess::Running && waited.elapsed() < 10000) {
        if (quietFor(300))
            break;
        proc_.waitForReadyRead(50);
    }
    proc_.terminate();
    proc_.waitForFinished(5000);
    take();
    std::vector<qint16> s(static_cast<size_t>(raw_.size() / 2));
    memcpy(s.data(), raw_.constData(), s.size() * 2);
    return s;
}

qsizetype SinkRecorder::longestQuiet(const std::vector<qint16>& s, int threshold)
{
    const auto [first, last] = soundSpan(s, threshold);
    qsizetype longest = 0;
    qsizetype run = 0;
    for (qsizetype i = first; i < last; ++i) {
        run = std::abs(s[size_t(i)]) > threshold ? 0 : run + 1;
        longest = std::max(longest, run);
    }
    return longest;
}

std::pair<qsizetype, qsizetype> SinkRecorder::soundSpan(const std::vector<qint16>& s, int threshold)
{
    qsizetype first = -1, last = -1;
    for (qsizetype i = 0; i < qsizetype(s.size()); ++i) {
        if (std::abs(s[size_t(i)]) > threshold) {
            if (first < 0)
                first = i;
            last = i;
        }
    }
    return first < 0 ? std::pair<qsizetype, qsizetype>{0, 0} : std::pair{first, last + 1};
}

qsizetype SinkRecorder::loudSamples(const std::vector<qint16>& s, int threshold)
{
    qsizetype n = 0;
    for (qint16 v : s)
        n += std::abs(v) > threshold ? 1 : 0;
    return n;
}
