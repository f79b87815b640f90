#include "device/UsbDevice.h"

#include "controls/KeyControls.h"
#include "device/MouseRecords.h"
#include "editors/KeySetEditor.h"
#include "editors/MacroEditor.h"
#include "editors/LightEditor.h"
#include "profile/BasicProfiledata.h"
#include "profile/JsonAccess.h"
#include "profile/JsonFile.h"
#include "platform/HandOver.h"
#include "platform/Messages.h"
#include "platform/Trace.h"
#include "profile/TextConvert.h"
#include "ui/Window.h"


#include <chrono>
#include <cstring>
#include <filesystem>

namespace q9 {

namespace {

int64_t nowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// The number after a name's prefix, or -1 when the name is not prefix + digits.
int indexAfter(const QString& name, const QString& prefix)
{
    if (!name.startsWith(prefix) || name.size() == prefix.size())
        return -1;
    bool ok = false;
    const int n = name.mid(prefix.size()).toInt(&ok);
    return ok ? n : -1;
}

} // namespace

CTarvenixUSBDevice::CTarvenixUSBDevice(int kind, QWidget* parent)
    : ui::HorizontalLayout(parent), kind_(kind),
      command_(std::make_unique<CommandChannel>(deviceEnvironment().backend)),
      events_(std::make_unique<CommandChannel>(deviceEnvironment().backend)),
      preview_(std::make_unique<light::LightPreview>(0))
{
}

CTarvenixUSBDevice::~CTarvenixUSBDevice() { stopThreads(); }

void CTarvenixUSBDevice::stopThreads()
{
    stopPreview();
    stopReader(false);
    stopReader(true);
}

ui::Control* CTarvenixUSBDevice::getInterface(const QString& className)
{
    return className == getClass() ? this : ui::HorizontalLayout::getInterface(className);
}

void CTarvenixUSBDevice::childNotify(ui::TNotify& msg)
{
    if (msg.sender && ui::Window::findSubControlByName(this, msg.sender->name()) == msg.sender)
        traceLazy([&] { return "测试成功   、" + msg.sender->name().toStdString(); });
}

void CTarvenixUSBDevice::setLightCount(int n)
{
    lightCount_ = std::clamp(n, 0, 170);
    stopPreview();
    preview_ = std::make_unique<light::LightPreview>(lightCount_);
}

void CTarvenixUSBDevice::setWirelessCapable(bool on)
{
    wirelessCapable_ = on;
    if (power_)
        power_->setWirelessCapable(on);
}

void CTarvenixUSBDevice::setPowerItem(PowerItemLink* item)
{
    power_ = item;
    if (power_)
        power_->setWirelessCapable(wirelessCapable_);
}

void CTarvenixUSBDevice::setIdentity(const HidInterfaceEntry& row)
{
    identity_ = row;
    kind_ = row.kind;
    role_ = row.role;
}

void CTarvenixUSBDevice::setHostLightControl(bool on)
{
    hostLightControl_ = on;
    previewThread_.wake();
    if (on && kind_ == KindKeyboard)
        command_->hostLightOn();
}

void CTarvenixUSBDevice::setWindowHidden(bool hidden)
{
    if (!wirelessCapable_)
        return;
    windowHidden_ = hidden;
    previewThread_.wake(); // it pauses while the window is hidden
}

std::wstring CTarvenixUSBDevice::dataFolder() const
{
    std::wstring folder = deviceEnvironment().dataRoot + typeName_ + L"/";
    std::error_code ec;
    std::filesystem::create_directories(ToFsPath(folder), ec);
    return folder;
}

std::wstring CTarvenixUSBDevice::defaultProfilePath() const
{
    return deviceEnvironment().programFolder + L"DefaultData/" + typeName_ + L".Json";
}

bool CTarvenixUSBDevice::openCommandLink(const HidInterfaceEntry& row, const std::wstring& path)
{
    const bool receiver = isReceiverKind(row.kind);
    std::lock_guard io(command_->ioLock());
    HidTransport& t = receiver ? command_->receiverTransport() : command_->cableTransport();
    if (!t.open(path, true, true, true, false))
        return false;
    command_->setOpen(true);
    command_->setMode(receiver ? 2 : 1);
    command_->setSuspended(false); // a pause the mouse asked for ends with its connection
    linkOpened();
    previewThread_.wake();
    return true;
}

bool CTarvenixUSBDevice::switchLink(bool toReceiver, const std::wstring& path)
{
    bool opened;
    {
        std::lock_guard io(command_->ioLock());
        command_->setOpen(false);
        command_->cableTransport().close();
        command_->receiverTransport().close();
        HidTransport& t = toReceiver ? command_->receiverTransport() : command_->cableTransport();
        opened = t.open(path, true, true, true, false);
        if (opened) {
            command_->setOpen(true);
            command_->setMode(toReceiver ? 2 : 1);
            command_->setSuspended(false);
        }
    }
    if (opened)
        linkOpened();
    previewThread_.wake();
    if (!opened)
        return false;
    if (toReceiver) {
        syncFromDevice();
        if (wirelessCapable_) {
            for (int i = 0; i < 26; ++i) {
                if (command_->linkQuery())
                    break;
                trace("获取2.4G模式失败");
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            }
            trace("获取2");
            pollPower();
        }
        // The link checks stopped while the cable served; the mouse may be switched off now.
        if (tab_)
            tab_->startTabTimer(1007, 2000);
    } else {
        if (tab_)
            tab_->restartTimers();
        if (mainWindow_)
            mainWindow_->post(0xD03, uint64_t(typeIndex_), 1);
        if (wirelessCapable_)
            pollPower();
    }
    return true;
}

void CTarvenixUSBDevice::closeCommandLink()
{
    {
        std::lock_guard io(command_->ioLock());
        command_->setOpen(false);
        command_->setSuspended(false);
        command_->cableTransport().close();
        command_->receiverTransport().close();
    }
    previewThread_.wake();
}

bool CTarvenixUSBDevice::openEventLink(bool receiver, const std::wstring& path)
{
    stopReader(receiver); // a reader that was already open is stopped first
    bool ok;
    {
        std::lock_guard lock(receiver ? receiverReaderLock_ : cableReaderLock_);
        HidTransport& t = receiver ? events_->receiverTransport() : events_->cableTransport();
        ok = t.open(path, true, true, true, false);
        // The event channel's flags are the readers' open flags.
        if (receiver)
            events_->setMode(ok ? 2 : 1);
        else
            events_->setOpen(ok);
    }
    if (ok)
        startReader(receiver);
    return ok;
}

void CTarvenixUSBDevice::closeEventLink(bool receiver)
{
    stopReader(receiver);
    std::lock_guard lock(receiver ? receiverReaderLock_ : cableReaderLock_);
    if (receiver) {
        events_->setMode(1);
        events_->receiverTransport().close();
    } else {
        events_->setOpen(false);
        events_->cableTransport().close();
    }
}

void CTarvenixUSBDevice::startReader(bool receiver)
{
    (receiver ? receiverReader_ : cableReader_).start([this, receiver](StopEvent& stop) { runReader(stop, receiver); });
}

void CTarvenixUSBDevice::stopReader(bool receiver)
{
    WorkerThread& w = receiver ? receiverReader_ : cableReader_;
    // Closing the transport ends a read that waits without limit.
    w.stop(500, [this, receiver] { (receiver ? events_->receiverTransport() : events_->cableTransport()).close(); });
}

uint16_t CTarvenixUSBDevice::eventCode(HidTransport& reader, const uint8_t* report, size_t length)
{
    reader.unpack(report, length);
    return reader.firstInputButtonUsage();
}

void CTarvenixUSBDevice::runReader(StopEvent& stop, bool receiver)
{
    HidTransport& t = receiver ? events_->receiverTransport() : events_->cableTransport();
    while (!stop.waitFor(1)) {
        const bool open = receiver ? events_->receiverMode() : events_->isOpen();
        uint8_t report[64] = {};
        size_t got = 0;
        if (!open || !t.read(report, sizeof report, &got, kInfiniteTimeout)) {
            // Closed, aborted or gone: wait for the stop or for the link to come back, not in a spin.
            if (stop.waitFor(100))
                break;
            continue;
        }
        trace("接收到自动添加设备的同步信息要求  TEST");
        onDeviceEvent(eventCode(t, report, got), !receiver);
    }
    trace(readerExitTrace());
}

void CTarvenixUSBDevice::setLightState(const LightInfoRecord& state)
{
    uint8_t bytes[16] = {};
    static_assert(sizeof(LightInfoRecord) <= sizeof bytes);
    std::memcpy(bytes, &state, sizeof state);
    uint64_t lo = 0, hi = 0;
    std::memcpy(&lo, bytes, 8);
    std::memcpy(&hi, bytes + 8, 8);
    const LightInfoRecord before = lightState();
    lightWordsLo_ = lo;
    lightWordsHi_ = hi;
    if (before.selectItem != state.selectItem)
        restartEffect_ = true;
    previewThread_.wake();
}

void CTarvenixUSBDevice::commitLight(const LightInfoRecord& record, bool syncDriven)
{
    syncDriven_ = syncDriven;
    setLightState(record);
    saveProfile();
    applyProfileLight();
    writeSettings(0, 0, 1, 0, 0);
}

void CTarvenixUSBDevice::commitAudioLight(const AudioLightRecord&) {}

LightInfoRecord CTarvenixUSBDevice::lightState() const
{
    uint8_t bytes[16] = {};
    const uint64_t lo = lightWordsLo_, hi = lightWordsHi_;
    std::memcpy(bytes, &lo, 8);
    std::memcpy(bytes + 8, &hi, 8);
    LightInfoRecord s;
    std::memcpy(&s, bytes, sizeof s);
    return s;
}

void CTarvenixUSBDevice::setZoneColor(int index, uint32_t rgba)
{
    preview_->setZone(index, rgba);
    requestFrame(); // painted by the next frame, whoever set the colour
}
uint32_t CTarvenixUSBDevice::zoneColor(int index) const { return preview_->zone(index); }

void CTarvenixUSBDevice::bindButtonsIn(ui::Control* scope)
{
    keyButtons_.assign(size_t(keyCount_), nullptr);
    lightButtons_.assign(size_t(lightCount_), nullptr);
    if (!scope)
        return;
    for (auto* b : scope->findChildren<controls::CDeviceKeyButtonUI*>()) {
        const QString n = b->name();
        const int k = indexAfter(n, QStringLiteral("key_"));
        const int l = indexAfter(n, QStringLiteral("light_"));
        if (k >= 0 && k < keyCount_)
            keyButtons_[size_t(k)] = b;
        else if (l >= 0 && l < lightCount_) {
            lightButtons_[size_t(l)] = b;
            b->setLightColor(255, 255, 255, 255);
            b->showLightLayer(true);
        }
    }
}

void CTarvenixUSBDevice::bindPageControls()
{
    if (pageXml_.empty()) {
        keyCount_ = 0;
        setLightCount(0);
        keyButtons_.clear();
        lightButtons_.clear();
        return;
    }
    selectPanel_ = ui::Window::findSubControlByName(this, QStringLiteral("SelectPanel"));
    bindButtonsIn(selectPanel_);
}

void CTarvenixUSBDevice::effectStatic() { preview_->stepStatic(lightState()); }
void CTarvenixUSBDevice::effectBreathing() { preview_->stepBreathing(lightState()); }
void CTarvenixUSBDevice::effectSpectrum() { preview_->stepSpectrum(lightState()); }
void CTarvenixUSBDevice::effectBreathingFour() { preview_->stepBreathingFour(lightState()); }
void CTarvenixUSBDevice::effectBlink() { preview_->stepBlink(lightState(), nowMs()); }
void CTarvenixUSBDevice::effectBlinkFour() { preview_->stepBlinkFour(lightState(), nowMs()); }
void CTarvenixUSBDevice::effectOff() { preview_->stepOff(); }

int CTarvenixUSBDevice::stepPreview(int64_t now)
{
    const LightInfoRecord s = lightState();
    const int period = light::thresholdOf(s.speed) * light::kTickMs;
    switch (s.selectItem) {
    case 0: effectStatic(); return kWaitForever; // unchanging until the light state changes
    case 1: effectBreathing(); break;
    case 3: effectSpectrum(); break;
    case 5: effectBreathingFour(); break;
    case 6: effectOff(); return kWaitForever;
    case 8: effectBlinkFour(); break;
    case 10: effectBlink(); break;
    case 2: case 4: case 7:
        effectStatic(); // the device classes that have these effects replace them
        return kWaitForever;
    default: {
        std::lock_guard lock(lightListMutex_);
        preview_->passCustom(customEffects_, s.speed, now);
        return light::kTickMs * 5; // a pass every counted tick, run five at a time
    }
    }
    return period;
}

void CTarvenixUSBDevice::runPreview(StopEvent& stop)
{
    int wait = 1;
    int64_t due = -1;      // when the next step of the effect falls due; -1: from the next pass on
    int64_t lastPass = nowMs();
    while (!stop.waitFor(wait)) {
        // Nothing to show, or nothing to step: sleep until a change wakes the thread (no periodic
        // wake-ups at all). Opening the link, showing the window and a new light state all wake it.
        if (!command_->isOpen() || syncDriven_ || !pictureShown_ || !(pageInFront_ || lightsFollowPreview())) {
            wait = kWaitForever;
            due = -1;
            continue;
        }
        const int64_t now = nowMs();
        if (restartEffect_.exchange(false)) {
            preview_->setPhase(0);
            due = -1;
        }
        if (due < 0 || due > now + 1000)
            due = now; // after a pause (or a clock jump) the effect goes on from here, not in a burst
        const LightInfoRecord s = lightState();
        int period = kWaitForever;
        if (s.selectItem == 9 || s.selectItem > 10) {
            // The custom sequence counts passes: run every pass that has fallen due.
            const int passes = int(std::clamp<int64_t>((now - lastPass) / light::kTickMs, 1, 64));
            for (int i = 0; i < passes; ++i)
                period = stepPreview(now);
            due = now + std::max(period, 0);
        } else {
            // The effect steps at its own period; the steps that fell due since the last frame are
            // run together, so the preview shows at most one frame per previewFrameMs().
            if (due > now) {
                // Woken before the next step (a new colour, the window shown again): the effect
                // goes on at its time.
                wait = int(std::max<int64_t>(due - now, 1));
                continue;
            }
            for (int steps = 0; due <= now && steps < 64; ++steps) {
                period = stepPreview(due);
                if (period < 0)
                    break;
                due += std::max(period, 1);
            }
        }
        lastPass = now;
        if (preview_->takeChanged())
            requestFrame();
        if (period < 0) {
            wait = kWaitForever; // a static picture: nothing more until the state changes
            due = -1;
        } else {
            wait = int(std::max<int64_t>(std::max(due, now + previewFrameMs()) - now, 1));
        }
    }
    trace(previewExitTrace());
}

void CTarvenixUSBDevice::requestFrame()
{
    if (framePending_.exchange(true))
        return; // the UI thread has not taken the last one yet: it paints the newest colours anyway
    onUiThread([this] {
        framePending_ = false; // cleared before the paint reads the colours: a later change asks again
        if (tab_)
            tab_->requestFrame();
    });
}

void CTarvenixUSBDevice::setPictureShown(bool shown)
{
    pictureShown_ = shown;
    previewThread_.wake();
}

void CTarvenixUSBDevice::startPreview()
{
    previewThread_.start([this](StopEvent& stop) { runPreview(stop); });
}

void CTarvenixUSBDevice::stopPreview() { previewThread_.stop(1000); }

void CTarvenixUSBDevice::paintLights()
{
    controls::LightFrame frame;
    for (int i = 0; i < int(lightButtons_.size()); ++i)
        if (auto* b = lightButtons_[size_t(i)])
            frame.set(b, zoneColor(i));
}

void CTarvenixUSBDevice::resetReactive() { preview_ = std::make_unique<light::LightPreview>(lightCount_); }

bool CTarvenixUSBDevice::linkUp()
{
    if (!command_->isOpen())
        return false;
    return !command_->receiverMode() || command_->linkQuery();
}

bool CTarvenixUSBDevice::unreachable() const
{
    return command_->isOpen() && (command_->receiverMode() || command_->suspended());
}

void CTarvenixUSBDevice::setSelectedKey(int n)
{
    selectedKey_ = n;
    if (keyEditor_ && n >= 0 && n < int(keyList_.size()))
        keyEditor_->SetKeyEntry(keyList_[size_t(n)]);
}

void CTarvenixUSBDevice::storeKeyEntry(const KeyEntry& entry)
{
    if (selectedKey_ < 0 || selectedKey_ >= int(keyList_.size()))
        return;
    KeyEntry& key = keyList_[size_t(selectedKey_)];
    key.current = entry.current;
    key.current.keyIndex = uint16_t(selectedKey_);
    if (CBasicProfiledata* doc = document())
        doc->SetKeyList(keyList_);
    refreshKeyLabels();
}

void CTarvenixUSBDevice::setKeyList(const std::vector<KeyEntry>& keys)
{
    keyList_ = keys;
    if (CBasicProfiledata* doc = document())
        doc->SetKeyList(keyList_);
    refreshKeys();
}

void CTarvenixUSBDevice::refreshKeyLabels()
{
    for (size_t i = 0; i < keyButtons_.size() && i < keyList_.size(); ++i)
        if (auto* b = keyButtons_[i]) {
            const KeyEntry& k = keyList_[i];
            b->showKeySetLayer(!(k.current == k.defaults));
            if (keyEditor_)
                b->setToolTip(keyEditor_->describe(k.current));
        }
}

void CTarvenixUSBDevice::attachKeyEditors(int systemOrder)
{
    if (ui::Control* macros = ui::Window::findSubControlByName(this, QStringLiteral("MacroControlItem"))) {
        macroEditor_ = std::make_unique<editors::CMacroControlUI>(macros);
        macroEditor_->SetMacroFolder(dataFolder());
        macroEditor_->LoadMacroList();
    }
    ui::Control* root = ui::Window::findSubControlByName(this, QStringLiteral("KeySetControlItem"));
    if (!root)
        return;
    keyEditor_ = std::make_unique<editors::CKeySetControlUI>(root);
    keyEditor_->Bind();
    keyEditor_->SetDeviceMode(kind_);
    keyEditor_->SetSystemOrder(systemOrder);
    keyEditor_->SetLayoutVisible(false);
    keyEditor_->SetMacroNames(readMacroNames());
}

void CTarvenixUSBDevice::refreshKeys()
{
    refreshKeyLabels();
    if (keyEditor_ && selectedKey_ >= 0 && selectedKey_ < int(keyList_.size()))
        keyEditor_->SetKeyEntry(keyList_[size_t(selectedKey_)]);
}

std::vector<std::wstring> CTarvenixUSBDevice::readMacroNames() const
{
    std::vector<std::wstring> names;
    const Json::Value list = ReadJsonFile(dataFolder() + L"macro.config");
    const Json::Value& macros = Member(list, "MacroInfo");
    for (Json::ArrayIndex i = 0; i < ElementCount(macros); ++i)
        names.push_back(Utf8ToWide(ReadString(Member(Element(macros, i), "MacroName"))));
    return names;
}

void CTarvenixUSBDevice::locateKeys(const KeyCode* factory, const uint8_t* block, size_t deviceKeys)
{
    const std::wstring memory = keyPositionsPath();
    const std::vector<int> at = locateDeviceKeys(factory, size_t(keyCount_), block, deviceKeys, readKeyPositions(memory), noDeviceKey());
    for (int j = 0; j < keyCount_; ++j)
        deviceKeyIndex_[j] = at[size_t(j)];
    rememberKeyPositions(memory, at, noDeviceKey());
}

namespace {

Json::Value readMacroList(const std::wstring& folder) { return ReadJsonFile(folder + L"macro.config"); }

// The distinct macros of a key list in order of first use, over the keys the device has.
std::vector<int> macrosUsedBy(const std::vector<KeyEntry>& keys, const std::map<int, int>& deviceKeyIndex, int count, int none)
{
    std::vector<int> used;
    for (int i = 0; i < int(keys.size()); ++i) {
        auto it = deviceKeyIndex.find(i);
        if (it == deviceKeyIndex.end() || it->second == none)
            continue;
        const KeyAction& a = keys[size_t(i)].current;
        if (IsMacroAction(a) && a.param1 < count && std::find(used.begin(), used.end(), a.param1) == used.end())
            used.push_back(a.param1);
    }
    return used;
}

} // namespace

int CTarvenixUSBDevice::macroCount() const { return int(ElementCount(Member(readMacroList(dataFolder()), "MacroInfo"))); }

std::vector<int> CTarvenixUSBDevice::usedMacros() { return macrosUsedBy(keyList_, deviceKeyIndex_, macroCount(), noDeviceKey()); }

int CTarvenixUSBDevice::writeKeyMap(int profile, const std::vector<KeyEntry>& keys)
{
    if (keyCount_ == 0)
        return 0;
    if (!linkUp() || command_->suspended()) {
        keysPending_ = keysPending_ || unreachable();
        return 0;
    }
    // Only a block read from this device is written back; one more try, then nothing is written.
    if (!keyBlockRead_ && !readInfoAndKeyBlock())
        return -1;
    std::array<uint8_t, 34> info{};
    if (command_->readDeviceInfo(info.data()) != ResultOk)
        return -1;
    info_ = info;
    std::array<uint8_t, 512> block{};
    const size_t used = std::min<size_t>(size_t(3) * info_[5], block.size());
    std::copy(keyBlock_.begin(), keyBlock_.begin() + long(used), block.begin());
    const int count = macroCount();
    const std::vector<int> order = macrosUsedBy(keys, deviceKeyIndex_, count, noDeviceKey());
    for (int i = 0; i < keyCount_ && i < int(keys.size()); ++i) {
        const int at = deviceKeyIndex_[i];
        if (at == noDeviceKey() || size_t(3 * at + 2) >= block.size())
            continue;
        KeyAction a = keys[size_t(i)].current;
        if (IsMacroAction(a)) {
            if (a.param1 < count)
                a.param1 = uint8_t(std::find(order.begin(), order.end(), a.param1) - order.begin());
            else
                a = keys[size_t(i)].defaults; // the macro is gone
        }
        block[size_t(3 * at)] = a.type;
        block[size_t(3 * at + 1)] = a.param1;
        block[size_t(3 * at + 2)] = a.param2;
    }
    if (command_->beginConfig() != ResultOk)
        return 0;
    const int written = command_->writeKeyBlock(profile, 0, block.data());
    const int closed = command_->endConfig();
    if (written == ResultOk)
        std::copy(block.begin(), block.end(), keyBlock_.begin());
    keysPending_ = !(written == ResultOk && closed == ResultOk);
    // A block the device refused is a failure, even though the transaction was closed.
    return written == ResultOk && closed == ResultOk ? 1 : 0;
}

int CTarvenixUSBDevice::writeMacros(const std::vector<int>& list)
{
    if (keyCount_ == 0)
        return 0;
    std::array<uint8_t, 34> info{};
    if (!linkUp() || command_->readDeviceInfo(info.data()) != ResultOk)
        return -1;
    info_ = info;
    const Json::Value macros = Member(readMacroList(dataFolder()), "MacroInfo");
    if (ElementCount(macros) == 0 || list.empty())
        return 0;
    std::vector<std::vector<std::array<uint8_t, 4>>> sequences;
    for (int index : list) {
        const std::string guid = ReadString(Member(Element(macros, Json::ArrayIndex(std::max(0, index))), "Guid"));
        std::vector<std::array<uint8_t, 4>> events;
        // The id names a file in the data folder; a hand-edited list must not point elsewhere.
        if (!guid.empty() && guid.find_first_of("/\\:") == std::string::npos && guid.find('\0') == std::string::npos
            && guid != "." && guid != "..") {
            const Json::Value file = ReadJsonFile(dataFolder() + Utf8ToWide(guid) + L".mac");
            const Json::Value& all = Member(file, "Events");
            const Json::ArrayIndex n = ElementCount(all);
            if (int(n) > kMaxMacroEvents)
                return int(n);
            for (Json::ArrayIndex e = 0; e < n; ++e)
                events.push_back(encodeMacroEvent(Element(all, e)));
        }
        sequences.push_back(std::move(events));
    }
    const std::vector<uint8_t> image = buildSequenceImage(sequences);
    const size_t capacity = size_t(info_[6]) * 128;
    if (image.size() > capacity)
        return int((image.size() - capacity) / 4) + 1;
    if (command_->beginConfig() != ResultOk)
        return -1;
    const int written = command_->writeMacroMemory(image.data(), image.size());
    const int closed = command_->endConfig();
    return written == ResultOk && closed == ResultOk ? 0 : -1;
}
int CTarvenixUSBDevice::writeSettings(int, int, int, int, int) { return 0; }

void CTarvenixUSBDevice::showFunctionTab(int type)
{
    functionTab_ = type;
    auto* keyTabs = qobject_cast<ui::TabLayout*>(ui::Window::findSubControlByName(this, QStringLiteral("device_key_function_switch")));
    auto* tabs = qobject_cast<ui::TabLayout*>(ui::Window::findSubControlByName(this, QStringLiteral("device_function_switch")));
    auto selectKeyPage = [&](int page) {
        if (keyTabs)
            keyTabs->selectItem(page);
        if (tabs)
            tabs->selectItem(0); // the key-function pages live on page 0
    };
    switch (type) {
    case 2:
    case 6:
        selectKeyPage(1);
        break;
    case 7:
        selectKeyPage(2);
        break;
    case 4:
        if (kind_ == KindKeyboard || kind_ == KindKeyboardReceiver || kind_ == KindMouse || kind_ == KindMouseReceiver) {
            if (tabs)
                tabs->selectItem(3);
        } else {
            selectKeyPage(2);
        }
        break;
    case 3:
    case 8:
        if (tabs)
            tabs->selectItem(1);
        break;
    case 5:
        if (tabs)
            tabs->selectItem(2);
        break;
    case 9:
        if (tabs)
            tabs->selectItem(4);
        break;
    default:
        selectKeyPage(0);
        break;
    }
}

void CTarvenixUSBDevice::setPickerColor(uint32_t a, uint32_t b, uint32_t c) { picker_ = {a, b, c}; }

void CTarvenixUSBDevice::onUiThread(std::function<void()> f) { postCall(this, std::move(f)); }

void CTarvenixUSBDevice::setVisible(bool visible)
{
    ui::HorizontalLayout::setVisible(visible);
    // Behind another device's page the picture is not seen: the preview sleeps (the window's own
    // hiding is told through setPictureShown).
    pageInFront_ = visible;
    previewThread_.wake();
}

bool CTarvenixUSBDevice::event(QEvent* e) { return runPostedCall(e) || ui::HorizontalLayout::event(e); }

} // namespace q9
