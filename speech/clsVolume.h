#pragma once
// Volume of the speakers and the microphone: the default output and input
// devices of the sound server. The range is 0 to the server's normal
// volume; a device the server lacks has the range 0 to 0. Reading a volume
// gives the value last written, never the device's.

#include "platform/PulseMixer.h"

#include <optional>

class clsVolume {
public:
    clsVolume();
    ~clsVolume();

    // Connects to the sound server and reads the two controls; always 0.
    // No server: the message "Could not open the mixer." and prMixerErr
    // non-zero.
    long meOpenMixer();
    // The result of connecting: 0 = success (also before meOpenMixer).
    long prMixerErr() const { return mixerErr_; }

    long prSpeakerMinVolume() const { return speaker_.minimum; }
    long prSpeakerMaxVolume() const { return speaker_.maximum; }
    long prSpeakerVolume() const { return speaker_.volume; }
    // Stores the value and sets every channel of the speakers to it; a
    // failure is not reported.
    void setPrSpeakerVolume(long value);

    long prMicMinVolume() const { return mic_.minimum; }
    long prMicMaxVolume() const { return mic_.maximum; }
    long prMicVolume() const { return mic_.volume; }
    void setPrMicVolume(long value);

private:
    struct Control {
        std::optional<MixerDevice> device;
        long minimum = 0;
        long maximum = 0;
        long volume = 0;
    };

    static bool GetVolumeControl(const std::optional<MixerDevice>& device, Control& control);
    bool SetVolumeControl(Control& control, bool speaker, long value);

    PulseMixer mixer_;
    long mixerErr_ = 0;
    Control speaker_;
    Control mic_;
};
