#pragma once
// Drives the real console layer (device controller, devices, processors, channel hub, port
// discovery) the way the client bridge does, and waits for the messages it posts.
#include "../support/messagerecorder.h"
#include "../support/unitsimprocess.h"
#include "console/devicecontroller.h"

#include <gtest/gtest.h>

#include <string>

namespace testsupport {

class ConsoleTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite();
    void SetUp() override;
    void TearDown() override;

    console::UInt32 request(
        console::UInt16 device, console::UInt32 id, console::UInt32 size, void* value);
    console::UInt16 createDevice(int requestedId = -1, console::UInt32 type = 4);
    void waitForPort(const std::string& name, bool listed = true);
    console::UInt32 openPort(console::UInt16 device, const std::string& name,
        console::UInt32 decoder = console::DecoderK57QMR, console::UInt32 baud = 115200);
    void send(console::UInt16 device, const std::string& command);
    // The next port status message of the device.
    console::PortStatusMessage nextPortStatus(console::UInt16 device);
    // The next status text and reply line of the device.
    std::pair<std::string, std::string> nextReply(console::UInt16 device);
    void resetConsole();
};

} // namespace testsupport
