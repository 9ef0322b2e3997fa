#pragma once
// The COM numbers given to serial hardware, kept in a file so that an adapter keeps its number
// across replugs and runs, as technicians expect.
//
// The file is "Rusk/serial-ports.map" in the configuration folder ($XDG_CONFIG_HOME, else
// ~/.config). It is plain text, one adapter per line:
//
//     # lines starting with '#' and blank lines are ignored
//     <number> <key>
//
// The number is 1 to 254 in plain decimal, followed by one blank or tab; the key is the rest of the
// line: the adapter's /dev/serial/by-id link when it has one, else its /dev/serial/by-path link,
// else its device node. Lines that do not parse, and later lines repeating a number or a key, are
// ignored and disappear at the next save. Saving writes a temporary file beside the map and renames
// it over the map, so a crash or a full disk never leaves half a map behind.
//
// Thread: not synchronised; PortRegistry uses it under its own lock. Owner: the caller (a value).
#include <map>
#include <set>
#include <string>

namespace tdi {
namespace platform {

class PortNumberMap
{
public:
    explicit PortNumberMap(std::string filePath);

    static std::string defaultPath();

    // Reads the file; a missing file is an empty map. False when the file exists but cannot be
    // read, in which case the map must not be saved over it.
    bool load();

    // Writes the map, creating its folder as needed. False with errno set on failure.
    bool save();

    // The number recorded for `key`, or 0 when there is none.
    unsigned numberOf(const std::string& key) const;

    // The number of `key`. A new key gets the lowest number that neither the map nor `taken`
    // uses, and is recorded; 0 when every number is used. A recorded number is returned even when
    // `taken` holds it: the adapter keeps it, whoever else shows up under it for a while.
    unsigned assign(const std::string& key, const std::set<unsigned>& taken);

    // Whether assign() recorded something that is not saved yet.
    bool isModified() const { return modified; }

private:
    void record(const std::string& key, unsigned number);
    void parseLine(const std::string& line);
    std::string text() const;

    std::string filePath;
    std::map<std::string, unsigned> numbers;
    std::map<unsigned, std::string> keys;
    bool modified = false;
};

} // namespace platform
} // namespace tdi
