#include "k68board.h"

namespace unitsim {

namespace {

constexpr unsigned kFirstPolledPage = 0x08;
constexpr unsigned kLastPolledPage = 0x77;

} // namespace

K68Board::K68Board(std::uint32_t seed)
    : BoardModel(Dialect::K68, seed)
{
    for (unsigned page = kFirstPolledPage; page <= kLastPolledPage; ++page)
        setPagePresent(page, true);
}

} // namespace unitsim
