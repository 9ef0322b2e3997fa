#pragma once
// The unit's console as a byte stream: collects the host's bytes into command lines, has the board
// carry each command out, and frames the answer as the unit does:
//
//   echoed command line CR LF, "COMMAND SUCCESSFUL" or "COMMAND FAILED" CR LF, data line CR LF,
//   prompt
//
// The data line holds each byte as two upper-case hexadecimal digits and a blank. A line ends at
// CR, LF or both; empty lines are ignored. A line that grows past kMaxLineLength without ending is
// thrown away, up to and including its line end, without an answer. The faults that change what
// is said (silent, garbage, no prompt) are applied here; those that change how and when it is
// sent belong to the transmit side. A silent or garbage-speaking console is broken, so under those
// faults commands are not carried out either.
//
// Thread: the simulator's single thread. Owner: the simulator's entry point.
#include "boardmodel.h"
#include "faultoptions.h"

#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace unitsim {

class ConsoleSession
{
public:
    static constexpr std::size_t kMaxLineLength = 4096;

    struct Answer
    {
        std::string text; // what the unit sends back
        std::size_t commandLength; // bytes the command took on the wire, line end included
    };

    ConsoleSession(BoardModel& board, const FaultOptions& faults, std::uint32_t seed);

    // Feeds bytes from the host; returns the answers of the commands they complete, in order.
    std::vector<Answer> receive(std::string_view bytes);

private:
    void take(char byte, std::vector<Answer>& answers);
    void endLine(std::vector<Answer>& answers);
    std::string answerTo(const std::string& command);
    std::string framed(const std::string& echo, const BoardModel::Reply& reply) const;
    const char* prompt(bool ok) const;
    std::string garbage();

    BoardModel& board;
    FaultOptions faults;
    std::string line;
    bool discardingLine = false;
    std::size_t wireBytes = 0; // received since the last answered command
    std::minstd_rand random;
};

} // namespace unitsim
