// Scenario files: the format, its mistakes, and the scenarios shipped with the simulator.
#include "boardscript.h"
#include "scenario.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

namespace {

using namespace unitsim;
using test::run;
using Bytes = BoardModel::Bytes;

Scenario parse(const std::string& json)
{
    std::istringstream stream(json);
    return Scenario::fromJson(stream, "test.json");
}

std::string scenarioFile(const char* name)
{
    return std::string(VAREN_UNITSIM_SCENARIO_DIR) + "/" + name;
}

TEST(Scenario, EverySectionIsApplied)
{
    const Scenario scenario = parse(R"({
        "board": "qmr",
        "description": "all of it",
        "pages": {"present": ["0x62", "0x3A"], "absent": ["0x60-0x63"]},
        "registers": [
            {"page": "0x42", "register": "0x10", "bytes": "01 02,03"},
            {"page": "0x41", "register": 32, "text": "K57-QMR"},
            {"page": 66, "register": "0xFF", "bytes": "EE"}
        ],
        "replies": {"z": "01 02 ", "i": "", "t": "FAILED"},
        "faults": {"silent": true, "garbage": false, "split": true, "noPrompt": true,
                   "disconnectAfter": 3, "replyDelayMs": 250}
    })");
    EXPECT_EQ(scenario.board(), BoardKind::Qmr);
    EXPECT_EQ(scenario.description(), "all of it");
    const FaultOptions& faults = scenario.faults();
    EXPECT_TRUE(faults.silent);
    EXPECT_FALSE(faults.garbage);
    EXPECT_TRUE(faults.split);
    EXPECT_TRUE(faults.noPrompt);
    EXPECT_EQ(faults.disconnectAfter, 3u);
    EXPECT_EQ(faults.replyDelay, std::chrono::milliseconds(250));

    const auto board = makeBoard(BoardKind::Qmr, 1);
    scenario.applyTo(*board);
    EXPECT_FALSE(run(*board, "v 60 00 01").ok);
    EXPECT_FALSE(run(*board, "v 61 00 01").ok);
    EXPECT_TRUE(run(*board, "v 62 00 01").ok) << "present wins over absent";
    EXPECT_FALSE(run(*board, "v 63 00 01").ok);
    EXPECT_TRUE(run(*board, "v 3A 00 01").ok);
    EXPECT_EQ(run(*board, "v 42 0F 05").data, (Bytes { 0x00, 0x01, 0x02, 0x03, 0x00 }));
    const Bytes text = run(*board, "v 41 20 07").data;
    EXPECT_EQ(std::string(text.begin(), text.end()), "K57-QMR");
    EXPECT_EQ(run(*board, "v 42 FF 01").data, Bytes { 0xEE });
    EXPECT_EQ(run(*board, "z").data, (Bytes { 0x01, 0x02 }));
    const BoardModel::Reply identify = run(*board, "i");
    EXPECT_TRUE(identify.ok);
    EXPECT_TRUE(identify.data.empty());
    EXPECT_FALSE(run(*board, "t").ok);
}

TEST(Scenario, EmptyScenarioChangesNothing)
{
    const Scenario scenario = parse("{}");
    EXPECT_FALSE(scenario.board());
    const auto board = makeBoard(BoardKind::Qms2, 1);
    scenario.applyTo(*board);
    EXPECT_EQ(run(*board, "i").data.size(), 7u);
}

struct Mistake
{
    const char* json;
    const char* message; // part of the error text
};

class ScenarioMistake : public testing::TestWithParam<Mistake>
{
};

TEST_P(ScenarioMistake, IsReportedWithItsPlace)
{
    try {
        parse(GetParam().json);
        FAIL() << "accepted " << GetParam().json;
    } catch (const Scenario::Error& error) {
        const std::string text = error.what();
        EXPECT_EQ(text.rfind("test.json: ", 0), 0u) << text;
        EXPECT_NE(text.find(GetParam().message), std::string::npos) << text;
    }
}

