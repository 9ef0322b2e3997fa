#include "tdi/asyncserial.h"

#include "tdi/platform/serialdevice.h"

#include <boost/asio/bind_executor.hpp>
#include <boost/asio/post.hpp>
#include <boost/system/system_error.hpp>

#include <algorithm>

#include <unistd.h>

namespace tdi {

namespace asio = boost::asio;
using boost::system::error_code;

namespace {

asio::serial_port_base::parity::type parityOf(UInt32 parity)
{
    switch (parity) {
    case LineSettings::OddParity:
        return asio::serial_port_base::parity::odd;
    case LineSettings::EvenParity:
        return asio::serial_port_base::parity::even;
    default:
        return asio::serial_port_base::parity::none;
    }
}

asio::serial_port_base::stop_bits::type stopBitsOf(UInt32 stopBits)
{
    switch (stopBits) {
    case LineSettings::OneAndHalfStopBits:
        return asio::serial_port_base::stop_bits::onepointfive;
    case LineSettings::TwoStopBits:
        return asio::serial_port_base::stop_bits::two;
    default:
        return asio::serial_port_base::stop_bits::one;
    }
}

asio::serial_port_base::flow_control::type flowOf(UInt32 flow)
{
    switch (flow) {
    case LineSettings::SoftwareFlow:
        return asio::serial_port_base::flow_control::software;
    case LineSettings::HardwareFlow:
        return asio::serial_port_base::flow_control::hardware;
    default:
        return asio::serial_port_base::flow_control::none;
    }
}

template <typename Option> void setOrThrow(asio::serial_port& port, const Option& option)
{
    error_code error;
    port.set_option(option, error);
    if (error)
        throw boost::system::system_error(error, "set_option");
}

} // namespace

AsyncSerial::AsyncSerial(IoService& service, UInt32 id_, DataCallback onData_,
    WrittenCallback onWritten_, ErrorCallback onError_)
    : strand(service.strand())
    , port(service.context())
    , id(id_)
    , onData(std::move(onData_))
    , onWritten(std::move(onWritten_))
    , onError(std::move(onError_))
    , readBuffer(ReadSize)
{
}

AsyncSerial::~AsyncSerial()
{
    // Not through the virtual close(): a destructor must not rely on dynamic dispatch.
    AsyncSerial::close();
}

void AsyncSerial::open(
    const std::string& name, UInt32 inputQueue, UInt32 outputQueue, error_code& error)
{
    // The driver keeps its own queue sizes on Linux; the sizes matter only to other systems.
    (void)inputQueue;
    (void)outputQueue;
    std::lock_guard<std::mutex> guard(openLock);
    std::error_code openError;
    const int fd = platform::SerialDevice::openExclusive(name, openError);
    if (fd < 0) {
        error = error_code(openError.value(), boost::system::system_category());
        return;
    }
    port.assign(fd, error);
    if (error) {
        platform::SerialDevice::releaseExclusive(fd);
        ::close(fd);
    }
}

bool AsyncSerial::setOptions(UInt32 baudRate, const LineSettings& settings)
{
    std::unique_lock<std::mutex> guard(openLock);
    if (!port.is_open())
        return false;
    applyOptions(baudRate, settings);
    guard.unlock();
    purge();
    guard.lock();
    if (port.is_open() && !reading) {
        reading = true;
        asio::post(strand, [self = shared_from_this()] { self->readStep(); });
    }
    return true;
}

void AsyncSerial::applyOptions(UInt32 baudRate, const LineSettings& settings)
{
    setOrThrow(port, asio::serial_port_base::baud_rate(baudRate));
    setOrThrow(port, asio::serial_port_base::parity(parityOf(settings.parity)));
    setOrThrow(port, asio::serial_port_base::character_size(settings.characterSize));
    setOrThrow(port, asio::serial_port_base::flow_control(flowOf(settings.flowControl)));
    setOrThrow(port, asio::serial_port_base::stop_bits(stopBitsOf(settings.stopBits)));
}

void AsyncSerial::purge()
{
    std::unique_lock<std::mutex> guard(openLock);
    if (!port.is_open())
        return;
    const std::error_code purgeError = platform::SerialDevice::purge(port.native_handle());
    guard.unlock();
    if (purgeError)
        reportError(error_code(purgeError.value(), boost::system::system_category()));
}

bool AsyncSerial::isOpen() const
{
    std::lock_guard<std::mutex> guard(openLock);
    return port.is_open();
}

void AsyncSerial::close()
{
    std::lock_guard<std::mutex> guard(openLock);
    if (!port.is_open())
        return;
    // Drop the callbacks first: the cancellations below complete later on the I/O thread and
    // must reach nobody.
    onData = nullptr;
    onWritten = nullptr;
    onError = nullptr;
    error_code ignored;
    port.cancel(ignored);
    // The exclusive flag belongs to the line, not to this descriptor, and would outlive it.
    platform::SerialDevice::releaseExclusive(port.native_handle());
    port.close(ignored);
}

int AsyncSerial::write(const void* data, std::size_t size)
{
    {
        std::lock_guard<std::mutex> guard(queueLock);
        const auto* bytes = static_cast<const unsigned char*>(data);
        writeQueue.insert(writeQueue.end(), bytes, bytes + size);
    }
    asio::post(strand, [self = shared_from_this()] { self->writeStep(); });
    return static_cast<int>(size);
}

void AsyncSerial::setPaused(UInt32 flag)
{
    paused = flag;
}

void AsyncSerial::readStep()
{
    std::lock_guard<std::mutex> guard(openLock);
    if (!port.is_open()) {
        reading = false;
        return;
    }
    port.async_read_some(asio::buffer(readBuffer),
        asio::bind_executor(
            strand, [self = shared_from_this()](const error_code& error, std::size_t n) {
                self->onRead(error, n);
            }));
}

void AsyncSerial::onRead(const error_code& error, std::size_t n)
{
    if (error) {
        {
            std::lock_guard<std::mutex> guard(openLock);
            reading = false;
        }
        reportError(error);
        return;
    }
    {
        // Delivered under the open lock, so once close() returns no more data reaches the
        // receiver, which may then release what the callback refers to.
        std::lock_guard<std::mutex> guard(openLock);
        if (paused == 0 && onData && n > 0)
            onData(id, readBuffer.data(), n);
    }
    readStep();
}

void AsyncSerial::writeStep()
{
    {
        std::lock_guard<std::mutex> queueGuard(queueLock);
        std::lock_guard<std::mutex> flightGuard(inFlightLock);
        if (!inFlight.empty() || writeQueue.empty())
            return;
        const std::size_t n = std::min(WriteChunk, writeQueue.size());
        inFlight.assign(writeQueue.begin(), writeQueue.begin() + n);
        writeQueue.erase(writeQueue.begin(), writeQueue.begin() + n);
    }
    writeInFlight();
}

void AsyncSerial::writeInFlight()
{
    std::lock_guard<std::mutex> guard(openLock);
    std::lock_guard<std::mutex> flightGuard(inFlightLock);
    if (!port.is_open()) {
        inFlight.clear();
        return;
    }
    port.async_write_some(asio::buffer(inFlight),
        asio::bind_executor(
            strand, [self = shared_from_this()](const error_code& error, std::size_t n) {
                self->onWrite(error, n);
            }));
}

void AsyncSerial::onWrite(const error_code& error, std::size_t n)
{
    if (error) {
        {
            std::lock_guard<std::mutex> guard(inFlightLock);
            inFlight.clear();
        }
        reportError(error);
        return;
    }
    {
        std::lock_guard<std::mutex> guard(openLock);
        if (onWritten)
            onWritten(n);
    }
    bool rest;
    {
        std::lock_guard<std::mutex> guard(inFlightLock);
        inFlight.erase(inFlight.begin(), inFlight.begin() + static_cast<std::ptrdiff_t>(n));
        rest = !inFlight.empty();
    }
    // A driver may take less than the whole chunk; the remainder goes before the next chunk.
    if (rest)
        writeInFlight();
    else
        writeStep();
}

void AsyncSerial::reportError(const error_code& error)
{
    std::lock_guard<std::mutex> guard(openLock);
    if (onError)
        onError(error);
}

} // namespace tdi
