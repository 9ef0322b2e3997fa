// What each board answers to each kind of command, its page map, and the drift of its
// measurements.
#include "boardscript.h"
#include "qms2board.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <set>

namespace {

using namespace unitsim;
using test::run;
using Bytes = BoardModel::Bytes;

struct Exchange
{
    BoardKind board;
    const char* command;
    bool ok;
    std::size_t size; // the data's length
    Bytes data; // the data's first bytes, when they are the point
};

Exchange answers(BoardKind board, const char* command, std::size_t size, Bytes data = {})
{
    return { board, command, true, size, std::move(data) };
}

// A failed command carries no data.
Exchange fails(BoardKind board, const char* command)
{
    return { board, command, false, 0, {} };
}

void PrintTo(const Exchange& e, std::ostream* os)
{
    *os << boardKindName(e.board) << " '" << e.command << "'";
}

class BoardAnswers : public testing::TestWithParam<Exchange>
{
};

TEST_P(BoardAnswers, AsTheUnitDoes)
{
    const Exchange& e = GetParam();
    const auto board = makeBoard(e.board, 1);
    const BoardModel::Reply reply = run(*board, e.command);
    EXPECT_EQ(reply.ok, e.ok);
    EXPECT_EQ(reply.data.size(), e.size);
    ASSERT_GE(reply.data.size(), e.data.size());
    EXPECT_EQ(Bytes(reply.data.begin(), reply.data.begin() + e.data.size()), e.data);
}

constexpr auto Qmr = BoardKind::Qmr;
constexpr auto Qms2 = BoardKind::Qms2;
constexpr auto Xfp = BoardKind::Xfp;
constexpr auto K68 = BoardKind::K68;

INSTANTIATE_TEST_SUITE_P(Reads, BoardAnswers,
    testing::Values(answers(Qmr, "v 42 02 01", 1, { 0xC2 }),
        answers(Qmr, "v 42 01 0003", 3, { 0x00, 0xC2, 0x00 }),
        answers(Qmr, "v 42 00 0100", 256, { 0x00, 0x00, 0xC2 }),
        answers(Qmr, "v 62 00 100", 256, { 0x00, 0x00, 0xC2 }), answers(Qmr, "v 42 FF 01", 1),
        fails(Qmr, "v 42 FF 02"), fails(Qmr, "v 42 01 0100"),
        answers(Qmr, "v 38 00 01", 1, { 0x03 }),
        answers(Qmr, "v 4A 01 01", 1, { 0x00 }), // an empty card position
        answers(Qmr, "v 71 00 0100", 256), fails(Qmr, "v 3A 00 01"), fails(Qmr, "v 52 00 01"),
        fails(Qmr, "v 72 00 01"), fails(Qmr, "v 7F 00 01"), fails(Qmr, "v 80 00 01"),
        fails(Qmr, "v FF 00 01"), fails(Qmr, "mf00r 00 00 42 00 01"),
        answers(K68, "v 42 14 0001", 1), answers(K68, "mf00r 00 00 08 00 100", 256),
        answers(K68, "mf00r 00 00 77 F0 10", 16), fails(K68, "mf00r 00 00 77 F1 10"),
        fails(K68, "mf00r 01 00 08 00 100"), fails(K68, "mf00r 00 01 08 00 100"),
        fails(K68, "v 07 00 01"), fails(K68, "v 78 00 01"), fails(Xfp, "v 50 00 0100"),
        fails(Qms2, "v 57 00 0100"))); // nothing selected on the multiplexer

INSTANTIATE_TEST_SUITE_P(BoardCommands, BoardAnswers,
    testing::Values(answers(Qmr, "VAREN_DIAGNOSTICS_START", 0),
        answers(Qms2, "VAREN_DIAGNOSTICS_START", 0), answers(Xfp, "VAREN_DIAGNOSTICS_START", 0),
        fails(K68, "VAREN_DIAGNOSTICS_START"), fails(Qmr, "i"), fails(Qmr, "t"), fails(Qmr, "z"),
        fails(Qmr, "u 77,01."), answers(Qms2, "i", 7, { 0x77 }), answers(Qms2, "t", 12, { 0x21 }),
        fails(Qms2, "z"), answers(Qms2, "u 77,01.", 0), fails(Qms2, "u 70,01."),
        answers(Xfp, "i", 63, { 40 }), answers(Xfp, "z", 1, { 0x01 }), fails(Xfp, "t"),
        fails(Xfp, "u 77,02."), fails(K68, "i"), fails(K68, "t"), fails(K68, "z"),
        fails(K68, "u 77,01."), fails(Qmr, "bogus"), fails(K68, "bogus")));

INSTANTIATE_TEST_SUITE_P(Writes, BoardAnswers,
    testing::Values(answers(Qmr, "w 43 01 01 01", 0), fails(Qmr, "w 3A 01 01 00"),
        fails(Qmr, "x 42 02 FF 01,02."), answers(Qmr, "x 42 02 FE 01,02.", 0),
        fails(Xfp, "w 50 01 01 00"), answers(K68, "w 08 01 01 00", 0)));

TEST(BoardModel, WritesReadBack)
{
    const auto board = makeBoard(BoardKind::K68, 1);
    ASSERT_TRUE(run(*board, "x 10 03 FD 0A,0B,0C.").ok);
    ASSERT_TRUE(run(*board, "w 10 01 0D FC").ok);
    EXPECT_EQ(run(*board, "mf00r 00 00 10 FC 04").data, (Bytes { 0x0D, 0x0A, 0x0B, 0x0C }));
}

TEST(BoardModel, AbsentPageKeepsItsContentForWhenItReturns)
{
    const auto board = makeBoard(BoardKind::Qmr, 1);
    board->setPagePresent(0x62, false);
    EXPECT_FALSE(run(*board, "v 62 02 01").ok);
    board->setPagePresent(0x62, true);
    EXPECT_EQ(run(*board, "v 62 02 01").data, Bytes { 0xC2 });
}

TEST(BoardModel, SetUpOutsideTheMemoryIsRefused)
{
    const auto board = makeBoard(BoardKind::Qmr, 1);
    EXPECT_THROW(board->setPagePresent(0x80, true), std::out_of_range);
    EXPECT_THROW(board->load(0x42, 0xFF, { 1, 2 }), std::out_of_range);
    EXPECT_THROW(board->registerValue(0x42, 0x100), std::out_of_range);
}

TEST(BoardModel, InfoRepliesCanBeGivenAndTakenAway)
{
    const auto board = makeBoard(BoardKind::Qmr, 1);
    board->setInfoReply(ConsoleCommand::Kind::Probe, { 0x05 });
    EXPECT_EQ(run(*board, "z").data, Bytes { 0x05 });
    board->removeInfoReply(ConsoleCommand::Kind::Probe);
    EXPECT_FALSE(run(*board, "z").ok);
}

// The QMS2 reaches its EEPROM on multiplexer channel bit 0 and its optics on bit 1.
TEST(Qms2Board, PagesAnswerOnlyOnTheirSelectedBus)
{
    Qms2Board board(1);
    const std::vector<test::Step> script = {
        { "v 50 00 0100", false }, { "u 77,01.", true }, { "v 57 00 0100", true },
        { "v 50 00 0100", false }, { "u 77,02.", true }, { "v 50 00 0100", true },
        { "v 51 00 0100", true }, { "v 57 00 0100", false },
        { "v 58 00 0100", false }, // single channel
        { "u 77,03.", true }, { "v 57 00 10", true }, { "v 50 00 10", true }, { "u 77,00.", true },
        { "v 57 00 10", false }, { "u 76,03.", false },
        { "v 57 00 10", false }, // a refused selection changes nothing
    };
    test::runScript(board, script);
}

TEST(Qms2Board, EepromIdentifiesTheBoard)
{
    Qms2Board board(1);
    ASSERT_TRUE(run(board, "u 77,01.").ok);
    const Bytes eeprom = run(board, "v 57 20 08").data;
    EXPECT_EQ(std::string(eeprom.begin(), eeprom.end()), "K57-QMS2");
}

// Measurements wander around their nominal value, within a small band, for as long as the
// unit runs.
struct Drift
{
    BoardKind board;
    const char* what;
    std::function<int(BoardModel&)> measure;
    int nominal;
    int spread;
};

void PrintTo(const Drift& d, std::ostream* os)
{
    *os << boardKindName(d.board) << " " << d.what;
}

int littleEndian(const Bytes& bytes, std::size_t at)
{
    return bytes.at(at) | bytes.at(at + 1) << 8;
}

class MeasuredValue : public testing::TestWithParam<Drift>
{
};

TEST_P(MeasuredValue, DriftsWithinItsBand)
{
    const Drift& d = GetParam();
    const auto board = makeBoard(d.board, 7);
    EXPECT_EQ(d.measure(*board), d.nominal) << "before the first tick";
    std::set<int> seen;
    for (int i = 0; i < 300; ++i) {
        board->tick();
        const int value = d.measure(*board);
        EXPECT_LE(std::abs(value - d.nominal), d.spread);
        seen.insert(value);
    }
    EXPECT_GT(seen.size(), 1u) << "the value never moved";
}

INSTANTIATE_TEST_SUITE_P(Boards, MeasuredValue,
    testing::Values(
        Drift { BoardKind::Qmr, "near junction temperature",
            [](BoardModel& b) { return littleEndian(run(b, "v 42 A8 02").data, 0) >> 4; }, 2586,
            3 },
        Drift { BoardKind::Qmr, "far junction temperature",
            [](BoardModel& b) { return littleEndian(run(b, "v 62 A8 02").data, 0) >> 4; }, 2586,
            3 },
        Drift { BoardKind::Qms2, "chip temperature",
            [](BoardModel& b) { return littleEndian(run(b, "t").data, 5); }, 0x0330, 2 },
        Drift { BoardKind::Xfp, "core temperature",
            [](BoardModel& b) { return int(run(b, "i").data.at(0)); }, 40, 1 }));

TEST(BoardModel, TickLeavesAbsentPagesAndMissingRepliesAlone)
{
    const auto qmr = makeBoard(BoardKind::Qmr, 1);
    qmr->load(0x62, 0xA8, { 0x34, 0x12 });
    qmr->setPagePresent(0x62, false);
    qmr->tick();
    EXPECT_EQ(qmr->registerValue(0x62, 0xA8), 0x34);
    EXPECT_EQ(qmr->registerValue(0x62, 0xA9), 0x12);

    const auto qms2 = makeBoard(BoardKind::Qms2, 1);
    qms2->removeInfoReply(ConsoleCommand::Kind::Telemetry);
    qms2->tick();
    EXPECT_FALSE(run(*qms2, "t").ok);
}

} // namespace
