#pragma once
// The user's audio styles: four named styles of three colour levels (0-9) and the chosen one, kept
// in "AudioFile.json" apart from the device profiles and handed to the audio capture companion.
#include <json/value.h>

#include <array>
#include <cstdint>
#include <string>

namespace q9 {

struct AudioStyleRecord {
    uint8_t style = 0;
    std::array<std::wstring, 4> names{};
    std::array<std::array<uint8_t, 3>, 4> levels{}; // per style: R, G, B

    friend bool operator==(const AudioStyleRecord&, const AudioStyleRecord&) = default;
};

// The record from a document's "AudioLightInfo" (a new record when it is missing).
AudioStyleRecord LoadAudioStyle(const Json::Value& document);
// Replaces the document's "AudioLightInfo" whole.
void StoreAudioStyle(Json::Value& document, const AudioStyleRecord& record);

// The levels the companion is sent for the chosen style: R, G, B with a G of 0 sent as 1; nothing
// for a style outside the four.
bool StyleLevels(const AudioStyleRecord& record, std::array<int32_t, 3>& rgb);

class AudioStyleFile {
public:
    AudioStyleFile(std::wstring userPath, std::wstring defaultPath);
    // The user's copy, replaced by the default file when it is missing or has no "Device".
    void Load();
    // The default file again as the user's copy.
    void Reset();
    void Save();
    AudioStyleRecord record() const { return LoadAudioStyle(document_); }
    void store(const AudioStyleRecord& r) { StoreAudioStyle(document_, r); }
    const Json::Value& document() const { return document_; }

private:
    void takeDefault();

    std::wstring userPath_, defaultPath_;
    Json::Value document_; // the file's "Device"
};

} // namespace q9
