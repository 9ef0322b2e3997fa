#pragma once
// Port discovery: scans the COM port numbers present at start and on every arrival or removal
// of serial hardware or of a port-directory entry, and hands each result to a callback (the
// device controller's onUsbEvent).
//
// Thread: start and stop from the device-controller thread or at exit; scans run on the
// watcher's threads and are serialised. Owner: process-wide (static storage).
#include "tdi/platform/portwatcher.h"

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace console {

class PortDiscovery
{
public:
    // (device type, status: 0 start-up scan or arrival, 1 removal, port numbers) -> any present
    using Callback = std::function<bool(unsigned, unsigned, const std::vector<unsigned>&)>;

    static PortDiscovery& instance();

    // Starts watching once per process: up to nine start-up scans one second apart (until a
    // port is found), then one scan per arrival or removal.
    void startUsbWatcher(Callback callback);
    void stopUsbWatcher();
    bool scanPorts(unsigned type, unsigned status);

private:
    PortDiscovery() = default;
    ~PortDiscovery();
    void initialScans();

    std::mutex lock;
    std::mutex scanLock;
    std::condition_variable stopped;
    bool stopRequested = false;
    bool started = false;
    Callback callback;
    std::vector<unsigned> lastScan;
    std::thread startupThread;
    tdi::platform::PortWatcher watcher;
};

} // namespace console
