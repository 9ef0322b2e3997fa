#include "console/devicecontroller.h"

#include "console/genericdevice.h"
#include "console/portdiscovery.h"
#include "console/processorregistry.h"
#include "console/statedevice.h"
#include "tdi/statuscodes.h"

#include <boost/date_time/posix_time/posix_time.hpp>
#include <boost/thread/thread.hpp>

#include <algorithm>
#include <iostream>

namespace console {

namespace status = tdi::status;

namespace {

constexpr auto LoopPeriod = std::chrono::milliseconds(100);
constexpr auto ResetSettle = boost::chrono::milliseconds(1000);

// Seconds since 1980-01-01 00:00:00 local time, to the microsecond.
double messageTimestamp()
{
    using namespace boost::posix_time;
    static const ptime epoch(boost::gregorian::date(1980, 1, 1));
    return static_cast<double>((microsec_clock::local_time() - epoch).total_microseconds()) / 1e6;
}

bool isGenericType(UInt32 deviceType)
{
    return deviceType == 0 || deviceType == 1 || deviceType == 3 || deviceType == 4;
}

} // namespace

DeviceController& DeviceController::instance()
{
    static DeviceController controller;
    return controller;
}

// The controller, its state device and the channel hub exist before main.
[[maybe_unused]] static DeviceController& createdBeforeMain = DeviceController::instance();

DeviceController::DeviceController()
    : Thread("DeviceController")
{
    // Devices destroy their processors and the controller stops port discovery at exit, so
    // both must outlive the controller: being built first, they are destroyed after it.
    Processor::ProcessorRegistry::instance();
    PortDiscovery::instance();
    hubAvailable = tdi::ChannelHub::instance(&hub) == status::Ok;
    auto state = std::make_unique<StateDevice>();
    stateDevice = state.get();
    devices.push_back(std::move(state));
}

DeviceController::~DeviceController()
{
    // The loop is stopped before the devices go, so it never services a deleted device.
    if (everStarted) {
        if (running) {
            running = false;
            currentState = Stopped;
            tdi::ChannelHub::pause(hubHandle(), true);
        }
        finish(LoopPeriod);
    }
    releaseDevices(false);
    tdi::ChannelHub::stop(hubHandle());
    PortDiscovery::instance().stopUsbWatcher();
}

UInt32 DeviceController::withDevice(UInt16 device, const std::function<UInt32(IDevice&)>& call)
{
    std::lock_guard<std::recursive_mutex> guard(devicesLock);
    const auto it = std::find_if(devices.begin(), devices.end(),
        [device](const auto& entry) { return entry->id() == device; });
    return it == devices.end() ? status::DeviceNotAvailable : call(**it);
}

UInt32 DeviceController::setParam(UInt16 device, UInt32 id, UInt32 size, void* value)
{
    return withDevice(device, [&](IDevice& target) { return target.setParam(id, size, value); });
}

UInt32 DeviceController::setProperty(UInt16 device, UInt32 id, UInt32 size, void* value)
{
    return withDevice(device, [&](IDevice& target) { return target.setProperty(id, size, value); });
}

UInt32 DeviceController::getProperty(UInt16 device, UInt32 id, UInt32 size, void* value)
{
    return withDevice(device, [&](IDevice& target) { return target.getProperty(id, size, value); });
}

void DeviceController::createDevice(const CreateDeviceRequest& request)
{
    {
        std::lock_guard<std::mutex> guard(deferredLock);
        if (currentState == Resetting) {
            deferredCreations.push_back(request);
            return;
        }
    }
    UInt32 newId = 0;
    {
        std::lock_guard<std::recursive_mutex> guard(devicesLock);
        UInt32 candidate = request.requestedId == -1 ? 0 : static_cast<UInt32>(request.requestedId);
        for (const auto& device : devices) {
            if (device.get() != stateDevice && device->id() >= candidate)
                candidate = device->id() + 1u;
        }
        // Other device types get no device; the creation message still tells the GUI, which
        // reports the unknown type.
        if (isGenericType(request.deviceType))
            devices.push_back(std::make_unique<GenericDevice>(static_cast<UInt16>(candidate)));
        newId = candidate;
    }
    std::lock_guard<std::recursive_mutex> guard(recordsLock);
    createdRecord.deviceId = newId;
    createdRecord.deviceType = request.deviceType;
    createdRecord.param = request.param;
    post(StateDeviceId, createdRecord.header, MsgDeviceCreated, sizeof(createdRecord),
        &createdRecord);
}

void DeviceController::setState(UInt32 state)
{
    switch (state) {
    case Running:
        if (running)
            return;
        {
            // A stopped loop released the state device; without it there is nothing to run.
            std::lock_guard<std::recursive_mutex> guard(devicesLock);
            if (!stateDevice)
                return;
        }
        running = true;
        announce(Running);
        everStarted = true;
        start();
        break;
    case Stopped:
        if (!running)
            return;
        running = false;
        announce(Stopped);
        tdi::ChannelHub::pause(hubHandle(), true);
        break;
    case Paused:
        if (!running)
            return;
        announce(Paused);
        tdi::ChannelHub::pause(hubHandle(), true);
        break;
    case Resumed:
        if (!running)
            return;
        announce(Resumed);
        tdi::ChannelHub::pause(hubHandle(), false);
        changed = true;
        break;
    case Resetting:
        announce(Resetting);
        break;
    default:
        break;
    }
}

void DeviceController::announce(UInt32 state)
{
    if (currentState == state)
        return;
    currentState = state;
    postState(state);
}

void DeviceController::postState(UInt32 state)
{
    std::lock_guard<std::recursive_mutex> guard(recordsLock);
    stateRecord.state = state;
    post(StateDeviceId, stateRecord.header, MsgState, sizeof(stateRecord), &stateRecord);
}

void DeviceController::post(
    UInt16 poster, MessageHeader& header, UInt32 msgType, UInt32 size, const void* record)
{
    const UInt32 state = currentState;
    if (state != Stopped && state != Resetting && slotConnected) {
        header.size = size;
        header.timestamp = messageTimestamp();
        if (header.deviceId == 0)
            header.deviceId = poster;
        signal(poster, static_cast<int>(msgType), size, static_cast<const char*>(record));
    }
    wake.signal();
}

void DeviceController::connectSlot(const Slot& slot)
{
    connection = signal.connect(slot);
    slotConnected = true;
}

void DeviceController::disconnectSlot()
{
    slotConnected = false;
    connection.disconnect();
}

std::vector<PortEntry> DeviceController::portList() const
{
    std::lock_guard<std::mutex> guard(portsLock);
    return ports;
}

bool DeviceController::onUsbEvent(unsigned, unsigned, const std::vector<unsigned>& numbers)
{
    std::vector<PortEntry> scanList;
    for (unsigned number : numbers)
        scanList.push_back({ "COM" + std::to_string(number), static_cast<std::int32_t>(number) });
    bool hasStateDevice;
    {
        std::lock_guard<std::recursive_mutex> guard(devicesLock);
        hasStateDevice = stateDevice != nullptr;
    }
    if (hasStateDevice) {
        {
            std::lock_guard<std::mutex> guard(portsLock);
            ports = scanList;
        }
        postPortList();
    }
    changed = true;
    return !scanList.empty();
}

void DeviceController::run()
{
    PortDiscovery::instance().startUsbWatcher(
        [this](unsigned type, unsigned status, const std::vector<unsigned>& numbers) {
            return onUsbEvent(type, status, numbers);
        });
    if (hubAvailable && tdi::ChannelHub::start(hub) != status::Ok)
        std::cerr << "Failed to open Hal device" << std::endl;
    while (running) {
        wake.take(LoopPeriod);
        const bool portsChanged = changed.exchange(false);
        const UInt32 state = currentState;
        if (state == Paused)
            continue;
        if (state == Resetting)
            reset();
        else
            servicePass(portsChanged);
    }
    releaseDevices(false);
    wake.signal();
}

void DeviceController::servicePass(bool portsChanged)
{
    std::vector<IDevice*> snapshot;
    {
        std::lock_guard<std::recursive_mutex> guard(devicesLock);
        for (const auto& device : devices)
            snapshot.push_back(device.get());
    }
    // Only this thread deletes devices, so the snapshot stays valid without the lock.
    for (IDevice* device : snapshot) {
        device->service();
        if (portsChanged)
            device->onPortsChanged();
    }
}

void DeviceController::reset()
{
    tdi::ChannelHub::pause(hubHandle(), true);
    boost::this_thread::sleep_for(ResetSettle);
    releaseDevices(true);
    tdi::ChannelHub::pause(hubHandle(), false);
    changed = true;
    std::vector<CreateDeviceRequest> deferred;
    bool announce = false;
    {
        std::lock_guard<std::mutex> guard(deferredLock);
        announce = currentState != Ready;
        currentState = Ready;
        deferred.swap(deferredCreations);
    }
    if (announce)
        postState(Ready);
    // Port lists scanned during the reset were dropped with every other message; the GUI gets
    // the current list again, as its new modules need it.
    postPortList();
    for (const auto& request : deferred)
        createDevice(request);
}

void DeviceController::postPortList()
{
    std::lock_guard<std::recursive_mutex> guard(recordsLock);
    portListRecord.ports = portList();
    post(
        StateDeviceId, portListRecord.header, MsgPortList, sizeof(portListRecord), &portListRecord);
}

void DeviceController::releaseDevices(bool keepStateDevice)
{
    std::lock_guard<std::recursive_mutex> guard(devicesLock);
    auto keep = std::remove_if(devices.begin(), devices.end(),
        [&](const auto& device) { return !(keepStateDevice && device.get() == stateDevice); });
    devices.erase(keep, devices.end());
    if (!keepStateDevice)
        stateDevice = nullptr;
}

} // namespace console
