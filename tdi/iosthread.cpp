#include "tdi/iosthread.h"

#include <iostream>

namespace tdi {

IosThread::IosThread()
    : ioService(std::make_shared<IoService>())
    , thread([service = ioService] { service->run(); })
{
}

IosThread::~IosThread()
{
    ioService->stop();
    try {
        thread.join();
    } catch (const boost::thread_resource_error& error) {
        // Joining from the loop's own thread: the service is stopped, the thread ends by itself.
        std::cout << error.what() << std::endl;
        thread.detach();
    }
}

} // namespace tdi
