#pragma once
// A deep copy of a console payload record, taken when the message is posted. Posters reuse their
// records for the next message, and output data points into a processor buffer that is emptied
// right after posting, so a receiver on another thread must read a copy.
//
// Thread: built on the posting thread, read and destroyed on the receiving thread.
// Owner: whoever carries the message to its receiver (a shared pointer).
#include "console/messages.h"

#include <memory>
#include <string>
#include <vector>

namespace console {

class PostedMessage
{
public:
    static std::shared_ptr<PostedMessage> copy(UInt32 msgType, UInt32 size, const void* record);

    UInt32 type() const { return msgType; }
    UInt32 size() const { return recordSize; }
    // The copied record, laid out as the original type; output data points into the copy.
    void* record() { return recordPointer; }

private:
    PostedMessage() = default;
    template <typename Record> void keep(const Record& original);

    UInt32 msgType = 0;
    UInt32 recordSize = 0;
    void* recordPointer = nullptr;
    std::shared_ptr<void> storage;
    std::vector<char> bytes;
};

} // namespace console
