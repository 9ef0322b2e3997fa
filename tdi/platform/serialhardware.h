#pragma once
// Serial hardware as udev lists it: tty devices that hang off a parent device, that is USB serial
// adapters (ttyUSB), ACM devices (ttyACM) and real UARTs. Virtual terminals and pseudo-terminals
// have no parent and are left out. The kernel registers a ttyS device for every legacy UART slot,
// populated or not, so a ttyS device counts only when its UART type is known.
//
// Thread: any (stateless; every call uses a udev context of its own).
#include <string>
#include <vector>

namespace tdi {
namespace platform {

class SerialHardware
{
public:
    struct Port
    {
        std::string key; // stableKey() of the device
        std::string devicePath; // device node, such as /dev/ttyUSB0
    };

    // The serial hardware present now, ordered by key so that adapters found together get their
    // numbers in the same order every time.
    static std::vector<Port> enumerate();

    // What identifies an adapter across replugs: its /dev/serial/by-id link (made from the
    // adapter's own serial number), else its /dev/serial/by-path link (the socket it is plugged
    // into), else the device node. `devlinks` is udev's blank-separated DEVLINKS property; of
    // several links of one kind the smallest is taken, as udev lists them in no fixed order.
    static std::string stableKey(const std::string& devlinks, const std::string& devnode);
};

} // namespace platform
} // namespace tdi
