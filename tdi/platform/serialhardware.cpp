#include "serialhardware.h"

#include "udevdeleter.h"
#include "uniquefd.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <libudev.h>
#include <linux/serial.h>
#include <sstream>
#include <sys/ioctl.h>

namespace tdi {
namespace platform {

namespace {

std::string text(const char* value)
{
    return value ? value : "";
}

// ttyS<n> is the kernel's name for the 8250/16550 family, which lists empty slots.
bool isLegacyUartSlot(udev_device* device)
{
    const std::string name = text(udev_device_get_sysname(device));
    return name.size() > 4 && name.compare(0, 4, "ttyS") == 0
        && name.find_first_not_of("0123456789", 4) == std::string::npos;
}

// The serial core publishes the UART type in sysfs, readable without opening the device (which
// needs the dialout group and toggles the modem lines); TIOCGSERIAL is the fallback for drivers
// that do not. When neither tells, the slot is kept: better one empty port than a hidden one.
bool hasUart(udev_device* device, const char* devnode)
{
    if (const char* type = udev_device_get_sysattr_value(device, "type"))
        return std::atoi(type) != PORT_UNKNOWN;
    UniqueFd fd(::open(devnode, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    serial_struct info;
    std::memset(&info, 0, sizeof info);
    if (!fd || ::ioctl(fd.get(), TIOCGSERIAL, &info) != 0)
        return true;
    return info.type != PORT_UNKNOWN;
}

bool isSerialHardware(udev_device* device)
{
    const char* devnode = udev_device_get_devnode(device);
    if (!devnode || !udev_device_get_parent(device))
        return false;
    return !isLegacyUartSlot(device) || hasUart(device, devnode);
}

SerialHardware::Port portOf(udev_device* device)
{
    const std::string devnode = udev_device_get_devnode(device);
    const std::string devlinks = text(udev_device_get_property_value(device, "DEVLINKS"));
    return { SerialHardware::stableKey(devlinks, devnode), devnode };
}

std::string smallestLinkUnder(const std::string& devlinks, const std::string& folder)
{
    std::string smallest;
    std::istringstream links(devlinks);
    for (std::string link; links >> link;) {
        if (link.compare(0, folder.size(), folder) == 0 && (smallest.empty() || link < smallest))
            smallest = link;
    }
    return smallest;
}

} // namespace

std::vector<SerialHardware::Port> SerialHardware::enumerate()
{
    std::vector<Port> ports;
    const UdevPtr context(udev_new());
    const UdevEnumeratePtr scan(context ? udev_enumerate_new(context.get()) : nullptr);
    if (!scan || udev_enumerate_add_match_subsystem(scan.get(), "tty") < 0
        || udev_enumerate_scan_devices(scan.get()) < 0)
        return ports;
    udev_list_entry* entry;
    udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(scan.get()))
    {
        const char* syspath = udev_list_entry_get_name(entry);
        const UdevDevicePtr device(udev_device_new_from_syspath(context.get(), syspath));
        if (device && isSerialHardware(device.get()))
            ports.push_back(portOf(device.get()));
    }
    std::sort(
        ports.begin(), ports.end(), [](const Port& a, const Port& b) { return a.key < b.key; });
    return ports;
}

std::string SerialHardware::stableKey(const std::string& devlinks, const std::string& devnode)
{
    for (const char* folder : { "/dev/serial/by-id/", "/dev/serial/by-path/" }) {
        if (std::string link = smallestLinkUnder(devlinks, folder); !link.empty())
            return link;
    }
    return devnode;
}

} // namespace platform
} // namespace tdi
