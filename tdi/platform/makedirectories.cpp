#include "makedirectories.h"

#include <cerrno>
#include <sys/stat.h>

namespace tdi {
namespace platform {

namespace {

bool makeDirectory(const std::string& path, mode_t mode)
{
    if (::mkdir(path.c_str(), mode) == 0)
        return true;
    const int error = errno;
    // An existing directory is fine even where mkdir reports something other than EEXIST, such
    // as EACCES for a parent the user may not write to.
    struct stat status;
    if (::stat(path.c_str(), &status) == 0) {
        if (S_ISDIR(status.st_mode))
            return true;
        errno = ENOTDIR;
        return false;
    }
    errno = error;
    return false;
}

} // namespace

bool makeDirectories(const std::string& path, mode_t mode)
{
    if (path.empty()) {
        errno = ENOENT;
        return false;
    }
    for (std::size_t end = path.find('/', 1);; end = path.find('/', end + 1)) {
        const std::string prefix = path.substr(0, end);
        // Doubled and trailing slashes give prefixes ending in '/', which add nothing.
        if (prefix.back() != '/' && !makeDirectory(prefix, mode))
            return false;
        if (end == std::string::npos)
            return true;
    }
}

} // namespace platform
} // namespace tdi
