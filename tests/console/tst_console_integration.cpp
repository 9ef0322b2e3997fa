// The console layer against simulated units over pseudo-terminals: device creation, opening,
// commands and replies, port arrival and removal, busy and missing ports, reset.
#include "consolefixture.h"

#include "tdi/platform/portregistry.h"
#include "tdi/platform/serialdevice.h"
#include "tdi/statuscodes.h"

#include <csignal>
#include <thread>
#include <unistd.h>

using namespace console;
using namespace testsupport;
namespace status = tdi::status;

namespace {

std::string comName(int number)
{
    return "COM" + std::to_string(number);
}

// A whole-register read of `count` bytes answers `count` two-digit values, each with a blank.
void expectBytes(const std::string& line, std::size_t count)
{
    ASSERT_EQ(line.size(), count * 3) << line;
    for (std::size_t i = 0; i < count; ++i) {
        EXPECT_TRUE(std::isxdigit(static_cast<unsigned char>(line[3 * i]))) << line;
        EXPECT_TRUE(std::isxdigit(static_cast<unsigned char>(line[3 * i + 1]))) << line;
        EXPECT_EQ(line[3 * i + 2], ' ') << line;
    }
}

} // namespace

TEST_F(ConsoleTest, GivesDeviceIdsAboveEveryExistingDevice)
{
    const struct
    {
        int requested;
        UInt32 expected;
    } cases[] = { { -1, 0 }, { -1, 1 }, { 5, 5 }, { -1, 6 }, { 2, 7 } };
    for (const auto& c : cases)
        EXPECT_EQ(createDevice(c.requested), c.expected) << "requested " << c.requested;
}

TEST_F(ConsoleTest, UnknownDeviceTypeCreatesNoDevice)
{
    const UInt16 id = createDevice(-1, 9);
    std::string name = "COM1";
    EXPECT_EQ(request(id, ReqSelectPort, sizeof name, &name), status::DeviceNotAvailable);
}

TEST_F(ConsoleTest, OpensSendsAndReportsStatusAndData)
{
    UnitSimProcess unit(simArguments("qmr", 21));
    waitForPort(comName(21));
    const UInt16 device = createDevice();
    ASSERT_EQ(openPort(device, comName(21)), status::Ok);
    const auto opened = nextPortStatus(device);
    EXPECT_TRUE(opened.open);
    EXPECT_EQ(opened.portName, comName(21));

    send(device, "v 42 00 0004\r\n");
    const auto [text, data] = nextReply(device);
    EXPECT_EQ(text, "COMMAND SUCCESSFUL");
    expectBytes(data, 4);

    send(device, "v 42 00 0100\r\n");
    expectBytes(nextReply(device).second, 256);
}

TEST_F(ConsoleTest, K68ModuleAnswersWithItsOwnPrompts)
{
    UnitSimProcess unit(simArguments("k68", 22));
    waitForPort(comName(22));
    const UInt16 device = createDevice(-1, 3);
    ASSERT_EQ(openPort(device, comName(22), DecoderK68TLC), status::Ok);
    ASSERT_TRUE(nextPortStatus(device).open);

    send(device, "v 42 14 0001\r\n");
    EXPECT_EQ(nextReply(device).first, "COMMAND SUCCESSFUL");
    send(device, "no such command\r\n");
    const auto [text, data] = nextReply(device);
    EXPECT_EQ(text, "COMMAND FAILED");
    EXPECT_EQ(data, "");
}

TEST_F(ConsoleTest, OpenOfAnUnlistedPortFailsAndOpensNothing)
{
    const UInt16 device = createDevice();
    EXPECT_EQ(openPort(device, "COM199"), status::DeviceBadValue);
    std::string name = "COM199";
    EXPECT_EQ(request(device, ReqSelectPort, sizeof name, &name), status::Ok);
    // Without an earlier open there is no configuration, so the request changes nothing.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_TRUE(recorder().pending(ofType(MsgPortStatus, device)).empty());
}

TEST_F(ConsoleTest, BaudRateBeforeAnyOpenChangesNothing)
{
    UnitSimProcess unit(simArguments("qmr", 23));
    waitForPort(comName(23));
    const UInt16 device = createDevice();
    UInt32 baud = 9600;
    EXPECT_EQ(request(device, ReqBaudRate, sizeof baud, &baud), status::Ok);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_TRUE(recorder().pending(ofType(MsgPortStatus, device)).empty());

    ASSERT_EQ(openPort(device, comName(23)), status::Ok);
    ASSERT_TRUE(nextPortStatus(device).open);
    send(device, "v 42 00 0001\r\n");
    EXPECT_EQ(nextReply(device).first, "COMMAND SUCCESSFUL");
}

