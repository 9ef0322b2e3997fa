#pragma once
// The named-pipe channel: a Unix-domain stream socket at the path given as the port name. The
// channel with id 0 is the server (it listens and serves one client at a time, waiting for the
// next when one leaves); any other id is a client. Used like a port, but with no line settings
// and no pause.
//
// Thread: as AsyncSerial (device-controller and console threads call in; completions run on the
// channel I/O thread through the strand). Owner: the channel hub's list.
#include "tdi/iasyncomm.h"
#include "tdi/ioservice.h"

#include <boost/asio/local/stream_protocol.hpp>

#include <memory>
#include <mutex>

namespace tdi {

class AsyncPipe : public IAsynComm, public std::enable_shared_from_this<AsyncPipe>
{
public:
    static constexpr std::size_t ReadSize = 4096;

    AsyncPipe(IoService& service, UInt32 id, DataCallback onData, WrittenCallback onWritten,
        ErrorCallback onError);
    ~AsyncPipe() override;

    bool setOptions(UInt32 baudRate, const LineSettings& settings) override;
    void open(const std::string& name, UInt32 inputQueue, UInt32 outputQueue,
        boost::system::error_code& error) override;
    bool isOpen() const override;
    void close() override;
    using IAsynComm::write;
    int write(const void* data, std::size_t size) override;
    void setPaused(UInt32 paused) override;

    bool isConnected() const;

private:
    using Socket = boost::asio::local::stream_protocol::socket;
    using Acceptor = boost::asio::local::stream_protocol::acceptor;

    void openLocked(const std::string& name);
    void listen();
    void acceptNext();
    void connectTo();
    void closeLocked();
    void readStep();
    void onRead(const boost::system::error_code& error, std::size_t n);
    void reconnect();
    void writeStep();
    void onWrite(const boost::system::error_code& error, std::size_t n);
    void reportError(const boost::system::error_code& error);

    boost::asio::io_context::strand& strand;
    Socket socket;
    Acceptor acceptor;
    const UInt32 id;
    const bool isServer;
    bool connected = false;
    std::string name;
    DataCallback onData;
    WrittenCallback onWritten;
    ErrorCallback onError;
    std::vector<unsigned char> readBuffer;
    std::vector<unsigned char> writeQueue;
    std::vector<unsigned char> inFlight;
    std::mutex queueLock;
    std::mutex inFlightLock;
    mutable std::mutex openLock;
};

} // namespace tdi
