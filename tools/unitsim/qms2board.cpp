#include "qms2board.h"

#include <algorithm>

namespace unitsim {

namespace {

constexpr unsigned kMuxAddress = 0x77;
constexpr std::uint8_t kEepromBus = 0x01;
constexpr std::uint8_t kOpticsBus = 0x02;

constexpr unsigned kFirstA0 = 0x50;
constexpr unsigned kFirstA2 = 0x51;
constexpr unsigned kBoardEeprom = 0x57;
constexpr unsigned kSecondA0 = 0x58;
constexpr unsigned kSecondA2 = 0x59;

// Telemetry: chip temperature count, bytes 5-6, little-endian.
constexpr std::size_t kChipTemperature = 5;
constexpr int kChipTemperatureNominal = 0x0330;
constexpr int kChipTemperatureSpread = 2;

const BoardModel::Bytes kStatusBytes = {
    0x77, // multiplexer address
    0x00, // microcontroller diagnostics: no errors
    0x02, // video 1 out LED on, video 2 out LED off (active low)
    0x15, // diagnostic fault LED off, link 1 on, link 2 off, video 1 on, video 2 off
    0x01, // video channel 1 is an input: a console board
    0x00, // single-channel (MSA) mode, EEPROM writable, pull-down installed
    0x00,
};

BoardModel::Bytes telemetryBytes()
{
    BoardModel::Bytes bytes = { 0x21, 0x82, 0x00, 0x00, 0x00 }; // firmware, reset cause: power-up
    for (unsigned count : { kChipTemperatureNominal, 0x0600, 0x0A00 }) // temperature, Vref, Vin
        for (std::uint8_t b : BoardModel::littleEndian16(count))
            bytes.push_back(b);
    bytes.push_back(0x00);
    return bytes;
}

std::uint8_t busOf(unsigned page)
{
    if (page == kBoardEeprom)
        return kEepromBus;
    if (page == kFirstA0 || page == kFirstA2 || page == kSecondA0 || page == kSecondA2)
        return kOpticsBus;
    return 0;
}

} // namespace

Qms2Board::Qms2Board(std::uint32_t seed)
    : BoardModel(Dialect::K57, seed)
{
    for (unsigned page : { kFirstA0, kFirstA2, kBoardEeprom })
        setPagePresent(page, true);
    load(kFirstA0, 0x00, { 0x03 }); // an SFP transceiver
    load(kBoardEeprom, 0x00, paddedText("QS2-000001", 16, 0xFF));
    load(kBoardEeprom, 0x10, paddedText("20240115", 16, 0xFF));
    load(kBoardEeprom, 0x20, paddedText("K57-QMS2", 16, 0xFF));
    setInfoReply(ConsoleCommand::Kind::Identify, kStatusBytes);
    setInfoReply(ConsoleCommand::Kind::Telemetry, telemetryBytes());
}

void Qms2Board::tick()
{
    Bytes* telemetry = infoReply(ConsoleCommand::Kind::Telemetry);
    if (!telemetry || telemetry->size() < kChipTemperature + 2)
        return; // a scenario took the telemetry away or shortened it
    const Bytes count
        = littleEndian16(unsigned(drifted(kChipTemperatureNominal, kChipTemperatureSpread)));
    std::copy(count.begin(), count.end(), telemetry->begin() + kChipTemperature);
}

bool Qms2Board::isPageReachable(unsigned page) const
{
    const std::uint8_t bus = busOf(page);
    return BoardModel::isPageReachable(page) && (bus == 0 || (bus & selectedChannels));
}

bool Qms2Board::selectMuxChannels(unsigned address, std::uint8_t channels)
{
    if (address != kMuxAddress)
        return false;
    selectedChannels = channels;
    return true;
}

} // namespace unitsim
