#include "transmitqueue.h"

#include <algorithm>

namespace unitsim {

TransmitQueue::TransmitQueue(unsigned baud, bool split, std::chrono::milliseconds replyDelay)
    : pacer(baud, kChunk)
    , baud(baud)
    , split(split)
    , replyDelay(replyDelay)
{
}

void TransmitQueue::push(const ConsoleSession::Answer& answer, Clock::time_point receivedAt)
{
    const Clock::time_point due
        = receivedAt + Pacer::wireTime(answer.commandLength, baud) + replyDelay;
    const std::size_t count = split ? std::min(kSplitPieces, answer.text.size()) : 1;
    const std::size_t size = answer.text.size();
    if (pieces.empty())
        pacer.restart(due);
    pending += size;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t begin = size * i / count, end = size * (i + 1) / count;
        Piece piece;
        piece.bytes = answer.text.substr(begin, end - begin);
        piece.earliest = due;
        piece.pauseBefore = i == 0 ? Clock::duration::zero() : Clock::duration(kSplitPause);
        piece.endsAnswer = i + 1 == count;
        pieces.push_back(std::move(piece));
    }
}

std::string_view TransmitQueue::writable(Clock::time_point now)
{
    if (pieces.empty() || now < pieces.front().earliest)
        return {};
    const Piece& head = pieces.front();
    const std::size_t count = std::min(pacer.allowance(now), head.bytes.size() - head.sent);
    return std::string_view(head.bytes).substr(head.sent, count);
}

bool TransmitQueue::wrote(std::size_t bytes, Clock::time_point now)
{
    pacer.spend(bytes);
    pending -= bytes;
    Piece& head = pieces.front();
    head.sent += bytes;
    if (head.sent < head.bytes.size())
        return false;
    const bool endsAnswer = head.endsAnswer;
    finishHead(now);
    return endsAnswer;
}

void TransmitQueue::finishHead(Clock::time_point now)
{
    pieces.pop_front();
    if (!pieces.empty()) {
        Piece& next = pieces.front();
        next.earliest = std::max(next.earliest, now + next.pauseBefore);
    }
}

std::optional<TransmitQueue::Clock::time_point> TransmitQueue::nextWriteAt(Clock::time_point now)
{
    if (pieces.empty())
        return std::nullopt;
    const Piece& head = pieces.front();
    const std::size_t chunk = std::min(kChunk, head.bytes.size() - head.sent);
    return std::max(head.earliest, pacer.readyAt(chunk, now));
}

} // namespace unitsim
