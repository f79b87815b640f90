#include "app/Startup.h"

#include "app/DeviceOption.h"
#include "controls/Registration.h"
#include "ui/Builder.h"
#include "platform/Messages.h"
#include "ui/Resources.h"

#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QStandardPaths>

namespace q9::app {

QStringList privateFontFiles()
{
    return {QStringLiteral("Font/Simplified_Chinese.ttf"), QStringLiteral("Font/Predator-Regular.otf"),
            QStringLiteral("Font/NotoSansThai-Regular.ttf"), QStringLiteral("Font/NotoSansCJKtc-Regular.otf"),
            QStringLiteral("Font/NotoSansSC-Regular.ttf")};
}

namespace {

// Whether a font file is one of the system's installed fonts (the build links the Font/ folder to
// them): the font database already knows it from its cache, and registering it again would make
// it read the whole file afresh (the CJK collection alone takes most of a start).
bool systemFont(const QString& path)
{
    const QString real = QFileInfo(path).canonicalFilePath();
    if (real.isEmpty())
        return false;
    for (const QString& dir : QStandardPaths::standardLocations(QStandardPaths::FontsLocation)) {
        const QString base = QFileInfo(dir).canonicalFilePath();
        if (!base.isEmpty() && real.startsWith(base + QLatin1Char('/')))
            return true;
    }
    return false;
}

} // namespace

bool PrivateFonts::load(const QString& programFolder)
{
    release();
    for (const QString& file : privateFontFiles()) {
        const QString path = programFolder + file;
        // A file of zero bytes, or one that is not a font, fails like a missing one.
        int id = -1;
        if (QFile(path).size() > 0)
            id = systemFont(path) ? kInstalled : QFontDatabase::addApplicationFont(path);
        ids_.push_back(id);
    }
    return !ids_.isEmpty() && (ids_.back() >= 0 || ids_.back() == kInstalled);
}

void PrivateFonts::release()
{
    for (auto it = ids_.crbegin(); it != ids_.crend(); ++it)
        if (*it >= 0)
            QFontDatabase::removeApplicationFont(*it);
    ids_.clear();
}

void registerStartupMessages()
{
    static const char* const names[] = {
        "WM_HOOK_KEY_SINGLEKEY_MSG", "WM_HOOK_KEY_HITKEY_MSG", "WM_HOOK_KEY_KBMACRO_MSG", "WM_HOOK_KEY_MSMACRO_MSG",
        "WM_HOOK_KEY_KBMACROSINGLE_MSG", "WM_HOOK_KEY_KBMACROPREVIOUS_MSG", "WM_HOOK_KEY_KBMACROLATER_MSG",
        "WM_HOOK_MOU_SINGLEKEY_MSG", "WM_HOOK_MOU_HITKEY_MSG", "WM_HOOK_MOU_KBMACRO_MSG", "WM_HOOK_MOU_MSMACRO_MSG",
        "WM_HOOK_KEY_MSMACROSINGLE_MSG", "WM_HOOK_KEY_MSMACROPREVIOUS_MSG", "WM_HOOK_KEY_MSMACROLATER_MSG",
        "UWM_MOUSERBUTTONDOWN_USER_MSG", "UWM_MOUSELBUTTONUP_USER_MSG", "UWM_MOUSELBUTTONDOWN_USER_MSG",
        "UWM_MOUSERBUTTONUP_USER_MSG", "UWM_MOUSEMOVE_USER_MSG",
        "Game_Start", "Game_End", "Game_Kill", "Game_Death",
    };
    for (const char* n : names)
        registerWindowMessage(n);
}

void registerGuidMessages()
{
    for (const char* n : {"{4695579F-999A-41d4-9FAF-EFFCE93EBF15}", "{4695579F-999A-41d4-9FAF-EFFCE93EBF16}",
                          "{4695579F-999A-41d4-9FAF-EFFCE93EBF17}", "{4695579F-999A-41d4-9FAF-EFFCE93EBF18}",
                          "{4695579F-999A-41d4-9FAF-EFFCE93EBE19}"})
        registerWindowMessage(n);
}

uint32_t activationMessage() { return registerWindowMessage(kProductName); }

bool setupSkinResources(const QString& skinFolder)
{
    ui::Resources& res = ui::Resources::instance();
    res.setResourcePath(skinFolder);
    const bool indexed = res.loadResourceIndex(QStringLiteral("res.xml"));
    controls::registerCustomControls();
    // Then the device strip's classes; the update rows, editors and device pages of the other
    // kinds are registered here, in their order, by the parts of the program that add them.
    ui::RegistControl(QStringLiteral("CDeviceOptionUI"), [] { return static_cast<ui::Control*>(new CDeviceOptionUI); });
    ui::RegistControl(QStringLiteral("CMpDevicePowerUI"), [] { return static_cast<ui::Control*>(new CMpDevicePowerUI); });
    return indexed;
}

} // namespace q9::app
