#include "console/abstractdataprocessor.h"

#include "tdi/statuscodes.h"

#include <cstring>

namespace Processor {

namespace status = tdi::status;

namespace {
// The status texts are reported with their terminating NUL counted in the length.
constexpr char Successful[] = "COMMAND SUCCESSFUL";
constexpr char Failed[] = "COMMAND FAILED";
} // namespace

AbstractDataProcessor::AbstractDataProcessor(Callback callback_)
    : callback(std::move(callback_))
    , created(std::chrono::steady_clock::now())
{
}

UInt32 AbstractDataProcessor::process(const unsigned char* data, std::size_t length, UInt32)
{
    buffer.append(reinterpret_cast<const char*>(data), length);
    if (reportCompleteAnswer())
        buffer.clear();
    else if (buffer.size() > BufferBound)
        buffer.erase(0, buffer.size() - BufferBound);
    return status::ProcessorOk;
}

bool AbstractDataProcessor::reportCompleteAnswer()
{
    std::size_t statusAt = buffer.find(Successful);
    const char* statusText = Successful;
    if (statusAt == std::string::npos
        || buffer.find(successPrompt().data(), 0, successPrompt().size()) == std::string::npos) {
        statusAt = buffer.find(Failed);
        statusText = Failed;
        if (statusAt == std::string::npos
            || buffer.find(failurePrompt().data(), 0, failurePrompt().size()) == std::string::npos)
            return false;
    }
    report(console::Status, statusText, std::strlen(statusText) + 1);

    // The reply line is the one after the status line; without a line end after the status
    // text, the line starts at the status text itself.
    const std::size_t lineEnd = buffer.find("\r\n", statusAt);
    const std::size_t start = lineEnd == std::string::npos ? statusAt : lineEnd + 2;
    std::size_t end = buffer.find('\r', start);
    if (end == std::string::npos)
        end = buffer.size();
    report(console::Data, buffer.data() + start, end - start);
    return true;
}

void AbstractDataProcessor::report(
    console::EProcessorDecodedType kind, const char* data, std::size_t length)
{
    std::lock_guard<std::mutex> guard(callbackMutex);
    if (callback)
        callback(this, kind, data, length);
}

void AbstractDataProcessor::detach()
{
    std::lock_guard<std::mutex> guard(callbackMutex);
    callback = nullptr;
}

UInt32 AbstractDataProcessor::configure(UInt32, const void*)
{
    return status::ProcessorOk;
}

UInt32 AbstractDataProcessor::setParameter(UInt32 id, UInt32 size, const void* value)
{
    if (id != 0)
        return status::ProcessorReadOnlyParameter;
    if (size != sizeof(parameter0) || !value)
        return status::ProcessorBadSize;
    std::memcpy(&parameter0, value, sizeof(parameter0));
    return status::ProcessorOk;
}

UInt32 AbstractDataProcessor::getParameter(UInt32 id, UInt32 size, void* result)
{
    if (id == 0) {
        if (size != sizeof(parameter0) || !result)
            return status::ProcessorBadSize;
        std::memcpy(result, &parameter0, sizeof(parameter0));
    } else if (id == 1) {
        if (size != sizeof(UInt32) || !result)
            return status::ProcessorBadSize;
        const UInt32 kind = decoderKind();
        std::memcpy(result, &kind, sizeof(kind));
    }
    return status::ProcessorOk;
}

void AbstractDataProcessor::tick()
{
    created = std::chrono::steady_clock::now();
}

UInt32 AbstractDataProcessor::decoderKind() const
{
    return console::DecoderNone;
}

} // namespace Processor
