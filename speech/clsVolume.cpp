#include "speech/clsVolume.h"

#include "core/IgnoreErrors.h"
#include "core/MessageBox.h"

clsVolume::clsVolume() = default;

clsVolume::~clsVolume() = default;

long clsVolume::meOpenMixer()
{
    mixerErr_ = mixer_.Open();
    if (mixerErr_ != 0) {
        GetVolumeControl(std::nullopt, speaker_);
        GetVolumeControl(std::nullopt, mic_);
        IgnoreErrors([] {
            MsgBox(QStringLiteral("Could not open the mixer."), vbCritical, QStringLiteral("Volume Control"));
        });
        return 0;
    }
    GetVolumeControl(mixer_.DefaultSink(), speaker_);
    GetVolumeControl(mixer_.DefaultSource(), mic_);
    return 0;
}

bool clsVolume::GetVolumeControl(const std::optional<MixerDevice>& device, Control& control)
{
    control.device = device;
    control.minimum = 0;
    control.maximum = device ? PulseMixer::NormalVolume() : 0;
    return device.has_value();
}

bool clsVolume::SetVolumeControl(Control& control, bool speaker, long value)
{
    control.volume = value;
    if (!control.device)
        return false;
    return speaker ? mixer_.SetSinkVolume(*control.device, value) : mixer_.SetSourceVolume(*control.device, value);
}

void clsVolume::setPrSpeakerVolume(long value)
{
    SetVolumeControl(speaker_, true, value);
}

void clsVolume::setPrMicVolume(long value)
{
    SetVolumeControl(mic_, false, value);
}
