#include "console/statedevice.h"

#include "console/devicecontroller.h"
#include "tdi/statuscodes.h"

namespace console {

namespace status = tdi::status;

StateDevice::StateDevice()
    : CommonDevice(StateDeviceId, StateDeviceType)
{
}

UInt32 StateDevice::setProperty(UInt32 id, UInt32 size, void* value)
{
    if (!value)
        return status::DeviceBadValue;
    auto& controller = DeviceController::instance();
    switch (id) {
    case ReqCreateDevice:
        if (size == sizeof(CreateDeviceRequest))
            controller.createDevice(*static_cast<const CreateDeviceRequest*>(value));
        return status::Ok;
    case ReqConsoleState:
        if (size == sizeof(UInt32))
            controller.setState(*static_cast<const UInt32*>(value));
        return status::Ok;
    default:
        return status::DeviceUnknownRequest;
    }
}

UInt32 StateDevice::getProperty(UInt32 id, UInt32 size, void* value)
{
    if (!value)
        return status::DeviceBadValue;
    if (id != ReqPortList)
        return status::DeviceUnknownRequest;
    if (size == sizeof(std::vector<PortEntry>))
        *static_cast<std::vector<PortEntry>*>(value) = DeviceController::instance().portList();
    return status::Ok;
}

} // namespace console
