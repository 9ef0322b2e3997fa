#include "boardfactory.h"

#include "k68board.h"
#include "qmrboard.h"
#include "qms2board.h"
#include "xfpboard.h"

#include <array>
#include <utility>

namespace unitsim {

namespace {

const std::array<std::pair<BoardKind, const char*>, 4> kNames = { {
    { BoardKind::Qmr, "qmr" },
    { BoardKind::Qms2, "qms2" },
    { BoardKind::Xfp, "xfp" },
    { BoardKind::K68, "k68" },
} };

} // namespace

std::optional<BoardKind> boardKindNamed(const std::string& name)
{
    for (const auto& [kind, kindName] : kNames) {
        if (name == kindName)
            return kind;
    }
    return std::nullopt;
}

std::string boardKindName(BoardKind kind)
{
    for (const auto& [known, name] : kNames) {
        if (known == kind)
            return name;
    }
    return {};
}

std::unique_ptr<BoardModel> makeBoard(BoardKind kind, std::uint32_t seed)
{
    switch (kind) {
    case BoardKind::Qmr:
        return std::make_unique<QmrBoard>(seed);
    case BoardKind::Qms2:
        return std::make_unique<Qms2Board>(seed);
    case BoardKind::Xfp:
        return std::make_unique<XfpBoard>(seed);
    case BoardKind::K68:
        return std::make_unique<K68Board>(seed);
    }
    return nullptr;
}

} // namespace unitsim
