#pragma once
// What every device object needs from the process: the HID bus, the user's data folder and the
// program folder. Set once at start-up (tests set their own) before device pages are created.
#include "hid/HidBackend.h"
#include "platform/AudioChipLibrary.h"

#include <functional>
#include <memory>
#include <string>

namespace q9 {

struct DeviceEnvironment {
    std::shared_ptr<HidBackend> backend;
    std::wstring dataRoot;      // the user's data folder of the product, ending in '/'
    std::wstring programFolder; // the executable's folder, ending in '/'
    // The headset sound chip's configuration library; none when it could not be loaded.
    std::shared_ptr<AudioChipLibrary> audioLibrary;
    // A file of the user's could not be written (read-only folder, full disk, a folder in its
    // place): the window tells the user. Called on the UI thread with the file's path.
    std::function<void(const std::wstring& path)> saveFailed;
    // A change could not be written to the device although it answers (it refused it or stopped
    // answering): the window tells the user. Called on the UI thread, once until a write succeeds.
    std::function<void()> writeFailed;
    // A message for the user in plain text (not a text id). Called on the UI thread.
    std::function<void(const std::string& text)> tellUser;
};

DeviceEnvironment& deviceEnvironment();

// The device tab and power item of a device object (the main window's device strip).
class DeviceTabLink {
public:
    virtual ~DeviceTabLink() = default;
    virtual void startTabTimer(int id, int milliseconds) = 0;
    virtual void restartTimers() = 0;
    // The device's zone colours changed: paint them at the next frame (UI thread).
    virtual void requestFrame() = 0;
};

class PowerItemLink {
public:
    virtual ~PowerItemLink() = default;
    // The device's power record {battery %, charge state, 0, link, 0, 0, …}.
    virtual void showPowerReport(const uint8_t* bytes, size_t length) = 0;
    virtual void setWirelessCapable(bool capable) = 0;
};

} // namespace q9
