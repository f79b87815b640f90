#include "audio/PulseCapture.h"

#include <pulse/pulseaudio.h>

#include <atomic>
#include <cstring>

namespace q9::audio {

struct PulseCapture::State {
    std::string name;
    Frames frames;
    pa_threaded_mainloop* loop = nullptr;
    pa_context* context = nullptr;
    pa_stream* stream = nullptr;
    bool wanted = false;
    int playing = 0; // uncorked sink inputs, counted at the last look
    std::atomic<bool> recording{false};

    // All below run on the sound server's thread (or with its lock held).
    void review();
    void recount();
    void startStream();
    void stopStream();
};

namespace {

void contextState(pa_context* c, void* self)
{
    auto* s = static_cast<PulseCapture::State*>(self);
    switch (pa_context_get_state(c)) {
    case PA_CONTEXT_READY:
        pa_context_subscribe(c, PA_SUBSCRIPTION_MASK_SINK_INPUT, nullptr, nullptr);
        s->recount();
        [[fallthrough]];
    case PA_CONTEXT_FAILED:
    case PA_CONTEXT_TERMINATED:
        pa_threaded_mainloop_signal(s->loop, 0);
        break;
    default:
        break;
    }
}

void sinkInputEvent(pa_context*, pa_subscription_event_type_t, uint32_t, void* self)
{
    static_cast<PulseCapture::State*>(self)->recount();
}

void readable(pa_stream* stream, size_t, void* self)
{
    auto* s = static_cast<PulseCapture::State*>(self);
    const void* data = nullptr;
    size_t bytes = 0;
    while (pa_stream_readable_size(stream) > 0) {
        if (pa_stream_peek(stream, &data, &bytes) < 0)
            return;
        if (bytes == 0)
            break;
        if (data && s->frames)
            s->frames(static_cast<const int16_t*>(data), bytes / 4, 2);
        pa_stream_drop(stream);
    }
}

} // namespace

void PulseCapture::State::recount()
{
    // Counts the streams that play now; the recording follows. Each listing counts for itself, so
    // two quick changes do not mix their counts.
    struct Listing {
        State* state;
        int counted = 0;
    };
    auto* listing = new Listing{this};
    auto* op = pa_context_get_sink_input_info_list(
        context,
        [](pa_context*, const pa_sink_input_info* info, int eol, void* data) {
            auto* l = static_cast<Listing*>(data);
            if (eol) {
                l->state->playing = eol > 0 ? l->counted : 0;
                l->state->review();
                delete l;
                return;
            }
            if (info && !info->corked)
                ++l->counted;
        },
        listing);
    if (op)
        pa_operation_unref(op);
    else
        delete listing;
}

void PulseCapture::State::review()
{
    if (wanted && playing > 0)
        startStream();
    else
        stopStream();
}

void PulseCapture::State::startStream()
{
    if (stream || !context || pa_context_get_state(context) != PA_CONTEXT_READY)
        return;
    const pa_sample_spec format{PA_SAMPLE_S16LE, 44100, 2};
    stream = pa_stream_new(context, "desktop sound for the lighting", &format, nullptr);
    if (!stream)
        return;
    pa_stream_set_read_callback(stream, readable, this);
    pa_buffer_attr attr;
    std::memset(&attr, 0xFF, sizeof attr);
    attr.fragsize = 1024 * 4; // a block's worth of new frames per wake-up
    if (pa_stream_connect_record(stream, "@DEFAULT_MONITOR@", &attr, PA_STREAM_ADJUST_LATENCY) < 0) {
        pa_stream_unref(stream);
        stream = nullptr;
        return;
    }
    recording = true;
}

void PulseCapture::State::stopStream()
{
    if (!stream)
        return;
    pa_stream_set_read_callback(stream, nullptr, nullptr);
    pa_stream_disconnect(stream);
    pa_stream_unref(stream);
    stream = nullptr;
    recording = false;
}

PulseCapture::PulseCapture(std::string clientName, Frames frames) : state_(std::make_unique<State>())
{
    state_->name = std::move(clientName);
    state_->frames = std::move(frames);
}

PulseCapture::~PulseCapture() { disconnect(); }

bool PulseCapture::connect()
{
    State& s = *state_;
    if (s.loop)
        return true;
    s.loop = pa_threaded_mainloop_new();
    if (!s.loop)
        return false;
    pa_threaded_mainloop_lock(s.loop);
    s.context = pa_context_new(pa_threaded_mainloop_get_api(s.loop), s.name.c_str());
    bool ok = s.context != nullptr;
    if (ok) {
        pa_context_set_state_callback(s.context, contextState, &s);
        pa_context_set_subscribe_callback(s.context, sinkInputEvent, &s);
        ok = pa_context_connect(s.context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) >= 0 && pa_threaded_mainloop_start(s.loop) >= 0;
    }
    while (ok) {
        const pa_context_state_t st = pa_context_get_state(s.context);
        if (st == PA_CONTEXT_READY)
            break;
        if (!PA_CONTEXT_IS_GOOD(st)) {
            ok = false;
            break;
        }
        pa_threaded_mainloop_wait(s.loop);
    }
    pa_threaded_mainloop_unlock(s.loop);
    if (!ok)
        disconnect();
    return ok;
}

void PulseCapture::disconnect()
{
    State& s = *state_;
    if (!s.loop)
        return;
    pa_threaded_mainloop_lock(s.loop);
    s.stopStream();
    if (s.context) {
        pa_context_set_state_callback(s.context, nullptr, nullptr);
        pa_context_set_subscribe_callback(s.context, nullptr, nullptr);
        pa_context_disconnect(s.context);
        pa_context_unref(s.context);
        s.context = nullptr;
    }
    pa_threaded_mainloop_unlock(s.loop);
    pa_threaded_mainloop_stop(s.loop);
    pa_threaded_mainloop_free(s.loop);
    s.loop = nullptr;
}

void PulseCapture::setWanted(bool wanted)
{
    State& s = *state_;
    if (!s.loop) {
        s.wanted = wanted;
        return;
    }
    pa_threaded_mainloop_lock(s.loop);
    s.wanted = wanted;
    s.review();
    pa_threaded_mainloop_unlock(s.loop);
}

bool PulseCapture::recording() const { return state_->recording; }

} // namespace q9::audio
