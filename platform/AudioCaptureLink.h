#pragma once
// Where the program and its audio capture companion (q9zen-audio) meet: the companion's socket,
// which takes the program's commands, and the lock it holds while it runs. The companion sends its
// blocks to the program's own socket as copy-data messages.
#include <QString>

#include <cstddef>
#include <cstdint>

namespace q9 {

// The registered command message; wParam is the command code, lParam its value.
constexpr const char* kAudioCaptureCommand = "{4695579F-999A-41d4-9FAF-EFFCE93EBE19}";

enum AudioCaptureCode : uint64_t {
    kAudioHello = 0,     // value: the program's process id
    kAudioStart = 1,     // record and send blocks
    kAudioStop = 2,      // stop recording
    kAudioStyle = 3,     // the colour levels follow (6, 7, 8)
    kAudioRelease = 4,   // let go of the sound server
    kAudioQuit = 5,      // end the companion
    kAudioRed = 6,       // value: 0-9
    kAudioGreen = 7,
    kAudioBlue = 8,
};

// A copy-data block with the user's audio style: red, green, blue levels as three 32-bit values.
constexpr uint64_t kAudioStyleBlock = 10;
constexpr size_t kAudioStyleBytes = 40;

QString audioCaptureChannelName();
QString audioCaptureLockPath();
// Whether a companion holds its lock (a live process; a stale lock of a crashed one is not).
bool audioCaptureRunning();
bool sendAudioCaptureCommand(uint64_t code, int64_t value);
// The style block: red, green and blue as three little-endian 32-bit values, then zeros.
bool sendAudioCaptureStyle(int32_t red, int32_t green, int32_t blue);

} // namespace q9
