#include "portregistry.h"

#include "comname.h"
#include "portnumbermap.h"
#include "porttable.h"
#include "serialhardware.h"
#include "uniquefd.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <iostream>
#include <unistd.h>

namespace tdi {
namespace platform {

namespace {

// Busy or forbidden still means the device is there: another program (or this one) holds it, or
// the user lacks the dialout group, which the open will say.
bool isPresent(const std::string& path)
{
    const UniqueFd fd(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    const int error = errno;
    return fd || error == EBUSY || error == EACCES || error == EPERM;
}

std::string resolved(const std::string& path)
{
    char target[PATH_MAX];
    return !path.empty() && ::realpath(path.c_str(), target) ? target : "";
}

// One write of a whole line, so that lines of several threads do not interleave.
void reportMapFailure(const char* action, const std::string& path)
{
    const std::string error = std::strerror(errno);
    std::cerr << "PortRegistry: cannot " + std::string(action) + " " + path + ": " + error
            + "; new adapters keep their numbers only while the program runs\n";
}

} // namespace

PortRegistry& PortRegistry::instance()
{
    static PortRegistry registry;
    return registry;
}

std::string PortRegistry::portDirectory()
{
    if (const char* dir = std::getenv("VAREN_PORT_DIR"); dir && *dir)
        return dir;
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime)
        return std::string(runtime) + "/varen/ports";
    return "/tmp/varen-ports-" + std::to_string(getuid());
}

std::vector<unsigned> PortRegistry::presentPorts()
{
    const PortTable table = scan();
    std::vector<unsigned> present;
    for (const auto& [number, path] : table.entries()) {
        if (isPresent(path))
            present.push_back(number);
    }
    return present;
}

std::string PortRegistry::devicePath(const std::string& comName)
{
    const unsigned number = ComName::parse(comName);
    return number == 0 ? std::string() : resolved(scan().path(number));
}

PortTable PortRegistry::scan()
{
    // The map is read afresh each time, so that two running instances of the program agree on
    // the numbers, and a changed XDG_CONFIG_HOME takes effect at once.
    std::lock_guard<std::mutex> guard(lock);
    PortTable table = PortTable::fromDirectory(portDirectory());
    const std::string mapPath = PortNumberMap::defaultPath();
    PortNumberMap numbers(mapPath);
    const bool loaded = numbers.load();
    if (!loaded)
        reportMapFailure("read", mapPath);
    for (const SerialHardware::Port& port : SerialHardware::enumerate())
        table.addHardware(port, numbers);
    // A map that could not be read is not overwritten: the numbers in it would be lost.
    if (loaded && numbers.isModified() && !numbers.save())
        reportMapFailure("save", mapPath);
    return table;
}

} // namespace platform
} // namespace tdi
