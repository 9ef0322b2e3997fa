#pragma once
// The pseudo-terminal that stands in for the unit's serial line. The host opens the slave side
// like any tty; the simulator talks through the master. The simulator keeps a slave descriptor of
// its own open for its whole life: without it, the master sees EIO and hang-ups whenever the host
// closes the port, and a host that closes and reopens the port would find the line dead.
//
// Thread: the simulator's single thread. Owner: the simulator's entry point.
#include <cstddef>
#include <string>

namespace unitsim {

class PseudoTerminal
{
public:
    // Opens a raw (cfmakeraw) line; throws std::system_error when the system refuses.
    PseudoTerminal();
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    // Non-blocking.
    int master() const { return masterFd; }
    const std::string& slavePath() const { return path; }

    // Bytes the simulator has sent that the host has not read yet.
    std::size_t unreadByHost() const;

    // Closes both sides, as pulling the cable does. Idempotent.
    void close();

private:
    void open();
    void makeRaw();

    int masterFd = -1;
    int slaveFd = -1;
    std::string path;
};

} // namespace unitsim
