// The console as a byte stream: line assembly, answer framing, prompts and the faults that change
// what the unit says.
#include "boardfactory.h"
#include "consolesession.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

using namespace unitsim;

struct Session
{
    explicit Session(BoardKind kind, FaultOptions faults = {})
        : board(makeBoard(kind, 1))
        , session(*board, faults, 1)
    {
    }

    std::vector<std::string> answers(std::string_view input)
    {
        std::vector<std::string> texts;
        for (const ConsoleSession::Answer& answer : session.receive(input))
            texts.push_back(answer.text);
        return texts;
    }

    std::unique_ptr<BoardModel> board;
    ConsoleSession session;
};

struct Framing
{
    const char* name;
    BoardKind board;
    const char* input;
    const char* answer;
};

void PrintTo(const Framing& f, std::ostream* os)
{
    *os << f.name;
}

class AnswerFraming : public testing::TestWithParam<Framing>
{
};

TEST_P(AnswerFraming, IsExact)
{
    Session s(GetParam().board);
    EXPECT_EQ(s.answers(GetParam().input), std::vector<std::string> { GetParam().answer });
}

INSTANTIATE_TEST_SUITE_P(Boards, AnswerFraming,
    testing::Values(Framing { "K57Read", BoardKind::Qmr, "v 42 02 01\r\n",
                        "v 42 02 01\r\nCOMMAND SUCCESSFUL\r\nC2 \r\nModelK57>" },
        Framing { "UpperCaseDigits", BoardKind::Qmr, "v 42 A8 02\r\n",
            "v 42 A8 02\r\nCOMMAND SUCCESSFUL\r\nA0 A1 \r\nModelK57>" },
        Framing { "K57AbsentPage", BoardKind::Qmr, "v 3A 00 0100\r\n",
            "v 3A 00 0100\r\nCOMMAND FAILED\r\n\r\nModelK57>" },
        Framing { "K57Write", BoardKind::Qmr, "w 43 01 01 01\r\n",
            "w 43 01 01 01\r\nCOMMAND SUCCESSFUL\r\n\r\nModelK57>" },
        Framing { "K57Start", BoardKind::Qmr, "VAREN_DIAGNOSTICS_START\r\n",
            "VAREN_DIAGNOSTICS_START\r\nCOMMAND SUCCESSFUL\r\n\r\nModelK57>" },
        Framing { "UnknownCommandEchoedAsSent", BoardKind::Qmr, "v  42\tzz\r\n",
            "v  42\tzz\r\nCOMMAND FAILED\r\n\r\nModelK57>" },
        Framing {
            "XfpProbe", BoardKind::Xfp, "z\r\n", "z\r\nCOMMAND SUCCESSFUL\r\n01 \r\nModelK57>" },
        Framing { "Qms2Identify", BoardKind::Qms2, "i\r\n",
            "i\r\nCOMMAND SUCCESSFUL\r\n77 00 02 15 01 00 00 \r\nModelK57>" },
        Framing { "K68Success", BoardKind::K68, "v 42 14 0001\r\n",
            "v 42 14 0001\r\nCOMMAND SUCCESSFUL\r\n00 \r\ndiag_mf00>" },
        Framing { "K68ModuleRead", BoardKind::K68, "mf00r 00 00 08 00 02\r\n",
            "mf00r 00 00 08 00 02\r\nCOMMAND SUCCESSFUL\r\n00 00 \r\ndiag_mf00>" },
        Framing { "K68Failure", BoardKind::K68, "VAREN_DIAGNOSTICS_START\r\n",
            "VAREN_DIAGNOSTICS_START\r\nCOMMAND FAILED\r\n\r\nModelK68_BNK>" },
        Framing { "K68FailedRead", BoardKind::K68, "mf00r 00 00 78 00 100\r\n",
            "mf00r 00 00 78 00 100\r\nCOMMAND FAILED\r\n\r\nModelK68_BNK>" }));

TEST(ConsoleSession, WholePageIsThreeCharactersPerRegister)
{
    Session s(BoardKind::Qmr);
    const auto answers = s.answers("v 42 00 0100\r\n");
    ASSERT_EQ(answers.size(), 1u);
    const std::string head = "v 42 00 0100\r\nCOMMAND SUCCESSFUL\r\n";
    ASSERT_EQ(answers[0].compare(0, head.size(), head), 0);
    EXPECT_EQ(answers[0].size(), head.size() + 256 * 3 + 2 + 9);
    EXPECT_EQ(answers[0].substr(head.size(), 9), "00 00 C2 ");
}

struct LineEnds
{
    const char* input;
    std::size_t answers;
};

class LineEnding : public testing::TestWithParam<LineEnds>
{
};

TEST_P(LineEnding, EndsACommand)
{
    Session s(BoardKind::Xfp);
    const auto answers = s.answers(GetParam().input);
    ASSERT_EQ(answers.size(), GetParam().answers) << testing::PrintToString(GetParam().input);
    for (const std::string& answer : answers)
        EXPECT_EQ(answer, "z\r\nCOMMAND SUCCESSFUL\r\n01 \r\nModelK57>");
}

