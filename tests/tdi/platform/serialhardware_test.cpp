#include "tdi/platform/serialhardware.h"

#include <algorithm>
#include <gtest/gtest.h>

using tdi::platform::SerialHardware;

TEST(SerialHardware, StableKeyPrefersByIdThenByPathThenDeviceNode)
{
    const std::string byId = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";
    const std::string byId2 = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00";
    const std::string byPath = "/dev/serial/by-path/pci-0000:00:14.0-usb-0:2:1.0-port0";
    const struct
    {
        std::string devlinks;
        std::string key;
    } cases[] = {
        { byPath + ' ' + byId, byId },
        { byId + ' ' + byPath, byId },
        { byPath, byPath },
        { "/dev/gps0 " + byPath + " /dev/modem", byPath },
        { "/dev/gps0", "/dev/ttyUSB0" },
        { "", "/dev/ttyUSB0" },
        { byId + ' ' + byId2, byId2 },
        { "/dev/serial/by-identity/x", "/dev/ttyUSB0" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(SerialHardware::stableKey(c.devlinks, "/dev/ttyUSB0"), c.key) << c.devlinks;
}

// The machine's hardware is unknown to the test; what it lists must still be usable.
TEST(SerialHardware, EnumeratesDeviceNodesOrderedByKey)
{
    const auto ports = SerialHardware::enumerate();
    for (const auto& port : ports) {
        EXPECT_FALSE(port.key.empty());
        EXPECT_EQ(port.devicePath.compare(0, 5, "/dev/"), 0) << port.devicePath;
    }
    EXPECT_TRUE(std::is_sorted(
        ports.begin(), ports.end(), [](const auto& a, const auto& b) { return a.key < b.key; }));
}
