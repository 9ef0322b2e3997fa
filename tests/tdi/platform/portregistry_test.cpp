#include "portsandbox.h"
#include "pseudoterminal.h"
#include "tdi/platform/portregistry.h"
#include "tdi/platform/serialdevice.h"

#include <algorithm>
#include <set>
#include <unistd.h>

using tdi::platform::PortRegistry;
using tdi::platform::SerialDevice;

namespace {

std::string com(unsigned number)
{
    return "COM" + std::to_string(number);
}

// Numbers from the top down that the machine's serial hardware does not use, so that directory
// entries made by a test never hide a hardware port.
std::vector<unsigned> unusedNumbers(const std::vector<unsigned>& used, std::size_t count)
{
    std::vector<unsigned> numbers;
    for (unsigned number = 254; numbers.size() < count; --number) {
        if (std::find(used.begin(), used.end(), number) == used.end())
            numbers.push_back(number);
    }
    return numbers;
}

} // namespace

TEST(PortRegistryDirectory, FollowsVarenPortDirThenXdgRuntimeDirThenTmp)
{
    const std::string tmp = "/tmp/varen-ports-" + std::to_string(::getuid());
    const struct
    {
        const char* portDir;
        const char* runtimeDir;
        std::string expected;
    } cases[] = {
        { "/x/ports", "/run/user/1000", "/x/ports" },
        { "/x/ports", nullptr, "/x/ports" },
        { nullptr, "/run/user/1000", "/run/user/1000/varen/ports" },
        { "", "/run/user/1000", "/run/user/1000/varen/ports" },
        { nullptr, nullptr, tmp },
        { "", "", tmp },
    };
    for (const auto& c : cases) {
        ScopedEnvironment portDir("VAREN_PORT_DIR", c.portDir);
        ScopedEnvironment runtimeDir("XDG_RUNTIME_DIR", c.runtimeDir);
        EXPECT_EQ(PortRegistry::portDirectory(), c.expected)
            << (c.portDir ? c.portDir : "(unset)") << ", "
            << (c.runtimeDir ? c.runtimeDir : "(unset)");
    }
}

class PortRegistryTest : public PortSandbox
{
protected:
    PortRegistry& registry = PortRegistry::instance();
};

TEST_F(PortRegistryTest, ListsLiveLinksAndIgnoresEverythingElse)
{
    const std::vector<unsigned> hardware = registry.presentPorts(); // the directory is empty
    const std::vector<unsigned> numbers = unusedNumbers(hardware, 4);
    PseudoTerminal first, second, gone;
    link(com(numbers[0]), first.slavePath());
    link(com(numbers[1]), second.slavePath());
    link(com(numbers[2]), "/nonexistent/tty");
    link(com(numbers[3]), gone.slavePath());
    gone.hangUp();
    for (const char* ignored : { "COM0", "COM255", "COM07", "COMx", "foo" })
        link(ignored, first.slavePath());

    std::vector<unsigned> expected = hardware;
    expected.push_back(numbers[0]);
    expected.push_back(numbers[1]);
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(registry.presentPorts(), expected);
}

TEST_F(PortRegistryTest, PortHeldExclusivelyIsStillListed)
{
    PseudoTerminal unit;
    const unsigned number = unusedNumbers(registry.presentPorts(), 1).front();
    link(com(number), unit.slavePath());
    std::error_code error;
    const int fd = SerialDevice::openExclusive(com(number), error);
    ASSERT_GE(fd, 0) << error.message();

    const std::vector<unsigned> present = registry.presentPorts();
    EXPECT_NE(std::find(present.begin(), present.end(), number), present.end());
    closePort(fd);
}

TEST_F(PortRegistryTest, DevicePathResolvesLiveEntriesOnly)
{
    PseudoTerminal unit;
    link("COM5", unit.slavePath());
    link("COM6", "/nonexistent/tty");
    link("COM07", unit.slavePath());
    EXPECT_EQ(registry.devicePath("COM5"), unit.slavePath());
    for (const char* unknown : { "COM6", "COM07", "COM7", "COM0", "COMx", "com5", "", "COM255" })
        EXPECT_EQ(registry.devicePath(unknown), "") << unknown;
}

TEST_F(PortRegistryTest, DirectoryEntryWinsOverTheNumberOfHardware)
{
    const std::vector<unsigned> hardware = registry.presentPorts();
    if (hardware.empty())
        GTEST_SKIP() << "this machine has no serial hardware";
    const std::string name = com(hardware.front());
    const std::string hardwarePath = registry.devicePath(name);
    PseudoTerminal unit;

    link(name, unit.slavePath());
    EXPECT_EQ(registry.devicePath(name), unit.slavePath());
    EXPECT_EQ(registry.presentPorts(), hardware);

    unlink(name);
    EXPECT_EQ(registry.devicePath(name), hardwarePath);
}
