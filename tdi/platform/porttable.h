#pragma once
// The COM numbers of one scan and the device path behind each.
//
// Port-directory entries come first and keep their numbers; serial hardware then gets its number
// from the persistent map, skipping the numbers the directory uses. Should a directory entry take
// a number that the map gave to an adapter earlier (a simulated unit started as COM1 while the
// adapter that owns COM1 is plugged in), the directory entry wins for as long as it exists: it was
// made on purpose for this session. The adapter keeps its number in the map, is left out of these
// scans, and shows up under its number again once the entry is gone.
//
// Thread: any; a value owned by whoever scans.
#include "serialhardware.h"

#include <map>
#include <set>
#include <string>

namespace tdi {
namespace platform {

class PortNumberMap;

class PortTable
{
public:
    // The entries of `directory` named exactly COM<n> (see ComName), whatever they are; the
    // presence check later tells live ones from dangling ones.
    static PortTable fromDirectory(const std::string& directory);

    // Gives `port` its number from `numbers` (recording a new one there) unless the directory
    // uses that number.
    void addHardware(const SerialHardware::Port& port, PortNumberMap& numbers);

    // The path behind `number` (directory entry or device node), or "" when it is unknown.
    std::string path(unsigned number) const;

    // Number -> path, ascending.
    const std::map<unsigned, std::string>& entries() const { return paths; }

private:
    std::map<unsigned, std::string> paths;
    std::set<unsigned> directoryNumbers;
};

} // namespace platform
} // namespace tdi
