#include "qmrboard.h"

namespace unitsim {

namespace {

// Page addresses of the near side; the far side adds kFarSide.
constexpr unsigned kFarSide = 0x20;
constexpr unsigned kSfpIdentification = 0x38;
constexpr unsigned kSfpDiagnostics = 0x39;
constexpr unsigned kSettingsMemory = 0x40; // EEPROM6
constexpr unsigned kStatusPage = 0x42; // FPGA0
constexpr unsigned kControlPage = 0x43; // FPGA1
constexpr unsigned kFirstDxPage = 0x46;
constexpr unsigned kLastDxPage = 0x49;
constexpr unsigned kLastCardPage = 0x51;

// Control page registers.
constexpr unsigned kSettingsValid = 0x01;
constexpr unsigned kLockRegister = 0x06;
constexpr unsigned kNearStatisticsReset = 0x07;
constexpr unsigned kFarStatisticsReset = 0x87;
constexpr unsigned kFarSettingsWindow = 0x82;
constexpr unsigned kFarSettingsTrigger = 0x83;
constexpr unsigned kFarConfiguration = 0x01; // where the window lands in the far EEPROM6

// Status page registers.
constexpr unsigned kFpgaRevision = 0x02;
constexpr unsigned kJunctionTemperature = 0xA8;
constexpr unsigned kFirstLockingRevision = 0xA5;

// Cards.
constexpr unsigned kCardLockRegister = 0x06;
constexpr unsigned kDxLockRegister = 0xC5;
constexpr unsigned kFirstDxSetting = 0xC0;

// About 45 degrees C in the FPGA's 12-bit temperature counts.
constexpr int kJunctionNominal = 2586;
constexpr int kJunctionSpread = 3;

struct DefaultRegister
{
    unsigned page;
    unsigned reg;
    BoardModel::Bytes bytes;
};

// A healthy console/remote pair on firmware with the write lock; screens fill in more later.
const DefaultRegister kBothSides[] = {
    { kSfpIdentification, 0x00, { 0x03 } }, // an SFP transceiver
    { kStatusPage, kFpgaRevision, { 0xC2 } },
    { kStatusPage, 0x05, { 0x13 } }, // PCBA revision code 0x10, firmware number 3
    { kStatusPage, 0x06, { 0x30 } }, // optical link up, no fault, video present
    { kSettingsMemory, 0x0E, { 0x0F, 0x0F } }, // every low-speed position set up for DX
};
const DefaultRegister kFarOnly[] = {
    { kSettingsMemory, 0x01, { 0x01 } }, // the far card is the remote end
};

// Counters on a side's status page that a statistics reset clears.
struct Counter
{
    unsigned reg;
    std::size_t width;
};
const Counter kErrorCounters[] = {
    { 0x13, 1 }, // CRC error count, least significant byte
    { 0x5F, 1 }, // ... second byte
    { 0x63, 1 }, // ... third byte
    { 0x67, 1 }, // ... most significant byte
    { 0x28, 4 }, // link loss count
    { 0x64, 2 }, // fibre switch error count
    { 0x80, 4 }, // Tx packets dropped
    { 0x90, 4 }, // Rx packets dropped
};

bool isCardSettingsPage(unsigned nearPage)
{
    return nearPage == 0x4B || nearPage == 0x4D || nearPage == 0x4F || nearPage == 0x51;
}

bool isStatisticsReset(unsigned reg)
{
    return reg == kNearStatisticsReset || reg == kFarStatisticsReset;
}

bool bitZeroRises(std::uint8_t before, std::uint8_t after)
{
    return !(before & 0x01) && (after & 0x01);
}

} // namespace

QmrBoard::QmrBoard(std::uint32_t seed)
    : BoardModel(Dialect::K57, seed)
{
    loadDefaults(0);
    loadDefaults(kFarSide);
    for (const DefaultRegister& r : kFarOnly)
        load(r.page + kFarSide, r.reg, r.bytes);
}

void QmrBoard::loadDefaults(unsigned side)
{
    setPagePresent(kSfpIdentification + side, true);
    setPagePresent(kSfpDiagnostics + side, true);
    // The motherboard answers for every card position, occupied or not: an empty position reads
    // as part number 0.
    for (unsigned page = kSettingsMemory; page <= kLastCardPage; ++page)
        setPagePresent(page + side, true);
    for (const DefaultRegister& r : kBothSides)
        load(r.page + side, r.reg, r.bytes);
    load(kStatusPage + side, kJunctionTemperature, littleEndian16(kJunctionNominal << 4));
}

void QmrBoard::tick()
{
    driftJunctionTemperature(0);
    driftJunctionTemperature(kFarSide);
}

void QmrBoard::driftJunctionTemperature(unsigned side)
{
    const unsigned page = kStatusPage + side;
    if (isPagePresent(page)) {
        const int counts = drifted(kJunctionNominal, kJunctionSpread);
        load(page, kJunctionTemperature, littleEndian16(unsigned(counts) << 4));
    }
}

bool QmrBoard::isWritable(unsigned page, unsigned reg) const
{
    const auto lock = lockGuarding(page, reg);
    return !lock || registerValue(lock->page, lock->reg) == kWriteUnlockValue;
}

std::optional<QmrBoard::LockRegister> QmrBoard::lockGuarding(unsigned page, unsigned reg) const
{
    const unsigned side = page >= kSfpIdentification + kFarSide ? kFarSide : 0;
    const unsigned nearPage = page - side;
    if (nearPage == kSettingsMemory || nearPage == kControlPage)
        return motherboardLock(side, nearPage, reg);
    if (isCardSettingsPage(nearPage) && reg != kCardLockRegister && !isStatisticsReset(reg))
        return LockRegister { page, kCardLockRegister };
    if (nearPage >= kFirstDxPage && nearPage <= kLastDxPage && reg >= kFirstDxSetting
        && reg != kDxLockRegister)
        return LockRegister { page, kDxLockRegister };
    return std::nullopt;
}

std::optional<QmrBoard::LockRegister> QmrBoard::motherboardLock(
    unsigned side, unsigned nearPage, unsigned reg) const
{
    if (registerValue(kStatusPage + side, kFpgaRevision) < kFirstLockingRevision)
        return std::nullopt;
    const bool open = nearPage == kControlPage
        && (reg == kLockRegister || reg == kSettingsValid || isStatisticsReset(reg));
    if (open)
        return std::nullopt;
    return LockRegister { kControlPage + side, kLockRegister };
}

void QmrBoard::onRegisterWritten(
    unsigned page, unsigned reg, std::uint8_t before, std::uint8_t after)
{
    if (page != kControlPage)
        return;
    if (reg == kFarSettingsTrigger && before == 0 && after == 1)
        copyFarSettingsWindow();
    else if (reg == kNearStatisticsReset && bitZeroRises(before, after))
        clearErrorCounters(kStatusPage);
    else if (reg == kFarStatisticsReset && bitZeroRises(before, after))
        clearErrorCounters(kStatusPage + kFarSide);
}

// Without a far motherboard the copy has nowhere to go, as on a unit whose fibre is unplugged.
void QmrBoard::copyFarSettingsWindow()
{
    const unsigned farSettings = kSettingsMemory + kFarSide;
    if (isPagePresent(farSettings))
        load(farSettings, kFarConfiguration, { registerValue(kControlPage, kFarSettingsWindow) });
}

void QmrBoard::clearErrorCounters(unsigned statusPage)
{
    if (!isPagePresent(statusPage))
        return;
    for (const Counter& counter : kErrorCounters)
        load(statusPage, counter.reg, Bytes(counter.width, 0));
}

} // namespace unitsim
