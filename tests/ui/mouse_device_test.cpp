// The mouse object against the emulated mouse: what it reads, shows and writes, byte for byte.
#include "hid/DeviceScanner.h"
#include "device/MouseDevice.h"
#include "profile/JsonFile.h"
#include "profile/TextConvert.h"
#include "sim/MouseEmulator.h"

#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <chrono>

namespace q9 {
namespace {

using namespace std::chrono;

class MouseObject : public testing::Test {
protected:
    void SetUp() override { make({}); }
    void make(sim::MouseConfig config)
    {
        ASSERT_TRUE(data.isValid());
        device.reset();
        mouse = std::make_unique<sim::MouseEmulator>(bus, config);
        DeviceEnvironment& env = deviceEnvironment();
        env.backend = std::make_shared<sim::SimBackend>(bus);
        env.dataRoot = Utf8ToWide(data.path().toStdString()) + L"/";
        env.programFolder = Utf8ToWide(Q9_SOURCE_DIR) + L"/";
        device = std::make_unique<CTarvenixMouseDevice>();
        device->setPageXml(L"XML\\DeviceXml\\mousedevice.xml");
        device->setMainWindow(nullptr);
        device->setKeyCount(11);
        device->setLightCount(15);
        device->setTypeIndex(0);
        device->setWirelessCapable(true);
        device->setTypeName(L"mouse");
        device->setIdentity(interfaceTable()[4]);
        device->setLightIndex(1);
        device->bindPageControls();
        device->commandChannel().setTimeouts(200, 200);
    }
    void TearDown() override { device.reset(); }
    // Plugs a link and finds its live-list rows as the device watch would.
    void plug(bool receiver)
    {
        receiver ? mouse->plugReceiver() : mouse->plugCable();
        HidTransport enumerator(deviceEnvironment().backend);
        DeviceScanner scanner(enumerator, live);
        scanner.pass(nullptr);
    }
    bool open(int row) { return device->openCommandLink(live[size_t(row)], live[size_t(row)].path); }
    std::vector<uint8_t> lastWrite(uint8_t code)
    {
        std::vector<uint8_t> out;
        for (const auto& r : mouse->receivedCommands(code))
            out.insert(out.end(), r.bytes.begin() + 8, r.bytes.begin() + 8 + r.bytes[4]);
        return out;
    }
    void writeJson(const std::wstring& name, const Json::Value& v) { ASSERT_EQ(WriteJsonFile(device->dataFolder() + name, v), 0); }

