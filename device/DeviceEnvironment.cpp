#include "device/DeviceEnvironment.h"

namespace q9 {

DeviceEnvironment& deviceEnvironment()
{
    static DeviceEnvironment env;
    return env;
}

} // namespace q9
