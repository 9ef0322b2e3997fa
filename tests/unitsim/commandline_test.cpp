// The simulator's command line.
#include "commandline.h"

#include <gtest/gtest.h>

namespace {

using namespace unitsim;
using namespace std::chrono_literals;
using Args = std::vector<std::string>;

TEST(CommandLine, TakesEveryOption)
{
    const SimulatorOptions o = CommandLine::parse({ "--board", "k68", "--com=12", "--port-dir",
        "/tmp/p", "--scenario", "s.json", "--baud", "9600", "--seed=9", "--silent", "--garbage",
        "--split", "--no-prompt", "--disconnect-after", "3", "--reply-delay=40" });
    EXPECT_EQ(o.board, BoardKind::K68);
    EXPECT_EQ(o.comNumber, 12u);
    EXPECT_EQ(o.portDirectory, "/tmp/p");
    EXPECT_EQ(o.scenarioFile, "s.json");
    EXPECT_EQ(o.baud, 9600u);
    EXPECT_EQ(o.seed, 9u);
    EXPECT_TRUE(o.faults.silent && o.faults.garbage && o.faults.split && o.faults.noPrompt);
    EXPECT_EQ(o.faults.disconnectAfter, 3u);
    EXPECT_EQ(o.faults.replyDelay, 40ms);
    EXPECT_FALSE(o.help);
}

TEST(CommandLine, DefaultsAreAHealthyUnitAtFullSpeed)
{
    const SimulatorOptions o = CommandLine::parse({ "--com", "1" });
    EXPECT_FALSE(o.board);
    EXPECT_FALSE(o.portDirectory);
    EXPECT_FALSE(o.scenarioFile);
    EXPECT_EQ(o.baud, 115200u);
    EXPECT_FALSE(o.faults.silent || o.faults.garbage || o.faults.split || o.faults.noPrompt);
    EXPECT_FALSE(o.faults.disconnectAfter);
    EXPECT_FALSE(o.faults.replyDelay);
}

TEST(CommandLine, BaudZeroMeansUnpaced)
{
    EXPECT_EQ(CommandLine::parse({ "--com", "1", "--baud", "0" }).baud, 0u);
}

TEST(CommandLine, HelpNeedsNothingElse)
{
    EXPECT_TRUE(CommandLine::parse({ "--help" }).help);
}

struct Wrong
{
    Args args;
    const char* message;
};

class WrongCommandLine : public testing::TestWithParam<Wrong>
{
};

TEST_P(WrongCommandLine, IsExplained)
{
    try {
        CommandLine::parse(GetParam().args);
        FAIL() << "accepted";
    } catch (const CommandLine::Error& error) {
        EXPECT_NE(std::string(error.what()).find(GetParam().message), std::string::npos)
            << error.what();
    }
}

INSTANTIATE_TEST_SUITE_P(Mistakes, WrongCommandLine,
    testing::Values(Wrong { {}, "--com is required" },
        Wrong { { "--board", "qmr" }, "--com is required" },
        Wrong { { "--com", "0" }, "--com needs a whole number" },
        Wrong { { "--com", "-3" }, "--com needs" }, Wrong { { "--com", "3x" }, "--com needs" },
        Wrong { { "--com", "99999999999" }, "--com needs" }, Wrong { { "--com" }, "needs a value" },
        Wrong { { "--com", "1", "--board", "qmx" }, "--board must be" },
        Wrong { { "--com", "1", "--bord", "qmr" }, "unknown option '--bord'" },
        Wrong { { "--com", "1", "qmr" }, "unknown option 'qmr'" },
        Wrong { { "--com", "1", "--silent=yes" }, "--silent takes no value" },
        Wrong { { "--com", "1", "--disconnect-after", "0" }, "--disconnect-after needs" },
        Wrong { { "--com", "1", "--reply-delay", "soon" }, "--reply-delay needs" },
        Wrong { { "--com", "1", "--baud", "" }, "--baud needs" }));

} // namespace
