// The console parser: every form the pages send, and the near misses a host bug would produce.
#include "consolecommand.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using unitsim::ConsoleCommand;
using Kind = ConsoleCommand::Kind;
using Bytes = std::vector<std::uint8_t>;

struct WellFormed
{
    const char* line;
    Kind kind;
    unsigned page;
    unsigned reg;
    unsigned count;
    Bytes bytes;
    unsigned module = 0;
    unsigned space = 0;
};

class WellFormedCommand : public testing::TestWithParam<WellFormed>
{
};

TEST_P(WellFormedCommand, YieldsItsFields)
{
    const WellFormed& expected = GetParam();
    const ConsoleCommand command = ConsoleCommand::parse(expected.line);
    EXPECT_EQ(command.kind, expected.kind);
    EXPECT_EQ(command.page, expected.page);
    EXPECT_EQ(command.reg, expected.reg);
    EXPECT_EQ(command.count, expected.count);
    EXPECT_EQ(command.bytes, expected.bytes);
    EXPECT_EQ(command.module, expected.module);
    EXPECT_EQ(command.space, expected.space);
}

INSTANTIATE_TEST_SUITE_P(Forms, WellFormedCommand,
    testing::Values(WellFormed { "v 42 01 0003", Kind::Read, 0x42, 0x01, 3, {} },
        WellFormed { "v 4B 01 06", Kind::Read, 0x4B, 0x01, 6, {} },
        WellFormed { "v 40 00 100", Kind::Read, 0x40, 0x00, 256, {} },
        WellFormed { "v 42 00 0100", Kind::Read, 0x42, 0x00, 256, {} },
        WellFormed { "v 4b ff 01", Kind::Read, 0x4B, 0xFF, 1, {} },
        WellFormed { "v 42 14 0001", Kind::Read, 0x42, 0x14, 1, {} },
        WellFormed { "mf00r 00 00 08 00 100", Kind::ModuleRead, 0x08, 0x00, 256, {} },
        WellFormed { "mf00r 01 02 77 10 20", Kind::ModuleRead, 0x77, 0x10, 0x20, {}, 1, 2 },
        WellFormed { "w 43 01 3C 06", Kind::Write, 0x43, 0x06, 0, { 0x3C } },
        WellFormed { "w 43 01 00 83", Kind::Write, 0x43, 0x83, 0, { 0x00 } },
        WellFormed { "x 40 02 19 05,00.", Kind::BlockWrite, 0x40, 0x19, 0, { 0x05, 0x00 } },
        WellFormed {
            "x 4B 04 0C 03,03,0F,0F.", Kind::BlockWrite, 0x4B, 0x0C, 0, { 3, 3, 0xF, 0xF } },
        WellFormed { "x 46 01 C5 3c.", Kind::BlockWrite, 0x46, 0xC5, 0, { 0x3C } },
        WellFormed { "u 77,02.", Kind::MuxSelect, 0x77, 0, 0, { 0x02 } },
        WellFormed { "i", Kind::Identify, 0, 0, 0, {} },
        WellFormed { "t", Kind::Telemetry, 0, 0, 0, {} },
        WellFormed { "z", Kind::Probe, 0, 0, 0, {} },
        WellFormed { "VAREN_DIAGNOSTICS_START", Kind::DiagnosticsStart, 0, 0, 0, {} }));

TEST(ConsoleCommand, BlockWriteTakesAsManyBytesAsItsCountSays)
{
    std::string line = "x 40 46 00 ";
    for (int i = 0; i < 0x46; ++i)
        line += (i ? "," : "") + std::string("A5");
    line += ".";
    const ConsoleCommand command = ConsoleCommand::parse(line);
    ASSERT_EQ(command.kind, Kind::BlockWrite);
    EXPECT_EQ(command.bytes, Bytes(0x46, 0xA5));
}

class MalformedCommand : public testing::TestWithParam<const char*>
{
};

TEST_P(MalformedCommand, IsNotUnderstood)
{
    EXPECT_EQ(ConsoleCommand::parse(GetParam()).kind, Kind::Malformed) << GetParam();
}

INSTANTIATE_TEST_SUITE_P(NearMisses, MalformedCommand,
    testing::Values("", " ", "q", "V 42 00 0100", "v", "v 42 00", "v 42 00 0100 01",
        "v 42  00 0100", "v 42 00 0100 ", " v 42 00 0100", "v\t42 00 0100", "v 4 00 0100",
        "v 420 00 0100", "v 42 00 1", "v 42 00 10000", "v 42 00 0000", "v 4G 00 0100",
        "v 42 -1 0100", "w 43 02 3C 06", "w 43 01 3C", "w 43 01 3C 06 00", "w 43 01 3C 6",
        "x 40 02 19 05,00", "x 40 03 19 05,00.", "x 40 01 19 05,00.", "x 40 02 19 05,,00.",
        "x 40 02 19 5,00.", "x 40 00 19 .", "x 40 02 19 05 00.", "u 77,02", "u 77.", "u 77,02,03.",
        "u 77", "i 1", "z z", "it", "mf00r 00 00 08 00", "mf00r 00 00 08 00 0",
        "VAREN_DIAGNOSTICS_STARTX", "VAREN_DIAGNOSTICS_START 1"));

} // namespace
