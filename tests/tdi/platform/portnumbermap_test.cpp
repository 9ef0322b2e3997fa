#include "scopedenvironment.h"
#include "scratchdirectory.h"
#include "tdi/platform/portnumbermap.h"

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

using tdi::platform::PortNumberMap;

namespace {

const std::string kNewKey = "/dev/serial/by-id/usb-new-adapter";

std::set<unsigned> allNumbers()
{
    std::set<unsigned> numbers;
    for (unsigned number = 1; number <= 254; ++number)
        numbers.insert(number);
    return numbers;
}

} // namespace

class PortNumberMapTest : public ::testing::Test
{
protected:
    // The folder does not exist until something is written, as on a fresh account.
    std::string mapPath() const { return scratch.path() + "/Rusk/serial-ports.map"; }

    void writeMap(const std::string& text) const
    {
        std::filesystem::create_directories(scratch.path() + "/Rusk");
        std::ofstream(mapPath()) << text;
    }

    PortNumberMap loadedMap() const
    {
        PortNumberMap map(mapPath());
        EXPECT_TRUE(map.load());
        return map;
    }

    ScratchDirectory scratch;
};

TEST_F(PortNumberMapTest, NewKeyGetsLowestNumberNeitherMapNorDirectoryUses)
{
    const struct
    {
        const char* what;
        std::string map;
        std::set<unsigned> taken;
        unsigned expected;
    } cases[] = {
        { "nothing used", "", {}, 1 },
        { "directory numbers skipped", "", { 1, 2 }, 3 },
        { "map numbers skipped", "1 /dev/a\n2 /dev/b\n", {}, 3 },
        { "gap in the map filled", "1 /dev/a\n3 /dev/c\n", {}, 2 },
        { "both skipped", "2 /dev/b\n", { 1, 3 }, 4 },
        { "none left", "1 /dev/a\n", allNumbers(), 0 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        writeMap(c.map);
        PortNumberMap map = loadedMap();
        EXPECT_EQ(map.assign(kNewKey, c.taken), c.expected);
        EXPECT_EQ(map.isModified(), c.expected != 0);
    }
}

TEST_F(PortNumberMapTest, KnownKeyKeepsItsNumberEvenWhenTheDirectoryTakesIt)
{
    writeMap("5 /dev/serial/by-id/usb-known\n");
    PortNumberMap map = loadedMap();
    EXPECT_EQ(map.assign("/dev/serial/by-id/usb-known", { 5 }), 5u);
    EXPECT_FALSE(map.isModified());
}

TEST_F(PortNumberMapTest, NumbersSurviveSaveAndReload)
{
    PortNumberMap first(mapPath());
    ASSERT_TRUE(first.load());
    EXPECT_EQ(first.assign("/dev/serial/by-id/a", {}), 1u);
    EXPECT_EQ(first.assign("/dev/serial/by-path/b", { 2 }), 3u);
    ASSERT_TRUE(first.save());
    EXPECT_FALSE(first.isModified());

    // The rename leaves nothing else behind.
    const auto entries
        = std::distance(std::filesystem::directory_iterator(scratch.path() + "/Rusk"),
            std::filesystem::directory_iterator());
    EXPECT_EQ(entries, 1);

    PortNumberMap second = loadedMap();
    EXPECT_EQ(second.numberOf("/dev/serial/by-id/a"), 1u);
    EXPECT_EQ(second.numberOf("/dev/serial/by-path/b"), 3u);
    EXPECT_EQ(second.assign("/dev/serial/by-path/b", {}), 3u);
    EXPECT_EQ(second.assign(kNewKey, {}), 2u);
}

TEST_F(PortNumberMapTest, IgnoresLinesThatDoNotParseOrRepeat)
{
    writeMap("# COM numbers\n"
             "\n"
             "0 /dev/zero\n"
             "255 /dev/big\n"
             "07 /dev/leading\n"
             "x /dev/word\n"
             "6\n"
             "8 \n"
             "3 /dev/a\n"
             "3 /dev/same-number\n"
             "4 /dev/a\n"
             "5\t/dev/serial/by-id/name with blanks\n");
    PortNumberMap map = loadedMap();
    const struct
    {
        const char* key;
        unsigned number;
    } cases[] = {
        { "/dev/a", 3 },
        { "/dev/serial/by-id/name with blanks", 5 },
        { "/dev/zero", 0 },
        { "/dev/big", 0 },
        { "/dev/leading", 0 },
        { "/dev/word", 0 },
        { "", 0 },
        { "/dev/same-number", 0 },
    };
    for (const auto& c : cases)
        EXPECT_EQ(map.numberOf(c.key), c.number) << c.key;
    // Numbers of dropped lines are free again.
    EXPECT_EQ(map.assign(kNewKey, { 1, 2 }), 4u);
}

TEST_F(PortNumberMapTest, MissingFileIsAnEmptyMapButAnUnreadableOneFails)
{
    PortNumberMap missing(mapPath());
    EXPECT_TRUE(missing.load());
    EXPECT_EQ(missing.assign(kNewKey, {}), 1u);

    std::filesystem::create_directories(mapPath());
    PortNumberMap unreadable(mapPath());
    EXPECT_FALSE(unreadable.load());
}

TEST_F(PortNumberMapTest, SaveFailsWhenTheFolderCannotBeMade)
{
    std::ofstream(scratch.path() + "/Rusk") << "a file where the folder should be";
    PortNumberMap map(mapPath());
    map.assign(kNewKey, {});
    EXPECT_FALSE(map.save());
    EXPECT_EQ(errno, ENOTDIR);
    EXPECT_TRUE(map.isModified());
}

TEST(PortNumberMapPath, FollowsXdgConfigHomeElseHome)
{
    const struct
    {
        const char* config;
        const char* home;
        const char* expected;
    } cases[] = {
        { "/x/config", "/home/tech", "/x/config/Rusk/serial-ports.map" },
        { nullptr, "/home/tech", "/home/tech/.config/Rusk/serial-ports.map" },
        { "", "/home/tech", "/home/tech/.config/Rusk/serial-ports.map" },
        { "relative/config", "/home/tech", "/home/tech/.config/Rusk/serial-ports.map" },
    };
    for (const auto& c : cases) {
        ScopedEnvironment config("XDG_CONFIG_HOME", c.config);
        ScopedEnvironment home("HOME", c.home);
        EXPECT_EQ(PortNumberMap::defaultPath(), c.expected) << (c.config ? c.config : "(unset)");
    }
}
