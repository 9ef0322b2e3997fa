#pragma once
// A K57-QMS2 media converter board. Its memories sit behind an I2C multiplexer at 0x77 whose
// control byte enables downstream buses: bit 0 reaches the board EEPROM (0x57), bit 1 the optics
// (0x50/0x51, and 0x58/0x59 on a dual-channel board). A page on a bus that is not selected does
// not answer, so a host must send "u 77,01." or "u 77,02." first, as the pages do. Nothing is
// selected after power-up. "i" answers the seven status bytes and "t" the twelve telemetry bytes;
// "z" fails, since only an XFP board answers it. By default the board is a single-channel (MSA)
// console board, so 0x58/0x59 are absent.
//
// Thread: the simulator's single thread. Owner: as BoardModel.
#include "boardmodel.h"

namespace unitsim {

class Qms2Board : public BoardModel
{
public:
    explicit Qms2Board(std::uint32_t seed);

    void tick() override;

protected:
    bool isPageReachable(unsigned page) const override;
    bool selectMuxChannels(unsigned address, std::uint8_t channels) override;

private:
    std::uint8_t selectedChannels = 0;
};

} // namespace unitsim
