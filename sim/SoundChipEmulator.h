#pragma once
// The headset's sound chip as its configuration library presents it: a digital output and the
// headset's speakers as playback devices, its microphone as the capture device, and the chip's
// properties with the values they were last given. Present only while the headset is plugged: a
// call for a device that is gone fails, as on the real chip.
//
// Every set is checked against the library's conventions (value kind, channel word, the surround
// property's three words); a set that breaks them is refused and counted, so tests see mistakes.
#include "platform/AudioChipLibrary.h"

#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace q9::sim {

class SoundChipEmulator final : public AudioChipLibrary {
public:
    SoundChipEmulator();

    // Knobs.
    void setPresent(bool present);
    void setInitFails(bool fails);
    void setMonitoring(bool available);           // "GetAAMaxVol" answers only with it
    void setFailingProperty(std::string property); // sets of this property fail ("" for none)

    struct Set {
        int flow;
        std::string property;
        double value;
    };
    // What the chip holds now; nothing when the property was never given a value.
    std::optional<double> value(int flow, const std::string& property) const;
    // Every accepted set in order, and the sets refused for breaking the conventions.
    std::vector<Set> sets() const;
    void clearSets();
    int malformedCalls() const;

    int ConfLibInit() override;
    int CreateDeviceList() override;
    int GetDeviceCount(int flow, uint32_t* count) override;
    int GetDeviceById(int flow, uint32_t index, AudioDeviceInfo* info) override;
    int PropertyControl(AudioDeviceInfo device, const std::u16string& property, uint8_t* value, uint8_t* second,
                        int set) override;

private:
    int flowOf(const AudioDeviceInfo& device) const;
    bool refuse();

    mutable std::mutex mutex_;
    bool present_ = false;
    bool listed_ = false;
    bool initFails_ = false;
    bool monitoring_ = true;
    std::string failing_;
    std::map<std::pair<int, std::string>, double> values_;
    std::vector<Set> sets_;
    int malformed_ = 0;
};

} // namespace q9::sim
