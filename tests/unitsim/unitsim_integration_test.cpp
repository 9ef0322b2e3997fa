// The real varen-unitsim binary on a real pseudo-terminal, driven through its COM link as the
// application drives a unit. Every test gets its own port folder and COM number.
#include "hostport.h"
#include "simulatorprocess.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using namespace unitsim::test;
namespace fs = std::filesystem;
using namespace std::chrono_literals;

const std::string kK57Prompt = "ModelK57>";

std::string answer(const std::string& command, bool ok, const std::string& data,
    const std::string& prompt = kK57Prompt)
{
    return command + "\r\n" + (ok ? "COMMAND SUCCESSFUL" : "COMMAND FAILED") + "\r\n" + data
        + "\r\n" + prompt;
}

// One simulator per test, on a COM number and in a port folder no other test uses.
// Thread: the test's thread. Owner: GoogleTest.
class Simulator : public testing::Test
{
protected:
    void SetUp() override
    {
        const char* root = std::getenv("VAREN_PORT_DIR");
        ASSERT_TRUE(root && *root) << "VAREN_PORT_DIR is not set";
        const auto* info = testing::UnitTest::GetInstance()->current_test_info();
        directory = fs::path(root) / (std::string(info->test_suite_name()) + "." + info->name());
        fs::remove_all(directory);
        com = nextCom++;
        link = directory / ("COM" + std::to_string(com));
    }

    // Starts a simulator for this test's port and waits until its port exists.
    void start(std::vector<std::string> arguments)
    {
        arguments.insert(
            arguments.end(), { "--com", std::to_string(com), "--port-dir", directory.string() });
        simulator = std::make_unique<SimulatorProcess>(arguments);
        readyLine = simulator->readLine();
        ASSERT_EQ(readyLine.rfind("ready COM" + std::to_string(com) + " ", 0), 0u) << readyLine;
        ASSERT_TRUE(fs::is_symlink(link));
    }

    std::unique_ptr<HostPort> openPort() { return std::make_unique<HostPort>(link.string()); }

    // Sends a command with the host's line end and returns the answer up to `ending`.
    static std::string exchange(
        HostPort& port, const std::string& command, const std::string& ending = kK57Prompt)
    {
        port.send(command + "\r\n");
        return port.receiveUntil(ending);
    }

    static inline unsigned nextCom = 101;
    fs::path directory;
    fs::path link;
    unsigned com = 0;
    std::unique_ptr<SimulatorProcess> simulator;
    std::string readyLine;
};

TEST_F(Simulator, ReadyLineNamesTheLinkedTerminal)
{
    start({ "--board", "qmr" });
    EXPECT_EQ(readyLine, "ready COM" + std::to_string(com) + " " + fs::read_symlink(link).string());
    struct stat folder
    {
    };
    ASSERT_EQ(stat(directory.c_str(), &folder), 0);
    EXPECT_EQ(folder.st_mode & 0777, 0700u) << "the port folder is private";
}

TEST_F(Simulator, ReplacesAStaleLink)
{
    fs::create_directories(directory);
    fs::create_symlink("/dev/null-gone", link);
    start({ "--board", "qmr" });
    EXPECT_EQ("ready COM" + std::to_string(com) + " " + fs::read_symlink(link).string(), readyLine);
}

struct Conversation
{
    const char* name;
    std::vector<std::string> arguments;
    std::vector<std::pair<std::string, std::string>> exchanges; // command, whole answer
};

void PrintTo(const Conversation& c, std::ostream* os)
{
    *os << c.name;
}

class SimulatorConversation : public Simulator, public testing::WithParamInterface<Conversation>
{
};

TEST_P(SimulatorConversation, AnswersByteForByte)
{
    start(GetParam().arguments);
    const auto port = openPort();
    for (const auto& [command, expected] : GetParam().exchanges) {
        const std::string& prompt = expected.substr(expected.rfind('\n') + 1);
        EXPECT_EQ(exchange(*port, command, prompt), expected) << command;
    }
}

