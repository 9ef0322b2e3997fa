#include "tdi/asyncpipe.h"

#include <boost/asio/bind_executor.hpp>
#include <boost/asio/error.hpp>
#include <boost/asio/post.hpp>

#include <unistd.h>

namespace tdi {

namespace asio = boost::asio;
using boost::system::error_code;

AsyncPipe::AsyncPipe(IoService& service, UInt32 id_, DataCallback onData_,
    WrittenCallback onWritten_, ErrorCallback onError_)
    : strand(service.strand())
    , socket(service.context())
    , acceptor(service.context())
    , id(id_)
    , isServer(id_ == 0)
    , onData(std::move(onData_))
    , onWritten(std::move(onWritten_))
    , onError(std::move(onError_))
    , readBuffer(ReadSize)
{
}

AsyncPipe::~AsyncPipe()
{
    // Not through the virtual close(): a destructor must not rely on dynamic dispatch.
    AsyncPipe::close();
}

bool AsyncPipe::setOptions(UInt32, const LineSettings&)
{
    return false;
}

void AsyncPipe::open(const std::string& pipeName, UInt32, UInt32, error_code&)
{
    // A pipe that cannot be created or reached sets no error: the hub then delivers a channel
    // that is not open, which drops writes and reads nothing.
    std::lock_guard<std::mutex> guard(openLock);
    openLocked(pipeName);
}

void AsyncPipe::openLocked(const std::string& pipeName)
{
    if (acceptor.is_open() || socket.is_open())
        return;
    name = pipeName;
    if (isServer)
        listen();
    else
        connectTo();
}

void AsyncPipe::listen()
{
    error_code error;
    // A socket file left by an earlier run would make bind fail.
    ::unlink(name.c_str());
    acceptor.open(asio::local::stream_protocol(), error);
    if (!error)
        acceptor.bind(asio::local::stream_protocol::endpoint(name), error);
    if (!error)
        acceptor.listen(asio::socket_base::max_listen_connections, error);
    if (error) {
        acceptor.close(error);
        return;
    }
    acceptNext();
}

void AsyncPipe::acceptNext()
{
    acceptor.async_accept(
        socket, asio::bind_executor(strand, [self = shared_from_this()](const error_code& error) {
            if (error)
                return; // connect errors are ignored: no read loop starts
            {
                std::lock_guard<std::mutex> guard(self->openLock);
                self->connected = true;
            }
            self->readStep();
        }));
}

void AsyncPipe::connectTo()
{
    error_code error;
    socket.connect(asio::local::stream_protocol::endpoint(name), error);
    if (error) {
        socket.close(error);
        return;
    }
    connected = true;
    asio::post(strand, [self = shared_from_this()] { self->readStep(); });
}

bool AsyncPipe::isOpen() const
{
    std::lock_guard<std::mutex> guard(openLock);
    return acceptor.is_open() || socket.is_open();
}

bool AsyncPipe::isConnected() const
{
    std::lock_guard<std::mutex> guard(openLock);
    return connected;
}

void AsyncPipe::close()
{
    std::lock_guard<std::mutex> guard(openLock);
    closeLocked();
}

void AsyncPipe::closeLocked()
{
    error_code ignored;
    if (acceptor.is_open()) {
        acceptor.cancel(ignored);
        acceptor.close(ignored);
        ::unlink(name.c_str());
    }
    if (socket.is_open()) {
        socket.cancel(ignored);
        socket.close(ignored);
    }
    connected = false;
    std::lock_guard<std::mutex> queueGuard(queueLock);
    std::lock_guard<std::mutex> flightGuard(inFlightLock);
    writeQueue.clear();
    inFlight.clear();
}

int AsyncPipe::write(const void* data, std::size_t size)
{
    {
        std::lock_guard<std::mutex> guard(openLock);
        if (!connected)
            return 0;
    }
    {
        std::lock_guard<std::mutex> guard(queueLock);
        const auto* bytes = static_cast<const unsigned char*>(data);
        writeQueue.insert(writeQueue.end(), bytes, bytes + size);
    }
    asio::post(strand, [self = shared_from_this()] { self->writeStep(); });
    return static_cast<int>(size);
}

void AsyncPipe::setPaused(UInt32)
{
}

void AsyncPipe::readStep()
{
    std::lock_guard<std::mutex> guard(openLock);
    if (!socket.is_open())
        return;
    socket.async_read_some(asio::buffer(readBuffer),
        asio::bind_executor(
            strand, [self = shared_from_this()](const error_code& error, std::size_t n) {
                self->onRead(error, n);
            }));
}

void AsyncPipe::onRead(const error_code& error, std::size_t n)
{
    if (error == asio::error::eof || error == asio::error::connection_reset
        || error == asio::error::broken_pipe) {
        // The other end went away: a server waits for its next client, a client tries again.
        reconnect();
        return;
    }
    if (error) {
        if (error != asio::error::operation_aborted)
            reportError(error);
        return;
    }
    {
        std::lock_guard<std::mutex> guard(openLock);
        if (onData && n > 0)
            onData(id, readBuffer.data(), n);
    }
    readStep();
}

void AsyncPipe::reconnect()
{
    std::lock_guard<std::mutex> guard(openLock);
    closeLocked();
    openLocked(name);
}

void AsyncPipe::writeStep()
{
    {
        std::lock_guard<std::mutex> queueGuard(queueLock);
        std::lock_guard<std::mutex> flightGuard(inFlightLock);
        if (!inFlight.empty() || writeQueue.empty())
            return;
        inFlight.swap(writeQueue);
    }
    std::lock_guard<std::mutex> guard(openLock);
    std::lock_guard<std::mutex> flightGuard(inFlightLock);
    if (!socket.is_open()) {
        inFlight.clear();
        return;
    }
    socket.async_write_some(asio::buffer(inFlight),
        asio::bind_executor(
            strand, [self = shared_from_this()](const error_code& error, std::size_t n) {
                self->onWrite(error, n);
            }));
}

void AsyncPipe::onWrite(const error_code& error, std::size_t n)
{
    if (error) {
        {
            std::lock_guard<std::mutex> guard(inFlightLock);
            inFlight.clear();
        }
        if (error != asio::error::operation_aborted)
            reportError(error);
        return;
    }
    {
        std::lock_guard<std::mutex> guard(openLock);
        if (onWritten)
            onWritten(n);
    }
    {
        std::lock_guard<std::mutex> queueGuard(queueLock);
        std::lock_guard<std::mutex> guard(inFlightLock);
        // A partial write puts the remainder back in front of what was queued meanwhile.
        inFlight.erase(inFlight.begin(), inFlight.begin() + static_cast<std::ptrdiff_t>(n));
        if (!inFlight.empty()) {
            writeQueue.insert(writeQueue.begin(), inFlight.begin(), inFlight.end());
            inFlight.clear();
        }
    }
    writeStep();
}

void AsyncPipe::reportError(const error_code& error)
{
    std::lock_guard<std::mutex> guard(openLock);
    if (onError)
        onError(error);
}

} // namespace tdi
