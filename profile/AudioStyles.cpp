#include "profile/AudioStyles.h"

#include "profile/JsonFile.h"
#include "profile/TextConvert.h"


namespace q9 {

namespace {

const char* kInfo = "AudioLightInfo";

std::string channelMember(char channel, int style) { return std::string("nStyle") + channel + std::to_string(style); }

uint8_t lowByte(const Json::Value& v) { return v.isIntegral() ? uint8_t(v.asLargestInt() & 0xFF) : 0; }

} // namespace

AudioStyleRecord LoadAudioStyle(const Json::Value& document)
{
    AudioStyleRecord r;
    if (!document.isObject() || !document.isMember(kInfo) || !document[kInfo].isObject())
        return r;
    const Json::Value& info = document[kInfo];
    r.style = lowByte(info["nAudioStyle"]);
    for (int s = 0; s < 4; ++s) {
        const Json::Value& name = info["nStyleName" + std::to_string(s + 1)];
        r.names[size_t(s)] = name.isString() ? Utf8ToWide(name.asString()) : std::wstring();
        const char channels[] = {'R', 'G', 'B'};
        for (int c = 0; c < 3; ++c)
            r.levels[size_t(s)][size_t(c)] = lowByte(info[channelMember(channels[c], s)]);
    }
    return r;
}

void StoreAudioStyle(Json::Value& document, const AudioStyleRecord& r)
{
    if (!document.isObject())
        document = Json::Value(Json::objectValue);
    Json::Value info(Json::objectValue);
    info["nAudioStyle"] = int(r.style);
    for (int s = 0; s < 4; ++s) {
        info["nStyleName" + std::to_string(s + 1)] = WideToUtf8(r.names[size_t(s)]);
        const char channels[] = {'R', 'G', 'B'};
        for (int c = 0; c < 3; ++c)
            info[channelMember(channels[c], s)] = int(r.levels[size_t(s)][size_t(c)]);
    }
    document[kInfo] = info;
}

bool StyleLevels(const AudioStyleRecord& r, std::array<int32_t, 3>& rgb)
{
    if (r.style > 3)
        return false;
    const auto& l = r.levels[r.style];
    rgb = {l[0], l[1] == 0 ? 1 : l[1], l[2]};
    return true;
}

AudioStyleFile::AudioStyleFile(std::wstring userPath, std::wstring defaultPath)
    : userPath_(std::move(userPath)), defaultPath_(std::move(defaultPath))
{
}

void AudioStyleFile::Load()
{
    const Json::Value file = ReadJsonFile(userPath_);
    document_ = file.isObject() && file.isMember("Device") ? file["Device"] : Json::Value();
    if (document_.isNull())
        takeDefault();
}

void AudioStyleFile::Reset() { takeDefault(); }

void AudioStyleFile::takeDefault()
{
    const Json::Value def = ReadJsonFile(defaultPath_);
    WriteJsonFile(userPath_, def);
    document_ = def.isObject() && def.isMember("Device") ? def["Device"] : Json::Value();
}

void AudioStyleFile::Save()
{
    Json::Value file = ReadJsonFile(userPath_);
    if (!file.isObject())
        file = Json::Value(Json::objectValue); // other members of a file that is no object cannot be kept
    file["Device"] = document_;
    WriteJsonFile(userPath_, file);
}

} // namespace q9
