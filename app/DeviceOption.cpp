#include "app/DeviceOption.h"

#include "device/UsbDevice.h"
#include "platform/Messages.h"
#include "platform/Trace.h"
#include "ui/Label.h"
#include "ui/Slider.h"
#include "ui/Window.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

namespace q9::app {

namespace {

struct Pictures {
    const char* stem;
    const char* nameControl;
};

Pictures picturesOf(int kind, int sub)
{
    switch (kind) {
    case 1: return {"kb_device", "kb_device_name_text"};
    case 2: return {"ms_device", "ms_device_name_text"};
    case 3: return sub == 0 ? Pictures{"hard_mp_device", "hard_mp_device_name_text"}
                            : Pictures{"soft_mp_device", "soft_mp_device_name_text"};
    case 4: case 7: return {"hd_device", "hd_device_name_text"};
    case 5: return {"hub_device", "hub_device_name_text"};
    default: return {"unknow_device", "unknow_device_name_text"};
    }
}

} // namespace

CDeviceOptionUI::CDeviceOptionUI(QWidget* parent) : ui::HorizontalLayout(parent) {}

ui::Control* CDeviceOptionUI::getInterface(const QString& className)
{
    return className == QLatin1String("DeviceOption") ? this : ui::HorizontalLayout::getInterface(className);
}

void CDeviceOptionUI::SetKind(int kind, int sub)
{
    if (kind == 3 && sub != 0 && sub != 1)
        return; // unknown mouse pad: the pictures stay
    kind_ = kind;
    sub_ = sub;
    const QString stem = QStringLiteral("common/device_ico/") + QLatin1String(picturesOf(kind, sub).stem);
    pictures_[0] = stem + QStringLiteral("_normal.png");
    pictures_[1] = stem + QStringLiteral("_selected.png");
    pictures_[2] = stem + QStringLiteral("_synchro_normal.png");
    pictures_[3] = stem + QStringLiteral("_synchro_selected.png");
    applyPictures();
}

void CDeviceOptionUI::applyPictures()
{
    auto* option = qobject_cast<ui::Option*>(ui::Window::findSubControlByName(this, QStringLiteral("device_select")));
    if (!option)
        return;
    const bool synced = IsSynchronised();
    option->setNormalImage(QStringLiteral("file='%1' dest='10,8,50,36'").arg(pictures_[synced ? 2 : 0]));
    option->setAttribute(QStringLiteral("selectedimage"), QStringLiteral("file='%1' dest='10,8,50,36'").arg(pictures_[synced ? 3 : 1]));
}

void CDeviceOptionUI::SetName(const QString& text)
{
    if (ui::Control* name = ui::Window::findSubControlByName(this, QStringLiteral("device_select_name")))
        name->setText(text);
}

void CDeviceOptionUI::BindPage(const QString& layoutName, int index)
{
    pageLayout_ = layoutName;
    pageIndex_ = index;
}

void CDeviceOptionUI::SetPower(const QString& containerName, int index)
{
    powerContainer_ = containerName;
    powerIndex_ = index;
}

void CDeviceOptionUI::SetGroup(const QString& group)
{
    if (auto* option = qobject_cast<ui::Option*>(ui::Window::findSubControlByName(this, QStringLiteral("device_select"))))
        option->setGroup(group);
}

void CDeviceOptionUI::SetSelected(bool on)
{
    if (auto* option = qobject_cast<ui::Option*>(ui::Window::findSubControlByName(this, QStringLiteral("device_select"))))
        option->selected(on, false);
}

bool CDeviceOptionUI::IsSelected() const
{
    auto* option = qobject_cast<ui::Option*>(ui::Window::findSubControlByName(const_cast<CDeviceOptionUI*>(this), QStringLiteral("device_select")));
    return option && option->isSelected();
}

void CDeviceOptionUI::SetSynchronised(bool ticked)
{
    if (auto* check = qobject_cast<ui::Option*>(ui::Window::findSubControlByName(this, QStringLiteral("synchro_device_select"))))
        check->selected(ticked, false);
    applyPictures();
}

bool CDeviceOptionUI::IsSynchronised() const
{
    auto* check = qobject_cast<ui::Option*>(ui::Window::findSubControlByName(const_cast<CDeviceOptionUI*>(this), QStringLiteral("synchro_device_select")));
    return check && check->isSelected();
}

void CDeviceOptionUI::SetTabVisible(bool on)
{
    visible_ = on;
    setVisible(on);
}

int CDeviceOptionUI::tabIndex() const
{
    auto* strip = qobject_cast<ui::Container*>(parentWidget());
    return strip ? strip->getItemIndex(const_cast<CDeviceOptionUI*>(this)) : -1;
}

void CDeviceOptionUI::doEvent(ui::UiEvent& e)
{
    if (e.type == ui::EventType::Timer) {
        killUiTimer(e.timerId); // every tab timer is one-shot; its handler restarts it
        onTimer(e.timerId);
        return;
    }
    ui::HorizontalLayout::doEvent(e);
}

void CDeviceOptionUI::setWindowHidden(bool hidden)
{
    windowHidden_ = hidden;
    if (!hidden)
        requestFrame();
}

void CDeviceOptionUI::requestFrame()
{
    if (windowHidden_ || !device_ || uiTimerActive(1000))
        return;
    static const int frameMs = [] {
        const QScreen* s = QGuiApplication::primaryScreen();
        const double hz = s && s->refreshRate() >= 20 ? s->refreshRate() : 60.0;
        return std::max(1, int(1000.0 / hz));
    }();
    // Painted at once when the last frame is older than a display frame; a faster request waits
    // for the next display frame (timer 1000), so the picture never changes faster than the screen.
    const qint64 since = lastFrame_.isValid() ? lastFrame_.elapsed() : frameMs;
    if (since >= frameMs)
        onTimer(1000);
    else
        setUiTimer(1000, int(std::clamp<qint64>(frameMs - since, 1, frameMs)));
}

void CDeviceOptionUI::onTimer(int id)
{
    if (!device_)
        return;
    CommandChannel& channel = device_->commandChannel();
    const bool wireless = channel.receiverMode();
    auto presence = [&](int online) {
        if (main_)
            main_->send(kMsgTabPresence, uint64_t(tabIndex()), online);
    };
    switch (id) {
    case 1001:
        if (wireless && channel.isOpen()) {
            if (!device_->isReceiverLinkUp()) {
                if (visible_)
                    presence(0);
                setUiTimer(1001, 5000);
                return;
            }
            presence(1);
        }
        device_->syncFromDevice();
        setUiTimer(1000, 5);
        if (device_->wirelessCapable() && channel.isOpen())
            setUiTimer(1005, 50);
        if (wireless)
            setUiTimer(1007, 2000);
        break;
    case 1000:
        // Painted on change only (requestFrame), not on a period: an unchanged picture costs nothing.
        if (!windowHidden_) {
            device_->paintLights();
            lastFrame_.start();
        }
        break;
    case 1002:
        device_->readSettings();
        break;
    case 1003:
        device_->reservedReadA();
        break;
    case 1004:
        device_->reservedReadB();
        break;
    case 1005:
        device_->pollPower();
        if (device_->wirelessCapable())
            setUiTimer(1005, 10000);
        break;
    case 1007:
        if (!wireless)
            break;
        if (device_->isReceiverLinkUp()) {
            if (!visible_) {
                presence(1);
                device_->syncFromDevice();
                if (device_->wirelessCapable())
                    device_->pollPower();
                trace("2.4gcesvdfherhue  12312423 123342341");
            } else {
                device_->writePending(); // the link dropped and returned between two checks
            }
        } else if (visible_) {
            presence(0);
            trace("2.4gcesvdfherhue");
        }
        if (channel.receiverMode())
            setUiTimer(1007, 3000);
        break;
    default:
        break;
    }
}

CMpDevicePowerUI::CMpDevicePowerUI(QWidget* parent) : ui::HorizontalLayout(parent) {}

ui::Control* CMpDevicePowerUI::getInterface(const QString& className)
{
    return className == QLatin1String("MpDevicePower") ? this : ui::HorizontalLayout::getInterface(className);
}

ui::Control* CMpDevicePowerUI::sub(const char* name) { return ui::Window::findSubControlByName(this, QString::fromLatin1(name)); }

void CMpDevicePowerUI::ShowPowerLayout(bool visible)
{
    if (ui::Control* c = sub("device_power_Layout"))
        c->setVisible(visible);
}

void CMpDevicePowerUI::showPowerReport(const uint8_t* bytes, size_t length)
{
    uint8_t r[64] = {};
    std::copy(bytes, bytes + std::min<size_t>(length, 64), r);
    // A level above 100 is no level: shown as unknown rather than as "255%".
    const bool levelKnown = r[0] <= 100;
    auto* progress = qobject_cast<ui::Progress*>(sub("device_Power_progress"));
    if (progress)
        progress->setValue(levelKnown ? 100 - r[0] : 100);
    if (ui::Control* value = sub("device_power_value"))
        value->setText(levelKnown ? QStringLiteral("%1%").arg(r[0]) : QStringLiteral("--"));
    const bool wirelessLink = r[3] != 0;
    if (kind_ == 2)
        if (ui::Control* logo = sub("device_wuxian_logo"))
            logo->setVisible(wirelessLink);
    ui::Control* status = sub("device_power_status");
    switch (r[1]) {
    case 0:
        if (progress)
            progress->setVisible(true);
        if (status)
            status->setBkImage(QStringLiteral("file='power/powered.png'"));
        break;
    case 1:
        if (progress)
            progress->setVisible(!wirelessLink);
        if (status)
            status->setBkImage(QStringLiteral("file='power/powering.png'"));
        break;
    case 2:
        if (progress)
            progress->setVisible(true);
        if (status)
            status->setBkImage(QStringLiteral("file='power/power.png'"));
        break;
    default:
        break;
    }
    if (kind_ == 3)
        if (ui::Control* phone = sub("device_phone_type")) {
            static const char* const names[] = {"Phone_type_no_device", "Phone_type_iphone", "Phone_type_samsung", "Phone_type_other"};
            const char* n = r[5] >= 1 && r[5] <= 3 ? names[r[5]] : names[0];
            phone->setVisible(true);
            phone->setAttribute(QStringLiteral("tooltipid"), QString::fromLatin1(n));
            phone->setBkImage(QStringLiteral("file='power/%1.png'").arg(QString::fromLatin1(n)));
        }
}

} // namespace q9::app
