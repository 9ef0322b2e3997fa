#include "portsandbox.h"
#include "pseudoterminal.h"
#include "tdi/platform/serialdevice.h"

#include <cerrno>
#include <fcntl.h>
#include <functional>
#include <future>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

using tdi::platform::SerialDevice;
using Failure = SerialDevice::OpenFailure;

namespace {

constexpr int kWaitMs = 10000;

// Reads from `fd` until `count` bytes came or nothing more arrives within the bound.
std::string readAtLeast(int fd, std::size_t count)
{
    std::string got;
    pollfd readable { fd, POLLIN, 0 };
    while (got.size() < count && ::poll(&readable, 1, kWaitMs) > 0) {
        char buffer[64];
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0)
            break;
        got.append(buffer, static_cast<std::size_t>(n));
    }
    return got;
}

void send(int fd, const std::string& bytes)
{
    ASSERT_EQ(::write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
}

bool isExclusive(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    int exclusive = -1;
    ::ioctl(fd, TIOCGEXCL, &exclusive);
    ::close(fd);
    return exclusive == 1;
}

} // namespace

class SerialDeviceTest : public PortSandbox
{
protected:
    void SetUp() override
    {
        PortSandbox::SetUp();
        link("COM5", unit.slavePath());
    }

    int open(std::error_code& error) { return SerialDevice::openExclusive("COM5", error); }

    PseudoTerminal unit;
};

TEST_F(SerialDeviceTest, OpensTheLinkedDeviceAsARawNonBlockingLine)
{
    std::error_code error;
    const int fd = open(error);
    ASSERT_GE(fd, 0) << error.message();
    EXPECT_FALSE(error);
    EXPECT_EQ(SerialDevice::classify(error), Failure::None);
    EXPECT_TRUE(::fcntl(fd, F_GETFL) & O_NONBLOCK);
    EXPECT_TRUE(::fcntl(fd, F_GETFD) & FD_CLOEXEC);

    termios line;
    ASSERT_EQ(::tcgetattr(fd, &line), 0);
    EXPECT_EQ(line.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
    EXPECT_EQ(line.c_cflag & (CLOCAL | CREAD), static_cast<tcflag_t>(CLOCAL | CREAD));
    EXPECT_EQ(line.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));

    // Bytes pass untouched both ways: no CR/NL translation, no control characters acted on.
    const std::string fromUnit = "\x03"
                                 "ModelK57>\r\n\x7f";
    send(unit.master(), fromUnit);
    EXPECT_EQ(readAtLeast(fd, fromUnit.size()), fromUnit);
    send(fd, "v 0 1\n");
    EXPECT_EQ(readAtLeast(unit.master(), 6), "v 0 1\n");
    closePort(fd);
}

TEST_F(SerialDeviceTest, SecondOpenIsInUseUntilTheFirstIsClosed)
{
    std::error_code error;
    const int first = open(error);
    ASSERT_GE(first, 0) << error.message();

    EXPECT_EQ(open(error), -1);
    EXPECT_EQ(error.value(), EBUSY);
    EXPECT_EQ(SerialDevice::classify(error), Failure::InUse);

    closePort(first);
    // The line must not stay exclusive behind us: the unit's master keeps its tty alive.
    EXPECT_FALSE(isExclusive(unit.slavePath()));
    const int again = open(error);
    EXPECT_GE(again, 0) << error.message();
    closePort(again);
}

TEST_F(SerialDeviceTest, LineLockedByAnotherProgramIsInUseAndLeftAlone)
{
    const int other = ::open(unit.slavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(other, 0);
    ASSERT_EQ(::flock(other, LOCK_EX | LOCK_NB), 0);

    std::error_code error;
    EXPECT_EQ(open(error), -1);
    EXPECT_EQ(error.value(), EBUSY);
    // Its holder's line is not made exclusive by the failed attempt.
    int exclusive = -1;
    ASSERT_EQ(::ioctl(other, TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 0);
    ::close(other);
}

TEST_F(SerialDeviceTest, FailuresAreSortedIntoMissingAndOther)
{
    PseudoTerminal gone;
    const struct
    {
        const char* what;
        std::function<void()> prepare;
        const char* name;
        int errnoValue;
        Failure failure;
    } cases[] = {
        { "no entry", [] {}, "COM7", ENOENT, Failure::NotFound },
        { "malformed name", [] {}, "COMx", ENOENT, Failure::NotFound },
        { "dangling link", [this] { link("COM8", "/nonexistent/tty"); }, "COM8", ENOENT,
            Failure::NotFound },
        { "unit exited, link left",
            [&] {
                link("COM9", gone.slavePath());
                gone.hangUp();
            },
            "COM9", ENOENT, Failure::NotFound },
        { "not a terminal", [this] { link("COM10", "/dev/null"); }, "COM10", ENOTTY,
            Failure::Other },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        c.prepare();
        std::error_code error;
        EXPECT_EQ(SerialDevice::openExclusive(c.name, error), -1);
        EXPECT_EQ(error.value(), c.errnoValue) << error.message();
        EXPECT_EQ(SerialDevice::classify(error), c.failure);
    }
}

TEST_F(SerialDeviceTest, PurgeDiscardsWhatTheDriverHolds)
{
    std::error_code error;
    const int fd = open(error);
    ASSERT_GE(fd, 0) << error.message();
    send(unit.master(), "stale reply");
    pollfd readable { fd, POLLIN, 0 };
    ASSERT_EQ(::poll(&readable, 1, kWaitMs), 1);

    EXPECT_FALSE(SerialDevice::purge(fd));
    char byte;
    EXPECT_EQ(::read(fd, &byte, 1), -1);
    EXPECT_EQ(errno, EAGAIN);
    closePort(fd);

    EXPECT_EQ(SerialDevice::purge(-1).value(), EBADF);
}

TEST(SerialDeviceClassify, MapsErrnoCodesOfAnyErrnoCategory)
{
    const auto errnoCode = [](int value) { return std::error_code(value, std::system_category()); };
    const struct
    {
        std::error_code error;
        Failure failure;
    } cases[] = {
        { {}, Failure::None },
        { errnoCode(0), Failure::None },
        { errnoCode(ENOENT), Failure::NotFound },
        { errnoCode(ENXIO), Failure::NotFound },
        { errnoCode(ENODEV), Failure::NotFound },
        { std::make_error_code(std::errc::no_such_file_or_directory), Failure::NotFound },
        { errnoCode(EBUSY), Failure::InUse },
        { errnoCode(EACCES), Failure::InUse },
        { errnoCode(EPERM), Failure::InUse },
        { errnoCode(EWOULDBLOCK), Failure::InUse },
        { std::make_error_code(std::errc::device_or_resource_busy), Failure::InUse },
        { errnoCode(EIO), Failure::Other },
        { errnoCode(ENOTTY), Failure::Other },
        { errnoCode(EINVAL), Failure::Other },
        // Value 1 is EPERM only in errno's categories.
        { std::make_error_code(std::future_errc::future_already_retrieved), Failure::Other },
        { std::make_error_code(std::io_errc::stream), Failure::Other },
    };
    for (const auto& c : cases)
        EXPECT_EQ(SerialDevice::classify(c.error), c.failure)
            << c.error.category().name() << ' ' << c.error.value();
}
