#include "PulseMixer.h"

#include <pulse/context.h>
#include <pulse/error.h>
#include <pulse/introspect.h>
#include <pulse/mainloop.h>
#include <pulse/volume.h>

#include <functional>

// A mainloop of our own, run only while a call waits for the server: the
// threaded mainloop's wait has no time limit, this one is iterated against
// a deadline.
struct PulseMixer::Impl {
    using Clock = std::chrono::steady_clock;

    std::chrono::milliseconds timeLimit;
    pa_mainloop* loop = nullptr;
    pa_context* context = nullptr;

    ~Impl()
    {
        if (context) {
            pa_context_disconnect(context);
            pa_context_unref(context);
        }
        if (loop)
            pa_mainloop_free(loop);
    }

    bool ready() const { return context && pa_context_get_state(context) == PA_CONTEXT_READY; }

    // Runs the loop until `done` holds, the connection breaks or the time
    // limit passes. True when `done` held.
    bool runUntil(const std::function<bool()>& done)
    {
        const auto deadline = Clock::now() + timeLimit;
        while (!done()) {
            const pa_context_state_t state = pa_context_get_state(context);
            if (state == PA_CONTEXT_FAILED || state == PA_CONTEXT_TERMINATED)
                return false;
            const auto left = std::chrono::duration_cast<std::chrono::microseconds>(deadline - Clock::now());
            if (left.count() <= 0)
                return false;
            if (pa_mainloop_prepare(loop, static_cast<int>(left.count())) < 0 || pa_mainloop_poll(loop) < 0
                || pa_mainloop_dispatch(loop) < 0)
                return false;
        }
        return true;
    }

    // Waits for an operation to end; cancels it when the time is up.
    bool finish(pa_operation* op)
    {
        if (!op)
            return false;
        const bool done = runUntil([op] { return pa_operation_get_state(op) != PA_OPERATION_RUNNING; });
        if (!done)
            pa_operation_cancel(op);
        pa_operation_unref(op);
        return done;
    }

    std::optional<QString> defaultName(bool sink)
    {
        struct Result {
            bool sink;
            std::optional<QString> name;
        } result{sink, std::nullopt};
        auto onInfo = [](pa_context*, const pa_server_info* info, void* data) {
            auto* r = static_cast<Result*>(data);
            const char* name = info ? (r->sink ? info->default_sink_name : info->default_source_name) : nullptr;
            if (name && *name)
                r->name = QString::fromUtf8(name);
        };
        if (!ready() || !finish(pa_context_get_server_info(context, onInfo, &result)))
            return std::nullopt;
        return result.name;
    }

    std::optional<MixerDevice> sinkDevice(const QString& name)
    {
        std::optional<MixerDevice> found;
        auto onInfo = [](pa_context*, const pa_sink_info* info, int eol, void* data) {
            if (eol == 0 && info)
                *static_cast<std::optional<MixerDevice>*>(data) =
                    MixerDevice{QString::fromUtf8(info->name), info->volume.channels};
        };
        const QByteArray n = name.toUtf8();
        if (!finish(pa_context_get_sink_info_by_name(context, n.constData(), onInfo, &found)))
            return std::nullopt;
        return found;
    }

    std::optional<MixerDevice> sourceDevice(const QString& name)
    {
        std::optional<MixerDevice> found;
        auto onInfo = [](pa_context*, const pa_source_info* info, int eol, void* data) {
            if (eol == 0 && info && info->monitor_of_sink == PA_INVALID_INDEX)
                *static_cast<std::optional<MixerDevice>*>(data) =
                    MixerDevice{QString::fromUtf8(info->name), info->volume.channels};
        };
        const QByteArray n = name.toUtf8();
        if (!finish(pa_context_get_source_info_by_name(context, n.constData(), onInfo, &found)))
            return std::nullopt;
        return found;
    }

    template <class SetVolume>
    bool setVolume(const MixerDevice& device, long volume, SetVolume set)
    {
        if (!ready() || volume < 0 || volume > long(PA_VOLUME_NORM) || device.channels <= 0
            || device.channels > int(PA_CHANNELS_MAX))
            return false;
        pa_cvolume levels;
        pa_cvolume_set(&levels, static_cast<unsigned>(device.channels), static_cast<pa_volume_t>(volume));
        int success = 0;
        auto onDone = [](pa_context*, int ok, void* data) { *static_cast<int*>(data) = ok; };
        const QByteArray n = device.name.toUtf8();
        return finish(set(context, n.constData(), &levels, onDone, &success)) && success;
    }
};

PulseMixer::PulseMixer(std::chrono::milliseconds timeLimit)
    : d(std::make_unique<Impl>())
{
    d->timeLimit = timeLimit;
}

PulseMixer::~PulseMixer() = default;

int PulseMixer::Open()
{
    if (d->ready())
        return 0;
    if (!d->loop)
        d->loop = pa_mainloop_new();
    if (!d->loop)
        return PA_ERR_INTERNAL;
    if (d->context) {
        pa_context_disconnect(d->context);
        pa_context_unref(d->context);
    }
    d->context = pa_context_new(pa_mainloop_get_api(d->loop), "Tamsel volume control");
    if (!d->context)
        return PA_ERR_INTERNAL;
    if (pa_context_connect(d->context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
        const int error = pa_context_errno(d->context);
        return error != 0 ? error : PA_ERR_CONNECTIONREFUSED;
    }
    if (d->runUntil([this] { return d->ready(); }))
        return 0;
    const int error = pa_context_errno(d->context);
    // Still waiting for the server when the time ran out.
    pa_context_disconnect(d->context);
    return error != 0 ? error : PA_ERR_TIMEOUT;
}

std::optional<MixerDevice> PulseMixer::DefaultSink()
{
    const auto name = d->defaultName(true);
    return name ? d->sinkDevice(*name) : std::nullopt;
}

std::optional<MixerDevice> PulseMixer::DefaultSource()
{
    const auto name = d->defaultName(false);
    return name ? d->sourceDevice(*name) : std::nullopt;
}

bool PulseMixer::SetSinkVolume(const MixerDevice& device, long volume)
{
    return d->setVolume(device, volume, pa_context_set_sink_volume_by_name);
}

bool PulseMixer::SetSourceVolume(const MixerDevice& device, long volume)
{
    return d->setVolume(device, volume, pa_context_set_source_volume_by_name);
}

long PulseMixer::NormalVolume()
{
    return long(PA_VOLUME_NORM);
}
