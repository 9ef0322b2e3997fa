#pragma once
// The console as a whole (id 0xFFFF): creates devices, changes the console state and hands out
// the port list at the module manager's request.
//
// Thread: requests on the console thread (start and stop on the GUI thread).
// Owner: the device controller.
#include "console/commondevice.h"

namespace console {

class StateDevice : public CommonDevice
{
public:
    StateDevice();

    UInt32 service() override { return 0; }
    UInt32 setParam(UInt32, UInt32, void*) override { return 0; }
    UInt32 getParam(UInt32, UInt32, void*) override { return 0; }
    UInt32 setProperty(UInt32 id, UInt32 size, void* value) override;
    UInt32 getProperty(UInt32 id, UInt32 size, void* value) override;
    UInt32 onDecoded(
        Processor::IDataProcessor*, EProcessorDecodedType, std::size_t, const char*) override
    {
        return 0;
    }
};

} // namespace console
