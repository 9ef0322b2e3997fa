#pragma once
// Base of the console's worker objects: a named thread whose body is run(), guarded so that an
// interruption or a failure to create resources ends the thread with a line on standard output
// instead of ending the process, and a finished event signalled when run() returns.
//
// Thread: start() and the destructor on the owner's thread; run() on the worker thread.
// Owner: the derived object (the device controller).
#include "console/semaphore.h"

#include <boost/thread/thread.hpp>

#include <string>

namespace console {

class Thread
{
public:
    explicit Thread(std::string name);
    virtual ~Thread();
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;

    void start();
    const std::string& name() const { return threadName; }

protected:
    virtual void run() = 0;
    // Waits up to `timeout` for run() to return, then interrupts and joins the thread.
    void finish(std::chrono::milliseconds timeout);
    bool isWorkerThread() const;

private:
    void body();

    boost::thread thread;
    std::string threadName;
    Semaphore finished;
};

} // namespace console
