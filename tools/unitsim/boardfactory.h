#pragma once
// The board kinds the simulator can stand in for, by their command-line names.
//
// Thread: any. Owner: the caller owns the board it makes.
#include "boardmodel.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace unitsim {

enum class BoardKind { Qmr, Qms2, Xfp, K68 };

// "qmr", "qms2", "xfp" or "k68"; nothing for any other name.
std::optional<BoardKind> boardKindNamed(const std::string& name);
std::string boardKindName(BoardKind kind);
std::unique_ptr<BoardModel> makeBoard(BoardKind kind, std::uint32_t seed);

} // namespace unitsim
