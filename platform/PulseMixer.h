#pragma once
// The sound server's volume controls: PulseAudio, or PipeWire's PulseAudio
// server. Never starts a server. Every call waits for the server at most
// the time limit given at construction, so a server that does not answer
// costs that much and no more.

#include <QString>
#include <chrono>
#include <memory>
#include <optional>

// One device of the server with a volume control.
struct MixerDevice {
    QString name;     // the server's name for it
    int channels = 0; // each channel has its own volume
};

class PulseMixer {
public:
    explicit PulseMixer(std::chrono::milliseconds timeLimit = std::chrono::milliseconds(2000));
    ~PulseMixer();
    PulseMixer(const PulseMixer&) = delete;
    PulseMixer& operator=(const PulseMixer&) = delete;

    // Connects to the server. 0 on success; otherwise the server library's
    // error code (never 0), and every other call fails.
    int Open();

    // The server's default output device, or its default input device when
    // that is a real input (the monitor of an output is not one). Nothing
    // when the server has none or does not answer.
    std::optional<MixerDevice> DefaultSink();
    std::optional<MixerDevice> DefaultSource();

    // Sets every channel of the device to `volume` (0..NormalVolume()).
    // False when the value is out of that range or the server refuses.
    bool SetSinkVolume(const MixerDevice& device, long volume);
    bool SetSourceVolume(const MixerDevice& device, long volume);

    // The volume at which a device neither amplifies nor attenuates.
    static long NormalVolume();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
