#pragma once
// The console-side counterpart of one GUI object, addressed by a 16-bit id.
#include "console/idataprocessor.h"
#include "console/messages.h"

namespace console {

class IDevice
{
public:
    virtual ~IDevice() = default;
    virtual UInt16 id() const = 0;
    // One step of the device's own work, called from the device controller's loop.
    virtual UInt32 service() = 0;
    virtual UInt32 type() const = 0;
    virtual UInt32 setParam(UInt32 id, UInt32 size, void* value) = 0;
    virtual UInt32 getParam(UInt32 id, UInt32 size, void* value) = 0;
    virtual UInt32 setProperty(UInt32 id, UInt32 size, void* value) = 0;
    virtual UInt32 getProperty(UInt32 id, UInt32 size, void* value) = 0;
    virtual UInt32 onDecoded(Processor::IDataProcessor* processor, EProcessorDecodedType kind,
        std::size_t length, const char* data)
        = 0;
    // The port list changed (or channel I/O resumed): re-check the device's port.
    virtual void onPortsChanged() = 0;
};

enum DeviceType : UInt32 { GenericDeviceType = 1, StateDeviceType = 2 };

} // namespace console
