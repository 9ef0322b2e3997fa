#include "xfpboard.h"

namespace unitsim {

namespace {

constexpr std::size_t kCoreTemperature = 0; // whole degrees C
constexpr int kCoreTemperatureNominal = 40;
constexpr int kCoreTemperatureSpread = 1;
constexpr std::size_t kIdentityWidth = 16;
constexpr std::uint8_t kIdentityPad = '*';

BoardModel::Bytes statusBytes()
{
    BoardModel::Bytes bytes = {
        kCoreTemperatureNominal, 0x03, 0xE8, // Rx power count, big-endian: 3.01 dBm
        0x03, 0xE8, // Tx power count
        0x00, 0x14, // gain, 20 dB
        0x01, 0x50, // pump current 1.50 mA
        0x03, 0x30, // rail voltage 3.3 V
        0x00, 0x00, // reset cause
    };
    for (const char* identity : { "VAREN", "K57-XFP", "XF000001" }) { // vendor, part, serial
        const BoardModel::Bytes text
            = BoardModel::paddedText(identity, kIdentityWidth, kIdentityPad);
        bytes.insert(bytes.end(), text.begin(), text.end());
    }
    bytes.push_back(0x12); // application firmware
    bytes.push_back(0x00);
    return bytes;
}

} // namespace

XfpBoard::XfpBoard(std::uint32_t seed)
    : BoardModel(Dialect::K57, seed)
{
    setInfoReply(ConsoleCommand::Kind::Identify, statusBytes());
    setInfoReply(ConsoleCommand::Kind::Probe, { 0x01 });
}

void XfpBoard::tick()
{
    Bytes* status = infoReply(ConsoleCommand::Kind::Identify);
    if (status && status->size() > kCoreTemperature)
        (*status)[kCoreTemperature]
            = std::uint8_t(drifted(kCoreTemperatureNominal, kCoreTemperatureSpread));
}

} // namespace unitsim
