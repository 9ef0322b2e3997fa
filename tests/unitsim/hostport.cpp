#include "hostport.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <termios.h>
#include <unistd.h>

namespace unitsim::test {

HostPort::HostPort(const std::string& path)
{
    fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        throw std::runtime_error("cannot open " + path);
    termios settings {};
    tcgetattr(fd, &settings);
    cfmakeraw(&settings);
    cfsetspeed(&settings, B115200);
    tcsetattr(fd, TCSANOW, &settings);
}

HostPort::~HostPort()
{
    close(fd);
}

void HostPort::send(const std::string& bytes)
{
    std::size_t sent = 0;
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    while (sent < bytes.size() && std::chrono::steady_clock::now() < deadline) {
        const ssize_t count = write(fd, bytes.data() + sent, bytes.size() - sent);
        if (count > 0) {
            sent += std::size_t(count);
        } else if (count < 0 && errno != EAGAIN && errno != EINTR) {
            throw std::runtime_error("write to the port failed");
        } else {
            pollfd ready = { fd, POLLOUT, 0 };
            poll(&ready, 1, 100);
        }
    }
    if (sent < bytes.size())
        throw std::runtime_error("the port took no more bytes");
}

std::string HostPort::receiveUntil(const std::string& ending)
{
    std::string received;
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    while (
        received.find(ending) == std::string::npos && std::chrono::steady_clock::now() < deadline)
        receiveSome(received, std::chrono::milliseconds(100));
    return received;
}

std::string HostPort::receiveFor(std::chrono::milliseconds period)
{
    std::string received;
    const auto deadline = std::chrono::steady_clock::now() + period;
    for (auto now = std::chrono::steady_clock::now(); now < deadline;
         now = std::chrono::steady_clock::now())
        receiveSome(
            received, std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now));
    return received;
}

void HostPort::flush()
{
    tcflush(fd, TCIOFLUSH);
}

bool HostPort::hungUp()
{
    pollfd state = { fd, POLLIN, 0 };
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    while (std::chrono::steady_clock::now() < deadline) {
        if (poll(&state, 1, 100) > 0 && (state.revents & (POLLHUP | POLLERR)))
            return true;
        char byte;
        if (state.revents & POLLIN) {
            const ssize_t count = read(fd, &byte, 1);
            if (count == 0 || (count < 0 && errno == EIO))
                return true;
        }
    }
    return false;
}

bool HostPort::receiveSome(std::string& into, std::chrono::milliseconds wait)
{
    pollfd ready = { fd, POLLIN, 0 };
    if (poll(&ready, 1, int(wait.count())) <= 0)
        return false;
    if (!(ready.revents & POLLIN)) {
        poll(nullptr, 0, int(wait.count())); // hung up: nothing will come, so do not spin
        return false;
    }
    char buffer[4096];
    const ssize_t count = read(fd, buffer, sizeof buffer);
    if (count <= 0)
        return false;
    into.append(buffer, std::size_t(count));
    return true;
}

} // namespace unitsim::test
