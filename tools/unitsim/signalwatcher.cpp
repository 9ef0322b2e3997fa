#include "signalwatcher.h"

#include <cerrno>
#include <sys/signalfd.h>
#include <system_error>
#include <unistd.h>

namespace unitsim {

SignalWatcher::SignalWatcher()
{
    sigemptyset(&watched);
    for (int signal : { SIGINT, SIGTERM, SIGHUP })
        sigaddset(&watched, signal);
    if (sigprocmask(SIG_BLOCK, &watched, &previous) != 0)
        throw std::system_error(errno, std::generic_category(), "sigprocmask");
    signalFd = signalfd(-1, &watched, SFD_NONBLOCK | SFD_CLOEXEC);
    if (signalFd < 0) {
        const int error = errno;
        sigprocmask(SIG_SETMASK, &previous, nullptr);
        throw std::system_error(error, std::generic_category(), "signalfd");
    }
}

// Signals still pending are taken first: unblocked, they would kill the process on its way out.
SignalWatcher::~SignalWatcher()
{
    while (take() != 0) { }
    close(signalFd);
    sigprocmask(SIG_SETMASK, &previous, nullptr);
}

int SignalWatcher::take()
{
    signalfd_siginfo info {};
    const ssize_t size = read(signalFd, &info, sizeof info);
    return size == ssize_t(sizeof info) ? int(info.ssi_signo) : 0;
}

} // namespace unitsim
