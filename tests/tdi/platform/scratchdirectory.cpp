#include "scratchdirectory.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace {

std::string defaultParent()
{
    const char* tmp = std::getenv("TMPDIR");
    return tmp && *tmp ? tmp : "/tmp";
}

} // namespace

ScratchDirectory::ScratchDirectory(const std::string& parent)
{
    std::string pattern = (parent.empty() ? defaultParent() : parent) + "/varen-test-XXXXXX";
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("cannot create a scratch directory from " + pattern);
    directory = pattern;
}

ScratchDirectory::~ScratchDirectory()
{
    std::error_code ignored;
    std::filesystem::remove_all(directory, ignored);
}
