#pragma once
// Reads the simulator's command line. Options take their value as the next argument or after
// "=" ("--com 7", "--com=7"); numbers are decimal.
//
// Thread: any. Owner: none (static functions only).
#include "simulatoroptions.h"

#include <stdexcept>
#include <string>
#include <vector>

namespace unitsim {

class CommandLine
{
public:
    // A wrong command line; the message says what is wrong.
    struct Error : std::invalid_argument
    {
        using std::invalid_argument::invalid_argument;
    };

    // `arguments` without the program name. Throws Error.
    static SimulatorOptions parse(const std::vector<std::string>& arguments);
    static std::string usage();
};

} // namespace unitsim
