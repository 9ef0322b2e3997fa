// The transport layer over real pseudo-terminals and sockets: line settings, the serial
// channel's read loop, write chunks and pause, the hub's open rules, and the pipe channel.
#include "portsandbox.h"
#include "pseudoterminal.h"
#include "tdi/asyncpipe.h"
#include "tdi/asyncserial.h"
#include "tdi/channelhub.h"
#include "tdi/platform/serialdevice.h"
#include "tdi/statuscodes.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <fcntl.h>
#include <mutex>
#include <poll.h>
#include <stdexcept>
#include <sys/ioctl.h>
#include <thread>
#include <unistd.h>

using namespace tdi;

namespace {

using Clock = std::chrono::steady_clock;

template <typename Predicate>
bool eventually(Predicate done, std::chrono::seconds bound = std::chrono::seconds(15))
{
    const auto deadline = Clock::now() + bound;
    while (Clock::now() < deadline) {
        if (done())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return done();
}

// What a channel handed to its callbacks, in order.
struct Received
{
    std::mutex lock;
    std::string data;
    std::vector<std::size_t> writes;
    int errors = 0;

    IAsynComm::DataCallback onData()
    {
        return [this](UInt32, const unsigned char* bytes, std::size_t n) {
            std::lock_guard<std::mutex> guard(lock);
            data.append(reinterpret_cast<const char*>(bytes), n);
        };
    }
    IAsynComm::WrittenCallback onWritten()
    {
        return [this](std::size_t n) {
            std::lock_guard<std::mutex> guard(lock);
            writes.push_back(n);
        };
    }
    IAsynComm::ErrorCallback onError()
    {
        return [this](const boost::system::error_code&) {
            std::lock_guard<std::mutex> guard(lock);
            ++errors;
        };
    }
    std::string text()
    {
        std::lock_guard<std::mutex> guard(lock);
        return data;
    }
    std::vector<std::size_t> writeSizes()
    {
        std::lock_guard<std::mutex> guard(lock);
        return writes;
    }
};

ChannelHub* startedHub()
{
    ChannelHub* hub = nullptr;
    EXPECT_EQ(ChannelHub::instance(&hub), status::Ok);
    ChannelHub::start(hub);
    return hub;
}

// Reads the master side of a pseudo-terminal on a thread of its own, as a unit would.
class MasterReader
{
public:
    explicit MasterReader(int master)
        : fd(master)
        , thread([this] { loop(); })
    {
    }
    ~MasterReader()
    {
        stop = true;
        thread.join();
    }
    std::size_t total() const { return count; }

private:
    void loop()
    {
        char buffer[4096];
        while (!stop) {
            pollfd p { fd, POLLIN, 0 };
            if (poll(&p, 1, 20) > 0) {
                const ssize_t n = read(fd, buffer, sizeof buffer);
                if (n > 0)
                    count += static_cast<std::size_t>(n);
            }
        }
    }
    int fd;
    std::atomic<bool> stop { false };
    std::atomic<std::size_t> count { 0 };
    std::thread thread;
};

void writeAll(int fd, const std::string& text)
{
    ASSERT_EQ(write(fd, text.data(), text.size()), static_cast<ssize_t>(text.size()));
}

// Closes a channel when the test's scope ends, before the callbacks' receiver and the line it
// refers to go: a read error from a line closing under an open channel must reach a live object.
struct ClosesOnExit
{
    ChannelHub* hub;
    IAsynComm* channel;
    ~ClosesOnExit() { ChannelHub::closeChannel(hub, &channel); }
};

class Transport : public PortSandbox
{
protected:
    IAsynComm* open(const std::string& name, Received& received, UInt32 baud = 115200)
    {
        IAsynComm* channel = nullptr;
        EXPECT_EQ(ChannelHub::openChannel(hub, name, baud, 1, 0, 0, received.onData(),
                      received.onWritten(), received.onError(), &channel),
            status::Ok);
        return channel;
    }
    ChannelHub* hub = startedHub();
};

} // namespace

TEST(LineSettings, ChecksEachFieldInOrder)
{
    const struct
    {
        UInt32 size, parity, stop, flow;
        const char* error; // nullptr: valid
    } cases[] = {
        { 8, 0, 0, 0, nullptr },
        { 5, 2, 2, 2, nullptr },
        { 9, 0, 0, 0, "invalid character_size value" },
        { 4, 9, 9, 9, "invalid character_size value" },
        { 8, 3, 9, 9, "invalid parity value" },
        { 8, 1, 3, 9, "invalid stop_bits value" },
        { 7, 2, 1, 3, "invalid flow_control value" },
    };
    for (const auto& c : cases) {
        if (!c.error) {
            EXPECT_NO_THROW(LineSettings(c.size, c.parity, c.stop, c.flow));
            continue;
        }
        try {
            LineSettings(c.size, c.parity, c.stop, c.flow);
            ADD_FAILURE() << "accepted " << c.size << c.parity << c.stop << c.flow;
        } catch (const std::out_of_range& error) {
            EXPECT_STREQ(error.what(), c.error);
        }
    }
}

TEST(AsyncSerialClosed, SetOptionsOnAClosedPortAppliesNothing)
{
    IoService service;
    auto port = std::make_shared<AsyncSerial>(service, 1, nullptr, nullptr, nullptr);
    EXPECT_FALSE(port->setOptions(115200, LineSettings::defaults()));
    EXPECT_FALSE(port->isOpen());
}

TEST_F(Transport, LargeWriteGoesOutInChunksOf3000)
{
    PseudoTerminal pty;
    link("COM5", pty.slavePath());
    MasterReader unit(pty.master());
    Received received;
    IAsynComm* channel = open("COM5", received);
    ASSERT_NE(channel, nullptr);
    const ClosesOnExit closer { hub, channel };

    const std::string block(7000, 'a');
    EXPECT_EQ(ChannelHub::write(hub, channel, block.data(), block.size()), status::Ok);
    ASSERT_TRUE(eventually([&] { return unit.total() == 7000; }));
    ASSERT_TRUE(eventually([&] { return received.writeSizes().size() == 3; }));
    EXPECT_EQ(received.writeSizes(), (std::vector<std::size_t> { 3000, 3000, 1000 }));
}

TEST_F(Transport, DataArrivingWhilePausedIsDropped)
{
    PseudoTerminal pty;
    link("COM6", pty.slavePath());
    // A second descriptor on the line, opened before the channel's exclusive open, lets the
    // test see when the channel has taken the bytes off the line.
    const int observer = ::open(pty.slavePath().c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(observer, 0);
    Received received;
    IAsynComm* channel = open("COM6", received);
    ASSERT_NE(channel, nullptr);
    const ClosesOnExit closer { hub, channel };

    writeAll(pty.master(), "before ");
    ASSERT_TRUE(eventually([&] { return received.text() == "before "; }));

    ChannelHub::pause(hub, true);
    writeAll(pty.master(), "during ");
    // The bytes reach the line's input queue a moment after the write; wait until they have
    // been there (or surely would have been) and then until the paused channel took them.
    const auto queued = [&] {
        int waiting = 0;
        ioctl(observer, FIONREAD, &waiting);
        return waiting;
    };
    eventually([&] { return queued() > 0; }, std::chrono::seconds(1));
    ASSERT_TRUE(eventually([&] { return queued() == 0; }));
    ChannelHub::pause(hub, false);
    writeAll(pty.master(), "after");
    ASSERT_TRUE(eventually([&] { return received.text() == "before after"; }));
    ::close(observer);
}

TEST_F(Transport, MissingPortFailsAfterOneAttempt)
{
    Received received;
    IAsynComm* channel = nullptr;
    testing::internal::CaptureStdout();
    EXPECT_EQ(ChannelHub::openChannel(hub, "COM77", 115200, 77, 0, 0, received.onData(),
                  received.onWritten(), received.onError(), &channel),
        status::ChannelPortMissing);
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_EQ(channel, nullptr);
    EXPECT_EQ(printed.rfind("error : Serial port open() failed...ComPort Name=COM77, e=", 0), 0u)
        << printed;
    EXPECT_EQ(std::count(printed.begin(), printed.end(), '\n'), 1);
}

TEST_F(Transport, BusyPortIsTriedThreeTimes)
{
    PseudoTerminal pty;
    link("COM8", pty.slavePath());
    std::error_code error;
    const int holder = platform::SerialDevice::openExclusive("COM8", error);
    ASSERT_GE(holder, 0) << error.message();
    Received received;
    IAsynComm* channel = nullptr;
    testing::internal::CaptureStdout();
    EXPECT_EQ(ChannelHub::openChannel(hub, "COM8", 115200, 8, 0, 0, received.onData(),
                  received.onWritten(), received.onError(), &channel),
        status::ChannelPortBusy);
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_EQ(channel, nullptr);
    EXPECT_EQ(std::count(printed.begin(), printed.end(), '\n'), 3) << printed;
    ::close(holder);
}

TEST_F(Transport, UnknownHandlesAndMissingHubAreRefused)
{
    PseudoTerminal pty;
    link("COM9", pty.slavePath());
    Received received;
    IAsynComm* channel = open("COM9", received);
    ASSERT_NE(channel, nullptr);
    IAsynComm* stale = channel;
    EXPECT_EQ(ChannelHub::closeChannel(hub, &channel), status::Ok);
    EXPECT_EQ(channel, nullptr);
    EXPECT_EQ(ChannelHub::write(hub, stale, "x", 1), status::ChannelUnknown);
    EXPECT_EQ(ChannelHub::setBaudRate(hub, stale, 9600), status::ChannelUnknown);
    EXPECT_EQ(ChannelHub::closeChannel(hub, nullptr), status::ChannelUnknown);
    EXPECT_EQ(ChannelHub::write(nullptr, stale, "x", 1), status::ChannelNoHub);
    EXPECT_EQ(ChannelHub::instance(nullptr), status::ChannelNoHub);
}

TEST_F(Transport, RefusedBaudRateFailsTheOpen)
{
    PseudoTerminal pty;
    link("COM10", pty.slavePath());
    Received received;
    IAsynComm* channel = nullptr;
    testing::internal::CaptureStdout();
    EXPECT_EQ(ChannelHub::openChannel(hub, "COM10", 123457, 10, 0, 0, received.onData(),
                  received.onWritten(), received.onError(), &channel),
        status::ChannelOptionsRefused);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(channel, nullptr);
    // The refused open released the port.
    std::error_code error;
    const int fd = platform::SerialDevice::openExclusive("COM10", error);
    EXPECT_GE(fd, 0) << error.message();
    ::close(fd);
}

TEST_F(Transport, ChannelsOpenedAfterEveryChannelClosedAndAResumeAreServiced)
{
    PseudoTerminal pty;
    link("COM11", pty.slavePath());
    {
        Received received;
        IAsynComm* channel = open("COM11", received);
        ASSERT_NE(channel, nullptr);
        // As at a console reset: pause, close everything, resume.
        ChannelHub::pause(hub, true);
        ChannelHub::closeChannel(hub, &channel);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        ChannelHub::pause(hub, false);
    }
    Received received;
    IAsynComm* channel = open("COM11", received);
    ASSERT_NE(channel, nullptr);
    const ClosesOnExit closer { hub, channel };
    writeAll(pty.master(), "still served");
    EXPECT_TRUE(eventually([&] { return received.text() == "still served"; }));
}

TEST_F(Transport, BaudRateZeroOpensAPipeServerThatServesClientsInTurn)
{
    const std::string path = portDir() + "/pipe.sock";
    Received server;
    IAsynComm* serverChannel = nullptr;
    ASSERT_EQ(ChannelHub::openChannel(hub, path, 0, 0, 0, 0, server.onData(), server.onWritten(),
                  server.onError(), &serverChannel),
        status::Ok);
    ASSERT_NE(dynamic_cast<AsyncPipe*>(serverChannel), nullptr);
    const ClosesOnExit closer { hub, serverChannel };
    EXPECT_FALSE(serverChannel->setOptions(9600, LineSettings::defaults()));

    for (const char* greeting : { "first", "second" }) {
        Received client;
        IAsynComm* clientChannel = nullptr;
        ASSERT_EQ(ChannelHub::openChannel(hub, path, 0, 1, 0, 0, client.onData(),
                      client.onWritten(), client.onError(), &clientChannel),
            status::Ok);
        ASSERT_TRUE(clientChannel->isOpen());
        ChannelHub::write(hub, clientChannel, greeting, std::strlen(greeting));
        ASSERT_TRUE(eventually([&] { return server.text().find(greeting) != std::string::npos; }));
        ASSERT_TRUE(
            eventually([&] { return dynamic_cast<AsyncPipe*>(serverChannel)->isConnected(); }));
        ChannelHub::write(hub, serverChannel, "ack", 3);
        ASSERT_TRUE(eventually([&] { return client.text() == "ack"; }));
        ChannelHub::closeChannel(hub, &clientChannel);
        // The server goes back to waiting for the next client.
        ASSERT_TRUE(
            eventually([&] { return !dynamic_cast<AsyncPipe*>(serverChannel)->isConnected(); }));
    }
}

TEST_F(Transport, PipeClientWithoutServerDropsWrites)
{
    Received client;
    IAsynComm* channel = nullptr;
    ASSERT_EQ(ChannelHub::openChannel(hub, portDir() + "/nobody.sock", 0, 1, 0, 0, client.onData(),
                  client.onWritten(), client.onError(), &channel),
        status::Ok);
    ASSERT_NE(channel, nullptr);
    const ClosesOnExit closer { hub, channel };
    EXPECT_FALSE(channel->isOpen());
    EXPECT_EQ(channel->write("lost", 4), 0);
}
