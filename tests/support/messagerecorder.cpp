#include "messagerecorder.h"

#include "console/devicecontroller.h"

namespace testsupport {

MessageRecorder::MessageRecorder()
{
    console::DeviceController::instance().connectSlot([this](int device, int msgType, unsigned size,
                                                          const char* data) {
        auto copy = console::PostedMessage::copy(static_cast<console::UInt32>(msgType), size, data);
        {
            std::lock_guard<std::mutex> guard(lock);
            messages.push_back({ device, std::move(copy) });
        }
        arrived.notify_all();
    });
}

MessageRecorder::~MessageRecorder()
{
    console::DeviceController::instance().disconnectSlot();
}

std::optional<Recorded> MessageRecorder::next(const Match& match, std::chrono::milliseconds timeout)
{
    std::unique_lock<std::mutex> guard(lock);
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        for (; cursor < messages.size(); ++cursor) {
            if (match(messages[cursor]))
                return messages[cursor++];
        }
        if (arrived.wait_until(guard, deadline) == std::cv_status::timeout
            && cursor == messages.size())
            return std::nullopt;
    }
}

void MessageRecorder::skipAll()
{
    std::lock_guard<std::mutex> guard(lock);
    cursor = messages.size();
}

std::vector<Recorded> MessageRecorder::pending(const Match& match)
{
    std::lock_guard<std::mutex> guard(lock);
    std::vector<Recorded> found;
    for (std::size_t i = cursor; i < messages.size(); ++i) {
        if (match(messages[i]))
            found.push_back(messages[i]);
    }
    return found;
}

MessageRecorder::Match ofType(console::UInt32 type, int device)
{
    return [type, device](const Recorded& recorded) {
        return recorded.type() == type && (device < 0 || recorded.device == device);
    };
}

MessageRecorder& recorder()
{
    static MessageRecorder* const instance = new MessageRecorder;
    return *instance;
}

} // namespace testsupport