    QTemporaryDir data;
    std::shared_ptr<sim::SimBus> bus = std::make_shared<sim::SimBus>();
    std::unique_ptr<sim::MouseEmulator> mouse;
    std::unique_ptr<CTarvenixMouseDevice> device;
    LiveInterfaceList live = buildLiveInterfaceList();
};

TEST_F(MouseObject, APageWithoutDeviceShowsItsProfileAndSendsNothing)
{
    EXPECT_FALSE(device->commandChannel().isOpen());
    EXPECT_FALSE(device->profileId().empty()); // the first profile was made from the default one
    device->syncFromDevice();
    EXPECT_EQ(device->dpiStages().size(), 7u);
    EXPECT_EQ(device->writeSettings(0, 0, 1, 0, 0), 0);
    EXPECT_EQ(device->writeCurrentKeyMap(0), 0);
    EXPECT_EQ(device->writeMacros({0}), -1);
    EXPECT_TRUE(mouse->received().empty());
}

TEST_F(MouseObject, SyncFindsKeysByTheirFactoryCodesWhereverTheDeviceKeepsThem)
{
    sim::MouseConfig config;
    std::swap(config.factoryKeys[0], config.factoryKeys[4]);   // left and back swapped on the device
    config.factoryKeys[9] = {0x20, 0x00, 0x04};                // key 9 reassigned on the device itself
    config.factoryKeys.push_back({0x10, 0x20, 0x00});          // a twelfth device key
    make(config);
    plug(false);
    ASSERT_TRUE(open(4));
    device->syncFromDevice();
    const auto& map = device->deviceKeyIndex();
    EXPECT_EQ(map.at(0), 4);
    EXPECT_EQ(map.at(4), 0);
    EXPECT_EQ(map.at(1), 1);
    EXPECT_EQ(map.at(9), CTarvenixUSBDevice::kNoDeviceKey);
    EXPECT_EQ(device->commandChannel().blockSize(), 36u);
    EXPECT_EQ(device->sensor(), 0x3325);
    EXPECT_FALSE(mouse->inTransaction()); // every transaction was closed
    EXPECT_EQ(mouse->framingErrors(), 0);
}

TEST_F(MouseObject, SettingsWrittenAreTheRecordOfTheProfile)
{
    plug(false);
    ASSERT_TRUE(open(4));
    device->syncFromDevice();
    LightInfoRecord l = device->lightState();
    l.selectItem = 3;
    l.light = 2;
    l.speed = 1;
    l.fx = 1;
    l.multiColor = 1;
    l.red = 0x11;
    l.green = 0x22;
    l.blue = 0x33;
    device->setLightState(l);
    device->onReportRate(2);
    device->onRipple(1);
    device->onDpiSelect(3);
    device->onDpiStep(1, 40);
    mouse->clearReceived();
    ASSERT_EQ(device->writeSettings(0, 0, 1, 0, 0), 1);
    const auto expected = buildMouseRecord(device->profile().GetDpiStages(), device->profile().GetMouseSystem(),
                                           device->profile().GetCurrentDpiStage(), device->profile().GetLightInfo(), 0);
    EXPECT_EQ(lastWrite(0x06), std::vector<uint8_t>(expected.begin(), expected.end()));
    const auto memory = mouse->settingsMemory();
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), memory.begin()));
    EXPECT_EQ(memory[3], 3);           // speed 1 sent inverted
    EXPECT_EQ(memory[11], 2);
    EXPECT_EQ(memory[12], 3);
    EXPECT_EQ(memory[84], 1);
    EXPECT_EQ(memory[14 + 9 + 2], 40); // stage 1's step, low byte
    EXPECT_EQ(mouse->receivedCommands(0x01).size(), 1u);
    EXPECT_EQ(mouse->receivedCommands(0x02).size(), 1u);
    EXPECT_EQ(mouse->writesOutsideTransaction(), 0);

    // Report-rate option 4 is sent as 4; read back it shows option 0.
    device->onReportRate(4);
    EXPECT_EQ(mouse->settingsMemory()[11], 4);
    device->readSettings();
    EXPECT_EQ(device->mouseSystem().reportRate, 4);
}

// The mouse's on-board profiles 1… are its own: reading them leaves the program's profile alone,
// and the next change makes the program's profile the mouse's profile 0 again, as a whole.
TEST_F(MouseObject, AnOnBoardProfileOfTheMouseIsNotTakenIntoTheProgramsProfile)
{
    plug(false);
    ASSERT_TRUE(open(4));
    device->syncFromDevice();
    const MouseSystemRecord before = device->mouseSystem();
    const int stageBefore = device->currentDpiStage();
    const std::string savedBefore = ReadFileText(device->profilePath());
    // The mouse switched to its profile 2 by itself; that record holds other values.
    std::vector<uint8_t> record(86, 0);
    record[1] = 3;
    record[11] = 1;
    record[12] = 5;
    record[81] = 6;
    ASSERT_EQ(device->commandChannel().writeSettings(0, std::vector<uint8_t>{2}.data(), 1), ResultOk);
    ASSERT_EQ(device->commandChannel().writeSettings(256, record.data(), record.size()), ResultOk);
    device->readSettings();
    EXPECT_EQ(device->currentSlot(), 2);
    EXPECT_EQ(device->mouseSystem(), before);
    EXPECT_EQ(device->currentDpiStage(), stageBefore);
    EXPECT_EQ(ReadFileText(device->profilePath()), savedBefore);

    device->onReportRate(2);
    const auto memory = mouse->settingsMemory();
    EXPECT_EQ(memory[0], 0);   // profile 0 is the mouse's current one again
    EXPECT_EQ(memory[11], 2);
    EXPECT_EQ(memory[81], before.keyDebounceTime);
    EXPECT_TRUE(std::equal(record.begin() + 1, record.end(), memory.begin() + 257)); // profile 2 untouched

    // Back on profile 0, what the mouse holds is read as before.
    std::vector<uint8_t> zero(memory.begin(), memory.begin() + 86);
    zero[81] = 4;
    ASSERT_EQ(device->commandChannel().writeSettings(0, zero.data(), zero.size()), ResultOk);
    device->readSettings();
    EXPECT_EQ(device->currentSlot(), 0);
    EXPECT_EQ(device->mouseSystem().keyDebounceTime, 4);
    CMouseProfiledata reread;
    reread.LoadDeviceSection(device->profilePath());
    EXPECT_EQ(reread.GetMouseSystem().keyDebounceTime, 4);
}

