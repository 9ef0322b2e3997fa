// The transmit schedule, computed on a made-up clock: wire time, reply delay, line pace and split
// answers. Nothing here waits.
#include "transmitqueue.h"

#include <gtest/gtest.h>

namespace {

using namespace unitsim;
using namespace std::chrono_literals;
using Clock = TransmitQueue::Clock;

const Clock::time_point kStart { std::chrono::seconds(1000) };

ConsoleSession::Answer answer(std::size_t size, std::size_t commandLength = 0, char fill = 'a')
{
    return { std::string(size, fill), commandLength };
}

struct Sent
{
    std::string bytes;
    std::vector<Clock::time_point> writes; // when each write went out
    std::vector<std::size_t> completed; // byte counts at which an answer was complete
    Clock::time_point finished;
};

// Writes everything the queue allows, jumping the clock to each next write time.
Sent drain(TransmitQueue& queue, Clock::time_point now = kStart)
{
    Sent sent;
    while (const auto next = queue.nextWriteAt(now)) {
        now = std::max(now, *next);
        const std::string_view bytes = queue.writable(now);
        if (bytes.empty()) {
            ADD_FAILURE() << "nothing writable at the promised time";
            break;
        }
        sent.bytes += bytes;
        sent.writes.push_back(now);
        if (queue.wrote(bytes.size(), now))
            sent.completed.push_back(sent.bytes.size());
    }
    sent.finished = now;
    return sent;
}

struct WireTime
{
    std::size_t bytes;
    unsigned baud;
    Clock::duration time;
};

class PacerWireTime : public testing::TestWithParam<WireTime>
{
};

TEST_P(PacerWireTime, IsTenBitsPerByte)
{
    const auto& w = GetParam();
    EXPECT_EQ(Pacer::wireTime(w.bytes, w.baud), w.time);
}

INSTANTIATE_TEST_SUITE_P(Lines, PacerWireTime,
    testing::Values(WireTime { 12, 9600, 12500us }, WireTime { 1152, 115200, 100ms },
        WireTime { 1, 10, 1s }, WireTime { 0, 9600, 0s }, WireTime { 5000, 0, 0s }));

TEST(TransmitQueue, UnpacedAnswerGoesAtOnceInChunks)
{
    TransmitQueue queue(0, false, 0ms);
    queue.push(answer(100, 14), kStart);
    const Sent sent = drain(queue);
    EXPECT_EQ(sent.bytes, std::string(100, 'a'));
    EXPECT_EQ(sent.finished, kStart);
    EXPECT_EQ(sent.completed, std::vector<std::size_t> { 100 });
    for (std::size_t i = 1; i < sent.writes.size(); ++i)
        EXPECT_EQ(sent.writes[i], kStart);
    EXPECT_EQ(sent.writes.size(), (100 + TransmitQueue::kChunk - 1) / TransmitQueue::kChunk);
}

TEST(TransmitQueue, AnswerWaitsForTheCommandsWireTimeAndTheReplyDelay)
{
    TransmitQueue queue(9600, false, 30ms);
    queue.push(answer(1, 12), kStart);
    // Due after the command's 12.5 ms and the 30 ms delay; the byte itself then takes its own
    // wire time before the host may see it.
    const auto due = kStart + 12500us + 30ms + Pacer::wireTime(1, 9600);
    EXPECT_TRUE(queue.writable(kStart + 42500us).empty());
    EXPECT_EQ(queue.nextWriteAt(kStart), due);
    EXPECT_EQ(queue.writable(due), "a");
}

// Output follows the line's pace: no byte reaches the host before the line would carry it.
TEST(TransmitQueue, PacedAnswerTakesItsWireTime)
{
    for (unsigned baud : { 9600u, 115200u }) {
        TransmitQueue queue(baud, false, 0ms);
        const std::size_t size = 1000;
        queue.push(answer(size), kStart);
        const Sent sent = drain(queue);
        EXPECT_EQ(sent.bytes.size(), size);
        const auto expected = Pacer::wireTime(size, baud);
        EXPECT_LE(sent.finished - kStart, expected + 1ms) << baud;
        EXPECT_GE(sent.finished - kStart, expected - 1ms) << baud;
        for (std::size_t i = 1; i < sent.writes.size(); ++i)
            EXPECT_GT(sent.writes[i], sent.writes[i - 1]) << "one chunk at a time";
    }
}

TEST(TransmitQueue, SplitAnswerComesInPiecesWithPauses)
{
    TransmitQueue queue(0, true, 0ms);
    queue.push(answer(30, 0, 'x'), kStart);
    queue.push(answer(2, 0, 'y'), kStart);
    const Sent sent = drain(queue);
    EXPECT_EQ(sent.bytes, std::string(30, 'x') + "yy");
    EXPECT_EQ(sent.completed, (std::vector<std::size_t> { 30, 32 }));
    const std::vector<Clock::time_point> expected
        = { kStart, kStart + TransmitQueue::kSplitPause, kStart + 2 * TransmitQueue::kSplitPause,
              kStart + 2 * TransmitQueue::kSplitPause, // the next answer is due already
              kStart + 3 * TransmitQueue::kSplitPause };
    EXPECT_EQ(sent.writes, expected);
}

TEST(TransmitQueue, AnswersLeaveInTheOrderOfTheirCommands)
{
    TransmitQueue queue(9600, false, 0ms);
    queue.push(answer(3, 200, 'a'), kStart); // a long command: due late
    queue.push(answer(3, 2, 'b'), kStart); // a short one: due early, but second
    const Sent sent = drain(queue);
    EXPECT_EQ(sent.bytes, "aaabbb");
    EXPECT_GE(sent.writes.front(), kStart + Pacer::wireTime(200, 9600) + Pacer::wireTime(3, 9600));
    EXPECT_LE(
        sent.writes.front(), kStart + Pacer::wireTime(200, 9600) + Pacer::wireTime(3, 9600) + 1us);
}

TEST(TransmitQueue, CountsWhatIsStillToSend)
{
    TransmitQueue queue(0, true, 0ms);
    queue.push(answer(30), kStart);
    queue.push(answer(5), kStart);
    EXPECT_EQ(queue.pendingBytes(), 35u);
    queue.wrote(4, kStart);
    EXPECT_EQ(queue.pendingBytes(), 31u);
    drain(queue, kStart);
    EXPECT_EQ(queue.pendingBytes(), 0u);
    EXPECT_TRUE(queue.empty());
}

TEST(TransmitQueue, EmptyQueueHasNothingToSend)
{
    TransmitQueue queue(9600, true, 10ms);
    EXPECT_TRUE(queue.empty());
    EXPECT_FALSE(queue.nextWriteAt(kStart));
    EXPECT_TRUE(queue.writable(kStart).empty());
}

} // namespace
