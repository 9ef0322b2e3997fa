#include "tdi/platform/comname.h"

#include <gtest/gtest.h>

using tdi::platform::ComName;

TEST(ComName, ParsesOnlyTheOneSpellingOfEachNumber)
{
    const struct
    {
        const char* name;
        unsigned number;
    } cases[] = {
        { "COM1", 1 },
        { "COM9", 9 },
        { "COM10", 10 },
        { "COM254", 254 },
        { "COM0", 0 },
        { "COM255", 0 },
        { "COM999", 0 },
        { "COM07", 0 },
        { "COM00", 0 },
        { "COMx", 0 },
        { "COM", 0 },
        { "COM+1", 0 },
        { "COM-1", 0 },
        { "COM1 ", 0 },
        { " COM1", 0 },
        { "COM1a", 0 },
        { "com1", 0 },
        { "foo", 0 },
        { "", 0 },
        { "COM4294967297", 0 },
    };
    for (const auto& c : cases)
        EXPECT_EQ(ComName::parse(c.name), c.number) << '"' << c.name << '"';
}

TEST(ComName, FormatAndParseAgreeOnEveryNumber)
{
    for (unsigned number = ComName::kFirst; number <= ComName::kLast; ++number)
        ASSERT_EQ(ComName::parse(ComName::format(number)), number);
}
