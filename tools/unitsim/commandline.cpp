#include "commandline.h"

#include <functional>
#include <limits>

namespace unitsim {

namespace {

using Setter = std::function<void(SimulatorOptions&, const std::string&)>;

struct Option
{
    const char* name;
    bool takesValue;
    Setter set;
};

unsigned number(const std::string& option, const std::string& text, unsigned minimum,
    unsigned maximum = std::numeric_limits<unsigned>::max())
{
    const bool digitsOnly
        = !text.empty() && text.size() <= 10 && text.find_first_not_of("0123456789") == text.npos;
    const unsigned long long value = digitsOnly ? std::stoull(text) : 0;
    if (!digitsOnly || value < minimum || value > maximum)
        throw CommandLine::Error(option + " needs a whole number from " + std::to_string(minimum)
            + " to " + std::to_string(maximum) + ", not '" + text + "'");
    return unsigned(value);
}

BoardKind board(const std::string& name)
{
    if (const auto kind = boardKindNamed(name))
        return *kind;
    throw CommandLine::Error("--board must be qmr, qms2, xfp or k68, not '" + name + "'");
}

const std::vector<Option>& options()
{
    using O = SimulatorOptions;
    using S = const std::string&;
    static const std::vector<Option> table = {
        { "--board", true, [](O& o, S v) { o.board = board(v); } },
        { "--com", true, [](O& o, S v) { o.comNumber = number("--com", v, 1); } },
        { "--port-dir", true, [](O& o, S v) { o.portDirectory = v; } },
        { "--scenario", true, [](O& o, S v) { o.scenarioFile = v; } },
        { "--baud", true, [](O& o, S v) { o.baud = number("--baud", v, 0); } },
        { "--seed", true, [](O& o, S v) { o.seed = number("--seed", v, 0); } },
        { "--silent", false, [](O& o, S) { o.faults.silent = true; } },
        { "--garbage", false, [](O& o, S) { o.faults.garbage = true; } },
        { "--split", false, [](O& o, S) { o.faults.split = true; } },
        { "--no-prompt", false, [](O& o, S) { o.faults.noPrompt = true; } },
        { "--disconnect-after", true,
            [](O& o, S v) { o.faults.disconnectAfter = number("--disconnect-after", v, 1); } },
        { "--reply-delay", true,
            [](O& o, S v) {
                o.faults.replyDelay = std::chrono::milliseconds(number("--reply-delay", v, 0));
            } },
        { "--help", false, [](O& o, S) { o.help = true; } },
    };
    return table;
}

const Option& optionNamed(const std::string& name)
{
    for (const Option& option : options()) {
        if (name == option.name)
            return option;
    }
    throw CommandLine::Error("unknown option '" + name + "'");
}

} // namespace

SimulatorOptions CommandLine::parse(const std::vector<std::string>& arguments)
{
    SimulatorOptions result;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const std::size_t equals = argument.find('=');
        const Option& option = optionNamed(argument.substr(0, equals));
        std::string value;
        if (equals != std::string::npos) {
            if (!option.takesValue)
                throw Error(std::string(option.name) + " takes no value");
            value = argument.substr(equals + 1);
        } else if (option.takesValue) {
            if (++i == arguments.size())
                throw Error(std::string(option.name) + " needs a value");
            value = arguments[i];
        }
        option.set(result, value);
    }
    if (!result.help && result.comNumber == 0)
        throw Error("--com is required");
    return result;
}

std::string CommandLine::usage()
{
    return "usage: varen-unitsim --board qmr|qms2|xfp|k68 --com N [--port-dir DIR]\n"
           "                     [--scenario FILE] [--baud B] [--seed S]\n"
           "                     [--silent] [--garbage] [--split] [--no-prompt]\n"
           "                     [--disconnect-after N] [--reply-delay MS]\n"
           "\n"
           "Simulates a unit's serial console on a pseudo-terminal linked as COM<N> in the port\n"
           "directory, and prints \"ready COM<N> <pty>\" once the port exists. --board may be "
           "left\n"
           "out when the scenario names the board. --baud paces the output at B/10 bytes a second\n"
           "(default 115200; 0 sends at once). Stops on SIGINT or SIGTERM and removes the link.\n";
}

} // namespace unitsim
