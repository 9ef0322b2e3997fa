#include "pacer.h"

#include <algorithm>
#include <cmath>

namespace unitsim {

namespace {

constexpr double kBitsPerByte = 10.0;

} // namespace

Pacer::Pacer(unsigned baud, std::size_t chunk)
    : bytesPerSecond(baud / kBitsPerByte)
    , chunkSize(chunk)
    , capacity(2.0 * double(chunk))
    , tokens(0)
{
}

std::size_t Pacer::allowance(Clock::time_point now)
{
    if (bytesPerSecond <= 0)
        return chunkSize;
    refill(now);
    return std::size_t(std::floor(tokens));
}

void Pacer::spend(std::size_t bytes)
{
    if (bytesPerSecond > 0)
        tokens = std::max(0.0, tokens - double(bytes));
}

void Pacer::restart(Clock::time_point start)
{
    tokens = 0;
    filledAt = start;
    started = true;
}

Pacer::Clock::time_point Pacer::readyAt(std::size_t bytes, Clock::time_point now)
{
    if (bytesPerSecond <= 0)
        return now;
    refill(now);
    const double needed = std::min(capacity, double(bytes));
    if (tokens >= needed)
        return now;
    // After a restart the bucket starts filling only at the answer's start.
    const std::chrono::duration<double> wait((needed - tokens) / bytesPerSecond);
    return std::max(now, filledAt) + std::chrono::ceil<Clock::duration>(wait);
}

Pacer::Clock::duration Pacer::wireTime(std::size_t bytes, unsigned baud)
{
    if (baud == 0)
        return Clock::duration::zero();
    const std::chrono::duration<double> time(bytes * kBitsPerByte / baud);
    return std::chrono::ceil<Clock::duration>(time);
}

void Pacer::refill(Clock::time_point now)
{
    if (started && now > filledAt) {
        const std::chrono::duration<double> elapsed = now - filledAt;
        tokens = std::min(capacity, tokens + elapsed.count() * bytesPerSecond);
    }
    if (!started || now > filledAt)
        filledAt = now;
    started = true;
}

} // namespace unitsim
