#include "portwatcher.h"

#include "comname.h"
#include "makedirectories.h"
#include "portregistry.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <iostream>
#include <libudev.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <system_error>
#include <unistd.h>

namespace tdi {
namespace platform {

namespace {

constexpr uint32_t kArrivals = IN_CREATE | IN_MOVED_TO;
constexpr uint32_t kRemovals = IN_DELETE | IN_MOVED_FROM;

void reportFailure(const std::string& what)
{
    const std::string error = std::strerror(errno);
    std::cerr << "PortWatcher: " + what + ": " + error + '\n';
}

} // namespace

PortWatcher::~PortWatcher()
{
    stop();
}

bool PortWatcher::start(Callback callback)
{
    std::lock_guard<std::mutex> guard(control);
    if (running)
        return true;
    halt(); // a thread that ended on an error is still to be joined
    openMonitor();
    watchDirectory();
    stopFd.reset(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
    if ((!monitor && !directoryEvents) || !stopFd) {
        halt();
        return false;
    }
    onEvent = std::move(callback);
    // Set before the thread starts, which reports nothing while it is clear.
    running = true;
    try {
        thread = std::thread(&PortWatcher::watch, this);
    } catch (const std::system_error& error) {
        std::cerr << std::string("PortWatcher: no thread: ") + error.what() + '\n';
        running = false;
        halt();
        return false;
    }
    return true;
}

void PortWatcher::stop()
{
    std::lock_guard<std::mutex> guard(control);
    running = false;
    halt();
}

bool PortWatcher::isRunning() const
{
    return running;
}

void PortWatcher::openMonitor()
{
    udevContext.reset(udev_new());
    if (udevContext)
        monitor.reset(udev_monitor_new_from_netlink(udevContext.get(), "udev"));
    if (!monitor
        || udev_monitor_filter_add_match_subsystem_devtype(monitor.get(), "tty", nullptr) < 0
        || udev_monitor_enable_receiving(monitor.get()) < 0) {
        std::cerr << "PortWatcher: no udev monitor; serial adapters are noticed only at scans\n";
        monitor.reset();
    }
}

void PortWatcher::watchDirectory()
{
    const std::string directory = PortRegistry::portDirectory();
    if (!makeDirectories(directory, 0700)) {
        reportFailure("cannot create " + directory);
        return;
    }
    directoryEvents.reset(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC));
    if (!directoryEvents
        || ::inotify_add_watch(
               directoryEvents.get(), directory.c_str(), kArrivals | kRemovals | IN_ONLYDIR)
            < 0) {
        reportFailure("cannot watch " + directory);
        directoryEvents.reset();
    }
}

// Called with `control` held and `running` clear.
void PortWatcher::halt()
{
    if (thread.joinable()) {
        ::eventfd_write(stopFd.get(), 1);
        thread.join();
    }
    stopFd.reset();
    directoryEvents.reset();
    monitor.reset();
    udevContext.reset();
    onEvent = nullptr;
}

void PortWatcher::watch()
{
    // poll() skips entries whose descriptor is -1, which stands in for a source that is missing.
    std::array<pollfd, 3> sources { {
        { stopFd.get(), POLLIN, 0 },
        { monitor ? udev_monitor_get_fd(monitor.get()) : -1, POLLIN, 0 },
        { directoryEvents.get(), POLLIN, 0 },
    } };
    while (running) {
        if (::poll(sources.data(), sources.size(), -1) < 0) {
            if (errno == EINTR)
                continue;
            reportFailure("poll failed, watching stops");
            break;
        }
        if (sources[0].revents != 0)
            break;
        if (sources[1].revents != 0)
            readUdevEvents();
        if (sources[2].revents != 0)
            readDirectoryEvents();
    }
    running = false;
}

void PortWatcher::readUdevEvents()
{
    for (;;) {
        const UdevDevicePtr device(udev_monitor_receive_device(monitor.get()));
        if (!device) {
            // ENOBUFS: the socket overflowed and events were lost; the rest is read on. Any other
            // failure ends this round, and poll() tells whether more is waiting.
            if (errno != ENOBUFS)
                return;
            report(false);
            continue;
        }
        const char* action = udev_device_get_action(device.get());
        if (action && std::strcmp(action, "add") == 0)
            report(false);
        else if (action && std::strcmp(action, "remove") == 0)
            report(true);
    }
}

void PortWatcher::readDirectoryEvents()
{
    alignas(inotify_event) char buffer[4096];
    for (;;) {
        const ssize_t length = ::read(directoryEvents.get(), buffer, sizeof buffer);
        if (length <= 0)
            return; // EAGAIN: all read
        for (const char* at = buffer; at < buffer + length;) {
            inotify_event event;
            std::memcpy(&event, at, sizeof event);
            handleDirectoryEvent(event, at + sizeof event);
            at += sizeof event + event.len;
        }
    }
}

void PortWatcher::handleDirectoryEvent(const inotify_event& event, const char* name)
{
    if (event.mask & IN_Q_OVERFLOW) {
        report(false);
        return;
    }
    // The name is padded with NULs, and absent (len 0) for events about the folder itself.
    if (event.len == 0 || ComName::parse(std::string_view(name, ::strnlen(name, event.len))) == 0)
        return;
    if (event.mask & kArrivals)
        report(false);
    else if (event.mask & kRemovals)
        report(true);
}

void PortWatcher::report(bool removal)
{
    if (running && onEvent)
        onEvent(removal);
}

} // namespace platform
} // namespace tdi
