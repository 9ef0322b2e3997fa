#pragma once
// A K57-XFP media converter board. It is read only through "i", which answers 63 bytes of
// measurements and identity, and "z", its identity probe, which answers one byte; it has no
// register pages, so every "v", "w" and "x" fails, as do "t" and "u".
//
// Thread: the simulator's single thread. Owner: as BoardModel.
#include "boardmodel.h"

namespace unitsim {

class XfpBoard : public BoardModel
{
public:
    explicit XfpBoard(std::uint32_t seed);

    void tick() override;
};

} // namespace unitsim
