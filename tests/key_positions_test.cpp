// Where the picture's keys sit in a device's key block, also once the user reassigned some of them.
#include "device/KeyPositions.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace q9 {
namespace {

constexpr int kNone = 170;
// Four picture keys and their factory actions.
const KeyCode kFactory[] = {{0x10, 0x01, 0}, {0x10, 0x02, 0}, {0x10, 0x04, 0}, {0x10, 0x08, 0}};
const KeyCode kCustom = {0x20, 0x00, 0x04}; // what a reassigned key holds

std::vector<uint8_t> blockOf(std::initializer_list<KeyCode> keys)
{
    std::vector<uint8_t> b;
    for (const KeyCode& k : keys)
        b.insert(b.end(), k.begin(), k.end());
    return b;
}

TEST(KeyPositions, KeysAreFoundByCodeThenByMemoryThenByFactoryPlace)
{
    struct Case {
        const char* what;
        std::vector<uint8_t> block;
        std::vector<int> remembered;
        std::vector<int> want;
    };
    const Case cases[] = {
        {"the factory block", blockOf({kFactory[0], kFactory[1], kFactory[2], kFactory[3]}), {}, {0, 1, 2, 3}},
        {"two keys reassigned, nothing remembered: their factory places",
         blockOf({kFactory[0], kCustom, kFactory[2], kCustom}), {}, {0, 1, 2, 3}},
        {"a block in the device's own order: found by code, the reassigned key by memory",
         blockOf({kFactory[2], kCustom, kFactory[0], kFactory[1]}), {2, 3, 0, 1}, {2, 3, 0, 1}},
        {"the device's own order and no memory: a reassigned key is not guessed",
         blockOf({kFactory[2], kCustom, kFactory[0], kFactory[1]}), {}, {2, 3, 0, kNone}},
        {"key 1 reassigned to key 2's action: each keeps its own place",
         blockOf({kFactory[0], kFactory[2], kFactory[2], kFactory[3]}), {}, {0, 1, 2, 3}},
        {"the same in the device's own order, with memory",
         blockOf({kFactory[2], kFactory[2], kFactory[0], kFactory[3]}), {2, 0, 1, 3}, {2, 0, 1, 3}},
        {"a remembered place beyond the block is no place (key 1); key 3 takes its remembered place",
         blockOf({kFactory[2], kCustom, kFactory[0]}), {2, 3, 0, 1}, {2, kNone, 0, 1}},
        {"a remembered place another key holds by code is not taken",
         blockOf({kFactory[1], kFactory[0], kCustom, kCustom}), {0, 1, 2, 3}, {1, 0, 2, 3}},
    };
    for (const Case& c : cases) {
        const std::vector<int> at = locateDeviceKeys(kFactory, 4, c.block.data(), c.block.size() / 3, c.remembered, kNone);
        EXPECT_EQ(at, c.want) << c.what;
    }
}

TEST(KeyPositions, PlacesWithoutAKeyAreOnlyFoundByCode)
{
    const KeyCode factory[] = {{0x20, 0, 0x29}, {0x20, 0, 0}, {0x20, 0, 0x04}};
    const std::vector<uint8_t> block = blockOf({{0x20, 0, 0x29}, kCustom, {0x20, 0, 0}});
    // Key 2 (A) is found at device key 1; the empty place 1 of the picture takes no device key,
    // not even the unclaimed device key 2.
    EXPECT_EQ(locateDeviceKeys(factory, 3, block.data(), 3, {}, 255), (std::vector<int>{0, 255, 1}));
}

TEST(KeyPositions, TheMemoryKeepsWhatIsNotFoundNowAndSurvivesItsFile)
{
    QTemporaryDir dir;
    const std::wstring path = (dir.path() + QStringLiteral("/key_positions.json")).toStdWString();
    EXPECT_TRUE(readKeyPositions(path).empty()) << "no file: nothing remembered";
    rememberKeyPositions(path, {0, 1, 2, 3}, kNone);
    rememberKeyPositions(path, {0, kNone, 2, kNone}, kNone);
    EXPECT_EQ(readKeyPositions(path), (std::vector<int>{0, 1, 2, 3}));
    rememberKeyPositions(path, {3, kNone, 2, 0}, kNone);
    EXPECT_EQ(readKeyPositions(path), (std::vector<int>{3, 1, 2, 0}));
    QFile f(QString::fromStdWString(path));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write("{ not json");
    f.close();
    EXPECT_TRUE(readKeyPositions(path).empty()) << "a damaged file remembers nothing";
}

} // namespace
} // namespace q9
