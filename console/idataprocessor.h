#pragma once
// A response processor: collects the bytes a device receives until the unit's answer is
// complete, then reports the status text and the reply line.
#include "console/messages.h"

#include <cstddef>

namespace Processor {

using tdi::UInt16;
using tdi::UInt32;

class IDataProcessor
{
public:
    virtual UInt32 process(const unsigned char* data, std::size_t length, UInt32 context) = 0;
    virtual UInt32 configure(UInt32 size, const void* value) = 0;
    virtual UInt32 setParameter(UInt32 id, UInt32 size, const void* value) = 0;
    virtual UInt32 getParameter(UInt32 id, UInt32 size, void* result) = 0;
    virtual void tick() = 0;
    virtual ~IDataProcessor() = default;
};

} // namespace Processor