INSTANTIATE_TEST_SUITE_P(Boards, SimulatorConversation,
    testing::Values(
        Conversation { "Qmr", { "--board", "qmr" },
            { { "VAREN_DIAGNOSTICS_START", answer("VAREN_DIAGNOSTICS_START", true, "") },
                { "v 42 01 0003", answer("v 42 01 0003", true, "00 C2 00 ") },
                { "w 40 01 05 01", answer("w 40 01 05 01", false, "") },
                { "w 43 01 3C 06", answer("w 43 01 3C 06", true, "") },
                { "w 40 01 05 01", answer("w 40 01 05 01", true, "") },
                { "v 40 01 01", answer("v 40 01 01", true, "05 ") },
                { "z", answer("z", false, "") },
                { "v 3A 00 0100", answer("v 3A 00 0100", false, "") } } },
        Conversation { "K68", { "--board", "k68" },
            { { "v 42 14 0001", answer("v 42 14 0001", true, "00 ", "diag_mf00>") },
                { "mf00r 00 00 08 00 04",
                    answer("mf00r 00 00 08 00 04", true, "00 00 00 00 ", "diag_mf00>") },
                { "i", answer("i", false, "", "ModelK68_BNK>") } } },
        Conversation { "Qms2", { "--board", "qms2", "--baud", "9600" },
            { { "t", answer("t", true, "21 82 00 00 00 30 03 00 06 00 0A 00 ") },
                { "u 77,01.", answer("u 77,01.", true, "") },
                { "v 57 20 04", answer("v 57 20 04", true, "4B 35 37 2D ") } } },
        Conversation {
            "Xfp", { "--board", "xfp", "--baud", "0" }, { { "z", answer("z", true, "01 ") } } },
        Conversation { "ScenarioFile",
            { "--scenario", VAREN_UNITSIM_SCENARIO_DIR "/far-stack-empty.json" },
            { { "v 60 00 0100", answer("v 60 00 0100", false, "") },
                { "v 42 06 01", answer("v 42 06 01", true, "28 ") } } },
        Conversation { "Split", { "--board", "qmr", "--split" },
            { { "v 42 02 01", answer("v 42 02 01", true, "C2 ") },
                { "bad", answer("bad", false, "") } } },
        Conversation { "ReplyDelay", { "--board", "qmr", "--reply-delay", "50" },
            { { "v 42 05 01", answer("v 42 05 01", true, "13 ") } } }));

TEST_F(Simulator, LongAnswerArrivesWholeAtLineSpeed)
{
    start({ "--board", "qmr", "--baud", "57600" });
    const auto port = openPort();
    const std::string received = exchange(*port, "v 42 00 0100");
    const std::string head = "v 42 00 0100\r\nCOMMAND SUCCESSFUL\r\n";
    ASSERT_EQ(received.size(), head.size() + 256 * 3 + 2 + kK57Prompt.size());
    EXPECT_EQ(received.substr(head.size(), 9), "00 00 C2 ");
}

TEST_F(Simulator, NoPromptEndsWithTheDataLine)
{
    start({ "--board", "qmr", "--no-prompt" });
    const auto port = openPort();
    port->send("v 42 02 01\r\n");
    EXPECT_EQ(port->receiveUntil("C2 \r\n"), "v 42 02 01\r\nCOMMAND SUCCESSFUL\r\nC2 \r\n");
    EXPECT_EQ(port->receiveFor(300ms), "");
}

TEST_F(Simulator, PortClosedAndReopenedKeepsTheSession)
{
    start({ "--board", "qmr" });
    {
        const auto port = openPort();
        EXPECT_EQ(exchange(*port, "w 43 01 3C 06"), answer("w 43 01 3C 06", true, ""));
    }
    for (int reopen = 0; reopen < 3; ++reopen) {
        const auto port = openPort();
        port->flush();
        EXPECT_EQ(exchange(*port, "v 43 06 01"), answer("v 43 06 01", true, "3C "))
            << "reopen " << reopen;
    }
}