INSTANTIATE_TEST_SUITE_P(Format, ScenarioMistake,
    testing::Values(Mistake { "{", "line" }, Mistake { R"({"cards": []})", "unknown key 'cards'" },
        Mistake { R"({"board": "qmx"})", "board: 'qmx'" },
        Mistake { R"({"pages": {"gone": []}})", "pages: unknown key 'gone'" },
        Mistake { R"({"pages": {"absent": "0x60"}})", "pages.absent: must be a list" },
        Mistake { R"({"pages": {"absent": ["0x80"]}})", "'0x80' is above 127" },
        Mistake { R"({"pages": {"absent": ["0x61-0x60"]}})", "runs backwards" },
        Mistake { R"({"pages": {"absent": ["sixty"]}})", "'sixty' is not a number" },
        Mistake { R"({"pages": {"absent": ["0x"]}})", "'0x' is not a number" },
        Mistake { R"({"registers": {"page": "0x42"}})", "registers: must be a list" },
        Mistake { R"({"registers": [{"page": "0x42", "register": "0x01"}]})",
            "registers[0]: needs either" },
        Mistake {
            R"({"registers": [{"page": "0x42", "register": "1", "bytes": "01", "text": "a"}]})",
            "registers[0]: needs either" },
        Mistake {
            R"({"registers": [{"register": "0x01", "bytes": "01"}]})", "\"page\" is missing" },
        Mistake {
            R"({"registers": [{"page": "0x42", "bytes": "01"}]})", "\"register\" is missing" },
        Mistake { R"({"registers": [{"page": "0x42", "register": "0x100", "bytes": "01"}]})",
            "is above 255" },
        Mistake { R"({"registers": [{"page": "0x42", "register": "0xFF", "bytes": "01 02"}]})",
            "must fit" },
        Mistake {
            R"({"registers": [{"page": "0x42", "register": "0", "bytes": ""}]})", "must fit" },
        Mistake { R"({"registers": [{"page": "0x42", "register": "0", "bytes": "1 2"}]})",
            "'1' is not a byte" },
        Mistake { R"({"registers": [{"page": "0x42", "register": "0", "bytes": "0G"}]})",
            "not a number" },
        Mistake { R"({"registers": [{"page": "0x42", "register": "0", "bytes": "01", "x": 1}]})",
            "registers[0]: unknown key 'x'" },
        Mistake { R"({"replies": {"u": "01"}})", "replies: unknown key 'u'" },
        Mistake { R"({"replies": {"z": "001"}})", "replies.z" },
        Mistake { R"({"faults": {"silent": "yes"}})", "faults.silent: must be true or false" },
        Mistake { R"({"faults": {"disconnectAfter": 0}})", "must be at least 1" },
        Mistake { R"({"faults": {"replyDelayMs": "-5"}})", "faults.replyDelayMs" },
        Mistake { R"({"faults": {"stall": true}})", "faults: unknown key 'stall'" }));

TEST(Scenario, MissingFileIsReported)
{
    EXPECT_THROW(Scenario::fromFile(scenarioFile("no-such-scenario.json")), Scenario::Error);
}

TEST(Scenario, EveryShippedFileReads)
{
    std::size_t count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(VAREN_UNITSIM_SCENARIO_DIR)) {
        if (entry.path().extension() != ".json")
            continue;
        ++count;
        try {
            const Scenario scenario = Scenario::fromFile(entry.path().string());
            EXPECT_FALSE(scenario.description().empty()) << entry.path();
            ASSERT_TRUE(scenario.board()) << entry.path() << " names no board";
            scenario.applyTo(*makeBoard(*scenario.board(), 1));
        } catch (const std::exception& error) {
            ADD_FAILURE() << entry.path() << ": " << error.what();
        }
    }
    EXPECT_GE(count, 5u);
}

