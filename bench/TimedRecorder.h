#pragma once
// Records the test sink's monitor with parec, noting when each piece of
// sound arrived, so that a bench can tell when a sample was heard.

#include <QString>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

using Clock = std::chrono::steady_clock;

inline double msSince(Clock::time_point t0, Clock::time_point t)
{
    return std::chrono::duration<double, std::milli>(t - t0).count();
}

// Records the sink's monitor with parec, noting when each piece arrived.
class Recorder {
public:
    explicit Recorder(const QString& sink)
    {
        const std::string cmd = "parec -d " + sink.toStdString()
            + ".monitor --raw --format=s16le --rate=22050 --channels=1 --latency-msec=2";
        pipe_ = popen(cmd.c_str(), "r");
        reader_ = std::thread([this] {
            std::vector<qint16> buf(64);
            for (;;) {
                const size_t n = fread(buf.data(), 2, buf.size(), pipe_);
                if (n == 0)
                    break;
                const auto now = Clock::now();
                std::lock_guard lock(m_);
                samples_.insert(samples_.end(), buf.begin(), buf.begin() + long(n));
                arrivals_.push_back({qint64(samples_.size()), now});
            }
        });
    }
    ~Recorder()
    {
        if (pipe_) {
            system("pkill -f 'parec -d .*monitor --raw --format=s16le --rate=22050 --channels=1 --latency-msec=2'");
            reader_.join();
            pclose(pipe_);
        }
    }
    // First sample louder than the threshold at or after index `from`.
    qint64 onsetAfter(qint64 from, int threshold = 300)
    {
        std::lock_guard lock(m_);
        for (qint64 i = std::max<qint64>(0, from); i < qint64(samples_.size()); ++i) {
            if (std::abs(samples_[size_t(i)]) > threshold)
                return i;
        }
        return -1;
    }
    // When recorded sample `index` arrived (the end of its piece).
    Clock::time_point arrival(qint64 index)
    {
        std::lock_guard lock(m_);
        for (const auto& [end, t] : arrivals_) {
            if (end > index)
                return t;
        }
        return arrivals_.empty() ? Clock::now() : arrivals_.back().second;
    }
    qint64 size()
    {
        std::lock_guard lock(m_);
        return qint64(samples_.size());
    }

private:
    FILE* pipe_ = nullptr;
    std::thread reader_;
    std::mutex m_;
    std::vector<qint16> samples_;
    std::vector<std::pair<qint64, Clock::time_point>> arrivals_;
};

