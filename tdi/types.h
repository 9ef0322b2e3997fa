#pragma once
#include <cstdint>

namespace tdi {

using UInt16 = std::uint16_t;
using UInt32 = std::uint32_t;

} // namespace tdi
