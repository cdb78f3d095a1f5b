#include "WaveFile.h"

#include <QFile>

#include <sndfile.h>
#include <soxr.h>

#include <algorithm>
#include <cmath>
#include <mutex>

std::vector<qint16> ResampleMono(const std::vector<qint16>& in, int fromRate, int toRate)
{
    if (fromRate == toRate || in.empty())
        return in;
    const size_t outCap = static_cast<size_t>(std::ceil(double(in.size()) * toRate / fromRate)) + 64;
    std::vector<qint16> out(outCap);
    size_t done = 0;
    const soxr_io_spec_t io = soxr_io_spec(SOXR_INT16_I, SOXR_INT16_I);
    const soxr_quality_spec_t q = soxr_quality_spec(SOXR_HQ, 0);
    soxr_oneshot(fromRate, toRate, 1, in.data(), in.size(), nullptr, out.data(), out.size(), &done, &io, &q,
                 nullptr);
    out.resize(done);
    return out;
}

bool ReadSoundFileMono(const QString& path, int rate, std::vector<qint16>& samples, QString& error)
{
    SF_INFO info{};
    SNDFILE* f = sf_open(QFile::encodeName(path).constData(), SFM_READ, &info);
    if (!f) {
        error = QString::fromUtf8(sf_strerror(nullptr));
        return false;
    }
    const int channels = std::max(1, info.channels);
    std::vector<qint16> frames(4096 * channels);
    std::vector<qint16> mono;
    mono.reserve(static_cast<size_t>(std::max<sf_count_t>(info.frames, 0)));
    for (;;) {
        const sf_count_t n = sf_readf_short(f, frames.data(), 4096);
        if (n <= 0)
            break;
        for (sf_count_t i = 0; i < n; ++i) {
            int sum = 0;
            for (int c = 0; c < channels; ++c)
                sum += frames[static_cast<size_t>(i * channels + c)];
            mono.push_back(static_cast<qint16>(sum / channels));
        }
    }
    sf_close(f);
    samples = ResampleMono(mono, info.samplerate, rate);
    return true;
}

namespace {

// Writes speech to a wave file in the stream's format: resampled with soxr
// as it arrives, duplicated for stereo, 8 or 16 bit.
class SndfileStream : public SpeechFileStream {
public:
    ~SndfileStream() override { Close(); }

    void Open(const QString& path, int mode, bool) override
    {
        std::lock_guard lock(m_);
        if (mode != 3)
            throw SpeechError("file streams are opened for creation only");
        AudioFormat fmt;
        if (!AudioFormatFromType(formatType, fmt))
            throw SpeechError("unknown audio format " + std::to_string(formatType));
        SF_INFO info{};
        info.samplerate = fmt.sampleRate;
        info.channels = fmt.channels;
        info.format = SF_FORMAT_WAV | (fmt.bitsPerSample == 8 ? SF_FORMAT_PCM_U8 : SF_FORMAT_PCM_16);
        file_ = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
        if (!file_)
            throw SpeechError("cannot create " + path.toStdString() + ": " + sf_strerror(nullptr));
        format_ = fmt;
    }

    void Close() override
    {
        std::lock_guard lock(m_);
        if (!file_)
            return;
        if (resampler_) {
            flushResampler();
            soxr_delete(resampler_);
            resampler_ = nullptr;
        }
        sf_close(file_);
        file_ = nullptr;
    }

    void writeSamples(const qint16* samples, qsizetype count, int sampleRate) override
    {
        std::lock_guard lock(m_);
        if (!file_ || count <= 0)
            return;
        if (sampleRate == format_.sampleRate) {
            writeFrames(samples, static_cast<size_t>(count));
            return;
        }
        if (!resampler_) {
            const soxr_io_spec_t io = soxr_io_spec(SOXR_INT16_I, SOXR_INT16_I);
            const soxr_quality_spec_t q = soxr_quality_spec(SOXR_HQ, 0);
            soxr_error_t err = nullptr;
            resampler_ = soxr_create(sampleRate, format_.sampleRate, 1, &err, &io, &q, nullptr);
            inRate_ = sampleRate;
            if (err) {
                resampler_ = nullptr;
                return;
            }
        }
        std::vector<qint16> out(static_cast<size_t>(double(count) * format_.sampleRate / inRate_) + 256);
        size_t used = 0, done = 0;
        soxr_process(resampler_, samples, static_cast<size_t>(count), &used, out.data(), out.size(), &done);
        writeFrames(out.data(), done);
    }

private:
    void flushResampler()
    {
        std::vector<qint16> out(4096);
        for (;;) {
            size_t done = 0;
            soxr_process(resampler_, nullptr, 0, nullptr, out.data(), out.size(), &done);
            if (done == 0)
                break;
            writeFrames(out.data(), done);
        }
    }

    void writeFrames(const qint16* mono, size_t frames)
    {
        if (format_.channels == 1) {
            sf_writef_short(file_, mono, static_cast<sf_count_t>(frames));
            return;
        }
        std::vector<qint16> stereo(frames * 2);
        for (size_t i = 0; i < frames; ++i)
            stereo[2 * i] = stereo[2 * i + 1] = mono[i];
        sf_writef_short(file_, stereo.data(), static_cast<sf_count_t>(frames));
    }

    std::mutex m_;
    SNDFILE* file_ = nullptr;
    AudioFormat format_;
    soxr_t resampler_ = nullptr;
    int inRate_ = 0;
};

} // namespace

std::shared_ptr<SpeechFileStream> CreateSpeechFileStream()
{
    return std::make_shared<SndfileStream>();
}
