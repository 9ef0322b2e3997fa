#include "serialdevice.h"

#include "portregistry.h"
#include "uniquefd.h"

#include <cerrno>
#include <fcntl.h>
#include <iostream>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>

namespace tdi {
namespace platform {

namespace {

std::error_code errorOf(int value)
{
    return { value, std::system_category() };
}

std::error_code lastError()
{
    return errorOf(errno);
}

void reportNoPermission(const std::string& comName, const std::string& path)
{
    std::cerr << "SerialDevice: no permission to open " + comName + " (" + path
            + "); the user must be in the 'dialout' group (sudo usermod -aG dialout "
              "$USER, then log in again)\n";
}

// The flock comes before TIOCEXCL: setting TIOCEXCL on a line that someone else holds would lock
// them in with it. Root passes TIOCEXCL, so the flock is what keeps two copies of this program
// apart when run as root.
std::error_code claim(int fd)
{
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0)
        return errno == EWOULDBLOCK ? errorOf(EBUSY) : lastError();
    if (::ioctl(fd, TIOCEXCL) != 0)
        return lastError();
    return {};
}

// No echo, no line editing, no character translation: the unit's console is a byte stream, and
// CLOCAL keeps a missing carrier from hanging up the line.
std::error_code makeRaw(int fd)
{
    termios line;
    if (::tcgetattr(fd, &line) != 0)
        return lastError();
    ::cfmakeraw(&line);
    line.c_cflag |= CLOCAL | CREAD;
    if (::tcsetattr(fd, TCSANOW, &line) != 0)
        return lastError();
    return {};
}

} // namespace

int SerialDevice::openExclusive(const std::string& comName, std::error_code& error)
{
    const std::string path = PortRegistry::instance().devicePath(comName);
    if (path.empty()) {
        error = errorOf(ENOENT);
        return -1;
    }
    UniqueFd fd(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!fd) {
        error = lastError();
        if (error.value() == EACCES)
            reportNoPermission(comName, path);
        return -1;
    }
    error = claim(fd.get());
    if (error)
        return -1;
    error = makeRaw(fd.get());
    if (error) {
        releaseExclusive(fd.get());
        return -1;
    }
    return fd.release();
}

void SerialDevice::releaseExclusive(int fd)
{
    if (fd >= 0)
        ::ioctl(fd, TIOCNXCL);
}

SerialDevice::OpenFailure SerialDevice::classify(const std::error_code& error)
{
    if (!error)
        return OpenFailure::None;
    // Through the portable condition, so that codes of any category that carry errno values
    // (such as Boost's, converted) are understood, and no other category is mistaken for them.
    const std::error_condition condition = error.default_error_condition();
    if (condition.category() != std::generic_category())
        return OpenFailure::Other;
    switch (condition.value()) {
    case ENOENT:
    case ENXIO:
    case ENODEV:
        return OpenFailure::NotFound;
    case EBUSY:
    case EACCES:
    case EPERM:
    case EWOULDBLOCK:
        return OpenFailure::InUse;
    default:
        return OpenFailure::Other;
    }
}

std::error_code SerialDevice::purge(int fd)
{
    return ::tcflush(fd, TCIOFLUSH) == 0 ? std::error_code() : lastError();
}

} // namespace platform
} // namespace tdi
