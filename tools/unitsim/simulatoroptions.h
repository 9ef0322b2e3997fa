#pragma once
// Everything the command line asks of one simulator run.
//
// Thread: any (a plain value). Owner: the entry point.
#include "boardfactory.h"
#include "faultoptions.h"

#include <cstdint>
#include <optional>
#include <string>

namespace unitsim {

struct SimulatorOptions
{
    static constexpr unsigned kDefaultBaud = 115200;

    std::optional<BoardKind> board; // may instead come from the scenario
    unsigned comNumber = 0;
    std::optional<std::string> portDirectory; // else the application's default port directory
    std::optional<std::string> scenarioFile;
    unsigned baud = kDefaultBaud; // 0: no pacing
    std::uint32_t seed = 1; // for garbage and drift; fixed so runs repeat
    FaultOptions faults;
    bool help = false;
};

} // namespace unitsim
