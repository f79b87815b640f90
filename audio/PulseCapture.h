#pragma once
// What the desktop plays, recorded from the default sink's monitor through PulseAudio (PipeWire
// desktops serve the same API). The recording runs only while it is wanted and something plays:
// the sink's playing streams are watched, so a quiet desktop costs no CPU at all.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace q9::audio {

class PulseCapture {
public:
    // Called on the sound server's thread with interleaved 16-bit frames.
    using Frames = std::function<void(const int16_t* samples, size_t frames, int channels)>;

    PulseCapture(std::string clientName, Frames frames);
    ~PulseCapture();
    PulseCapture(const PulseCapture&) = delete;
    PulseCapture& operator=(const PulseCapture&) = delete;

    // Connects to the sound server (false when none can be reached).
    bool connect();
    void disconnect();
    // Whether the recording should run when something plays.
    void setWanted(bool wanted);
    bool recording() const;
    int sampleRate() const { return 44100; }
    int channels() const { return 2; }

    struct State;

private:
    std::unique_ptr<State> state_;
};

} // namespace q9::audio
