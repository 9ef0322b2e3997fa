#pragma once
// The answers waiting to go out, and the timing of their going: an answer waits for the wire time
// of its command (the unit cannot answer before the command has arrived at the line's speed) plus
// any reply delay, then leaves in small chunks at the line's pace. With the split fault each
// answer is cut into a few pieces with a pause of a few milliseconds before each further piece,
// so a host sees it arrive in several reads.
//
// Times are passed in, so the schedule can be tested without waiting.
//
// Thread: the simulator's single thread. Owner: the unit simulator.
#include "consolesession.h"
#include "pacer.h"

#include <chrono>
#include <deque>
#include <optional>
#include <string>
#include <string_view>

namespace unitsim {

class TransmitQueue
{
public:
    using Clock = Pacer::Clock;
    static constexpr std::size_t kChunk = 16;
    static constexpr std::size_t kSplitPieces = 3;
    static constexpr std::chrono::milliseconds kSplitPause { 5 };

    TransmitQueue(unsigned baud, bool split, std::chrono::milliseconds replyDelay);

    // Queues the answer to a command whose line end arrived at `receivedAt`.
    void push(const ConsoleSession::Answer& answer, Clock::time_point receivedAt);
    // The bytes that may be written at `now`; empty when they have to wait.
    std::string_view writable(Clock::time_point now);
    // Records that the first `bytes` of writable() went out at `now`; returns whether that
    // completed an answer.
    bool wrote(std::size_t bytes, Clock::time_point now);
    // When the next chunk may go; nothing when the queue is empty.
    std::optional<Clock::time_point> nextWriteAt(Clock::time_point now);
    bool empty() const { return pieces.empty(); }
    // Bytes queued and not yet written.
    std::size_t pendingBytes() const { return pending; }

private:
    struct Piece
    {
        std::string bytes;
        std::size_t sent = 0;
        Clock::time_point earliest;
        Clock::duration pauseBefore;
        bool endsAnswer = false;
    };

    void finishHead(Clock::time_point now);

    std::deque<Piece> pieces;
    std::size_t pending = 0;
    Pacer pacer;
    unsigned baud;
    bool split;
    std::chrono::milliseconds replyDelay;
};

} // namespace unitsim
