#pragma once
// Which COM ports this machine has, and which device file each one stands for.
//
// Linux has no COM names, so this layer makes them: every entry COM<n> in the port directory
// (normally a symbolic link to a tty, such as a simulated unit's pseudo-terminal) is port n, and
// serial hardware found through udev gets a number from a persistent map, so that an adapter keeps
// its number across replugs and runs. The console logic above sees only port numbers.
//
// Thread: any; the registry guards its map with its own lock. Owner: process-wide (instance()).
#include <mutex>
#include <string>
#include <vector>

namespace tdi {
namespace platform {

class PortTable;

class PortRegistry
{
public:
    static PortRegistry& instance();

    // $VAREN_PORT_DIR, else $XDG_RUNTIME_DIR/varen/ports, else /tmp/varen-ports-<uid>.
    static std::string portDirectory();

    // Numbers of the ports present now, ascending, without duplicates. A port is present when its
    // device opens, or when opening fails because it is busy or not permitted.
    std::vector<unsigned> presentPorts();

    // Device path behind "COM<n>"; empty when the name is malformed or the number is unknown.
    std::string devicePath(const std::string& comName);

private:
    PortRegistry() = default;

    // Reads the port directory, the serial hardware and the number map, saving new numbers.
    PortTable scan();

    // Serialises scans, so that two threads never read and rewrite the number map at once.
    std::mutex lock;
};

} // namespace platform
} // namespace tdi
