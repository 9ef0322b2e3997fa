#pragma once
// A K68-TLC remote module. It prompts "diag_mf00>" after success and "ModelK68_BNK>" after
// failure, starts with an ordinary read ("v 42 14 0001"), and reads its pages with
// "mf00r MM SS PP RR NNN" as well as with "v". Only the local module's memory space 0 is modelled:
// the pages 0x08-0x77 that the module polls, all present and zero until screens need more. The
// reserved I2C addresses 0x00-0x07 and 0x78-0x7F are absent. It answers none of "i", "t", "z",
// "u" or the K57 start command (COMMAND FAILED, no data).
//
// Thread: the simulator's single thread. Owner: as BoardModel.
#include "boardmodel.h"

namespace unitsim {

class K68Board : public BoardModel
{
public:
    explicit K68Board(std::uint32_t seed);
};

} // namespace unitsim