// A key block that could not be read at connect is read again before keys are written; while it
// cannot be read nothing is written (a block of zeros would erase every key, left button included).
struct KeyReadCase {
    const char* name;
    uint8_t failing; // the read that fails at connect
    bool recovers;   // it answers again before the key write
};

class KeyBlockRead : public MouseObject, public testing::WithParamInterface<KeyReadCase> {};

TEST_P(KeyBlockRead, AKeyBlockNeverReadIsNeverWritten)
{
    plug(false);
    ASSERT_TRUE(open(4));
    const auto before = mouse->keyBlock(0);
    mouse->failCommand(GetParam().failing, 0xFF);
    device->syncFromDevice();
    if (GetParam().recovers)
        mouse->clearFailures();
    mouse->clearReceived();
    const int result = device->writeCurrentKeyMap(0);
    if (GetParam().recovers) {
        EXPECT_EQ(result, 1);
        EXPECT_FALSE(mouse->receivedCommands(0x09).empty());
    } else {
        EXPECT_EQ(result, -1); // reported as a failed download
        EXPECT_TRUE(mouse->receivedCommands(0x09).empty());
    }
    EXPECT_EQ(mouse->keyBlock(0), before); // the profile's keys are the factory ones
    EXPECT_FALSE(mouse->inTransaction());
}

INSTANTIATE_TEST_SUITE_P(Reads, KeyBlockRead,
                         testing::Values(KeyReadCase{"KeyBlockOnce", 0x07, true}, KeyReadCase{"InformationOnce", 0x03, true},
                                         KeyReadCase{"KeyBlockForGood", 0x07, false}, KeyReadCase{"InformationForGood", 0x03, false}),
                         [](const auto& p) { return std::string(p.param.name); });

// A change made while the mouse has paused the link (0x0404) is written when it resumes (0x0405);
// a pause the mouse never ended does not outlive its connection.
TEST_F(MouseObject, ChangesDuringAPauseAreWrittenWhenItEndsAndANewConnectionIsNotPaused)
{
    plug(false);
    ASSERT_TRUE(open(4));
    device->syncFromDevice();
    ASSERT_TRUE(device->openEventLink(false, live[5].path));
    ASSERT_TRUE(mouse->sendEvent(0x0404));
    ASSERT_TRUE(QTest::qWaitFor([&] { return device->commandChannel().suspended(); }, 500));
    mouse->clearReceived();
    device->onReportRate(2);
    EXPECT_TRUE(mouse->receivedCommands(0x06).empty());
    EXPECT_NE(mouse->settingsMemory()[11], 2);
    ASSERT_TRUE(mouse->sendEvent(0x0405));
    EXPECT_TRUE(QTest::qWaitFor([&] { return mouse->settingsMemory()[11] == 2; }, 1000));

    ASSERT_TRUE(mouse->sendEvent(0x0404));
    ASSERT_TRUE(QTest::qWaitFor([&] { return device->commandChannel().suspended(); }, 500));
    device->closeEventLink(false);
    device->closeCommandLink();
    mouse->unplugCable();
    plug(false);
    ASSERT_TRUE(open(4));
    EXPECT_FALSE(device->commandChannel().suspended());
    device->onReportRate(1);
    EXPECT_EQ(mouse->settingsMemory()[11], 1);
}

