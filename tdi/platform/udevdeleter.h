#pragma once
// Drops libudev references for std::unique_ptr, so that every early return releases what it took.
// The libudev types stay incomplete here: headers that hold such pointers need not include libudev.
//
// Thread: any (stateless). Owner: the unique_ptr it belongs to.
#include <memory>

struct udev;
struct udev_device;
struct udev_enumerate;
struct udev_monitor;

namespace tdi {
namespace platform {

struct UdevDeleter
{
    void operator()(udev* context) const;
    void operator()(udev_device* device) const;
    void operator()(udev_enumerate* enumeration) const;
    void operator()(udev_monitor* monitor) const;
};

using UdevPtr = std::unique_ptr<udev, UdevDeleter>;
using UdevDevicePtr = std::unique_ptr<udev_device, UdevDeleter>;
using UdevEnumeratePtr = std::unique_ptr<udev_enumerate, UdevDeleter>;
using UdevMonitorPtr = std::unique_ptr<udev_monitor, UdevDeleter>;

} // namespace platform
} // namespace tdi
