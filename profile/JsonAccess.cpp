#include "profile/JsonAccess.h"

#include <climits>
#include <cmath>
#include <cstring>

namespace q9 {
namespace {

const Json::Value& nullValue()
{
    static const Json::Value null;
    return null;
}

} // namespace

const Json::Value& Member(const Json::Value& object, const char* name)
{
    if (!object.isObject())
        return nullValue();
    const Json::Value* found = object.find(name, name + std::strlen(name));
    return found ? *found : nullValue();
}

const Json::Value& Element(const Json::Value& array, Json::ArrayIndex index)
{
    if (!array.isArray() || index >= array.size())
        return nullValue();
    return array[index];
}

Json::ArrayIndex ElementCount(const Json::Value& array) { return array.isArray() ? array.size() : 0; }

int ReadInt(const Json::Value& value)
{
    if (value.isBool())
        return value.asBool() ? 1 : 0;
    if (value.isInt())
        return value.asInt();
    if (value.isDouble()) { // any number: ints beyond int, uint64s and reals
        const double d = value.asDouble();
        if (std::isnan(d))
            return 0;
        if (d <= double(INT_MIN))
            return INT_MIN;
        if (d >= double(INT_MAX))
            return INT_MAX;
        return int(d);
    }
    return 0;
}

bool ReadBool(const Json::Value& value)
{
    if (value.isBool())
        return value.asBool();
    if (value.isNumeric())
        return value.asDouble() != 0.0;
    return false;
}

std::string ReadString(const Json::Value& value) { return value.isString() ? value.asString() : std::string(); }

Json::Value& WritableMember(Json::Value& object, const char* name)
{
    if (!object.isObject())
        object = Json::Value(Json::objectValue);
    return object[name];
}

Json::Value& WritableElement(Json::Value& array, Json::ArrayIndex index)
{
    if (!array.isArray())
        array = Json::Value(Json::arrayValue);
    return array[index];
}

} // namespace q9

