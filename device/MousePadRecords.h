#pragma once
// The mouse pad's light record as bytes: the first 21 bytes of its 45-byte settings area. The
// program holds the effect as its row in the effect list and the speed as chosen; the pad takes
// the effect's code and the speed inverted. Byte 4 and bytes 9-20 are the pad's own and go back
// as they were read.
#include "profile/ProfileRecords.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace q9 {

constexpr size_t kPadRecordSize = 21;
constexpr size_t kPadAreaSize = 45;
constexpr uint16_t kPadReadStride = 25;  // the area of the pad's current profile p is read at 25·p
constexpr uint16_t kPadWriteStride = 64; // the record is written at 64·slot

using PadRecord = std::array<uint8_t, kPadRecordSize>;

// The record as held, from an area read while the pad is on profile p: the effect code becomes the
// first row with that code (a code the list lacks stays as it is), the speed byte 4 - byte.
PadRecord takePadRecord(const uint8_t* area, uint8_t profile, const std::vector<int>& effectCodes);
// The bytes sent: the row becomes its code (a row beyond the list is sent as it is) and the speed
// 4 - speed; brightness and speed are held to 0-4.
PadRecord buildPadRecord(const PadRecord& held, const std::vector<int>& effectCodes);

// The light state's effect, brightness, speed, multi-colour flag and colour into the held record
// (byte 4 and the pad's own bytes are left alone), and back out of it.
void putPadLight(PadRecord& record, const LightInfoRecord& light);
void takePadLight(const PadRecord& record, LightInfoRecord& light);

} // namespace q9
