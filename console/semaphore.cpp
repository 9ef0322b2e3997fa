#include "console/semaphore.h"

namespace console {

void Semaphore::signal()
{
    {
        std::lock_guard<std::mutex> guard(lock);
        ++count;
    }
    condition.notify_one();
}

bool Semaphore::wait(std::chrono::milliseconds timeout)
{
    std::unique_lock<std::mutex> guard(lock);
    if (!condition.wait_for(guard, timeout, [this] { return count > 0; }))
        return false;
    --count;
    return true;
}

void Semaphore::take(std::chrono::milliseconds timeout)
{
    std::unique_lock<std::mutex> guard(lock);
    if (--count < 0) {
        condition.wait_for(guard, timeout, [this] { return count >= 0; });
        count = 0;
    }
}

} // namespace console
