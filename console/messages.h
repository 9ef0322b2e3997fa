#pragma once
// The vocabulary shared by the console and the GUI: device ids, message types and their payload
// records, request ids and their records, console states and decoded-item kinds.
#include "tdi/types.h"

#include <cstdint>
#include <string>
#include <vector>

namespace console {

using tdi::UInt16;
using tdi::UInt32;

// The console as a whole on the console side; the module manager on the GUI side.
constexpr UInt16 StateDeviceId = 0xFFFF;

enum MessageType : UInt32 {
    MsgState = 0,
    MsgDeviceCreated = 2,
    MsgModuleRegistered = 3,
    MsgDeviceOutput = 4,
    MsgPortList = 11,
    MsgPortStatus = 12,
};

enum ConsoleState : UInt32 {
    Ready = 0,
    Running = 1,
    Stopped = 2,
    Paused = 3,
    Resumed = 4,
    Resetting = 5,
};

enum RequestId : UInt32 {
    ReqPortList = 0, // getProperty of the state device
    ReqCreateDevice = 1, // state device
    ReqConsoleState = 2, // state device
    ReqOpen = 3,
    ReqSelectPort = 4,
    ReqClose = 5,
    ReqBaudRate = 6,
    ReqConfigureProcessor = 7,
    ReqWrite = 8,
};

enum EProcessorDecodedType : UInt32 {
    Status = 0, // a NUL-terminated status text
    Data = 1, // a byte range
};

enum OutputKind : std::uint8_t { OutputText = 1, OutputData = 2 };

enum DecoderKind : UInt32 { DecoderK57QMR = 0, DecoderK68TLC = 1, DecoderNone = 2 };

struct MessageHeader
{
    std::uint16_t tag = 298;
    UInt32 size = 0;
    double timestamp = 0; // seconds since 1980-01-01 00:00:00 local time
    std::uint8_t kind = 0;
    UInt16 deviceId = 0;
};

struct StateMessage
{
    MessageHeader header;
    UInt32 state = Ready;
};

struct DeviceCreatedMessage
{
    MessageHeader header;
    UInt32 deviceId = 0;
    UInt32 deviceType = 0;
    void* param = nullptr;
};

struct DeviceOutputMessage
{
    MessageHeader header;
    std::uint16_t length = 0;
    std::uint8_t isData = 0;
    const char* data = nullptr; // text: NUL-terminated
};

struct PortEntry
{
    std::string name; // "COM" + number
    std::int32_t number = 0;
};

struct PortListMessage
{
    MessageHeader header;
    std::vector<PortEntry> ports;
};

struct PortStatusMessage
{
    MessageHeader header;
    bool open = false;
    std::string portName;
};

struct CreateDeviceRequest
{
    std::int32_t requestedId = -1; // -1: any free id
    UInt32 deviceType = 0;
    void* param = nullptr;
};

struct SerialConfig
{
    UInt32 baudRate = 115200;
    UInt32 characterSize = 8;
    UInt32 parity = 0;
    UInt32 stopBits = 0;
    UInt32 flowControl = 0;
    UInt32 decoderKind = DecoderNone;
    std::string portName;
};

} // namespace console
