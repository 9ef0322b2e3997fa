#pragma once
// The process-wide list of response processors and the processor thread they all run on. Blocks
// are handed over with processBlock and decoded later on that thread, in the order they came.
//
// Thread: the registry functions from any thread (the list has its own lock); process() and
// tick() on the processor thread. Owner: static storage, created before main.
#include "console/abstractdataprocessor.h"
#include "tdi/iosthread.h"

#include <memory>
#include <mutex>
#include <vector>

namespace Processor {

using ProcessorHandle = IDataProcessor*;

class ProcessorRegistry
{
public:
    static ProcessorRegistry& instance();

    UInt32 createProcessor(
        UInt32 decoderKind, AbstractDataProcessor::Callback callback, ProcessorHandle* handle);
    UInt32 destroyProcessor(ProcessorHandle handle);
    UInt32 configureProcessor(ProcessorHandle handle, UInt32 size, const void* value);
    UInt32 processBlock(
        ProcessorHandle handle, const unsigned char* data, std::size_t length, UInt32 context);
    UInt32 tickProcessor(ProcessorHandle handle);

private:
    ProcessorRegistry() = default;
    std::shared_ptr<AbstractDataProcessor> find(ProcessorHandle handle);

    std::mutex lock;
    std::vector<std::shared_ptr<AbstractDataProcessor>> processors;
    tdi::IosThread worker;
};

} // namespace Processor
