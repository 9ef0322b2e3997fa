#pragma once
// The process-wide owner of the channel I/O loop and of every open channel. The device layer
// reaches channels only through these functions, which take the hub as an opaque handle, return
// channel-family status codes and are serialised by one process-wide lock (pause excepted).
//
// Thread: open, close, baud rate and pause on the device-controller thread, write on the console
// thread; the loop runs on the hub's own thread. Owner: process-wide, created on first use and
// never destroyed.
#include "tdi/iasyncomm.h"
#include "tdi/ioservice.h"

#include <boost/thread/thread.hpp>

#include <atomic>
#include <list>
#include <memory>
#include <mutex>

namespace tdi {

class ChannelHub
{
public:
    using ChannelHandle = IAsynComm*;

    static UInt32 instance(ChannelHub** handle);
    static UInt32 start(ChannelHub* hub);
    static UInt32 stop(ChannelHub* hub);
    static UInt32 pause(ChannelHub* hub, bool paused);
    // Opens a serial port (baud rate not 0) or a named pipe (baud rate 0). Sleeps a second
    // before each attempt and tries a busy port three times in all.
    static UInt32 openChannel(ChannelHub* hub, const std::string& name, UInt32 baudRate,
        UInt32 channelId, UInt32 inputQueue, UInt32 outputQueue, IAsynComm::DataCallback onData,
        IAsynComm::WrittenCallback onWritten, IAsynComm::ErrorCallback onError,
        ChannelHandle* channel);
    static UInt32 write(ChannelHub* hub, ChannelHandle channel, const void* data, std::size_t size);
    static UInt32 setBaudRate(ChannelHub* hub, ChannelHandle channel, UInt32 baudRate);
    static UInt32 closeChannel(ChannelHub* hub, ChannelHandle* channel);

private:
    ChannelHub();

    std::shared_ptr<IAsynComm> find(ChannelHandle channel);
    std::shared_ptr<IAsynComm> create(UInt32 baudRate, UInt32 id, IAsynComm::DataCallback onData,
        IAsynComm::WrittenCallback onWritten, IAsynComm::ErrorCallback onError);
    UInt32 attemptOpen(const std::shared_ptr<IAsynComm>& channel, const std::string& name,
        UInt32 baudRate, UInt32 inputQueue, UInt32 outputQueue);
    void ensureLoopRunning();
    void stopLoop();

    IoServicePtr service;
    std::mutex loopLock;
    boost::thread thread;
    std::atomic<bool> loopEnded { false };
    bool started = false;
    std::mutex listLock;
    std::list<std::shared_ptr<IAsynComm>> channels;
};

} // namespace tdi
