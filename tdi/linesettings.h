#pragma once
// Character size, parity, stop bits and flow control of a serial line. A record is checked when
// it is built, so an invalid one never reaches a port.
#include "tdi/types.h"

namespace tdi {

struct LineSettings
{
    enum Parity : UInt32 { NoParity = 0, OddParity = 1, EvenParity = 2 };
    enum StopBits : UInt32 { OneStopBit = 0, OneAndHalfStopBits = 1, TwoStopBits = 2 };
    enum FlowControl : UInt32 { NoFlowControl = 0, SoftwareFlow = 1, HardwareFlow = 2 };

    // Throws std::out_of_range with "invalid character_size value", "invalid parity value",
    // "invalid stop_bits value" or "invalid flow_control value", checked in that order.
    LineSettings(UInt32 characterSize, UInt32 parity, UInt32 stopBits, UInt32 flowControl);

    // 8 data bits, no parity, one stop bit, no flow control: what every unit's console uses.
    static const LineSettings& defaults();

    UInt32 characterSize;
    UInt32 parity;
    UInt32 stopBits;
    UInt32 flowControl;
};

} // namespace tdi
