#pragma once
// Opening a port's device file the way a unit's console must be opened: exclusively, so two
// programs never talk to one unit at once, and with errors sorted into "does not exist" and
// "in use", which the channel hub treats differently (only a busy port is retried).
//
// Thread: any (stateless).
#include <string>
#include <system_error>

namespace tdi {
namespace platform {

class SerialDevice
{
public:
    enum class OpenFailure { None, NotFound, InUse, Other };

    // Opens "COM<n>" for non-blocking read and write, exclusively (TIOCEXCL and an flock), as
    // a raw line. Returns the file descriptor, or -1 with `error` set to the errno-based code.
    static int openExclusive(const std::string& comName, std::error_code& error);

    // Ends the exclusive hold of openExclusive() on a descriptor about to be closed (TIOCNXCL;
    // the flock goes with the close). Call it before every close: the tty of a pseudo-terminal
    // whose master a simulated unit keeps open, or of a UART that is also the system console,
    // outlives the close, stays exclusive, and every later open by a user other than root would
    // then fail as busy. Does nothing for -1.
    static void releaseExclusive(int fd);

    // ENOENT, ENXIO, ENODEV -> NotFound; EBUSY, EACCES, EPERM, EWOULDBLOCK -> InUse.
    static OpenFailure classify(const std::error_code& error);

    // Discards what the driver holds in both directions (tcflush TCIOFLUSH).
    static std::error_code purge(int fd);
};

} // namespace platform
} // namespace tdi
