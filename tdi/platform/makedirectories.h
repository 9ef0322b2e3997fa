#pragma once
// Creates a folder and any missing parents, like `mkdir -p -m MODE`, except that the parents get
// `mode` as well: the folders made here (run-time port folder, configuration folder) are private
// to the user all the way down.
#include <string>
#include <sys/types.h>

namespace tdi {
namespace platform {

// True when `path` is a directory afterwards; false with errno set otherwise.
bool makeDirectories(const std::string& path, mode_t mode);

} // namespace platform
} // namespace tdi
