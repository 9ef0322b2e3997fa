#pragma once
// The entry COM<n> in the port directory that makes the simulated unit a port the application can
// find: a symbolic link to the pseudo-terminal's slave. A stale entry is replaced atomically (a
// link under a temporary name renamed over it), so a watcher never sees the port missing or
// half-made. The link is removed when this object goes, but only while it still points at our
// terminal: another simulator may have taken the number over meanwhile.
//
// Thread: the simulator's single thread. Owner: the simulator's entry point.
#include <string>

namespace unitsim {

class PortLink
{
public:
    // Creates the directory (mode 0700, parents too) when missing; throws std::system_error.
    PortLink(const std::string& directory, unsigned comNumber, const std::string& target);
    ~PortLink();
    PortLink(const PortLink&) = delete;
    PortLink& operator=(const PortLink&) = delete;

    const std::string& path() const { return linkPath; }

    // Idempotent.
    void remove();

private:
    std::string linkPath;
    std::string target;
    bool linked = false;
};

} // namespace unitsim
