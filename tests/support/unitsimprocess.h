#pragma once
// Starts the unit simulator for a test and stops it again, whatever the test's outcome.
#include <chrono>
#include <string>
#include <sys/types.h>
#include <vector>

namespace testsupport {

class UnitSimProcess
{
public:
    // Runs $VAREN_UNITSIM with the arguments and waits for its "ready" line; throws
    // std::runtime_error when it does not come.
    explicit UnitSimProcess(const std::vector<std::string>& arguments);
    ~UnitSimProcess();
    UnitSimProcess(const UnitSimProcess&) = delete;
    UnitSimProcess& operator=(const UnitSimProcess&) = delete;

    // Sends the signal and waits for the process to end; returns its wait status.
    int stop(int signal);
    const std::string& ptyPath() const { return pty; }

private:
    pid_t pid = -1;
    int output = -1;
    std::string pty;
};

// Convenience: a simulated board on a port of the test's port directory.
std::vector<std::string> simArguments(
    const std::string& board, int comNumber, std::vector<std::string> extra = {});

} // namespace testsupport
