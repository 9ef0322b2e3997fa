#include "console/processorregistry.h"

#include "console/varenk57qmrprocessor.h"
#include "console/varenk68tlcprocessor.h"
#include "tdi/statuscodes.h"

#include <boost/asio/post.hpp>

#include <algorithm>

namespace Processor {

namespace status = tdi::status;

ProcessorRegistry& ProcessorRegistry::instance()
{
    static ProcessorRegistry registry;
    return registry;
}

// The processor thread runs from before main to process exit.
[[maybe_unused]] static ProcessorRegistry& startedBeforeMain = ProcessorRegistry::instance();

UInt32 ProcessorRegistry::createProcessor(
    UInt32 decoderKind, AbstractDataProcessor::Callback callback, ProcessorHandle* handle)
{
    std::shared_ptr<AbstractDataProcessor> processor;
    if (decoderKind == console::DecoderK57QMR)
        processor = std::make_shared<VarenK57QMRProcessor>(std::move(callback));
    else if (decoderKind == console::DecoderK68TLC)
        processor = std::make_shared<VarenK68TLCProcessor>(std::move(callback));
    else
        return status::ProcessorUnknownKind;
    std::lock_guard<std::mutex> guard(lock);
    processors.push_back(processor);
    if (handle)
        *handle = processor.get();
    return status::ProcessorOk;
}

UInt32 ProcessorRegistry::destroyProcessor(ProcessorHandle handle)
{
    std::shared_ptr<AbstractDataProcessor> processor;
    {
        std::lock_guard<std::mutex> guard(lock);
        const auto it = std::find_if(processors.begin(), processors.end(),
            [handle](const auto& entry) { return entry.get() == handle; });
        if (it == processors.end())
            return status::ProcessorUnknownHandle;
        processor = *it;
        processors.erase(it);
    }
    // Work still queued for this processor keeps it alive; detaching makes sure that work
    // reports to nobody, since its device may be gone by then.
    processor->detach();
    return status::ProcessorOk;
}

std::shared_ptr<AbstractDataProcessor> ProcessorRegistry::find(ProcessorHandle handle)
{
    std::lock_guard<std::mutex> guard(lock);
    const auto it = std::find_if(processors.begin(), processors.end(),
        [handle](const auto& entry) { return entry.get() == handle; });
    return it == processors.end() ? nullptr : *it;
}

UInt32 ProcessorRegistry::configureProcessor(ProcessorHandle handle, UInt32 size, const void* value)
{
    const auto processor = find(handle);
    return processor ? processor->configure(size, value) : status::ProcessorUnknownHandle;
}

UInt32 ProcessorRegistry::processBlock(
    ProcessorHandle handle, const unsigned char* data, std::size_t length, UInt32 context)
{
    auto processor = find(handle);
    if (!processor)
        return status::ProcessorUnknownHandle;
    boost::asio::post(
        worker.service().context(), [processor = std::move(processor), data, length, context] {
            processor->process(data, length, context);
        });
    return status::ProcessorOk;
}

UInt32 ProcessorRegistry::tickProcessor(ProcessorHandle handle)
{
    auto processor = find(handle);
    if (!processor)
        return status::ProcessorUnknownHandle;
    boost::asio::post(
        worker.service().context(), [processor = std::move(processor)] { processor->tick(); });
    return status::ProcessorOk;
}

} // namespace Processor
