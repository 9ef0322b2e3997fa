// The QMR's write locks and the triggers behind its control registers.
#include "boardscript.h"
#include "qmrboard.h"

#include <gtest/gtest.h>

#include <iomanip>
#include <sstream>

namespace {

using namespace unitsim;
using test::run;
using test::Step;
using Bytes = BoardModel::Bytes;

std::string hex(unsigned value)
{
    std::ostringstream text;
    text << std::uppercase << std::hex << std::setw(2) << std::setfill('0') << value;
    return text.str();
}

// The unlock command exactly as the pages build it, from the simulator's own constant.
std::string unlock(const std::string& page, const std::string& reg)
{
    return "w " + page + " 01 " + hex(QmrBoard::kWriteUnlockValue) + " " + reg;
}

const std::string kUnlockMotherboard = unlock("43", "06");
const std::string kUnlockFarMotherboard = unlock("63", "06");
const std::string kUnlockMs1 = unlock("4B", "06");
const std::string kUnlockLs1 = unlock("46", "C5");

struct LockCase
{
    const char* name;
    std::vector<Step> script;
};

void PrintTo(const LockCase& c, std::ostream* os)
{
    *os << c.name;
}

class WriteLock : public testing::TestWithParam<LockCase>
{
};

TEST_P(WriteLock, GuardsTheSettings)
{
    QmrBoard board(1);
    test::runScript(board, GetParam().script);
}

INSTANTIATE_TEST_SUITE_P(Qmr, WriteLock,
    testing::Values(LockCase { "SettingsRefusedAfterPowerUp",
                        { { "w 40 01 05 01", false }, { "x 40 02 40 E8,03.", false },
                            { "w 43 01 03 82", false }, { "w 43 01 01 83", false },
                            { "w 43 01 39 08", false }, { "w 60 01 01 01", false } } },
        LockCase { "ValidFlagAndStatisticsResetNeedNoUnlock",
            { { "w 43 01 01 01", true }, { "w 43 01 00 07", true }, { "w 43 01 01 07", true },
                { "w 43 01 00 87", true }, { "w 4F 01 01 87", true }, { "w 4F 01 00 07", true },
                { "w 43 01 00 06", true } } },
        LockCase { "UnlockOpensAndLockCloses",
            { { kUnlockMotherboard.c_str(), true }, { "w 40 01 05 01", true },
                { "x 40 02 40 E8,03.", true }, { "w 43 01 03 82", true }, { "w 43 01 00 06", true },
                { "w 40 01 06 01", false } } },
        LockCase { "AnyOtherValueKeepsItLocked",
            { { "w 43 01 3B 06", true }, { "w 40 01 05 01", false }, { "w 43 01 FF 06", true },
                { "w 40 01 05 01", false } } },
        LockCase { "OneGuardedRegisterRefusesTheWholeBlock",
            { { "x 43 02 00 AA,01.", false }, { "v 43 01 01", true } } },
        LockCase { "FarMotherboardHasItsOwnLock",
            { { kUnlockMotherboard.c_str(), true }, { "w 60 01 01 01", false },
                { kUnlockFarMotherboard.c_str(), true }, { "w 60 01 01 01", true },
                { "w 63 01 01 82", true } } },
        LockCase { "CardLocksAreTheirOwn",
            { { kUnlockMotherboard.c_str(), true }, { "x 4B 04 02 01,02,03,00.", false },
                { "w 46 01 01 C1", false }, { kUnlockMs1.c_str(), true },
                { kUnlockLs1.c_str(), true }, { "x 4B 04 02 01,02,03,00.", true },
                { "w 46 01 01 C1", true }, { "x 46 02 C6 FF,FF.", true },
                { "w 4D 01 01 05", false }, // MS2 stays locked
                { "w 47 01 01 C1", false }, // LS2 stays locked
                { "w 4B 01 00 06", true }, { "w 4B 01 01 05", false }, { "w 46 01 00 C5", true },
                { "w 46 01 01 C0", false } } },
        LockCase { "DxStatusRegistersAreNotGuarded",
            { { "w 46 01 01 10", true }, { "x 46 02 BE 01,02.", true },
                { "x 46 03 BE 01,02,03.", false } } },
        LockCase { "MotherboardLockDoesNotOpenCards",
            { { kUnlockMotherboard.c_str(), true }, { "w 51 01 01 02", false },
                { "w 49 01 01 F8", false } } }));

TEST(QmrBoard, OneGuardedRegisterLeavesTheBlockUnwritten)
{
    QmrBoard board(1);
    ASSERT_FALSE(run(board, "x 43 02 00 AA,01.").ok);
    EXPECT_EQ(board.registerValue(0x43, 0x00), 0x00);
    EXPECT_EQ(board.registerValue(0x43, 0x01), 0x00);
}

// Firmware older than FPGA revision 0xA5 has no motherboard lock; the pages then send no unlock.
TEST(QmrBoard, LockArrivesWithRevisionA5)
{
    for (const auto& [revision, writable] : { std::pair(0xA4, true), std::pair(0xA5, false) }) {
        QmrBoard board(1);
        board.load(0x42, 0x02, { std::uint8_t(revision) });
        EXPECT_EQ(run(board, "w 40 01 05 01").ok, writable) << std::hex << revision;
        EXPECT_FALSE(run(board, "w 60 01 05 01").ok) << "the far side has its own revision";
        EXPECT_FALSE(run(board, "w 4B 01 01 02").ok) << "cards always lock";
    }
}

// Save sequences of the motherboard and engineering settings and of a stack configuration load.
struct FarCopy
{
    const char* name;
    std::vector<std::string> commands;
    std::uint8_t farConfiguration; // 0x60:0x01 afterwards
};

void PrintTo(const FarCopy& c, std::ostream* os)
{
    *os << c.name;
}

class FarSettingsWindow : public testing::TestWithParam<FarCopy>
{
};

TEST_P(FarSettingsWindow, ReachesTheFarMotherboardOnlyThroughTheTrigger)
{
    QmrBoard board(1);
    for (const std::string& command : GetParam().commands)
        ASSERT_TRUE(run(board, command).ok) << command;
    EXPECT_EQ(board.registerValue(0x60, 0x01), GetParam().farConfiguration);
}

INSTANTIATE_TEST_SUITE_P(Sequences, FarSettingsWindow,
    testing::Values(FarCopy { "SettingsPageSave",
                        { kUnlockMotherboard, "w 43 01 01 01", "w 43 01 03 82", "w 43 01 00 83",
                            "w 43 01 01 83", "w 43 01 00 06" },
                        0x03 },
        FarCopy { "StackConfigurationLoad",
            { kUnlockMotherboard, "w 43 01 01 01", "x 43 02 82 12,00.", "w 43 01 01 83",
                "w 43 01 00 06" },
            0x12 },
        FarCopy { "WindowWrittenWithoutTrigger", { kUnlockMotherboard, "w 43 01 03 82" }, 0x01 },
        FarCopy { "TriggerMustRiseFromZero",
            { kUnlockMotherboard, "w 43 01 01 83", "w 43 01 00 83", "w 43 01 05 82",
                "w 43 01 01 83", "w 43 01 07 82", "w 43 01 01 83" },
            0x05 },
        FarCopy { "TriggerValueOtherThanOneCopiesNothing",
            { kUnlockMotherboard, "w 43 01 03 82", "w 43 01 00 83", "w 43 01 02 83" }, 0x01 }));

TEST(QmrBoard, FarSettingsWindowIsOneRegister)
{
    QmrBoard board(1);
    for (const char* command :
        { "w 43 01 3C 06", "x 43 02 82 09,00.", "w 43 01 55 84", "w 43 01 01 83" })
        ASSERT_TRUE(run(board, command).ok) << command;
    EXPECT_EQ(board.registerValue(0x60, 0x01), 0x09);
    EXPECT_EQ(board.registerValue(0x60, 0x00), 0x00);
    EXPECT_EQ(board.registerValue(0x60, 0x02), 0x00);
    EXPECT_EQ(board.registerValue(0x60, 0x03), 0x00);
}

TEST(QmrBoard, TriggerWithoutFarStackCopiesNothing)
{
    QmrBoard board(1);
    board.setPagePresent(0x60, false);
    for (const char* command :
        { "w 43 01 3C 06", "w 43 01 03 82", "w 43 01 00 83", "w 43 01 01 83" })
        ASSERT_TRUE(run(board, command).ok) << command;
    EXPECT_EQ(board.registerValue(0x60, 0x01), 0x01);
    EXPECT_FALSE(run(board, "v 60 01 01").ok);
}

// The error counters of one side, as the status screens read them.
struct CounterBlock
{
    unsigned reg;
    Bytes value;
};
const CounterBlock kCounters[] = { { 0x13, { 1 } }, { 0x5F, { 2 } }, { 0x63, { 3 } },
    { 0x67, { 4 } }, { 0x28, { 5, 6, 7, 8 } }, { 0x64, { 9, 10 } }, { 0x80, { 1, 2, 3, 4 } },
    { 0x90, { 4, 3, 2, 1 } } };

void loadCounters(BoardModel& board, unsigned page)
{
    for (const CounterBlock& c : kCounters)
        board.load(page, c.reg, c.value);
}

bool countersCleared(BoardModel& board, unsigned page)
{
    for (const CounterBlock& c : kCounters) {
        for (std::size_t i = 0; i < c.value.size(); ++i) {
            if (board.registerValue(page, c.reg + unsigned(i)) != 0)
                return false;
        }
    }
    return true;
}

struct Reset
{
    const char* name;
    std::vector<std::string> commands;
    bool nearCleared;
    bool farCleared;
};

void PrintTo(const Reset& r, std::ostream* os)
{
    *os << r.name;
}

class StatisticsReset : public testing::TestWithParam<Reset>
{
};

TEST_P(StatisticsReset, ClearsTheSidesCounters)
{
    QmrBoard board(1);
    loadCounters(board, 0x42);
    loadCounters(board, 0x62);
    for (const std::string& command : GetParam().commands)
        ASSERT_TRUE(run(board, command).ok) << command;
    EXPECT_EQ(countersCleared(board, 0x42), GetParam().nearCleared);
    EXPECT_EQ(countersCleared(board, 0x62), GetParam().farCleared);
}

INSTANTIATE_TEST_SUITE_P(Sides, StatisticsReset,
    testing::Values(
        Reset { "Near", { "w 43 01 01 01", "w 43 01 00 07", "w 43 01 01 07", "w 43 01 00 07" },
            true, false },
        Reset { "Far", { "w 43 01 01 01", "w 43 01 00 87", "w 43 01 01 87", "w 43 01 00 87" },
            false, true },
        Reset { "NoRisingEdge", { "w 43 01 00 07", "w 43 01 02 07" }, false, false }));

TEST(QmrBoard, BitAlreadySetDoesNotClearAgain)
{
    QmrBoard board(1);
    ASSERT_TRUE(run(board, "w 43 01 01 07").ok);
    loadCounters(board, 0x42);
    ASSERT_TRUE(run(board, "w 43 01 01 07").ok);
    EXPECT_FALSE(countersCleared(board, 0x42));
}

} // namespace
