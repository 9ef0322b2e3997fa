#include "scratchdirectory.h"
#include "tdi/platform/portnumbermap.h"
#include "tdi/platform/porttable.h"

#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

using tdi::platform::PortNumberMap;
using tdi::platform::PortTable;

class PortTableTest : public ::testing::Test
{
protected:
    std::string entry(const std::string& name) const { return scratch.path() + '/' + name; }

    void makeEntries(std::initializer_list<const char*> names) const
    {
        for (const char* name : names)
            std::ofstream(entry(name)) << name;
    }

    // A map in a fresh file, loaded.
    PortNumberMap mapWith(const std::string& text) const
    {
        std::ofstream(mapFile.path() + "/map") << text;
        PortNumberMap map(mapFile.path() + "/map");
        EXPECT_TRUE(map.load());
        return map;
    }

    ScratchDirectory scratch;
    ScratchDirectory mapFile;
};

TEST_F(PortTableTest, DirectoryGivesEntriesNamedExactlyComN)
{
    makeEntries({ "COM3", "COM254", "COM0", "COM255", "COM07", "COMx", "foo", "COM3.bak", "com4" });
    // Dangling links are kept here; the presence check drops them later.
    ASSERT_EQ(::symlink("/nonexistent/tty", entry("COM9").c_str()), 0);

    const PortTable table = PortTable::fromDirectory(scratch.path());
    const std::map<unsigned, std::string> expected { { 3, entry("COM3") }, { 9, entry("COM9") },
        { 254, entry("COM254") } };
    EXPECT_EQ(table.entries(), expected);
}

TEST_F(PortTableTest, MissingDirectoryGivesNoEntries)
{
    EXPECT_TRUE(PortTable::fromDirectory(scratch.path() + "/missing").entries().empty());
}

TEST_F(PortTableTest, HardwareGetsNumbersAroundTheDirectoryEntries)
{
    makeEntries({ "COM1", "COM3" });
    PortNumberMap map = mapWith("");
    PortTable table = PortTable::fromDirectory(scratch.path());
    table.addHardware({ "/dev/serial/by-id/a", "/dev/ttyUSB0" }, map);
    table.addHardware({ "/dev/serial/by-id/b", "/dev/ttyUSB1" }, map);

    const std::map<unsigned, std::string> expected { { 1, entry("COM1") }, { 2, "/dev/ttyUSB0" },
        { 3, entry("COM3") }, { 4, "/dev/ttyUSB1" } };
    EXPECT_EQ(table.entries(), expected);
    EXPECT_EQ(map.numberOf("/dev/serial/by-id/b"), 4u);
    EXPECT_EQ(table.path(5), "");
}

TEST_F(PortTableTest, DirectoryEntryWinsOverTheNumberOfMappedHardware)
{
    makeEntries({ "COM2" });
    PortNumberMap map = mapWith("2 /dev/serial/by-id/a\n");
    PortTable table = PortTable::fromDirectory(scratch.path());
    table.addHardware({ "/dev/serial/by-id/a", "/dev/ttyUSB0" }, map);

    EXPECT_EQ(table.path(2), entry("COM2"));
    EXPECT_EQ(table.entries().size(), 1u);
    // The adapter is not renumbered: it gets COM2 back once the entry is gone.
    EXPECT_EQ(map.numberOf("/dev/serial/by-id/a"), 2u);
    EXPECT_FALSE(map.isModified());
}
