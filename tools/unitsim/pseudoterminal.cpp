#include "pseudoterminal.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <system_error>
#include <termios.h>
#include <unistd.h>

namespace unitsim {

namespace {

[[noreturn]] void fail(const char* what)
{
    throw std::system_error(errno, std::generic_category(), what);
}

} // namespace

PseudoTerminal::PseudoTerminal()
{
    try {
        open();
        makeRaw();
    } catch (...) {
        close();
        throw;
    }
}

PseudoTerminal::~PseudoTerminal()
{
    close();
}

void PseudoTerminal::open()
{
    masterFd = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    if (masterFd < 0)
        fail("posix_openpt");
    if (grantpt(masterFd) != 0)
        fail("grantpt");
    if (unlockpt(masterFd) != 0)
        fail("unlockpt");
    char name[PATH_MAX];
    if (ptsname_r(masterFd, name, sizeof name) != 0)
        fail("ptsname_r");
    path = name;
    slaveFd = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slaveFd < 0)
        fail("open pty slave");
}

// The unit's console passes bytes through untouched: no echo by the line, no CR/LF translation.
void PseudoTerminal::makeRaw()
{
    termios settings {};
    if (tcgetattr(slaveFd, &settings) != 0)
        fail("tcgetattr");
    cfmakeraw(&settings);
    if (tcsetattr(slaveFd, TCSANOW, &settings) != 0)
        fail("tcsetattr");
}

std::size_t PseudoTerminal::unreadByHost() const
{
    int count = 0;
    if (slaveFd < 0 || ioctl(slaveFd, FIONREAD, &count) != 0)
        return 0;
    return std::size_t(count);
}

void PseudoTerminal::close()
{
    for (int* fd : { &slaveFd, &masterFd }) {
        if (*fd >= 0)
            ::close(*fd);
        *fd = -1;
    }
}

} // namespace unitsim