INSTANTIATE_TEST_SUITE_P(Forms, LineEnding,
    testing::Values(LineEnds { "z\r\n", 1 }, LineEnds { "z\r", 1 }, LineEnds { "z\n", 1 },
        LineEnds { "z\n\r", 1 }, LineEnds { "z", 0 }, LineEnds { "\r\n\r\n\n\r", 0 },
        LineEnds { "z\r\n\r\nz\r\n", 2 }, LineEnds { "z\rz\nz\r\n", 3 }));

TEST(ConsoleSession, AnswersWhenTheLineEndArrives)
{
    Session s(BoardKind::Qmr);
    for (char byte : std::string("v 42 02 01"))
        EXPECT_TRUE(s.answers(std::string(1, byte)).empty()) << "after " << byte;
    EXPECT_EQ(s.answers("\r").size(), 1u);
    EXPECT_EQ(s.answers("\n").size(), 0u) << "CR already ended the line";
}

TEST(ConsoleSession, AnswersInOrder)
{
    Session s(BoardKind::Qmr);
    const auto answers = s.answers("v 42 02 01\r\nbad\r\nv 42 05 01\r\n");
    ASSERT_EQ(answers.size(), 3u);
    EXPECT_NE(answers[0].find("C2 "), std::string::npos);
    EXPECT_NE(answers[1].find("COMMAND FAILED"), std::string::npos);
    EXPECT_NE(answers[2].find("13 "), std::string::npos);
}

TEST(ConsoleSession, CountsTheCommandsBytesOnTheWire)
{
    Session s(BoardKind::Qmr);
    const auto answers = s.session.receive("i\rv 42 02 01\r\r\r");
    ASSERT_EQ(answers.size(), 2u);
    EXPECT_EQ(answers[0].commandLength, 2u);
    EXPECT_EQ(answers[1].commandLength, 11u);
}

// A line may be as long as kMaxLineLength; one byte more and it is thrown away unanswered.
TEST(ConsoleSession, OverlongLineIsDiscardedUpToItsEnd)
{
    const std::size_t limit = ConsoleSession::kMaxLineLength;
    Session s(BoardKind::Xfp);
    EXPECT_EQ(s.answers(std::string(limit, 'q') + "\r").size(), 1u);
    EXPECT_TRUE(s.answers(std::string(limit + 1, 'q')).empty());
    EXPECT_TRUE(s.answers(std::string(100000, 'z')).empty());
    EXPECT_TRUE(s.answers("z\r\n").empty()) << "the tail of the long line";
    EXPECT_EQ(s.answers("z\r\n"),
        std::vector<std::string> { "z\r\nCOMMAND SUCCESSFUL\r\n01 \r\nModelK57>" });
}

TEST(ConsoleSession, NoPromptFaultEndsWithTheDataLine)
{
    FaultOptions faults;
    faults.noPrompt = true;
    Session k57(BoardKind::Qmr, faults), k68(BoardKind::K68, faults);
    EXPECT_EQ(k57.answers("v 42 02 01\r\n"),
        std::vector<std::string> { "v 42 02 01\r\nCOMMAND SUCCESSFUL\r\nC2 \r\n" });
    EXPECT_EQ(k68.answers("z\r\n"), std::vector<std::string> { "z\r\nCOMMAND FAILED\r\n\r\n" });
}

TEST(ConsoleSession, SilentFaultNeverAnswers)
{
    FaultOptions faults;
    faults.silent = true;
    Session s(BoardKind::Qmr, faults);
    EXPECT_TRUE(s.answers("v 42 02 01\r\nVAREN_DIAGNOSTICS_START\r\nbad\r\n").empty());
}

TEST(ConsoleSession, GarbageFaultNeverFramesAnAnswer)
{
    FaultOptions faults;
    faults.garbage = true;
    Session s(BoardKind::K68, faults);
    std::string all;
    for (int i = 0; i < 500; ++i) {
        const auto answers = s.answers("v 42 14 0001\r\n");
        ASSERT_EQ(answers.size(), 1u);
        EXPECT_FALSE(answers[0].empty());
        all += answers[0];
    }
    for (const char* framing : { "COMMAND", "Model", "diag_mf00>", ">" })
        EXPECT_EQ(all.find(framing), std::string::npos) << framing;
    EXPECT_EQ(
        std::count_if(all.begin(), all.end(), [](char c) { return c >= 'A' && c <= 'Z'; }), 0);
}

// Whatever arrives, the session keeps going and a good command afterwards is answered normally.
TEST(ConsoleSession, SurvivesRandomInput)
{
    std::mt19937 random(42);
    std::uniform_int_distribution<int> byte(0, 255), length(1, 600);
    for (BoardKind kind : { BoardKind::Qmr, BoardKind::Qms2, BoardKind::Xfp, BoardKind::K68 }) {
        Session s(kind);
        for (int round = 0; round < 300; ++round) {
            std::string noise(std::size_t(length(random)), '\0');
            for (char& c : noise)
                c = char(byte(random));
            for (const std::string& answer : s.answers(noise))
                EXPECT_NE(answer.find("\r\nCOMMAND "), std::string::npos);
        }
        // The first line end closes whatever the noise left open.
        const auto answers = s.answers("\rVAREN_DIAGNOSTICS_START\r\n");
        ASSERT_FALSE(answers.empty());
        EXPECT_EQ(answers.back().find("VAREN_DIAGNOSTICS_START\r\nCOMMAND "), 0u);
    }
}

} // namespace
