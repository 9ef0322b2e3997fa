#pragma once
// The last step of shutting down: the console thread gets a few seconds to finish after the
// client has stopped. A thread that does not finish is left to the process exit; a thread is
// never terminated, since that could leave a lock held or a port half written.
//
// Thread: GUI thread, after the event loop has returned. Owner: none (static function).
class QThread;

class ConsoleThreadWaiter
{
public:
    static constexpr int DefaultSeconds = 5;
    static constexpr unsigned long DefaultWaitMs = 1000;

    // Waits up to `seconds` times waitMs, writing "Waiting for console thread: <n>s" before each
    // wait (n counting down from seconds). True when the thread has finished.
    static bool wait(
        QThread& thread, int seconds = DefaultSeconds, unsigned long waitMs = DefaultWaitMs);
};
