#include "portlink.h"

#include "tdi/platform/makedirectories.h"

#include <cerrno>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace unitsim {

namespace {

[[noreturn]] void fail(const std::string& what)
{
    throw std::system_error(errno, std::generic_category(), what);
}

std::string linkTarget(const std::string& path)
{
    std::vector<char> buffer(4096);
    const ssize_t length = readlink(path.c_str(), buffer.data(), buffer.size());
    return length < 0 ? std::string() : std::string(buffer.data(), std::size_t(length));
}

} // namespace

PortLink::PortLink(const std::string& directory, unsigned comNumber, const std::string& target)
    : linkPath(directory + "/COM" + std::to_string(comNumber))
    , target(target)
{
    if (!tdi::platform::makeDirectories(directory, 0700))
        fail("mkdir " + directory);
    // A dot name is not a port, so a watcher that sees it appear ignores it.
    const std::string temporary
        = directory + "/.COM" + std::to_string(comNumber) + ".tmp" + std::to_string(getpid());
    unlink(temporary.c_str());
    if (symlink(target.c_str(), temporary.c_str()) != 0)
        fail("symlink " + temporary);
    if (rename(temporary.c_str(), linkPath.c_str()) != 0) {
        const int error = errno;
        unlink(temporary.c_str());
        errno = error;
        fail("rename to " + linkPath);
    }
    linked = true;
}

PortLink::~PortLink()
{
    remove();
}

void PortLink::remove()
{
    if (linked && linkTarget(linkPath) == target)
        unlink(linkPath.c_str());
    linked = false;
}

} // namespace unitsim