TEST_F(ConsoleTest, BaudRateChangeOnAnOpenPortKeepsItWorking)
{
    UnitSimProcess unit(simArguments("qmr", 24, { "--baud", "0" }));
    waitForPort(comName(24));
    const UInt16 device = createDevice();
    ASSERT_EQ(openPort(device, comName(24)), status::Ok);
    ASSERT_TRUE(nextPortStatus(device).open);
    UInt32 baud = 57600;
    EXPECT_EQ(request(device, ReqBaudRate, sizeof baud, &baud), status::Ok);
    send(device, "v 42 00 0002\r\n");
    EXPECT_EQ(nextReply(device).first, "COMMAND SUCCESSFUL");
}

TEST_F(ConsoleTest, UnplugClosesOnceAndReplugReopensOnSelect)
{
    const UInt16 device = createDevice();
    {
        UnitSimProcess unit(simArguments("qmr", 25));
        waitForPort(comName(25));
        ASSERT_EQ(openPort(device, comName(25)), status::Ok);
        ASSERT_TRUE(nextPortStatus(device).open);
    }
    // The simulator removed its link on exit: the port leaves the list and the device closes.
    const auto closed = nextPortStatus(device);
    EXPECT_FALSE(closed.open);
    EXPECT_EQ(closed.portName, "");

    UnitSimProcess again(simArguments("qmr", 25));
    ASSERT_TRUE(recorder().next([](const Recorded& m) {
        if (m.type() != MsgPortList)
            return false;
        const auto& ports = m.as<PortListMessage>().ports;
        return std::any_of(ports.begin(), ports.end(),
            [](const PortEntry& p) { return p.name == "COM25" && p.number == 25; });
    }));
    std::string name = comName(25);
    ASSERT_EQ(request(device, ReqSelectPort, sizeof name, &name), status::Ok);
    const auto reopened = nextPortStatus(device);
    EXPECT_TRUE(reopened.open);
    EXPECT_EQ(reopened.portName, comName(25));
    send(device, "v 42 00 0001\r\n");
    EXPECT_EQ(nextReply(device).first, "COMMAND SUCCESSFUL");
    EXPECT_TRUE(recorder().pending(ofType(MsgPortStatus, device)).empty());
}

TEST_F(ConsoleTest, KilledUnitLeavesADanglingLinkThatCountsAsGone)
{
    const UInt16 device = createDevice();
    UnitSimProcess unit(simArguments("qmr", 26));
    waitForPort(comName(26));
    ASSERT_EQ(openPort(device, comName(26)), status::Ok);
    ASSERT_TRUE(nextPortStatus(device).open);
    unit.stop(SIGKILL);
    // Nothing announces a dangling link; the next scan (any arrival or removal of a port
    // entry) finds it gone. The entry used here points nowhere, so it never lists itself.
    const std::string other = tdi::platform::PortRegistry::portDirectory() + "/COM254";
    unlink(other.c_str());
    ASSERT_EQ(symlink("/nonexistent/tty", other.c_str()), 0);
    unlink(other.c_str());
    const auto closed = nextPortStatus(device);
    EXPECT_FALSE(closed.open);
    EXPECT_EQ(closed.portName, "");
    unlink((tdi::platform::PortRegistry::portDirectory() + "/COM26").c_str());
}

TEST_F(ConsoleTest, BusyPortIsReportedAsUnavailable)
{
    UnitSimProcess unit(simArguments("qmr", 27));
    waitForPort(comName(27));
    std::error_code error;
    const int holder = tdi::platform::SerialDevice::openExclusive(comName(27), error);
    ASSERT_GE(holder, 0) << error.message();
    const UInt16 device = createDevice();
    EXPECT_EQ(openPort(device, comName(27)), status::DeviceNotAvailable);
    close(holder);
    EXPECT_EQ(openPort(device, comName(27)), status::Ok);
}

TEST_F(ConsoleTest, RefusedLineSettingFailsTheOpenAndTheConsoleGoesOn)
{
    UnitSimProcess unit(simArguments("qmr", 28));
    waitForPort(comName(28));
    const UInt16 device = createDevice();
    EXPECT_EQ(openPort(device, comName(28), DecoderK57QMR, 123457), status::DeviceNotAvailable);
    EXPECT_EQ(openPort(device, comName(28)), status::Ok);
    send(device, "v 42 00 0001\r\n");
    EXPECT_EQ(nextReply(device).first, "COMMAND SUCCESSFUL");
}

