#include "app/Languages.h"

#include "device/DeviceEnvironment.h"
#include "platform/SettingsStore.h"
#include "profile/JsonAccess.h"
#include "profile/JsonFile.h"

namespace q9::app {
namespace {

constexpr int kChineseId = 520;
constexpr int kNoChoice = -0x7FFFFFFF;

int indexOfId(const std::vector<LanguageEntry>& list, int id)
{
    for (size_t i = 0; i < list.size(); ++i)
        if (list[i].id == id)
            return int(i);
    return -1;
}

} // namespace

QString languageListPath()
{
    return QString::fromStdWString(deviceEnvironment().programFolder) + QStringLiteral("DefaultData/Language.config");
}

std::vector<LanguageEntry> readLanguageList(const QString& path)
{
    std::vector<LanguageEntry> out;
    const Json::Value doc = ReadJsonFile(path.toStdWString());
    const Json::Value& list = Member(doc, "Language");
    for (Json::ArrayIndex i = 0; i < ElementCount(list); ++i) {
        const Json::Value& e = Element(list, i);
        out.push_back({ReadInt(Member(e, "Language_ID")), QString::fromStdString(ReadString(Member(e, "Language_name"))),
                       QString::fromStdString(ReadString(Member(e, "Language_file"))),
                       QString::fromStdString(ReadString(Member(e, "Language_text")))});
    }
    return out;
}

int chooseLanguage(const std::vector<LanguageEntry>& list, std::optional<int> storedId, const QLocale& desktop)
{
    if (storedId) {
        const int at = indexOfId(list, *storedId);
        return at < 0 ? 0 : at;
    }
    if (desktop.language() == QLocale::Chinese) {
        const int at = indexOfId(list, kChineseId);
        return at < 0 ? 0 : at;
    }
    for (size_t i = 0; i < list.size(); ++i)
        if (list[i].name.compare(QLatin1String("en"), Qt::CaseInsensitive) == 0
            || list[i].file.contains(QLatin1String("_en"), Qt::CaseInsensitive))
            return int(i);
    return 0;
}

std::optional<int> storedLanguageId()
{
    const int v = settings::readInt(settings::productKey(), QStringLiteral("LANGUAGE"), kNoChoice);
    return v == kNoChoice ? std::nullopt : std::optional<int>(v);
}

void storeLanguageId(int id) { settings::writeInt(settings::productKey(), QStringLiteral("LANGUAGE"), id); }

} // namespace q9::app