TEST_F(MouseObject, ThroughTheReceiverWithTheLinkDownNothingIsSent)
{
    plug(true);
    ASSERT_TRUE(open(6));
    EXPECT_TRUE(device->commandChannel().receiverMode());
    mouse->setRadioLink(false);
    mouse->clearReceived();
    EXPECT_EQ(device->writeSettings(0, 0, 1, 0, 0), 0);
    EXPECT_EQ(device->writeMacros({0}), -1);
    EXPECT_EQ(device->isReceiverLinkUp(), 0);
    for (const auto& r : mouse->received())
        EXPECT_EQ(r.bytes[3], 0xAA); // only link queries
    EXPECT_FALSE(mouse->received().empty());
    mouse->setRadioLink(true);
    EXPECT_EQ(device->isReceiverLinkUp(), 1);
    EXPECT_EQ(device->writeSettings(0, 0, 1, 0, 0), 1);
}

TEST_F(MouseObject, CableAndReceiverLinksShareOnePage)
{
    plug(true);
    ASSERT_TRUE(open(6));
    plug(false);
    ASSERT_TRUE(device->switchLink(false, live[4].path));
    EXPECT_FALSE(device->commandChannel().receiverMode());
    EXPECT_EQ(device->commandChannel().chunkSize(), 56u);
    mouse->clearReceived();
    ASSERT_EQ(device->writeSettings(0, 0, 1, 0, 0), 1);
    for (const auto& r : mouse->received())
        EXPECT_EQ(r.link, "cable");

    mouse->unplugCable();
    mouse->clearReceived();
    ASSERT_TRUE(device->switchLink(true, live[6].path));
    EXPECT_TRUE(device->commandChannel().receiverMode());
    EXPECT_EQ(device->commandChannel().chunkSize(), 24u);
    EXPECT_FALSE(mouse->receivedCommands(0xAA).empty()); // the link was asked for
    for (const auto& r : mouse->received())
        EXPECT_EQ(r.link, "receiver");
}

class MouseMacros : public MouseObject {
protected:
    void SetUp() override
    {
        MouseObject::SetUp();
        plug(false);
        ASSERT_TRUE(open(4));
        device->syncFromDevice();
    }
    void macros(const std::vector<int>& eventCounts)
    {
        Json::Value list(Json::objectValue);
        for (size_t i = 0; i < eventCounts.size(); ++i) {
            Json::Value info;
            info["Guid"] = "m" + std::to_string(i);
            info["MacroName"] = "Macro " + std::to_string(i);
            list["MacroInfo"].append(info);
            Json::Value file(Json::objectValue);
            for (int e = 0; e < eventCounts[i]; ++e) {
                Json::Value ev;
                ev["Delay"] = std::to_string(10 * (int(i) + 1));
                ev["Type"] = 10;
                ev["Action"] = e % 2 ? "up" : "down";
                ev["Button"] = int(i) + 4;
                file["Events"].append(ev);
            }
            writeJson(L"m" + std::to_wstring(i) + L".mac", file);
        }
        writeJson(L"macro.config", list);
    }
    void assign(int key, uint8_t type, uint8_t param1)
    {
        std::vector<KeyEntry> keys = device->keyList();
        keys[size_t(key)].current = {uint16_t(key), type, param1, 0, 0};
        device->profile().SetKeyList(keys);
        device->profile().Save();
        device->loadProfile();
    }
};

