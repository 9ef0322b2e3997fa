#pragma once
// A K57-QMR link as seen from the near motherboard's console: the near stack at its own page
// addresses, the far stack at the same addresses plus 0x20. Every card position answers, an empty
// one with zeros (part number 0). The board answers none of "i", "t", "z" or "u" (COMMAND FAILED,
// no data): the stack view takes data on "z" as the sign of an XFP board.
//
// Write locks. A settings register accepts console writes only while its lock register holds
// kWriteUnlockValue; any other value locks it again.
// - Motherboard (lock 0x43:0x06, far 0x63:0x06): all of the settings memory EEPROM6 (0x40) and
//   every register of the control page 0x43 (far-side settings window, its copy trigger, the
//   video generator override) except the lock itself, the settings-valid flag 0x01 and the
//   statistics-reset registers 0x07 and 0x87. The pages write settings-valid and reset the
//   statistics without unlocking, so those must stay open. Firmware older than FPGA revision 0xA5
//   (register 0x42:0x02) has no lock at all: the pages send no unlock to it.
// - EX and VDX cards (lock 0x06 of the settings page 0x4B, 0x4D, 0x4F, 0x51): the whole settings
//   page except the lock and the statistics-reset registers 0x07 and 0x87.
// - DX cards (lock 0xC5 of the card page 0x46-0x49): the settings registers 0xC0-0xFF; the status
//   registers below 0xC0 are not guarded.
//
// Triggers. Register 0x43:0x83 going from 0 to 1 copies the far-side settings window into the far
// motherboard's settings memory. The window is the single register 0x43:0x82 (the far card's
// configuration byte, landing in 0x60:0x01): 0x83 itself is the trigger, so nothing else fits.
// Register 0x43:0x07 (near) or 0x87 (far) bit 0 going from 0 to 1 clears that side's error
// counters.
//
// Thread: the simulator's single thread. Owner: as BoardModel.
#include "boardmodel.h"

#include <optional>

namespace unitsim {

class QmrBoard : public BoardModel
{
public:
    // Opens a write lock, on the motherboards and the cards alike.
    static constexpr std::uint8_t kWriteUnlockValue = 0x3C;

    explicit QmrBoard(std::uint32_t seed);

    void tick() override;

protected:
    bool isWritable(unsigned page, unsigned reg) const override;
    void onRegisterWritten(
        unsigned page, unsigned reg, std::uint8_t before, std::uint8_t after) override;

private:
    struct LockRegister
    {
        unsigned page;
        unsigned reg;
    };

    void loadDefaults(unsigned side);
    std::optional<LockRegister> lockGuarding(unsigned page, unsigned reg) const;
    std::optional<LockRegister> motherboardLock(unsigned side, unsigned page, unsigned reg) const;
    void copyFarSettingsWindow();
    void clearErrorCounters(unsigned statusPage);
    void driftJunctionTemperature(unsigned side);
};

} // namespace unitsim
