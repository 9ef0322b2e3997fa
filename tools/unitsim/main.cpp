// varen-unitsim: a simulated unit on a pseudo-terminal, for tests, benchmarks and demonstrations.
#include "boardfactory.h"
#include "commandline.h"
#include "consolesession.h"
#include "portlink.h"
#include "pseudoterminal.h"
#include "scenario.h"
#include "signalwatcher.h"
#include "unitsimulator.h"

#include "tdi/platform/portregistry.h"

#include <csignal>
#include <iostream>
#include <optional>

namespace {

using namespace unitsim;

constexpr int kFailed = 1;
constexpr int kBadUsage = 2;

BoardKind chooseBoard(const SimulatorOptions& options, const std::optional<Scenario>& scenario)
{
    const std::optional<BoardKind> fromScenario = scenario ? scenario->board() : std::nullopt;
    if (options.board && fromScenario && *options.board != *fromScenario)
        throw CommandLine::Error("--board " + boardKindName(*options.board)
            + " does not match the scenario's board " + boardKindName(*fromScenario));
    if (options.board)
        return *options.board;
    if (fromScenario)
        return *fromScenario;
    throw CommandLine::Error("--board is required when the scenario names no board");
}

int serve(const SimulatorOptions& options)
{
    std::optional<Scenario> scenario;
    if (options.scenarioFile)
        scenario = Scenario::fromFile(*options.scenarioFile);
    const auto board = makeBoard(chooseBoard(options, scenario), options.seed);
    FaultOptions faults = options.faults;
    if (scenario) {
        scenario->applyTo(*board);
        faults = scenario->faults().mergedWith(options.faults);
    }
    ConsoleSession session(*board, faults, options.seed);

    SignalWatcher signals;
    PseudoTerminal line;
    PortLink link(options.portDirectory.value_or(tdi::platform::PortRegistry::portDirectory()),
        options.comNumber, line.slavePath());
    std::cout << "ready COM" << options.comNumber << ' ' << line.slavePath() << std::endl;

    UnitSimulator(*board, session, line, signals, options.baud, faults).run();
    // The port disappears before its line goes dead, as when a cable is pulled.
    link.remove();
    line.close();
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    // Whoever waits for the ready line may stop listening; that must not kill a serving unit.
    std::signal(SIGPIPE, SIG_IGN);
    try {
        const SimulatorOptions options = CommandLine::parse({ argv + 1, argv + argc });
        if (options.help) {
            std::cout << CommandLine::usage();
            return 0;
        }
        return serve(options);
    } catch (const CommandLine::Error& error) {
        std::cerr << "varen-unitsim: " << error.what() << '\n' << CommandLine::usage();
        return kBadUsage;
    } catch (const Scenario::Error& error) {
        std::cerr << "varen-unitsim: " << error.what() << '\n';
        return kBadUsage;
    } catch (const std::exception& error) {
        std::cerr << "varen-unitsim: " << error.what() << '\n';
        return kFailed;
    }
}
