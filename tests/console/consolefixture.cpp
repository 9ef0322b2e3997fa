#include "consolefixture.h"

#include <chrono>
#include <thread>

namespace testsupport {

using namespace console;

void ConsoleTest::SetUpTestSuite()
{
    recorder();
    if (DeviceController::instance().state() != Running) {
        UInt32 running = Running;
        DeviceController::instance().setProperty(
            StateDeviceId, ReqConsoleState, sizeof running, &running);
    }
}

void ConsoleTest::SetUp()
{
    recorder().skipAll();
}

void ConsoleTest::TearDown()
{
    resetConsole();
}

void ConsoleTest::resetConsole()
{
    UInt32 resetting = Resetting;
    request(StateDeviceId, ReqConsoleState, sizeof resetting, &resetting);
    ASSERT_TRUE(recorder().next([](const Recorded& m) {
        return m.type() == MsgState && m.as<StateMessage>().state == Ready;
    }));
}

UInt32 ConsoleTest::request(UInt16 device, UInt32 id, UInt32 size, void* value)
{
    return DeviceController::instance().setProperty(device, id, size, value);
}

UInt16 ConsoleTest::createDevice(int requestedId, UInt32 type)
{
    CreateDeviceRequest create { requestedId, type, nullptr };
    EXPECT_EQ(request(StateDeviceId, ReqCreateDevice, sizeof create, &create), 0u);
    const auto created = recorder().next(ofType(MsgDeviceCreated, StateDeviceId));
    if (!created) {
        ADD_FAILURE() << "no device-created message";
        return 0;
    }
    EXPECT_EQ(created->as<DeviceCreatedMessage>().deviceType, type);
    return static_cast<UInt16>(created->as<DeviceCreatedMessage>().deviceId);
}

void ConsoleTest::waitForPort(const std::string& name, bool listed)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < deadline) {
        const auto ports = DeviceController::instance().portList();
        const bool found = std::any_of(
            ports.begin(), ports.end(), [&](const PortEntry& entry) { return entry.name == name; });
        if (found == listed)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    FAIL() << name << (listed ? " never appeared" : " never went away") << " in the port list";
}

UInt32 ConsoleTest::openPort(UInt16 device, const std::string& name, UInt32 decoder, UInt32 baud)
{
    SerialConfig config;
    config.baudRate = baud;
    config.decoderKind = decoder;
    config.portName = name;
    return request(device, ReqOpen, sizeof config, &config);
}

void ConsoleTest::send(UInt16 device, const std::string& command)
{
    std::string text = command;
    EXPECT_EQ(request(device, ReqWrite, sizeof text, &text), 0u);
}

PortStatusMessage ConsoleTest::nextPortStatus(UInt16 device)
{
    const auto status = recorder().next(ofType(MsgPortStatus, device));
    if (!status) {
        ADD_FAILURE() << "no port status message from device " << device;
        return {};
    }
    return status->as<PortStatusMessage>();
}

std::pair<std::string, std::string> ConsoleTest::nextReply(UInt16 device)
{
    const auto text = recorder().next(ofType(MsgDeviceOutput, device));
    const auto data = text ? recorder().next(ofType(MsgDeviceOutput, device)) : std::nullopt;
    if (!text || !data) {
        ADD_FAILURE() << "no complete reply from device " << device;
        return {};
    }
    const auto& status = text->as<DeviceOutputMessage>();
    const auto& line = data->as<DeviceOutputMessage>();
    EXPECT_EQ(status.header.kind, OutputText);
    EXPECT_EQ(status.isData, 0);
    EXPECT_EQ(line.header.kind, OutputData);
    EXPECT_EQ(line.isData, 1);
    return { std::string(status.data, status.length), std::string(line.data, line.length) };
}

} // namespace testsupport
