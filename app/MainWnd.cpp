#include "app/MainWnd.h"

#include "app/Startup.h"
#include "platform/Trace.h"
#include "ui/Builder.h"
#include "ui/Control.h"
#include "ui/Resources.h"
#include "ui/TrayIcon.h"

#include <QApplication>
#include <QIcon>

namespace q9::app {

namespace {

constexpr uint32_t kTrayCallback = 1025;

} // namespace

CMainWnd::CMainWnd(QWidget* parent) : ui::Window(parent), activation_(activationMessage()) {}

CMainWnd::~CMainWnd() = default;

ui::Control* CMainWnd::createControl(const QString& className)
{
    // Program classes created while the layout is parsed, by the class name of the skin.
    static const char* const subTrees[][2] = {
        {"DeviceProfileUI", "XML\\CustomControlXML\\DeviceProfile.xml"},
        {"LightSetControlUI", "XML\\CustomControlXML\\LightControl.xml"},
        {"Voice4120SetControlUI", "XML\\CustomControlXML\\Voice4120Control.xml"},
        {"MagicSetControlUI", "XML\\CustomControlXML\\MagicControl.xml"},
        {"KeySetControlUI", "XML\\CustomControlXML\\KeySetControl.xml"},
        {"MacroSetControlUI", "XML\\CustomControlXML\\MacroControl.xml"},
        {"ShootKeySetControlUI", "XML\\CustomControlXML\\ShootControl.xml"},
        {"VirtualSetControlUI", "XML\\CustomControlXML\\VirtualSet.xml"},
    };
    for (const auto& row : subTrees)
        if (className.compare(QLatin1String(row[0]), Qt::CaseInsensitive) == 0) {
            ui::DialogBuilder builder;
            return builder.create(QString::fromLatin1(row[1]), nullptr, this, nullptr);
        }
    return ui::ControlFactory::instance().create(className);
}

void CMainWnd::initWindow()
{
    trace("InitWindow");
    ui::Resources::instance().loadLanguage(QStringLiteral("lan_cn.xml"));
    const QString icon = ui::Resources::instance().resolve(QStringLiteral("ICON_107"));
    setWindowIcon(QIcon(icon));
    tray_ = new ui::TrayIcon(this);
    tray_->create(this, QStringLiteral("ICON_107"), kMainTitle, kTrayCallback);
}

void CMainWnd::notify(ui::TNotify& msg)
{
    if (msg.type != ui::notify::Timer)
        traceLazy([&] {
            return (msg.type + QLatin1Char(' ') + (msg.sender ? msg.sender->name() : QString())).toStdString();
        });
    if (msg.type == ui::notify::Click && msg.sender && msg.sender->name() == QLatin1String("closebtn")) {
        // To the notification area when there is one; without it closing ends the program.
        if (tray_ && tray_->isCreated()) {
            hide();
            return;
        }
    }
    ui::Window::notify(msg);
}

intptr_t CMainWnd::handleCustomMessage(uint32_t msg, uint64_t, int64_t lParam, const CopyData*, bool& handled)
{
    if (msg == activation_) {
        trace("激活主窗口");
        reveal();
        return 1;
    }
    if (msg == kTrayCallback) {
        if (lParam == ui::kTrayLeftUp || lParam == ui::kTrayDoubleClick)
            reveal();
        return 0;
    }
    handled = false;
    return 0;
}

void CMainWnd::reveal()
{
    showNormal();
    raise();
    activateWindow();
}

void CMainWnd::onFinalMessage()
{
    if (tray_)
        tray_->remove();
    QApplication::quit();
}

} // namespace q9::app