TEST_F(MouseMacros, MacrosAreSentInOrderOfFirstUseAndKeysRenumbered)
{
    macros({2, 3, 4});
    assign(0, 0x70, 2);
    assign(1, 0x70, 0);
    assign(2, 0x71, 2);
    EXPECT_EQ(device->usedMacros(), (std::vector<int>{2, 0}));
    mouse->clearReceived();
    ASSERT_EQ(device->writeMacros(device->usedMacros()), 0);
    const auto image = mouse->macroMemory();
    EXPECT_EQ(image[4], 2);                      // two sequences
    const size_t first = image[16] | image[17] << 8;
    EXPECT_EQ(image[first], 4);                  // macro 2: four events
    EXPECT_EQ(image[first + 4], 30);             // its delay
    EXPECT_EQ(image[first + 7], 6);              // its key
    const size_t second = image[18] | image[19] << 8;
    EXPECT_EQ(image[second], 2);                 // then macro 0
    EXPECT_EQ(mouse->receivedCommands(0x03).size(), 1u); // the information is read first
    EXPECT_EQ(mouse->receivedCommands(0x01).size(), 1u); // then one transaction holds the write
    ASSERT_EQ(device->writeCurrentKeyMap(0), 1);
    const auto block = mouse->keyBlock(0);
    EXPECT_EQ((std::vector<uint8_t>{block[0], block[1], block[3], block[4], block[6], block[7]}),
              (std::vector<uint8_t>{0x70, 0, 0x70, 1, 0x71, 0}));
}

TEST_F(MouseMacros, AKeyNamingAMissingMacroGetsItsDefault)
{
    macros({1, 1, 1});
    assign(3, 0x70, 5);
    EXPECT_TRUE(device->usedMacros().empty());
    ASSERT_EQ(device->writeCurrentKeyMap(0), 1);
    const auto block = mouse->keyBlock(0);
    EXPECT_EQ((std::vector<uint8_t>{block[9], block[10], block[11]}), (std::vector<uint8_t>{0x10, 0x10, 0x00}));
    device->repairMacroKeys();
    EXPECT_EQ(device->keyList()[3].current, device->keyList()[3].defaults);
}

TEST_F(MouseMacros, TooManyEventsOrTooBigAnImageWritesNothing)
{
    macros({61});
    assign(0, 0x70, 0);
    mouse->clearReceived();
    EXPECT_EQ(device->writeMacros(device->usedMacros()), 61);
    EXPECT_TRUE(mouse->receivedCommands(0x15).empty());

    sim::MouseConfig small;
    small.macroUnits = 1; // 128 bytes
    make(small);
    plug(false);
    ASSERT_TRUE(open(4));
    device->syncFromDevice();
    macros({60});
    assign(0, 0x70, 0);
    // 16 + 2 + 4 + 240 = 262 bytes: 134 too many.
    EXPECT_EQ(device->writeMacros(device->usedMacros()), 134 / 4 + 1);
    EXPECT_TRUE(mouse->receivedCommands(0x15).empty());
    EXPECT_EQ(device->writeMacros({}), 0);
}

