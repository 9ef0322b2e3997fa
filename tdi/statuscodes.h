#pragma once
// The 32-bit status codes of the console and transport layers. They return codes instead of
// throwing; each family has its own high bits so a code says which layer produced it.
#include "tdi/types.h"

namespace tdi {
namespace status {

// Processor family (success is not 0 here: the family bit is part of every result).
constexpr UInt32 ProcessorOk = 0x20000000;
constexpr UInt32 ProcessorUnknownKind = 0x20000001;
constexpr UInt32 ProcessorUnknownHandle = 0x20000002;
constexpr UInt32 ProcessorBadSize = 0x20000003;
constexpr UInt32 ProcessorNotCreated = 0x20000004;
constexpr UInt32 ProcessorReadOnlyParameter = 0x20000005;

// Device family.
constexpr UInt32 Ok = 0;
constexpr UInt32 DeviceUnknownRequest = 0x40000003;
constexpr UInt32 DeviceBadValue = 0x40000008;
constexpr UInt32 DeviceNotAvailable = 0x40000009;

// Channel family.
constexpr UInt32 ChannelNoHub = 0x80000001;
constexpr UInt32 ChannelUnknown = 0x80000002;
constexpr UInt32 ChannelPortMissing = 0x80000003;
constexpr UInt32 ChannelPortBusy = 0x80000004;
constexpr UInt32 ChannelOptionsRefused = 0x80000005;

} // namespace status
} // namespace tdi
