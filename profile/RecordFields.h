#pragma once
// A record's fields and the JSON member each is stored under, so one table serves both reading
// and writing a record and a key can never be spelt differently on the two sides.
#include "profile/JsonAccess.h"

#include <cstdint>
#include <span>
#include <type_traits>
#include <variant>

namespace q9 {

template <class R>
struct RecordField {
    const char* key;
    std::variant<uint8_t R::*, uint16_t R::*, int32_t R::*> member;
    bool flag = false;  // read as a boolean (true or any non-zero number) and kept as 0/1
};

// Values are held to the field's range; missing or mistyped members read as 0.
template <class R>
void ReadRecord(const Json::Value& object, R& record, std::span<const RecordField<R>> fields)
{
    for (const RecordField<R>& f : fields) {
        const Json::Value& v = Member(object, f.key);
        std::visit(
            [&](auto m) {
                using Field = std::remove_cvref_t<decltype(record.*m)>;
                record.*m = f.flag ? Field(ReadBool(v) ? 1 : 0) : ReadClamped<Field>(v);
            },
            f.member);
    }
}

// Members not in the table are left as they are.
template <class R>
void WriteRecord(Json::Value& object, const R& record, std::span<const RecordField<R>> fields)
{
    for (const RecordField<R>& f : fields)
        std::visit([&](auto m) { WritableMember(object, f.key) = int(record.*m); }, f.member);
}

} // namespace q9
