#include "porttable.h"

#include "comname.h"
#include "portnumbermap.h"

#include <dirent.h>
#include <memory>

namespace tdi {
namespace platform {

PortTable PortTable::fromDirectory(const std::string& directory)
{
    PortTable table;
    const std::unique_ptr<DIR, int (*)(DIR*)> folder(::opendir(directory.c_str()), ::closedir);
    if (!folder)
        return table;
    while (const dirent* entry = ::readdir(folder.get())) {
        if (const unsigned number = ComName::parse(entry->d_name)) {
            table.paths[number] = directory + '/' + entry->d_name;
            table.directoryNumbers.insert(number);
        }
    }
    return table;
}

void PortTable::addHardware(const SerialHardware::Port& port, PortNumberMap& numbers)
{
    const unsigned number = numbers.assign(port.key, directoryNumbers);
    if (number != 0 && !directoryNumbers.count(number))
        paths[number] = port.devicePath;
}

std::string PortTable::path(unsigned number) const
{
    const auto found = paths.find(number);
    return found == paths.end() ? std::string() : found->second;
}

} // namespace platform
} // namespace tdi
