#pragma once
// The headset's sound settings live in the driver of its sound chip, not in HID reports. This is
// the chip vendor's configuration library as the program calls it: a list of the chip's playback
// and capture devices, and named properties read and written through 1024-byte buffers.
//
// Buffers: a get returns its value as UTF-16 text (a decimal integer or fraction) at the start of
// the value buffer; a set takes its value in the first 32-bit word (an int, or an IEEE single
// fraction 0.0-1.0 for the scalar volumes). Volume properties take a channel word in the second
// buffer. Every call returns 0 on success.
//
// On Linux no vendor library exists; a real implementation would map these properties onto the
// ALSA mixer controls of the headset's USB audio device (capture switch and volume for the
// microphone, the sidetone controls for monitoring) and leave the chip-side effects unsupported.
#include <cstddef>
#include <cstdint>
#include <string>

namespace q9 {

constexpr size_t kAudioBufferBytes = 1024;

enum AudioFlow : int { AudioPlayback = 0, AudioCapture = 1 };

// Filled by the library and handed back to it unchanged; the feature words are the program's.
struct AudioDeviceInfo {
    uint32_t word1 = 0;
    uint32_t deviceType = 0;
    uint32_t word3 = 0;
    uint32_t deviceState = 0;
    uint32_t featureFlags = 0;
    uint32_t featureB = 0;
    uint32_t featureC = 0;
};

class AudioChipLibrary {
public:
    virtual ~AudioChipLibrary() = default;
    virtual int ConfLibInit() = 0;
    virtual int CreateDeviceList() = 0;
    virtual int GetDeviceCount(int flow, uint32_t* count) = 0;
    virtual int GetDeviceById(int flow, uint32_t index, AudioDeviceInfo* info) = 0;
    // value and second are 1024-byte buffers (second may be null); set is 1 to write, 0 to read.
    virtual int PropertyControl(AudioDeviceInfo device, const std::u16string& property, uint8_t* value, uint8_t* second,
                                int set) = 0;
};

} // namespace q9
