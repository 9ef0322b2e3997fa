#include "console/portdiscovery.h"

#include "tdi/platform/portregistry.h"

#include <chrono>

namespace console {

namespace {
constexpr int StartupScans = 9;
constexpr auto StartupScanPause = std::chrono::milliseconds(1000);
} // namespace

PortDiscovery& PortDiscovery::instance()
{
    static PortDiscovery discovery;
    return discovery;
}

PortDiscovery::~PortDiscovery()
{
    stopUsbWatcher();
}

void PortDiscovery::startUsbWatcher(Callback onScan)
{
    std::lock_guard<std::mutex> guard(lock);
    if (started)
        return;
    started = true;
    stopRequested = false;
    callback = std::move(onScan);
    watcher.start([this](bool removal) { scanPorts(0, removal ? 1 : 0); });
    startupThread = std::thread([this] { initialScans(); });
}

void PortDiscovery::initialScans()
{
    for (int scan = 0; scan < StartupScans; ++scan) {
        {
            std::unique_lock<std::mutex> guard(lock);
            if (stopped.wait_for(guard, StartupScanPause, [this] { return stopRequested; }))
                return;
        }
        if (scanPorts(0, 0))
            return;
    }
}

void PortDiscovery::stopUsbWatcher()
{
    {
        std::lock_guard<std::mutex> guard(lock);
        if (!started)
            return;
        stopRequested = true;
    }
    stopped.notify_all();
    watcher.stop();
    if (startupThread.joinable())
        startupThread.join();
    std::lock_guard<std::mutex> guard(lock);
    callback = nullptr;
    started = false;
}

bool PortDiscovery::scanPorts(unsigned type, unsigned status)
{
    std::lock_guard<std::mutex> scanGuard(scanLock);
    lastScan = tdi::platform::PortRegistry::instance().presentPorts();
    Callback onScan;
    {
        std::lock_guard<std::mutex> guard(lock);
        onScan = callback;
    }
    return onScan ? onScan(type, status, lastScan) : false;
}

} // namespace console
