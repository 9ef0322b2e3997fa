// The console's round trip against the simulated unit, through the real console layer:
//  1. whole-page reads per second against the unpaced simulator;
//  2. a 26-page polling pass against the simulator paced at 115200 baud, as a ratio to the
//     time the bytes need on the wire in both directions, and the host's overhead per reply.
// Prints its figures; never fails a build.
#include "../tests/support/messagerecorder.h"
#include "../tests/support/unitsimprocess.h"
#include "console/devicecontroller.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>
#include <thread>

using namespace console;
using namespace testsupport;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int FirstPage = 0x38;
constexpr int PassPages = 26;
constexpr double Baud = 115200;

std::string readCommand(int page)
{
    char text[32];
    std::snprintf(text, sizeof text, "v %02X 00 0100\r\n", page);
    return text;
}

UInt16 openDevice(int com)
{
    auto& controller = DeviceController::instance();
    const std::string name = "COM" + std::to_string(com);
    for (int i = 0; i < 500; ++i) {
        const auto ports = controller.portList();
        if (std::any_of(ports.begin(), ports.end(), [&](const auto& p) { return p.name == name; }))
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    CreateDeviceRequest create { -1, 4, nullptr };
    controller.setProperty(StateDeviceId, ReqCreateDevice, sizeof create, &create);
    const auto created = recorder().next(ofType(MsgDeviceCreated));
    if (!created)
        throw std::runtime_error("no device");
    const auto id = static_cast<UInt16>(created->as<DeviceCreatedMessage>().deviceId);
    SerialConfig config;
    config.decoderKind = DecoderK57QMR;
    config.portName = name;
    if (controller.setProperty(id, ReqOpen, sizeof config, &config) != 0)
        throw std::runtime_error("open failed");
    return id;
}

// Sends one read and waits for its reply line; returns the bytes both ways on the wire.
std::size_t roundTrip(UInt16 device, int page)
{
    std::string command = readCommand(page);
    DeviceController::instance().setProperty(device, ReqWrite, sizeof command, &command);
    const auto text = recorder().next(ofType(MsgDeviceOutput, device));
    const auto data = recorder().next(ofType(MsgDeviceOutput, device));
    if (!text || !data)
        throw std::runtime_error("no reply");
    const std::size_t line = data->as<DeviceOutputMessage>().length;
    const std::size_t status = text->as<DeviceOutputMessage>().length;
    // command + echo line + status line + data line + prompt
    return command.size() + command.size() + status + 2 + line + 2 + std::strlen("ModelK57>");
}

void unpacedThroughput()
{
    UnitSimProcess unit(simArguments("qmr", 91, { "--baud", "0" }));
    const UInt16 device = openDevice(91);
    const int replies = 2000;
    const auto start = Clock::now();
    for (int i = 0; i < replies; ++i)
        roundTrip(device, FirstPage + i % PassPages);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    std::printf("unpaced whole-page reads: %d replies in %.3f s = %.0f replies/s (%.3f ms each)\n",
        replies, seconds, replies / seconds, 1000 * seconds / replies);
}

void pacedPollingPass()
{
    UnitSimProcess unit(simArguments("qmr", 92, { "--baud", "115200" }));
    const UInt16 device = openDevice(92);
    roundTrip(device, FirstPage); // settle the line before timing
    for (int pass = 0; pass < 3; ++pass) {
        std::size_t wireBytes = 0;
        const auto start = Clock::now();
        for (int i = 0; i < PassPages; ++i)
            wireBytes += roundTrip(device, FirstPage + i);
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        const double wire = wireBytes / (Baud / 10);
        std::printf("paced 26-page pass %d: %.3f s, wire bound %.3f s, ratio %.3f, "
                    "host overhead %.3f ms per reply\n",
            pass + 1, seconds, wire, seconds / wire, 1000 * (seconds - wire) / PassPages);
    }
}

} // namespace

int main()
{
    if (!std::getenv("VAREN_UNITSIM")) {
        std::fprintf(stderr, "set VAREN_UNITSIM to the varen-unitsim program\n");
        return 0;
    }
    recorder();
    UInt32 running = Running;
    DeviceController::instance().setProperty(
        StateDeviceId, ReqConsoleState, sizeof running, &running);
    try {
        unpacedThroughput();
        pacedPollingPass();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "benchmark stopped: %s\n", error.what());
    }
    UInt32 stopped = Stopped;
    DeviceController::instance().setProperty(
        StateDeviceId, ReqConsoleState, sizeof stopped, &stopped);
    return 0;
}
