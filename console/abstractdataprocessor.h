#pragma once
// The framing shared by every unit: an answer is complete once the buffer holds a status text
// ("COMMAND SUCCESSFUL" or "COMMAND FAILED") and the prompt that goes with it. The concrete
// processors only name their prompts and their kind.
//
// Thread: process() and tick() on the processor thread; the registry's calls from any thread.
// Owner: the processor registry (shared with queued work).
#include "console/idataprocessor.h"

#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>

namespace Processor {

class AbstractDataProcessor : public IDataProcessor
{
public:
    using Callback = std::function<void(IDataProcessor* processor,
        console::EProcessorDecodedType kind, const char* data, std::size_t length)>;

    // Text that never completes an answer (a babbling unit, a wrong baud rate) is kept up to
    // this many of its newest bytes, so memory stays bounded.
    static constexpr std::size_t BufferBound = 64 * 1024;

    explicit AbstractDataProcessor(Callback callback);

    UInt32 process(const unsigned char* data, std::size_t length, UInt32 context) override;
    UInt32 configure(UInt32 size, const void* value) override;
    UInt32 setParameter(UInt32 id, UInt32 size, const void* value) override;
    UInt32 getParameter(UInt32 id, UInt32 size, void* result) override;
    void tick() override;
    virtual UInt32 decoderKind() const;

    // Stops all further output; after it returns no callback runs or will run.
    void detach();
    std::size_t buffered() const { return buffer.size(); }

protected:
    virtual std::string_view successPrompt() const = 0;
    virtual std::string_view failurePrompt() const = 0;

private:
    bool reportCompleteAnswer();
    void report(console::EProcessorDecodedType kind, const char* data, std::size_t length);

    Callback callback;
    std::mutex callbackMutex;
    std::string buffer;
    UInt16 parameter0 = 228;
    std::chrono::steady_clock::time_point created;
};

} // namespace Processor
