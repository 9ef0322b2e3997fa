#pragma once
// The host's end of a simulated unit's line, opened through its COM link with plain POSIX calls,
// raw, as the application opens a serial port.
//
// Thread: the test's thread. Owner: the test.
#include <chrono>
#include <string>

namespace unitsim::test {

class HostPort
{
public:
    static constexpr std::chrono::seconds kPatience { 30 };

    // Throws std::runtime_error when the port does not open.
    explicit HostPort(const std::string& path);
    ~HostPort();
    HostPort(const HostPort&) = delete;
    HostPort& operator=(const HostPort&) = delete;

    void send(const std::string& bytes);
    // Everything received until `ending` has arrived (included), or until patience runs out.
    std::string receiveUntil(const std::string& ending);
    // Everything received within `period`.
    std::string receiveFor(std::chrono::milliseconds period);
    // Throws away whatever the driver holds, as the application does when it opens a port.
    void flush();
    // True when the line reports a hang-up or an error: the unit's side is gone.
    bool hungUp();

private:
    // Waits up to `wait` for bytes and appends them; false when none came.
    bool receiveSome(std::string& into, std::chrono::milliseconds wait);

    int fd = -1;
};

} // namespace unitsim::test
