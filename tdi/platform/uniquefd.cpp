#include "uniquefd.h"

#include <unistd.h>

namespace tdi {
namespace platform {

UniqueFd::~UniqueFd()
{
    reset();
}

UniqueFd::UniqueFd(UniqueFd&& other) noexcept
    : fd(other.release())
{
}

UniqueFd& UniqueFd::operator=(UniqueFd&& other) noexcept
{
    if (this != &other)
        reset(other.release());
    return *this;
}

int UniqueFd::release()
{
    const int released = fd;
    fd = -1;
    return released;
}

void UniqueFd::reset(int replacement)
{
    // close() is not retried on EINTR: Linux releases the descriptor even then.
    if (fd >= 0)
        ::close(fd);
    fd = replacement;
}

} // namespace platform
} // namespace tdi
