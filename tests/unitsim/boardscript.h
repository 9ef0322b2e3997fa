#pragma once
// Drives a board model with console command lines, as a host would, for the board tests.
#include "boardfactory.h"
#include "boardmodel.h"
#include "consolecommand.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace unitsim::test {

inline BoardModel::Reply run(BoardModel& board, const std::string& line)
{
    return board.execute(ConsoleCommand::parse(line));
}

// One command of a script and whether the unit accepts it.
struct Step
{
    const char* command;
    bool ok;
};

inline void runScript(BoardModel& board, const std::vector<Step>& steps)
{
    for (const Step& step : steps)
        EXPECT_EQ(run(board, step.command).ok, step.ok) << step.command;
}

} // namespace unitsim::test
