#pragma once
// What every device shares: its id and type, and posting through the device controller with
// itself as the poster.
//
// Thread: see the derived devices. Owner: the device controller.
#include "console/idevice.h"

namespace console {

class CommonDevice : public IDevice
{
public:
    CommonDevice(UInt16 id, UInt32 type);

    UInt16 id() const override { return deviceId; }
    UInt32 type() const override { return deviceType; }
    void onPortsChanged() override { }

    void post(MessageHeader& header, UInt32 msgType, UInt32 size, const void* record);

private:
    const UInt16 deviceId;
    const UInt32 deviceType;
};

} // namespace console
