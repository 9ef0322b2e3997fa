#pragma once
// One COM port, read continuously and written through a queue, all asynchronously on the channel
// I/O loop. Reads are at most 4096 bytes; writes go out in chunks of at most 3000 bytes so a
// large write never blocks its caller.
//
// Thread: open/setOptions/close/setPaused on the device-controller thread, write on the console
// thread, completions on the channel I/O thread (serialised by the service's strand).
// Owner: the channel hub's list; pending handlers hold shared pointers while they wait.
#include "tdi/iasyncomm.h"
#include "tdi/ioservice.h"

#include <boost/asio/serial_port.hpp>

#include <atomic>
#include <memory>
#include <mutex>

namespace tdi {

class AsyncSerial : public IAsynComm, public std::enable_shared_from_this<AsyncSerial>
{
public:
    static constexpr std::size_t ReadSize = 4096;
    static constexpr std::size_t WriteChunk = 3000;

    AsyncSerial(IoService& service, UInt32 id, DataCallback onData, WrittenCallback onWritten,
        ErrorCallback onError);
    ~AsyncSerial() override;

    bool setOptions(UInt32 baudRate, const LineSettings& settings) override;
    void open(const std::string& name, UInt32 inputQueue, UInt32 outputQueue,
        boost::system::error_code& error) override;
    bool isOpen() const override;
    void close() override;
    using IAsynComm::write;
    int write(const void* data, std::size_t size) override;
    void setPaused(UInt32 paused) override;

private:
    void applyOptions(UInt32 baudRate, const LineSettings& settings);
    void purge();
    void readStep();
    void onRead(const boost::system::error_code& error, std::size_t n);
    void writeStep();
    void writeInFlight();
    void onWrite(const boost::system::error_code& error, std::size_t n);
    void reportError(const boost::system::error_code& error);

    boost::asio::io_context::strand& strand;
    boost::asio::serial_port port;
    const UInt32 id;
    DataCallback onData;
    WrittenCallback onWritten;
    ErrorCallback onError;
    std::vector<unsigned char> readBuffer;
    std::vector<unsigned char> writeQueue;
    std::vector<unsigned char> inFlight;
    std::mutex queueLock;
    std::mutex inFlightLock;
    // Guards the port object, the callbacks and the read-loop flag: close() on one thread
    // and the loop's next operation on the I/O thread never touch the port at once.
    mutable std::mutex openLock;
    bool reading = false;
    std::atomic<UInt32> paused { 0 };
};

} // namespace tdi
