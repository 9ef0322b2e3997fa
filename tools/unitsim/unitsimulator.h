#pragma once
// The simulator's event loop: reads the host's bytes from the pseudo-terminal, hands them to the
// console session, sends the answers paced by the transmit queue, ticks the board once a second,
// and stops on SIGINT, SIGTERM or SIGHUP, or, with the disconnect fault, once the last allowed
// answer has reached the host. It waits in ppoll, so pacing is not rounded to milliseconds.
//
// Thread: the process's only thread. Owner: the entry point; everything it uses is lent to it.
#include "boardmodel.h"
#include "consolesession.h"
#include "faultoptions.h"
#include "pseudoterminal.h"
#include "signalwatcher.h"
#include "transmitqueue.h"

#include <chrono>
#include <optional>

namespace unitsim {

class UnitSimulator
{
public:
    enum class Ending {
        Signal, // asked to stop
        Disconnect // answered as many commands as the disconnect fault allows
    };

    UnitSimulator(BoardModel& board, ConsoleSession& session, PseudoTerminal& line,
        SignalWatcher& signals, unsigned baud, const FaultOptions& faults);

    Ending run();

private:
    using Clock = TransmitQueue::Clock;
    static constexpr std::chrono::seconds kTickInterval { 1 };
    // How long a pulled cable waits for the host to read what was already sent. The kernel moves
    // written bytes to the host's side a little later, so the host's queue must stay empty for a
    // while before the line may go.
    static constexpr std::chrono::seconds kDrainLimit { 5 };
    static constexpr std::chrono::milliseconds kDrainSettle { 100 };
    static constexpr std::chrono::milliseconds kDrainPoll { 10 };
    // A host that sends without reading is held back by the line instead of filling our memory.
    static constexpr std::size_t kMaxPendingOutput = 64 * 1024;

    void tickWhenDue(Clock::time_point now);
    bool takesInput() const;
    void readInput();
    bool writeOutput(Clock::time_point now);
    bool waitForEvents(Clock::time_point now);
    Clock::time_point wakeTime(Clock::time_point now);
    void drainToHost();

    BoardModel& board;
    ConsoleSession& session;
    PseudoTerminal& line;
    SignalWatcher& signals;
    TransmitQueue queue;
    std::optional<unsigned> answersLeft;
    bool writeBlocked = false;
    Clock::time_point nextTick;
};

} // namespace unitsim