TEST_F(ConsoleTest, GarbageOnOnePortLosesNothingOnAnother)
{
    UnitSimProcess babbler(simArguments("qmr", 29, { "--garbage" }));
    UnitSimProcess good(simArguments("qmr", 30, { "--split" }));
    waitForPort(comName(29));
    waitForPort(comName(30));
    const UInt16 noisy = createDevice();
    const UInt16 healthy = createDevice();
    ASSERT_EQ(openPort(noisy, comName(29)), status::Ok);
    ASSERT_EQ(openPort(healthy, comName(30)), status::Ok);
    for (int i = 0; i < 5; ++i) {
        send(noisy, "v 42 00 0100\r\n");
        send(healthy, "v 42 00 0010\r\n");
        const auto [text, data] = nextReply(healthy);
        EXPECT_EQ(text, "COMMAND SUCCESSFUL");
        expectBytes(data, 16);
    }
    EXPECT_TRUE(recorder().pending(ofType(MsgDeviceOutput, noisy)).empty());
}

TEST_F(ConsoleTest, UnitVanishingMidSessionClosesTheDevice)
{
    UnitSimProcess unit(simArguments("qmr", 31, { "--disconnect-after", "1" }));
    waitForPort(comName(31));
    const UInt16 device = createDevice();
    ASSERT_EQ(openPort(device, comName(31)), status::Ok);
    ASSERT_TRUE(nextPortStatus(device).open);
    send(device, "v 42 00 0001\r\n");
    EXPECT_EQ(nextReply(device).first, "COMMAND SUCCESSFUL");
    const auto closed = nextPortStatus(device);
    EXPECT_FALSE(closed.open);
    send(device, "v 42 00 0001\r\n"); // a write to a closed device goes nowhere
}

TEST_F(ConsoleTest, ResetReleasesEveryDeviceAndItsPort)
{
    UnitSimProcess unit(simArguments("qmr", 32));
    waitForPort(comName(32));
    const UInt16 first = createDevice();
    const UInt16 second = createDevice();
    const UInt16 third = createDevice();
    ASSERT_EQ(openPort(first, comName(32)), status::Ok);

    resetConsole();
    // The port list is announced again after the reset, since lists scanned during it were
    // dropped.
    const auto announced = recorder().next(ofType(MsgPortList, StateDeviceId));
    ASSERT_TRUE(announced);
    const auto& listed = announced->as<PortListMessage>().ports;
    EXPECT_TRUE(std::any_of(
        listed.begin(), listed.end(), [](const PortEntry& p) { return p.name == "COM32"; }));
    std::string name = comName(32);
    for (UInt16 id : { first, second, third })
        EXPECT_EQ(request(id, ReqSelectPort, sizeof name, &name), status::DeviceNotAvailable);
    std::vector<PortEntry> ports;
    EXPECT_EQ(
        DeviceController::instance().getProperty(StateDeviceId, ReqPortList, sizeof ports, &ports),
        status::Ok);
    EXPECT_FALSE(ports.empty());
    std::error_code error;
    const int fd = tdi::platform::SerialDevice::openExclusive(comName(32), error);
    EXPECT_GE(fd, 0) << "the reset left the port held: " << error.message();
    if (fd >= 0)
        close(fd);
}

TEST_F(ConsoleTest, DeviceRequestedDuringAResetIsCreatedAfterIt)
{
    UInt32 resetting = Resetting;
    request(StateDeviceId, ReqConsoleState, sizeof resetting, &resetting);
    CreateDeviceRequest create { -1, 4, nullptr };
    ASSERT_EQ(request(StateDeviceId, ReqCreateDevice, sizeof create, &create), status::Ok);

    ASSERT_TRUE(recorder().next([](const Recorded& m) {
        return m.type() == MsgState && m.as<StateMessage>().state == Ready;
    }));
    const auto created = recorder().next(ofType(MsgDeviceCreated, StateDeviceId));
    ASSERT_TRUE(created);
    const auto id = static_cast<UInt16>(created->as<DeviceCreatedMessage>().deviceId);
    std::string name = "COM1";
    EXPECT_NE(request(id, ReqSelectPort, sizeof name, &name), status::DeviceNotAvailable)
        << "the device did not survive the reset";
}
