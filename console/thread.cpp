#include "console/thread.h"

#include <exception>
#include <iostream>

namespace console {

Thread::Thread(std::string name)
    : threadName(std::move(name))
{
}

Thread::~Thread() = default;

void Thread::start()
{
    if (thread.joinable())
        thread.join(); // an earlier run has ended; its thread object is reused
    thread = boost::thread([this] { body(); });
}

void Thread::body()
{
    try {
        run();
    } catch (const boost::thread_interrupted&) {
        std::cout << boost::this_thread::get_id() << " Thread is stopped in ThreadFunction "
                  << std::endl;
    } catch (const boost::thread_resource_error&) {
        std::cout << boost::this_thread::get_id() << " boost thread_resource_error" << std::endl;
    } catch (const std::exception&) {
        // Any other failure ends the loop quietly; the owner sees it as a finished thread.
    }
    finished.signal();
}

void Thread::finish(std::chrono::milliseconds timeout)
{
    if (!thread.joinable())
        return;
    finished.wait(timeout);
    if (isWorkerThread()) {
        thread.detach();
        return;
    }
    thread.interrupt();
    thread.join();
}

bool Thread::isWorkerThread() const
{
    return thread.get_id() == boost::this_thread::get_id();
}

} // namespace console
