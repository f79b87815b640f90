// The device strip of the main window: pages, tabs and power items in step with the hardware.
#include "app/DeviceOption.h"
#include "app/MainWnd.h"
#include "device/KeyboardDevice.h"
#include "device/MouseDevice.h"
#include "device/HeadsetDevice.h"
#include "device/MousePadDevice.h"
#include "platform/Trace.h"
#include "profile/TextConvert.h"
#include "ui/Builder.h"
#include "ui/Combo.h"
#include "ui/Containers.h"
#include "ui/Label.h"

namespace q9::app {

std::vector<CDeviceOptionUI*> CMainWnd::tabs() const
{
    std::vector<CDeviceOptionUI*> out;
    if (auto* strip = qobject_cast<ui::Container*>(findControl(QStringLiteral("device_select_layout"))))
        for (ui::Control* c : strip->items())
            if (auto* t = qobject_cast<CDeviceOptionUI*>(c))
                out.push_back(t);
    return out;
}

int CMainWnd::visibleTabCount() const
{
    int n = 0;
    for (CDeviceOptionUI* t : tabs())
        n += t->tabVisible();
    return n;
}

CTarvenixUSBDevice* CMainWnd::currentDevice() const
{
    for (CDeviceOptionUI* t : tabs())
        if (t->tabVisible() && t->IsSelected())
            return t->device();
    return nullptr;
}

CTarvenixMouseDevice* CMainWnd::currentMouse() const { return dynamic_cast<CTarvenixMouseDevice*>(currentDevice()); }

CDeviceOptionUI* CMainWnd::tabOf(CTarvenixUSBDevice* device) const
{
    for (CDeviceOptionUI* t : tabs())
        if (t->device() == device)
            return t;
    return nullptr;
}

namespace {
// The kind of a device's page and tab: a device through its receiver is the same device.
int cableKind(int kind)
{
    return kind == KindMouseReceiver ? int(KindMouse) : kind == KindKeyboardReceiver ? int(KindKeyboard) : kind;
}
} // namespace

int CMainWnd::identityOf(int r) const
{
    if (r < 0 || r >= int(live_.size()))
        return -1;
    const HidInterfaceEntry& row = live_[size_t(r)];
    if (row.role == RoleEvent) {
        for (int i = 0; i < int(live_.size()); ++i) {
            const HidInterfaceEntry& c = live_[size_t(i)];
            if (c.vid == row.vid && c.pid == row.pid && c.kind == row.kind && c.role == RoleCommand)
                return isReceiverKind(c.kind) && c.paired ? c.partner : i;
        }
        return -1;
    }
    if (isReceiverKind(row.kind) && row.paired && live_[row.partner].partner == r)
        return row.partner;
    return r;
}

CTarvenixUSBDevice* CMainWnd::deviceOfRow(int index) const
{
    const int identity = identityOf(index);
    if (identity < 0)
        return nullptr;
    const HidInterfaceEntry& want = interfaceTable()[size_t(identity)];
    for (auto* d : mice_)
        if (d->identityRow().sameInterface(want) && d->identityRow().kind == want.kind)
            return d;
    for (auto* list : {&keyboards_, &mousePads_, &headsets_})
        for (auto* d : *list)
            if (d->identityRow().sameInterface(want) && d->identityRow().kind == want.kind)
                return d;
    return nullptr;
}

bool CMainWnd::CreateDevicePage(int r, int sub)
{
    if (r < 0 || r >= kInterfaceRowCount)
        return false;
    HidInterfaceEntry row = interfaceTable()[size_t(r)];
    int identity = r;
    if (isReceiverKind(row.kind) && row.paired) {
        identity = row.partner;
        row = interfaceTable()[size_t(identity)];
    }
    const int page = cableKind(row.kind);
    const int t = findDeviceType(row.vid, row.pid, uint16_t(page), uint16_t(sub));
    if (t < 0)
        return false;
    const DeviceTypeEntry& type = deviceTypeTable()[size_t(t)];
    const DevicePageEntry& pageRow = devicePageTable()[size_t(t)];

    ui::DialogBuilder b1, b2, b3;
    ui::Control* power = b1.create(QStringLiteral("XML\\CustomControlXML\\MpDevicePower.xml"), this, this, nullptr);
    ui::Control* tabControl = b2.create(QString::fromWCharArray(type.optionXml), this, this, nullptr);
    ui::Control* pageControl = b3.create(QString::fromWCharArray(pageRow.pageXml), this, this, nullptr);
    auto* powerItem = qobject_cast<CMpDevicePowerUI*>(power);
    auto* tab = qobject_cast<CDeviceOptionUI*>(tabControl);
    auto* device = qobject_cast<CTarvenixUSBDevice*>(pageControl);
    auto* powerSwitch = qobject_cast<ui::TabLayout*>(findControl(QString::fromWCharArray(type.powerContainer)));
    auto* pages = qobject_cast<ui::TabLayout*>(findControl(QStringLiteral("device_switch")));
    auto* strip = qobject_cast<ui::Container*>(findControl(QStringLiteral("device_select_layout")));
    if (!powerItem || !tab || !device || !powerSwitch || !pages || !strip) {
        // Nothing half built is added.
        delete power;
        delete tabControl;
        delete pageControl;
        return false;
    }
    powerSwitch->add(powerItem);
    powerItem->SetKind(page, sub);
    powerItems_.push_back(powerItem);

    device->setPageXml(pageRow.pageXml);
    device->setMainWindow(this);
    device->setKeyCount(pageRow.keyCount);
    device->setLightCount(pageRow.lightCount);
    device->setTypeIndex(t);
    device->setWirelessCapable(pageRow.wirelessCapable != 0);
    device->setLogoLight(pageRow.logoLight);
    device->setProfileId(std::wstring());
    device->setTypeName(type.typeName);
    device->setPowerItem(powerItem);
    device->setIdentity(interfaceTable()[size_t(identity)]);
    device->setLightIndex(type.lightIndex);
    device->setLightFileBase(pageRow.lightFileBase);
    pages->add(device);
    device->bindPageControls();
    if (auto* mouse = dynamic_cast<CTarvenixMouseDevice*>(device))
        mice_.push_back(mouse);
    else if (dynamic_cast<CTarvenixKeyboardDevice*>(device)) {
        keyboards_.push_back(device);
        ensureAudioCapture(); // its audio lighting needs the capture companion
    }
    else if (dynamic_cast<CTarvenixHX4120Device*>(device)) // before the pad: the headset is one too
        headsets_.push_back(device);
    else if (dynamic_cast<CTarvenixMousePadDevice*>(device))
        mousePads_.push_back(device);

    strip->add(tab);
    tab->SetMainWindow(this);
    tab->SetSynchronised(false);
    if (ui::Control* sync = ui::Window::findSubControlByName(tab, QStringLiteral("synchro_device_select")))
        sync->setVisible(false);
    tab->SetGroup(QString::fromWCharArray(type.tabGroup));
    tab->BindPage(QStringLiteral("device_switch"), pages->getItemIndex(device));
    tab->SetPower(QString::fromWCharArray(type.powerContainer), powerSwitch->getItemIndex(powerItem));
    tab->SetKind(cableKind(interfaceTable()[size_t(r)].kind), sub);
    tab->SetTabVisible(false);
    tab->SetName(QString::fromWCharArray(type.typeName));
    tab->SetDevice(device);
    device->setTab(tab);
    device->setWindowHidden(isHidden());
    const bool shown = pictureShown();
    device->setPictureShown(shown);
    tab->setWindowHidden(!shown);
    return true;
}

void CMainWnd::AttachInterface(int i)
{
    if (i < 0 || i >= int(live_.size()))
        return;
    const HidInterfaceEntry row = live_[size_t(i)];
    const int commandRow = findInterfaceRow(row.vid, row.pid, row.kind, 0);
    const int identity = identityOf(i);
    const bool exists = deviceOfRow(i) != nullptr;
    if (row.kind == KindMouse || row.kind == KindMouseReceiver) {
        trace("添加一个鼠标设备");
        if (!exists && commandRow >= 0)
            CreateDevicePage(commandRow, 0);
    } else if (row.kind == KindKeyboard || row.kind == KindKeyboardReceiver) {
        trace("添加一个键盘设备");
        if (!exists && commandRow >= 0)
            CreateDevicePage(commandRow, 0);
    } else {
        trace("添加一个鼠标垫设备");
        if ((row.kind == KindMousePad || row.kind == KindHeadset) && !exists && commandRow >= 0)
            CreateDevicePage(commandRow, 0);
    }
    reveal();
    CTarvenixUSBDevice* device = deviceOfRow(i);
    if (!device || identity < 0)
        return;
    const bool receiver = isReceiverKind(row.kind);
    if (row.role == RoleEvent) {
        device->openEventLink(receiver, live_[size_t(i)].path);
        return;
    }
    // The other link of the same device is connected already: the channel moves to the cable.
    if (row.paired) {
        const HidInterfaceEntry& partner = live_[row.partner];
        if (partner.claimed && !partner.path.empty() && partner.partner == i) {
            if (!receiver)
                device->switchLink(false, live_[size_t(i)].path);
            return;
        }
    }
    // Always opened afresh: a channel still "open" may hold the handle of a link that went away.
    device->openCommandLink(row, live_[size_t(i)].path);
    device->setHostLightControl(lightControl_ && powerOn_); // the keyboard is told on its cable
    CDeviceOptionUI* tab = tabOf(device);
    if (!tab)
        return;
    if (!receiver) {
        const auto all = tabs();
        ShowTab(int(std::find(all.begin(), all.end(), tab) - all.begin()), true, visibleTabCount() == 0);
    }
    tab->setUiTimer(1001, 500);
}

void CMainWnd::DetachInterface(int i)
{
    if (i < 0 || i >= int(live_.size()))
        return;
    const HidInterfaceEntry& row = live_[size_t(i)];
    if (row.kind == KindMouse || row.kind == KindMouseReceiver)
        trace("删除一个鼠标设备");
    else if (row.kind == KindKeyboard || row.kind == KindKeyboardReceiver)
        trace("删除一个键盘设备");
    else
        trace("删除一个鼠标垫设备");
    CTarvenixUSBDevice* device = deviceOfRow(i);
    const bool receiver = isReceiverKind(row.kind);
    if (row.role == RoleEvent) {
        if (device)
            device->closeEventLink(receiver);
        return;
    }
    trace("鼠标设备丢失");
    if (row.paired && device) {
        const HidInterfaceEntry& partner = live_[row.partner];
        if (partner.claimed && !partner.path.empty()) {
            if (!receiver)
                device->switchLink(true, partner.path); // back to the receiver
            return;
        }
    }
    if (!device)
        return;
    device->closeCommandLink();
    device->closeEventLink(false);
    device->closeEventLink(true);
    if (CDeviceOptionUI* tab = tabOf(device)) {
        const auto all = tabs();
        HideTabOfRemovedDevice(int(std::find(all.begin(), all.end(), tab) - all.begin()));
    }
}

void CMainWnd::ShowTab(int index, bool visible, bool select)
{
    const auto all = tabs();
    if (index < 0 || index >= int(all.size()))
        return;
    CDeviceOptionUI* tab = all[size_t(index)];
    tab->SetTabVisible(visible);
    if (select) {
        if (auto* pages = qobject_cast<ui::TabLayout*>(findControl(tab->pageLayout())))
            pages->selectItem(tab->pageIndex());
        if (auto* power = qobject_cast<ui::TabLayout*>(findControl(tab->powerContainer()))) {
            if (tab->powerIndex() < 0) {
                power->setVisible(false);
            } else {
                power->setVisible(true);
                power->selectItem(tab->powerIndex());
            }
        }
        tab->SetSelected(true);
    }
    int visibleTabs = 0, synced = 0;
    for (CDeviceOptionUI* t : all) {
        visibleTabs += t->tabVisible();
        synced += t->tabVisible() && t->IsSynchronised();
    }
    showNoDeviceOverlay(visibleTabs == 0);
    updateSameModeAllowed(visibleTabs);
    if (visibleTabs == 0) {
        if (auto* p = qobject_cast<ui::TabLayout*>(findControl(QStringLiteral("device_power_switch"))))
            p->selectItem(0);
        if (auto* p = qobject_cast<ui::TabLayout*>(findControl(QStringLiteral("device_switch"))))
            p->selectItem(0);
    }
    if (visibleTabs < 2) {
        for (auto* d : mice_)
            d->setSyncDriven(false);
        for (auto* list : {&keyboards_, &mousePads_, &headsets_})
            for (auto* d : *list)
                d->setSyncDriven(false);
    }
    if (synced < 2)
        for (CDeviceOptionUI* t : all)
            t->SetSynchronised(false);
}

void CMainWnd::HideTabOfRemovedDevice(int index)
{
    const auto all = tabs();
    if (index < 0 || index >= int(all.size()))
        return;
    CDeviceOptionUI* tab = all[size_t(index)];
    const bool wasCurrent = tab->tabVisible() && tab->IsSelected();
    int other = -1;
    if (wasCurrent) {
        closeChildWindows();
        if (!idle_)
            SetEditState(true, true); // a recording or key change in progress ends with its device
        for (int i = 0; i < int(all.size()); ++i)
            if (i != index && all[size_t(i)]->tabVisible()) {
                other = i;
                break;
            }
    }
    ShowTab(index, false, false);
    if (wasCurrent && other >= 0)
        ShowTab(other, true, true);
}

void CMainWnd::OnTabSelected()
{
    for (CDeviceOptionUI* t : tabs())
        if (t->IsSelected()) {
            if (auto* pages = qobject_cast<ui::TabLayout*>(findControl(t->pageLayout())))
                pages->selectItem(t->pageIndex());
            if (auto* power = qobject_cast<ui::TabLayout*>(findControl(t->powerContainer()))) {
                power->setVisible(t->powerIndex() >= 0);
                if (t->powerIndex() >= 0)
                    power->selectItem(t->powerIndex());
            }
            return;
        }
}

void CMainWnd::SelectPreviousTab()
{
    const auto all = tabs();
    int selected = -1;
    for (int i = 0; i < int(all.size()); ++i)
        if (all[size_t(i)]->tabVisible() && all[size_t(i)]->IsSelected())
            selected = i;
    for (int i = selected - 1; i >= 0; --i)
        if (all[size_t(i)]->tabVisible()) {
            ShowTab(i, true, true);
            return;
        }
}

void CMainWnd::SelectNextTab()
{
    const auto all = tabs();
    int selected = -1;
    for (int i = 0; i < int(all.size()); ++i)
        if (all[size_t(i)]->tabVisible() && all[size_t(i)]->IsSelected())
            selected = i;
    if (selected < 0)
        return;
    for (int i = selected + 1; i < int(all.size()); ++i)
        if (all[size_t(i)]->tabVisible()) {
            ShowTab(i, true, true);
            return;
        }
}

} // namespace q9::app
