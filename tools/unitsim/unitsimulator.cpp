#include "unitsimulator.h"

#include <algorithm>
#include <cerrno>
#include <poll.h>
#include <stdexcept>
#include <system_error>
#include <unistd.h>

namespace unitsim {

namespace {

[[noreturn]] void fail(const char* what)
{
    throw std::system_error(errno, std::generic_category(), what);
}

timespec timeUntil(std::chrono::steady_clock::duration wait)
{
    const auto nanoseconds = std::max<std::int64_t>(
        0, std::chrono::duration_cast<std::chrono::nanoseconds>(wait).count());
    return { time_t(nanoseconds / 1000000000), long(nanoseconds % 1000000000) };
}

} // namespace

UnitSimulator::UnitSimulator(BoardModel& board, ConsoleSession& session, PseudoTerminal& line,
    SignalWatcher& signals, unsigned baud, const FaultOptions& faults)
    : board(board)
    , session(session)
    , line(line)
    , signals(signals)
    , queue(baud, faults.split, faults.replyDelay.value_or(std::chrono::milliseconds(0)))
    , answersLeft(faults.disconnectAfter)
    , nextTick(Clock::now() + kTickInterval)
{
}

UnitSimulator::Ending UnitSimulator::run()
{
    for (;;) {
        const Clock::time_point now = Clock::now();
        tickWhenDue(now);
        if (writeOutput(now)) {
            drainToHost();
            return Ending::Disconnect;
        }
        if (!waitForEvents(now))
            return Ending::Signal;
    }
}

void UnitSimulator::tickWhenDue(Clock::time_point now)
{
    if (now >= nextTick) {
        board.tick();
        nextTick = now + kTickInterval;
    }
}

// Returns true when the answer the disconnect fault waited for has gone out.
bool UnitSimulator::writeOutput(Clock::time_point now)
{
    while (!writeBlocked) {
        const std::string_view bytes = queue.writable(now);
        if (bytes.empty())
            return false;
        const ssize_t written = write(line.master(), bytes.data(), bytes.size());
        if (written < 0) {
            if (errno != EAGAIN && errno != EINTR)
                fail("write to the pseudo-terminal");
            writeBlocked = errno == EAGAIN;
            return false;
        }
        if (queue.wrote(std::size_t(written), now) && answersLeft && --*answersLeft == 0)
            return true;
    }
    return false;
}

// Returns false when a stop signal arrived.
bool UnitSimulator::waitForEvents(Clock::time_point now)
{
    const short lineEvents = (takesInput() ? POLLIN : 0) | (writeBlocked ? POLLOUT : 0);
    pollfd fds[] = { { signals.fd(), POLLIN, 0 }, { line.master(), lineEvents, 0 } };
    const timespec timeout = timeUntil(wakeTime(now) - now);
    if (ppoll(fds, 2, &timeout, nullptr) < 0) {
        if (errno == EINTR)
            return true;
        fail("ppoll");
    }
    if ((fds[0].revents & POLLIN) && signals.take() != 0)
        return false;
    if (fds[1].revents & POLLOUT)
        writeBlocked = false;
    if (fds[1].revents & POLLIN)
        readInput();
    else if (fds[1].revents & (POLLHUP | POLLERR))
        throw std::runtime_error("the pseudo-terminal hung up");
    return true;
}

UnitSimulator::Clock::time_point UnitSimulator::wakeTime(Clock::time_point now)
{
    Clock::time_point wake = nextTick;
    if (!writeBlocked) {
        if (const auto write = queue.nextWriteAt(now))
            wake = std::min(wake, *write);
    }
    return wake;
}

bool UnitSimulator::takesInput() const
{
    return queue.pendingBytes() < kMaxPendingOutput;
}

void UnitSimulator::readInput()
{
    char buffer[4096];
    while (takesInput()) {
        const ssize_t count = read(line.master(), buffer, sizeof buffer);
        if (count < 0 && (errno == EAGAIN || errno == EINTR))
            return;
        if (count <= 0)
            fail("read from the pseudo-terminal");
        const Clock::time_point now = Clock::now();
        for (const ConsoleSession::Answer& answer :
            session.receive(std::string_view(buffer, std::size_t(count))))
            queue.push(answer, now);
    }
}

// A cable pulled after the last answer left still delivers that answer; give the host a bounded
// time to read it before the line goes.
void UnitSimulator::drainToHost()
{
    const Clock::time_point deadline = Clock::now() + kDrainLimit;
    Clock::time_point emptySince = Clock::now();
    for (Clock::time_point now = emptySince; now < deadline; now = Clock::now()) {
        if (line.unreadByHost() > 0)
            emptySince = now;
        else if (now - emptySince >= kDrainSettle)
            return;
        pollfd stop = { signals.fd(), POLLIN, 0 };
        if (poll(&stop, 1, int(kDrainPoll.count())) > 0 && signals.take() != 0)
            return;
    }
}

} // namespace unitsim
