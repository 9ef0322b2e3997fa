#pragma once
// Turns SIGINT, SIGTERM and SIGHUP into a readable descriptor, so that the simulator's poll loop
// notices them between two steps and leaves by its ordinary path, which removes the port link.
// The signals are blocked while this object lives and unblocked when it goes.
//
// Thread: the simulator's single thread (the process has no other). Owner: the entry point.
#include <csignal>

namespace unitsim {

class SignalWatcher
{
public:
    // Throws std::system_error.
    SignalWatcher();
    ~SignalWatcher();
    SignalWatcher(const SignalWatcher&) = delete;
    SignalWatcher& operator=(const SignalWatcher&) = delete;

    int fd() const { return signalFd; }
    // The number of the signal that arrived, or 0 when none is pending.
    int take();

private:
    sigset_t watched;
    sigset_t previous;
    int signalFd = -1;
};

} // namespace unitsim
