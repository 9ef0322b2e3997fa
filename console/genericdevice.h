#pragma once
// The console side of one module: owns the module's serial channel and response processor,
// opens and closes the port on request, turns the unit's answers into output messages and
// reports every change of its port status once.
//
// Thread: setProperty on the console thread; service and onPortsChanged on the device-controller
// thread (the three serialised by the device's lock); onReceived on the channel I/O thread;
// onDecoded on the processor thread. Owner: the device controller.
#include "console/commondevice.h"
#include "tdi/channelhub.h"

#include <array>
#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

namespace console {

class GenericDevice : public CommonDevice
{
public:
    static constexpr std::size_t RingSlots = 100;
    static constexpr std::size_t SlotSize = 8193;

    enum Pending : UInt32 { None = 0, ApplyBaudRate = 1, Reopen = 2, Close = 3 };

    explicit GenericDevice(UInt16 id);
    ~GenericDevice() override;

    UInt32 service() override;
    UInt32 setParam(UInt32, UInt32, void*) override { return 0; }
    UInt32 getParam(UInt32, UInt32, void*) override { return 0; }
    UInt32 setProperty(UInt32 id, UInt32 size, void* value) override;
    UInt32 getProperty(UInt32 id, UInt32 size, void* value) override;
    UInt32 onDecoded(Processor::IDataProcessor* processor, EProcessorDecodedType kind,
        std::size_t length, const char* data) override;
    void onPortsChanged() override;

private:
    struct PortConfig
    {
        SerialConfig serial;
        tdi::ChannelHub::ChannelHandle channel = nullptr;
        UInt32 portNumber = 0;
    };

    UInt32 open(const SerialConfig& wanted);
    UInt32 ensureProcessor(UInt32 decoderKind);
    void destroyProcessor();
    void closeChannel();
    void reportPortStatus();
    UInt32 selectPort(UInt32 size, const void* value);
    UInt32 writeToPort(UInt32 size, const void* value);
    void onReceived(UInt32 channelId, const unsigned char* data, std::size_t n);
    bool isOpen() const;

    std::mutex lock;
    Processor::IDataProcessor* processor = nullptr;
    UInt32 decoderKind = DecoderNone;
    std::vector<std::vector<unsigned char>> ring;
    std::size_t ringIndex = 0;
    std::atomic<double> lastReceived { 0 };
    std::unique_ptr<PortConfig> config;
    UInt32 pending = None;
    DeviceOutputMessage dataMessage;
    DeviceOutputMessage textMessage;
    PortStatusMessage statusMessage;
};

} // namespace console