TEST_F(Simulator, OverlongLineIsIgnored)
{
    start({ "--board", "qmr" });
    const auto port = openPort();
    port->send(std::string(10000, 'v') + "\r\n");
    EXPECT_EQ(exchange(*port, "v 42 02 01"), answer("v 42 02 01", true, "C2 "));
}

TEST_F(Simulator, SilentUnitNeverAnswers)
{
    start({ "--board", "qmr", "--silent" });
    const auto port = openPort();
    port->send("VAREN_DIAGNOSTICS_START\r\nv 42 02 01\r\n");
    EXPECT_EQ(port->receiveFor(500ms), "");
    EXPECT_EQ(simulator->stop(SIGTERM), 0);
}

TEST_F(Simulator, GarbageNeverFramesAnAnswer)
{
    start({ "--board", "qmr", "--garbage" });
    const auto port = openPort();
    std::string received;
    const auto deadline = std::chrono::steady_clock::now() + SimulatorProcess::kPatience;
    while (received.size() < 200 && std::chrono::steady_clock::now() < deadline) {
        port->send("v 42 02 01\r\n");
        received += port->receiveFor(100ms);
    }
    EXPECT_GE(received.size(), 200u);
    EXPECT_EQ(received.find("COMMAND"), std::string::npos);
    EXPECT_EQ(received.find('>'), std::string::npos);
}

TEST_F(Simulator, DisconnectAfterPullsTheCable)
{
    start({ "--board", "qmr", "--disconnect-after", "2" });
    const auto port = openPort();
    EXPECT_EQ(exchange(*port, "v 42 02 01"), answer("v 42 02 01", true, "C2 "));
    EXPECT_EQ(exchange(*port, "bad"), answer("bad", false, ""));
    EXPECT_EQ(simulator->waitForExit(), 0);
    EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
    EXPECT_TRUE(port->hungUp());
}

class StopSignal : public Simulator, public testing::WithParamInterface<int>
{
};

TEST_P(StopSignal, RemovesTheLink)
{
    start({ "--board", "k68" });
    {
        const auto port = openPort();
        exchange(*port, "v 42 14 0001", "diag_mf00>");
    }
    EXPECT_EQ(simulator->stop(GetParam()), 0);
    EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
}

INSTANTIATE_TEST_SUITE_P(Signals, StopSignal, testing::Values(SIGTERM, SIGINT, SIGHUP));

TEST_F(Simulator, LeavesALinkTakenOverByAnotherUnit)
{
    start({ "--board", "qmr" });
    fs::remove(link);
    fs::create_symlink("/dev/another-unit", link);
    EXPECT_EQ(simulator->stop(SIGTERM), 0);
    EXPECT_EQ(fs::read_symlink(link), "/dev/another-unit");
}

struct BadStart
{
    const char* name;
    std::vector<std::string> arguments;
};

void PrintTo(const BadStart& b, std::ostream* os)
{
    *os << b.name;
}

class SimulatorRefuses : public Simulator, public testing::WithParamInterface<BadStart>
{
};

TEST_P(SimulatorRefuses, WithExitCodeTwoAndNoPort)
{
    std::vector<std::string> arguments = GetParam().arguments;
    arguments.insert(
        arguments.end(), { "--com", std::to_string(com), "--port-dir", directory.string() });
    SimulatorProcess process(arguments);
    EXPECT_EQ(process.readLine(), "");
    EXPECT_EQ(process.waitForExit(), 2);
    EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
}

INSTANTIATE_TEST_SUITE_P(Mistakes, SimulatorRefuses,
    testing::Values(BadStart { "UnknownBoard", { "--board", "qmx" } }, BadStart { "NoBoard", {} },
        BadStart { "BoardDiffersFromScenario",
            { "--board", "k68", "--scenario",
                VAREN_UNITSIM_SCENARIO_DIR "/far-stack-empty.json" } },
        BadStart { "MissingScenario", { "--board", "qmr", "--scenario", "/nonexistent.json" } }));

} // namespace