std::unique_ptr<BoardModel> boardFrom(const char* file)
{
    const Scenario scenario = Scenario::fromFile(scenarioFile(file));
    auto board = makeBoard(*scenario.board(), 1);
    scenario.applyTo(*board);
    return board;
}

TEST(ShippedScenario, DefaultQmrIdentifiesBothMotherboards)
{
    const auto board = boardFrom("default-qmr.json");
    const Bytes nearSerial = run(*board, "v 41 00 09").data;
    const Bytes farSerial = run(*board, "v 61 00 09").data;
    EXPECT_EQ(std::string(nearSerial.begin(), nearSerial.end()), "VQ0001234");
    EXPECT_EQ(std::string(farSerial.begin(), farSerial.end()), "VQ0001235");
    EXPECT_TRUE(run(*board, "v 60 00 0100").ok);
}

TEST(ShippedScenario, FarStackEmptyLeavesOnlyTheNearStack)
{
    const auto board = boardFrom("far-stack-empty.json");
    for (unsigned page = 0x58; page <= 0x71; ++page) {
        char command[16];
        std::snprintf(command, sizeof command, "v %02X 00 0100", page);
        EXPECT_FALSE(run(*board, command).ok) << command;
    }
    for (const char* near : { "v 38 00 0100", "v 40 00 0100", "v 46 00 0100", "v 51 00 0100" })
        EXPECT_TRUE(run(*board, near).ok) << near;
    const std::uint8_t link = run(*board, "v 42 06 01").data.at(0);
    EXPECT_TRUE(link & 0x08) << "optical link absent";
    EXPECT_FALSE(link & 0x10) << "optical link fault";
}

TEST(ShippedScenario, OldFirmwareTakesSettingsWithoutUnlock)
{
    const auto board = boardFrom("qmr-old-firmware.json");
    EXPECT_TRUE(run(*board, "w 40 01 05 01").ok);
    EXPECT_TRUE(run(*board, "w 60 01 05 01").ok);
    EXPECT_FALSE(run(*board, "w 4B 01 01 02").ok) << "the cards still lock";
}

TEST(ShippedScenario, DualChannelQms2HasItsSecondTransceiver)
{
    const auto board = boardFrom("qms2-dual-channel.json");
    EXPECT_TRUE(run(*board, "i").data.at(5) & 0x01) << "non-MSA mode";
    EXPECT_FALSE(run(*board, "v 58 00 0100").ok) << "behind the multiplexer";
    ASSERT_TRUE(run(*board, "u 77,02.").ok);
    EXPECT_EQ(run(*board, "v 58 00 01").data, Bytes { 0x03 });
    EXPECT_TRUE(run(*board, "v 59 00 0100").ok);
}

TEST(ShippedScenario, FlakyLineCarriesItsFaults)
{
    const FaultOptions faults = Scenario::fromFile(scenarioFile("flaky-line-qmr.json")).faults();
    EXPECT_TRUE(faults.split);
    EXPECT_TRUE(faults.noPrompt);
    EXPECT_EQ(faults.replyDelay, std::chrono::milliseconds(20));
    EXPECT_FALSE(faults.silent);
    EXPECT_FALSE(faults.disconnectAfter);
}

TEST(FaultOptions, CommandLineAddsToTheScenario)
{
    FaultOptions scenario;
    scenario.split = true;
    scenario.disconnectAfter = 4;
    scenario.replyDelay = std::chrono::milliseconds(20);
    FaultOptions commandLine;
    commandLine.noPrompt = true;
    commandLine.replyDelay = std::chrono::milliseconds(0);
    const FaultOptions merged = scenario.mergedWith(commandLine);
    EXPECT_TRUE(merged.split);
    EXPECT_TRUE(merged.noPrompt);
    EXPECT_FALSE(merged.silent);
    EXPECT_EQ(merged.disconnectAfter, 4u);
    EXPECT_EQ(merged.replyDelay, std::chrono::milliseconds(0));
}

} // namespace