TEST_F(MouseObject, EventsSetTheProfileAndStageAndStopPromptly)
{
    plug(false);
    ASSERT_TRUE(open(4));
    device->syncFromDevice();
    ASSERT_TRUE(device->openEventLink(false, live[5].path));
    // On its on-board profile 3 the mouse's stage is that profile's, not the program's.
    const int stageBefore = device->currentDpiStage();
    ASSERT_TRUE(mouse->sendEvent(0x1123));
    EXPECT_TRUE(QTest::qWaitFor([&] { return device->currentSlot() == 3; }, 500));
    EXPECT_EQ(device->currentDpiStage(), stageBefore);
    ASSERT_TRUE(device->dpiStages().at(2).active);
    ASSERT_TRUE(mouse->sendEvent(0x1120));
    EXPECT_TRUE(QTest::qWaitFor([&] { return device->currentSlot() == 0; }, 500));
    EXPECT_EQ(device->currentDpiStage(), 2);

    ASSERT_TRUE(mouse->sendEvent(0x0404));
    for (int i = 0; i < 100 && !device->commandChannel().suspended(); ++i)
        QTest::qWait(5);
    EXPECT_TRUE(device->commandChannel().suspended());
    mouse->sendEvent(0x0405);
    for (int i = 0; i < 100 && device->commandChannel().suspended(); ++i)
        QTest::qWait(5);
    EXPECT_FALSE(device->commandChannel().suspended());

    // The reader waits without limit; stopping it ends the wait at once.
    QTest::qWait(20);
    ASSERT_TRUE(device->readerRunning(false));
    const auto start = steady_clock::now();
    device->closeEventLink(false);
    EXPECT_LT(duration_cast<milliseconds>(steady_clock::now() - start).count(), 200);
    EXPECT_FALSE(device->readerRunning(false));
}

TEST_F(MouseObject, PreviewAnimatesOnlyWhileTheChannelIsOpenAndTheWindowShown)
{
    LightInfoRecord l;
    l.selectItem = 3; // spectrum
    l.light = 4;
    l.speed = 4;
    l.fx = 1;
    device->setLightState(l);
    device->startPreview();
    QTest::qWait(60);
    EXPECT_EQ(device->zoneColor(0), 0u); // closed channel: nothing changes
    plug(false);
    ASSERT_TRUE(open(4));
    QTest::qWait(150);
    const uint32_t moving = device->zoneColor(0);
    EXPECT_NE(moving, 0u);
    device->setPictureShown(false); // hidden to the tray or minimised
    QTest::qWait(30);
    const uint32_t paused = device->zoneColor(0);
    QTest::qWait(60);
    EXPECT_EQ(device->zoneColor(0), paused);
    device->setPictureShown(true);
    QTest::qWait(60);
    EXPECT_NE(device->zoneColor(0), paused);
    device->stopPreview();
    EXPECT_FALSE(device->previewRunning());
}

TEST_F(MouseObject, ChangesThatWakeThePreviewBetweenStepsDoNotStopTheAnimation)
{
    plug(false);
    ASSERT_TRUE(open(4));
    LightInfoRecord l;
    l.selectItem = 3; // spectrum
    l.light = 4;
    l.speed = 0;      // a step every 56 ms: the changes below land between steps
    device->setLightState(l);
    device->startPreview();
    QTest::qWait(100);
    for (int i = 0; i < 10; ++i) { // the user drags a colour or brightness control
        l.red = uint8_t(i * 20);
        device->setLightState(l);
        device->setPictureShown(true);
        QTest::qWait(3);
    }
    const uint32_t before = device->zoneColor(0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return device->zoneColor(0) != before; }, 500)); // still animating
    device->stopPreview();
}

TEST_F(MouseObject, AStaticEffectSleepsAndANewEffectWakesThePreviewAtOnce)
{
    plug(false);
    ASSERT_TRUE(open(4));
    LightInfoRecord l;
    l.selectItem = 0; // static: one step, then nothing until the state changes
    l.light = 4;
    l.red = 10;
    l.green = 20;
    l.blue = 30;
    device->setLightState(l);
    device->startPreview();
    ASSERT_TRUE(QTest::qWaitFor([&] { return device->zoneColor(0) == light::pack(10, 20, 30, 255); }, 1000));
    QTest::qWait(50);
    EXPECT_EQ(device->zoneColor(0), light::pack(10, 20, 30, 255));
    // The sleeping thread must see the new state without any periodic wake-up.
    l.selectItem = 3;
    l.speed = 4;
    device->setLightState(l);
    EXPECT_TRUE(QTest::qWaitFor([&] { return device->zoneColor(0) != light::pack(10, 20, 30, 255); }, 200));
    device->stopPreview();
}

} // namespace
} // namespace q9
