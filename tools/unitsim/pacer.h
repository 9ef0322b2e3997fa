#pragma once
// A token bucket that holds output to the pace of a serial line: B baud carries B/10 bytes a
// second (8 data bits with a start and a stop bit). The bucket holds at most one small chunk, so
// output leaves in little bursts spread over time, as on a real line, rather than all at once
// after an idle spell. A rate of 0 means no pacing.
//
// Times are passed in, so the arithmetic can be tested without waiting.
//
// Thread: the simulator's single thread. Owner: the transmit queue.
#include <chrono>
#include <cstddef>

namespace unitsim {

class Pacer
{
public:
    using Clock = std::chrono::steady_clock;

    Pacer(unsigned baud, std::size_t chunk);

    // Bytes that may be sent at `now`, at most one chunk.
    std::size_t allowance(Clock::time_point now);
    void spend(std::size_t bytes);
    // When `bytes` (at most one chunk) may go, given nothing is spent meanwhile.
    Clock::time_point readyAt(std::size_t bytes, Clock::time_point now);

    // How long `bytes` take on a line of `baud`.
    static Clock::duration wireTime(std::size_t bytes, unsigned baud);

private:
    void refill(Clock::time_point now);

    double bytesPerSecond;
    double capacity;
    double tokens;
    Clock::time_point filledAt;
    bool started = false;
};

} // namespace unitsim
