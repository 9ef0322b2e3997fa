#pragma once
// A token bucket that holds output to the pace of a serial line: B baud carries B/10 bytes a
// second (8 data bits with a start and a stop bit). Output leaves in little chunks, each once the
// line would have carried it, so the host never sees an answer sooner than a real line delivers
// it. The bucket holds up to two chunks while an answer is being sent, so a wake-up that comes a
// little late is made up by the next write instead of slowing the line down every time; a new
// answer after an idle line starts from an empty bucket. A rate of 0 means no pacing.
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
    // The line was idle: the next output starts at `start` with an empty bucket.
    void restart(Clock::time_point start);
    // When `bytes` (at most one chunk) may go, given nothing is spent meanwhile.
    Clock::time_point readyAt(std::size_t bytes, Clock::time_point now);

    // How long `bytes` take on a line of `baud`.
    static Clock::duration wireTime(std::size_t bytes, unsigned baud);

private:
    void refill(Clock::time_point now);

    double bytesPerSecond;
    std::size_t chunkSize;
    double capacity;
    double tokens;
    Clock::time_point filledAt;
    bool started = false;
};

} // namespace unitsim
