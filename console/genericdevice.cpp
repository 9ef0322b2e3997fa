#include "console/genericdevice.h"

#include "console/devicecontroller.h"
#include "console/processorregistry.h"
#include "tdi/statuscodes.h"

#include <algorithm>
#include <chrono>
#include <cstring>

namespace console {

namespace status = tdi::status;
using Processor::ProcessorRegistry;

namespace {

const PortEntry* findPort(const std::vector<PortEntry>& ports, const std::string& name)
{
    const auto it = std::find_if(
        ports.begin(), ports.end(), [&name](const PortEntry& entry) { return entry.name == name; });
    return it == ports.end() ? nullptr : &*it;
}

tdi::ChannelHub* hub()
{
    return DeviceController::instance().hubHandle();
}

} // namespace

GenericDevice::GenericDevice(UInt16 id)
    : CommonDevice(id, GenericDeviceType)
    , ring(RingSlots, std::vector<unsigned char>(SlotSize))
{
}

GenericDevice::~GenericDevice()
{
    std::lock_guard<std::mutex> guard(lock);
    closeChannel();
    config.reset();
    destroyProcessor();
}

UInt32 GenericDevice::setProperty(UInt32 id, UInt32 size, void* value)
{
    if (!value)
        return status::DeviceBadValue;
    std::lock_guard<std::mutex> guard(lock);
    switch (id) {
    case ReqOpen:
        if (size != sizeof(SerialConfig))
            return status::Ok;
        return open(*static_cast<const SerialConfig*>(value));
    case ReqSelectPort:
        return selectPort(size, value);
    case ReqClose:
        pending = Close;
        return status::Ok;
    case ReqBaudRate:
        pending = ApplyBaudRate;
        if (size != sizeof(UInt32))
            pending = None;
        else if (config)
            config->serial.baudRate = *static_cast<const UInt32*>(value);
        return status::Ok;
    case ReqConfigureProcessor:
        if (processor)
            ProcessorRegistry::instance().configureProcessor(processor, size, value);
        return status::Ok;
    case ReqWrite:
        return writeToPort(size, value);
    default:
        return status::DeviceUnknownRequest;
    }
}

UInt32 GenericDevice::getProperty(UInt32, UInt32, void* value)
{
    return value ? status::Ok : status::DeviceBadValue;
}

UInt32 GenericDevice::selectPort(UInt32 size, const void* value)
{
    pending = Reopen;
    if (size != sizeof(std::string) || !config)
        return status::Ok;
    const auto& name = *static_cast<const std::string*>(value);
    if (name == config->serial.portName) {
        pending = None;
        return status::Ok;
    }
    if (findPort(DeviceController::instance().portList(), name)) {
        config->serial.portName = name;
        return status::Ok;
    }
    config->serial.portName.clear();
    pending = None;
    return status::DeviceBadValue;
}

UInt32 GenericDevice::writeToPort(UInt32 size, const void* value)
{
    if (size != sizeof(std::string) || !isOpen() || !hub())
        return status::Ok;
    const auto& text = *static_cast<const std::string*>(value);
    tdi::ChannelHub::write(hub(), config->channel, text.data(), text.size());
    return status::Ok;
}

bool GenericDevice::isOpen() const
{
    return config && config->channel;
}

UInt32 GenericDevice::open(const SerialConfig& wanted)
{
    const auto ports = DeviceController::instance().portList();
    const PortEntry* port = findPort(ports, wanted.portName);
    if (!port)
        return status::DeviceBadValue;
    const std::string openName = "COM" + std::to_string(port->number);
    closeChannel();
    if (ensureProcessor(wanted.decoderKind) != status::ProcessorOk)
        return status::ProcessorNotCreated;
    if (!config)
        config = std::make_unique<PortConfig>();

    UInt32 result = status::Ok;
    tdi::ChannelHub::ChannelHandle channel = nullptr;
    if (tdi::ChannelHub* channels = hub()) {
        const UInt32 opened = tdi::ChannelHub::openChannel(
            channels, openName, wanted.baudRate, static_cast<UInt32>(port->number), 0, 0,
            [this](UInt32 channelId, const unsigned char* data, std::size_t n) {
                onReceived(channelId, data, n);
            },
            [](std::size_t) {}, [](const boost::system::error_code&) {}, &channel);
        if (opened != status::Ok)
            result = status::DeviceNotAvailable;
    }
    config->serial = wanted;
    if (result == status::Ok && channel) {
        config->channel = channel;
        config->portNumber = static_cast<UInt32>(port->number);
    }
    return result;
}

UInt32 GenericDevice::ensureProcessor(UInt32 kind)
{
    if (processor && kind == decoderKind)
        return status::ProcessorOk;
    destroyProcessor();
    auto output
        = [this](Processor::IDataProcessor* source, EProcessorDecodedType decoded, const char* data,
              std::size_t length) { onDecoded(source, decoded, length, data); };
    const UInt32 created = ProcessorRegistry::instance().createProcessor(kind, output, &processor);
    if (created != status::ProcessorOk) {
        processor = nullptr;
        decoderKind = DecoderNone;
        return created;
    }
    ringIndex = 0;
    decoderKind = kind;
    return status::ProcessorOk;
}

void GenericDevice::destroyProcessor()
{
    if (processor)
        ProcessorRegistry::instance().destroyProcessor(processor);
    processor = nullptr;
}

void GenericDevice::closeChannel()
{
    if (config && config->channel && hub())
        tdi::ChannelHub::closeChannel(hub(), &config->channel);
    pending = None;
    if (config) {
        config->channel = nullptr;
        config->serial.portName.clear();
    }
}

UInt32 GenericDevice::service()
{
    std::lock_guard<std::mutex> guard(lock);
    if (pending == None)
        reportPortStatus();
    if (!config)
        return status::Ok;
    switch (pending) {
    case ApplyBaudRate:
        if (isOpen())
            tdi::ChannelHub::setBaudRate(hub(), config->channel, config->serial.baudRate);
        pending = None;
        break;
    case Reopen: {
        const SerialConfig stored = config->serial;
        open(stored);
        break;
    }
    case Close:
        closeChannel();
        break;
    default:
        break;
    }
    if (processor)
        ProcessorRegistry::instance().tickProcessor(processor);
    return status::Ok;
}

void GenericDevice::reportPortStatus()
{
    const bool open = isOpen();
    const std::string name = config ? config->serial.portName : std::string();
    if (open == statusMessage.open && name == statusMessage.portName)
        return;
    statusMessage.open = open;
    statusMessage.portName = name;
    statusMessage.header.deviceId = id();
    post(statusMessage.header, MsgPortStatus, sizeof(statusMessage), &statusMessage);
}

void GenericDevice::onPortsChanged()
{
    std::lock_guard<std::mutex> guard(lock);
    if (!isOpen())
        return;
    const auto ports = DeviceController::instance().portList();
    if (ports.empty() || !findPort(ports, config->serial.portName))
        closeChannel();
}

void GenericDevice::onReceived(UInt32, const unsigned char* data, std::size_t n)
{
    if (n > SlotSize - 1)
        return;
    // The processor reads the block later on its own thread; the slot stays untouched until
    // 99 further blocks have arrived.
    auto& slot = ring[ringIndex];
    std::memcpy(slot.data(), data, n);
    ProcessorRegistry::instance().processBlock(processor, slot.data(), n, 0);
    ringIndex = (ringIndex + 1) % RingSlots;
    lastReceived
        = std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch())
              .count();
}

UInt32 GenericDevice::onDecoded(
    Processor::IDataProcessor*, EProcessorDecodedType kind, std::size_t length, const char* data)
{
    DeviceOutputMessage* message = nullptr;
    if (kind == Status) {
        message = &textMessage;
        message->header.kind = OutputText;
        message->isData = 0;
        message->length = static_cast<std::uint16_t>(std::strlen(data));
    } else if (kind == Data) {
        message = &dataMessage;
        message->header.kind = OutputData;
        message->isData = 1;
        // The record's length field is 16 bits; the processor's bounded buffer keeps a reply
        // line within it except for a unit that babbles a whole bound without a line end.
        message->length = static_cast<std::uint16_t>(std::min<std::size_t>(length, 0xFFFF));
    } else {
        return status::Ok;
    }
    message->header.deviceId = id();
    message->data = data;
    post(message->header, MsgDeviceOutput, sizeof(*message), message);
    return status::Ok;
}

} // namespace console
