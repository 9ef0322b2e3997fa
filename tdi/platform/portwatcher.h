#pragma once
// Tells when serial hardware or a port-directory entry comes or goes: a udev monitor on the tty
// subsystem and inotify on the port directory, watched by one thread of its own. Each arrival and
// each removal calls the callback once (removal = true for a removal).
//
// Only entries named COM<n> count in the port directory. When the kernel drops events (udev or
// inotify queue overflow) the callback gets one arrival, so that a scan catches up.
//
// Thread: start/stop from any thread; the callback runs on the watcher's own thread and must not
// call stop() (stop joins that thread). Owner: whoever starts it; stop() (or destruction) joins
// the thread, and no callback runs after stop() has returned.
#include "udevdeleter.h"
#include "uniquefd.h"

#include <atomic>
#include <functional>
#include <mutex>
#include <thread>

struct inotify_event;

namespace tdi {
namespace platform {

class PortWatcher
{
public:
    using Callback = std::function<void(bool removal)>;

    PortWatcher() = default;
    ~PortWatcher();
    PortWatcher(const PortWatcher&) = delete;
    PortWatcher& operator=(const PortWatcher&) = delete;

    // Starts watching; returns false when neither udev nor inotify could be set up. Returns true
    // without change while already running.
    bool start(Callback callback);
    void stop();
    bool isRunning() const;

private:
    void openMonitor();
    void watchDirectory();
    void halt();
    void watch();
    void readUdevEvents();
    void readDirectoryEvents();
    void handleDirectoryEvent(const inotify_event& event, const char* name);
    void report(bool removal);

    Callback onEvent;
    std::thread thread;
    UniqueFd stopFd;
    UniqueFd directoryEvents;
    // Declared before the monitor, which is therefore released first.
    UdevPtr udevContext;
    UdevMonitorPtr monitor;
    // Serialises start() and stop().
    std::mutex control;
    std::atomic<bool> running { false };
};

} // namespace platform
} // namespace tdi
