#pragma once
// Reading and writing members of JSON that came from a file. jsoncpp's own accessors throw on a
// value of the wrong type (asInt() on a string, operator[] on a number); an imported or hand-edited
// file may hold any type anywhere, so the document reads and writes only through these, which
// never throw: a value of the wrong type reads as 0, false or empty.
#include <json/value.h>

#include <climits>
#include <limits>
#include <string>

namespace q9 {

// The member, or null when the value is no object or has no such member.
const Json::Value& Member(const Json::Value& object, const char* name);
// The element, or null when the value is no array or is shorter.
const Json::Value& Element(const Json::Value& array, Json::ArrayIndex index);
// Number of elements; 0 for anything but an array.
Json::ArrayIndex ElementCount(const Json::Value& array);

// Integers and booleans as they are; a real cut towards zero; a number beyond int held at the
// nearest end of int's range, so that a hand-edited 999999 never wraps to a small value; anything
// else (strings, containers, NaN) 0.
int ReadInt(const Json::Value& value);
// ReadInt held to the range of the field it is read into.
template <class T>
T ReadClamped(const Json::Value& value)
{
    const int n = ReadInt(value);
    constexpr int lo = int(std::numeric_limits<T>::min());
    constexpr int hi = (long long)(std::numeric_limits<T>::max()) > INT_MAX ? INT_MAX : int(std::numeric_limits<T>::max());
    return T(n < lo ? lo : n > hi ? hi : n);
}
// Booleans, and numbers as "not zero"; anything else false.
bool ReadBool(const Json::Value& value);
// Strings; anything else empty.
std::string ReadString(const Json::Value& value);

// The member for writing; a value that is not an object becomes an empty object first.
Json::Value& WritableMember(Json::Value& object, const char* name);
// The element for writing, the array grown with nulls up to it; a value that is not an array
// becomes an empty array first.
Json::Value& WritableElement(Json::Value& array, Json::ArrayIndex index);

} // namespace q9
