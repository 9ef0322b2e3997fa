#pragma once
// The misbehaviours a simulated unit can show, so that hosts can be tested against them. They come
// from the command line and from a scenario file.
//
// Thread: any (a plain value). Owner: whoever holds the simulator's settings.
#include <chrono>
#include <optional>

namespace unitsim {

struct FaultOptions
{
    bool silent = false; // reads commands and never answers
    bool garbage = false; // answers with random bytes that never frame an answer
    bool split = false; // sends each answer in several writes with short pauses between
    bool noPrompt = false; // leaves the prompt out of every answer
    std::optional<unsigned> disconnectAfter; // answers this many commands, then pulls the cable
    std::optional<std::chrono::milliseconds> replyDelay; // extra wait before each answer

    // These faults with those of `other` added; where both give a number, `other` wins.
    FaultOptions mergedWith(const FaultOptions& other) const
    {
        FaultOptions merged = *this;
        merged.silent |= other.silent;
        merged.garbage |= other.garbage;
        merged.split |= other.split;
        merged.noPrompt |= other.noPrompt;
        if (other.disconnectAfter)
            merged.disconnectAfter = other.disconnectAfter;
        if (other.replyDelay)
            merged.replyDelay = other.replyDelay;
        return merged;
    }
};

} // namespace unitsim
