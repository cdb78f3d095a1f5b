#pragma once
// Records the test sink's monitor with parec, noting when each piece of
// sound arrived, so that a bench can tell when a sample was heard.

#include <QString>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

using Clock = std::chrono::steady_clock;

inline double msSince(Clock::time_point t0, Clock::time_point t)
{
    return std::chrono::duration<double, std::milli>(t - t0).count();
}

// Records the sink's monitor with parec, noting when each piece arrived.
// The recorder is a child of this process and is ended by its id, so that
// recorders of other benches or other people on the machine are left alone.
class Recorder {
public:
    explicit Recorder(const QString& sink)
    {
        std::string device = sink.toStdString() + ".monitor";
        std::string args[] = {"parec", "-d", device, "--raw", "--format=s16le", "--rate=22050", "--channels=1",
                              "--latency-msec=2"};
        std::vector<char*> argv;
        for (std::string& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);

        int fds[2];
        if (pipe2(fds, O_CLOEXEC) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
        const int spawned = posix_spawnp(&pid_, "parec", &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        close(fds[1]);
        if (spawned != 0) {
            std::fprintf(stderr, "parec could not be started: %s\n", std::strerror(spawned));
            pid_ = -1;
            close(fds[0]);
            return;
        }
        pipe_ = fdopen(fds[0], "r");
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
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            while (waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
            }
        }
        if (pipe_) {
            reader_.join(); // the pipe's end reached: the recorder has gone
            fclose(pipe_);
        }
    }
    // Whether nothing louder than the threshold came in the last ms.
    bool quietFor(int ms, int threshold = 300)
    {
        std::lock_guard lock(m_);
        const qint64 span = qint64(ms) * 22050 / 1000;
        if (qint64(samples_.size()) < span)
            return false;
        for (qint64 i = qint64(samples_.size()) - span; i < qint64(samples_.size()); ++i) {
            if (std::abs(samples_[size_t(i)]) > threshold)
                return false;
        }
        return true;
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
    // The index of the first sample that arrived at or after t.
    qint64 indexAt(Clock::time_point t)
    {
        std::lock_guard lock(m_);
        qint64 previousEnd = 0;
        for (const auto& [end, arrived] : arrivals_) {
            if (arrived >= t)
                return previousEnd;
            previousEnd = end;
        }
        return previousEnd;
    }
    // A copy of what was recorded so far.
    std::vector<qint16> samples()
    {
        std::lock_guard lock(m_);
        return samples_;
    }
    qint64 size()
    {
        std::lock_guard lock(m_);
        return qint64(samples_.size());
    }

private:
    pid_t pid_ = -1;
    FILE* pipe_ = nullptr;
    std::thread reader_;
    std::mutex m_;
    std::vector<qint16> samples_;
    std::vector<std::pair<qint64, Clock::time_point>> arrivals_;
};

