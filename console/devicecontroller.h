#pragma once
// The heart of the console: owns every device, carries the console state, runs the loop that
// services the devices, keeps the list of COM ports present, and owns the one message signal
// through which all console output reaches the GUI.
//
// Thread: requests arrive on the console thread (start and stop on the GUI thread); the loop
// runs on the device-controller thread; onUsbEvent on the port watcher's threads; post on every
// console thread. Owner: process-wide singleton, created before main.
#include "console/idevice.h"
#include "console/semaphore.h"
#include "console/thread.h"
#include "tdi/channelhub.h"

#include <boost/signals2/signal.hpp>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace console {

class StateDevice;

class DeviceController : public Thread
{
public:
    using MessageSignal
        = boost::signals2::signal<void(int device, int msgType, unsigned size, const char* data)>;
    using Slot = MessageSignal::slot_type;

    static DeviceController& instance();
    ~DeviceController() override;

    UInt32 setParam(UInt16 device, UInt32 id, UInt32 size, void* value);
    UInt32 setProperty(UInt16 device, UInt32 id, UInt32 size, void* value);
    UInt32 getProperty(UInt16 device, UInt32 id, UInt32 size, void* value);

    void createDevice(const CreateDeviceRequest& request);
    void setState(UInt32 state);
    UInt32 state() const { return currentState; }

    // Posting contract: dropped while stopped or resetting or before a slot is connected;
    // otherwise the header is completed and the signal runs on the posting thread.
    void post(
        UInt16 poster, MessageHeader& header, UInt32 msgType, UInt32 size, const void* record);
    void connectSlot(const Slot& slot);
    void disconnectSlot();

    tdi::ChannelHub* hubHandle() const { return hubAvailable ? hub : nullptr; }
    std::vector<PortEntry> portList() const;

    bool onUsbEvent(unsigned type, unsigned status, const std::vector<unsigned>& ports);

protected:
    void run() override;

private:
    DeviceController();

    UInt32 withDevice(UInt16 device, const std::function<UInt32(IDevice&)>& call);
    void announce(UInt32 state);
    void postState(UInt32 state);
    void postPortList();
    void servicePass(bool portsChanged);
    void reset();
    void releaseDevices(bool keepStateDevice);

    mutable std::recursive_mutex devicesLock;
    std::vector<std::unique_ptr<IDevice>> devices;
    StateDevice* stateDevice = nullptr;
    tdi::ChannelHub* hub = nullptr;
    bool hubAvailable = false;
    std::atomic<bool> running { false };
    std::atomic<bool> everStarted { false };
    std::atomic<UInt32> currentState { Ready };
    std::atomic<bool> changed { false };
    Semaphore wake;
    MessageSignal signal;
    boost::signals2::connection connection;
    std::atomic<bool> slotConnected { false };

    // Creation requests that arrive while a reset is under way wait for its end, since the reset
    // deletes every device and drops every message until then.
    std::mutex deferredLock;
    std::vector<CreateDeviceRequest> deferredCreations;

    mutable std::mutex portsLock;
    std::vector<PortEntry> ports;

    // The controller's own posting records, filled and posted from several threads.
    std::recursive_mutex recordsLock;
    StateMessage stateRecord;
    DeviceCreatedMessage createdRecord;
    PortListMessage portListRecord;
};

} // namespace console
