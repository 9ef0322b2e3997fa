#include "pseudoterminal.h"

#include <cstdlib>
#include <fcntl.h>
#include <stdexcept>
#include <unistd.h>

PseudoTerminal::PseudoTerminal()
{
    masterFd = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    char name[128];
    if (masterFd < 0 || ::grantpt(masterFd) != 0 || ::unlockpt(masterFd) != 0
        || ::ptsname_r(masterFd, name, sizeof name) != 0) {
        if (masterFd >= 0)
            ::close(masterFd);
        throw std::runtime_error("cannot create a pseudo-terminal");
    }
    slave = name;
}

PseudoTerminal::~PseudoTerminal()
{
    hangUp();
    if (pinFd >= 0)
        ::close(pinFd);
}

void PseudoTerminal::hangUp()
{
    if (masterFd < 0)
        return;
    if (pinFd < 0)
        pinFd = ::open(slave.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    ::close(masterFd);
    masterFd = -1;
}
