#include "tdi/linesettings.h"

#include <stdexcept>

namespace tdi {

namespace {
void require(bool valid, const char* message)
{
    if (!valid)
        throw std::out_of_range(message);
}
} // namespace

LineSettings::LineSettings(
    UInt32 characterSize_, UInt32 parity_, UInt32 stopBits_, UInt32 flowControl_)
    : characterSize(characterSize_)
    , parity(parity_)
    , stopBits(stopBits_)
    , flowControl(flowControl_)
{
    require(characterSize >= 5 && characterSize <= 8, "invalid character_size value");
    require(parity <= EvenParity, "invalid parity value");
    require(stopBits <= TwoStopBits, "invalid stop_bits value");
    require(flowControl <= HardwareFlow, "invalid flow_control value");
}

const LineSettings& LineSettings::defaults()
{
    static const LineSettings settings(8, NoParity, OneStopBit, NoFlowControl);
    return settings;
}

} // namespace tdi
