#pragma once
// An IoService with a thread that runs it from construction to destruction. The response
// processors post their work here, so all decoding happens on this one thread, in order.
//
// Thread: constructed and destroyed on any thread other than its own.
// Owner: the processor registry (static storage).
#include "tdi/ioservice.h"

#include <boost/thread/thread.hpp>

namespace tdi {

class IosThread
{
public:
    IosThread();
    ~IosThread();
    IosThread(const IosThread&) = delete;
    IosThread& operator=(const IosThread&) = delete;

    IoService& service() { return *ioService; }

private:
    IoServicePtr ioService;
    boost::thread thread;
};

} // namespace tdi
