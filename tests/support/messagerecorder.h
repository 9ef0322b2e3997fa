#pragma once
// Records every console message (as a copy taken when it was posted) so that a test can wait
// for the ones it expects.
#include "console/postedmessage.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace testsupport {

struct Recorded
{
    int device;
    std::shared_ptr<console::PostedMessage> message;

    console::UInt32 type() const { return message->type(); }
    template <typename Record> const Record& as() const
    {
        return *static_cast<const Record*>(message->record());
    }
};

class MessageRecorder
{
public:
    MessageRecorder(); // becomes the device controller's one slot
    ~MessageRecorder(); // disconnects

    using Match = std::function<bool(const Recorded&)>;
    // Waits for the next message after the last one taken that matches; messages before it
    // are passed over.
    std::optional<Recorded> next(
        const Match& match, std::chrono::milliseconds timeout = std::chrono::seconds(15));
    // Passes over everything recorded so far.
    void skipAll();
    // Every message not yet taken that matches.
    std::vector<Recorded> pending(const Match& match);

private:
    std::mutex lock;
    std::condition_variable arrived;
    std::vector<Recorded> messages;
    std::size_t cursor = 0;
};

MessageRecorder::Match ofType(console::UInt32 type, int device = -1);

// The recorder of the test program: it lives until the process ends, since a signal call in
// flight on another thread may still reach it after a disconnect.
MessageRecorder& recorder();

} // namespace testsupport
