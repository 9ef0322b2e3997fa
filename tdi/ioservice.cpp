#include "tdi/ioservice.h"

namespace tdi {

IoService::IoService()
    : ioStrand(ioContext)
    , work(std::make_shared<WorkGuard>(ioContext.get_executor()))
{
}

std::size_t IoService::run()
{
    return ioContext.run();
}

void IoService::release()
{
    {
        std::lock_guard<std::mutex> guard(workLock);
        work.reset();
    }
    ioContext.restart();
}

void IoService::retain()
{
    std::lock_guard<std::mutex> guard(workLock);
    if (!work)
        work = std::make_shared<WorkGuard>(ioContext.get_executor());
}

void IoService::stop()
{
    if (ioContext.stopped())
        return;
    {
        std::lock_guard<std::mutex> guard(workLock);
        work.reset();
    }
    ioContext.stop();
}

bool IoService::stopped() const
{
    return ioContext.stopped();
}

} // namespace tdi
