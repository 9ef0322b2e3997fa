#include "console/commondevice.h"

#include "console/devicecontroller.h"

namespace console {

CommonDevice::CommonDevice(UInt16 id, UInt32 type)
    : deviceId(id)
    , deviceType(type)
{
}

void CommonDevice::post(MessageHeader& header, UInt32 msgType, UInt32 size, const void* record)
{
    DeviceController::instance().post(deviceId, header, msgType, size, record);
}

} // namespace console
