#pragma once
// A varen-unitsim process started for one test, from the binary named by $VAREN_UNITSIM. It is
// killed and reaped when this object goes, however the test ended, so no simulator outlives its
// test.
//
// Thread: the test's thread. Owner: the test.
#include <chrono>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace unitsim::test {

class SimulatorProcess
{
public:
    // Generous bounds for a slow, busy machine; a healthy run takes a fraction of them.
    static constexpr std::chrono::seconds kPatience { 30 };

    explicit SimulatorProcess(const std::vector<std::string>& arguments);
    ~SimulatorProcess();
    SimulatorProcess(const SimulatorProcess&) = delete;
    SimulatorProcess& operator=(const SimulatorProcess&) = delete;

    // The first line the simulator printed, without its line end; empty when it printed none.
    std::string readLine();
    // Sends `signal` (unless it has exited already) and waits for the exit.
    std::optional<int> stop(int signal);
    // The exit status once the process has ended by itself; nothing if it runs on or died by a
    // signal.
    std::optional<int> waitForExit();

private:
    pid_t pid = -1;
    int output = -1;
    std::optional<int> status; // as waitpid reports it
};

} // namespace unitsim::test
