#include "tdi/channelhub.h"

#include "tdi/asyncpipe.h"
#include "tdi/asyncserial.h"
#include "tdi/platform/serialdevice.h"
#include "tdi/statuscodes.h"

#include <boost/system/system_error.hpp>
#include <boost/thread/thread.hpp>

#include <algorithm>
#include <chrono>
#include <iostream>

namespace tdi {

namespace {

// Serialises hub creation, opening, writing, line settings and closing across threads.
std::mutex& hubLock()
{
    static std::mutex lock;
    return lock;
}

constexpr int BusyAttempts = 3;

void printOpenFailure(const std::string& name, const boost::system::error_code& error)
{
    std::cout << "error : Serial port open() failed...ComPort Name=" << name
              << ", e=" << error.message() << ". Error Code =" << error.value() << std::endl;
}

UInt32 openFailureCode(const boost::system::error_code& error)
{
    switch (
        platform::SerialDevice::classify(std::error_code(error.value(), std::system_category()))) {
    case platform::SerialDevice::OpenFailure::NotFound:
        return status::ChannelPortMissing;
    case platform::SerialDevice::OpenFailure::InUse:
        return status::ChannelPortBusy;
    default:
        return status::Ok;
    }
}

} // namespace

ChannelHub::ChannelHub()
    : service(std::make_shared<IoService>())
{
}

UInt32 ChannelHub::instance(ChannelHub** handle)
{
    if (!handle)
        return status::ChannelNoHub;
    std::lock_guard<std::mutex> guard(hubLock());
    static ChannelHub* const hub = new ChannelHub;
    *handle = hub;
    return status::Ok;
}

UInt32 ChannelHub::start(ChannelHub* hub)
{
    if (!hub)
        return status::ChannelNoHub;
    std::lock_guard<std::mutex> guard(hub->loopLock);
    if (!hub->started) {
        hub->started = true;
        hub->service->retain();
        hub->ensureLoopRunning();
    }
    return status::Ok;
}

UInt32 ChannelHub::stop(ChannelHub* hub)
{
    if (!hub)
        return status::ChannelNoHub;
    std::lock_guard<std::mutex> guard(hub->loopLock);
    if (hub->started) {
        hub->started = false;
        hub->stopLoop();
    }
    return status::Ok;
}

UInt32 ChannelHub::pause(ChannelHub* hub, bool paused)
{
    if (!hub)
        return status::ChannelNoHub;
    {
        std::lock_guard<std::mutex> guard(hub->loopLock);
        if (paused) {
            hub->service->release();
        } else {
            // Without its work guard the loop would end once the last channel closed (as at a
            // reset), and channels opened afterwards would never be serviced.
            hub->service->retain();
            hub->ensureLoopRunning();
        }
    }
    std::lock_guard<std::mutex> guard(hub->listLock);
    for (const auto& channel : hub->channels)
        channel->setPaused(paused ? 1 : 0);
    return status::Ok;
}

void ChannelHub::ensureLoopRunning()
{
    if (!started)
        return;
    if (thread.joinable() && !loopEnded)
        return;
    if (thread.joinable())
        thread.join();
    service->context().restart();
    loopEnded = false;
    thread = boost::thread([this, keep = service] {
        keep->run();
        loopEnded = true;
    });
}

void ChannelHub::stopLoop()
{
    service->stop();
    if (thread.joinable() && thread.get_id() != boost::this_thread::get_id())
        thread.join();
}

std::shared_ptr<IAsynComm> ChannelHub::find(ChannelHandle channel)
{
    std::lock_guard<std::mutex> guard(listLock);
    const auto it = std::find_if(channels.begin(), channels.end(),
        [channel](const auto& entry) { return entry.get() == channel; });
    return it == channels.end() ? nullptr : *it;
}

std::shared_ptr<IAsynComm> ChannelHub::create(UInt32 baudRate, UInt32 id,
    IAsynComm::DataCallback onData, IAsynComm::WrittenCallback onWritten,
    IAsynComm::ErrorCallback onError)
{
    if (baudRate == 0)
        return std::make_shared<AsyncPipe>(
            *service, id, std::move(onData), std::move(onWritten), std::move(onError));
    return std::make_shared<AsyncSerial>(
        *service, id, std::move(onData), std::move(onWritten), std::move(onError));
}

UInt32 ChannelHub::attemptOpen(const std::shared_ptr<IAsynComm>& channel, const std::string& name,
    UInt32 baudRate, UInt32 inputQueue, UInt32 outputQueue)
{
    boost::system::error_code error;
    channel->open(name, inputQueue, outputQueue, error);
    if (error) {
        printOpenFailure(name, error);
        return openFailureCode(error);
    }
    if (baudRate != 0) {
        try {
            channel->setOptions(baudRate, LineSettings::defaults());
        } catch (const boost::system::system_error& refused) {
            // A driver that refuses the line settings leaves the port unusable: report a
            // failed open rather than letting the error escape the caller's thread.
            std::cout << "error : Serial port " << name
                      << " refused its line settings: " << refused.what() << std::endl;
            channel->close();
            return status::ChannelOptionsRefused;
        }
    }
    return status::Ok;
}

UInt32 ChannelHub::openChannel(ChannelHub* hub, const std::string& name, UInt32 baudRate,
    UInt32 channelId, UInt32 inputQueue, UInt32 outputQueue, IAsynComm::DataCallback onData,
    IAsynComm::WrittenCallback onWritten, IAsynComm::ErrorCallback onError,
    ChannelHandle* channelOut)
{
    if (!hub || !channelOut)
        return status::ChannelNoHub;
    std::lock_guard<std::mutex> guard(hubLock());
    UInt32 result = status::Ok;
    for (int attempt = 0; attempt < BusyAttempts; ++attempt) {
        // Units and adapters need a moment after a close or a plug-in before they answer an
        // open; the interruptible sleep lets a stopping controller thread leave promptly.
        boost::this_thread::sleep_for(boost::chrono::milliseconds(1000));
        auto channel = hub->create(baudRate, channelId, onData, onWritten, onError);
        result = hub->attemptOpen(channel, name, baudRate, inputQueue, outputQueue);
        // A pipe is delivered even when its peer is missing: it then drops writes, as a
        // pipe without a client would; a serial port only when it really opened.
        if (result == status::Ok && (baudRate == 0 || channel->isOpen())) {
            {
                std::lock_guard<std::mutex> loopGuard(hub->loopLock);
                hub->ensureLoopRunning();
            }
            std::lock_guard<std::mutex> listGuard(hub->listLock);
            hub->channels.push_back(channel);
            *channelOut = channel.get();
        }
        if (result != status::ChannelPortBusy)
            break;
    }
    return result;
}

UInt32 ChannelHub::write(ChannelHub* hub, ChannelHandle channel, const void* data, std::size_t size)
{
    if (!hub)
        return status::ChannelNoHub;
    std::lock_guard<std::mutex> guard(hubLock());
    const auto entry = hub->find(channel);
    if (!entry)
        return status::ChannelUnknown;
    entry->write(data, size);
    return status::Ok;
}

UInt32 ChannelHub::setBaudRate(ChannelHub* hub, ChannelHandle channel, UInt32 baudRate)
{
    if (!hub)
        return status::ChannelNoHub;
    std::lock_guard<std::mutex> guard(hubLock());
    const auto entry = hub->find(channel);
    if (!entry)
        return status::ChannelUnknown;
    try {
        return entry->setOptions(baudRate, LineSettings::defaults())
            ? status::Ok
            : status::ChannelOptionsRefused;
    } catch (const boost::system::system_error&) {
        return status::ChannelOptionsRefused;
    }
}

UInt32 ChannelHub::closeChannel(ChannelHub* hub, ChannelHandle* channel)
{
    if (!hub)
        return status::ChannelNoHub;
    if (!channel)
        return status::ChannelUnknown;
    std::lock_guard<std::mutex> guard(hubLock());
    if (const auto entry = hub->find(*channel)) {
        entry->close();
        std::lock_guard<std::mutex> listGuard(hub->listLock);
        hub->channels.remove(entry);
    }
    *channel = nullptr;
    return status::Ok;
}

} // namespace tdi
