#include "udevdeleter.h"

#include <libudev.h>

namespace tdi {
namespace platform {

void UdevDeleter::operator()(udev* context) const
{
    udev_unref(context);
}

void UdevDeleter::operator()(udev_device* device) const
{
    udev_device_unref(device);
}

void UdevDeleter::operator()(udev_enumerate* enumeration) const
{
    udev_enumerate_unref(enumeration);
}

void UdevDeleter::operator()(udev_monitor* monitor) const
{
    udev_monitor_unref(monitor);
}

} // namespace platform
} // namespace tdi
