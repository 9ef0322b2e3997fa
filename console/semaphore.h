#pragma once
// A counting event: signal() adds one and wakes a waiter. Used to wake the device controller's
// loop when a message is posted and to tell that a worker thread has finished.
//
// Thread: any. Owner: the object that waits on it.
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace console {

class Semaphore
{
public:
    void signal();
    // Waits until signalled or the time-out passes; returns whether it was signalled.
    bool wait(std::chrono::milliseconds timeout);
    // The worker loop's wake-up: take one signal if any, else wait up to `timeout` for one;
    // signals that piled up meanwhile are dropped, as one pass serves them all.
    void take(std::chrono::milliseconds timeout);

private:
    std::mutex lock;
    std::condition_variable condition;
    int count = 0;
};

} // namespace console
