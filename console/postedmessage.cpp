#include "console/postedmessage.h"

#include <cstring>

namespace console {

template <typename Record> void PostedMessage::keep(const Record& original)
{
    auto owned = std::make_shared<Record>(original);
    recordPointer = owned.get();
    storage = owned;
}

std::shared_ptr<PostedMessage> PostedMessage::copy(UInt32 msgType, UInt32 size, const void* record)
{
    std::shared_ptr<PostedMessage> message(new PostedMessage);
    message->msgType = msgType;
    message->recordSize = size;
    if (!record)
        return message;
    switch (msgType) {
    case MsgState:
        message->keep(*static_cast<const StateMessage*>(record));
        break;
    case MsgDeviceCreated:
        message->keep(*static_cast<const DeviceCreatedMessage*>(record));
        break;
    case MsgDeviceOutput: {
        const auto& output = *static_cast<const DeviceOutputMessage*>(record);
        // Text carries its terminator beyond `length`; keep it so receivers may read a C string.
        const std::size_t n = output.isData ? output.length : output.length + 1u;
        if (output.data)
            message->bytes.assign(output.data, output.data + n);
        message->keep(output);
        auto* copied = static_cast<DeviceOutputMessage*>(message->recordPointer);
        copied->data = output.data ? message->bytes.data() : nullptr;
        break;
    }
    case MsgPortList:
        message->keep(*static_cast<const PortListMessage*>(record));
        break;
    case MsgPortStatus:
        message->keep(*static_cast<const PortStatusMessage*>(record));
        break;
    default:
        // Plain records (the registered device id of message 3, for one) copy byte for byte.
        message->bytes.assign(
            static_cast<const char*>(record), static_cast<const char*>(record) + size);
        message->recordPointer = message->bytes.data();
        break;
    }
    return message;
}

} // namespace console
