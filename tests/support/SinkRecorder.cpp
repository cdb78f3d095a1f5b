#include "SinkRecorder.h"

#include <QThread>
#include <cstdlib>

QString SinkRecorder::sink()
{
    return qEnvironmentVariable("TAMSEL_TEST_SINK");
}

bool SinkRecorder::start()
{
    proc_.start(QStringLiteral("parec"),
                {QStringLiteral("-d"), sink() + QStringLiteral(".monitor"), QStringLiteral("--raw"),
                 QStringLiteral("--format=s16le"), QStringLiteral("--rate=%1").arg(kRate),
                 QStringLiteral("--channels=1"), QStringLiteral("--latency-msec=10")});
    if (!proc_.waitForStarted(5000))
        return false;
    // Let the recording stream connect before anything is played.
    QThread::msleep(300);
    return proc_.state() == QProcess::Running;
}

std::vector<qint16> SinkRecorder::stop()
{
    proc_.terminate();
    proc_.waitForFinished(5000);
    const QByteArray raw = proc_.readAllStandardOutput();
    std::vector<qint16> s(static_cast<size_t>(raw.size() / 2));
    memcpy(s.data(), raw.constData(), s.size() * 2);
    return s;
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
