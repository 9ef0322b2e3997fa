#pragma once
// The register memory and command behaviour of one simulated board.
//
// A board has 128 pages (the 7-bit I2C addresses 0x00-0x7F) of 256 one-byte registers. A page is
// present or absent; a read or write of an absent page, or one running past register 0xFF, fails
// the way a unit fails a command it cannot carry out (COMMAND FAILED with no data). The boards
// differ in their defaults, in which commands they answer and in a few hooks: which registers a
// write lock guards, what a write triggers, which pages sit behind a multiplexer, and what changes
// with time. Derived classes fill their defaults in their constructors; a scenario then adjusts
// them through the set-up calls, which bypass locks and triggers.
//
// Thread: the simulator's single thread. Owner: the simulator's entry point (a unique_ptr from
// makeBoard), lent by reference to the console session.
#include "consolecommand.h"

#include <array>
#include <cstdint>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace unitsim {

class BoardModel
{
public:
    static constexpr unsigned kPageCount = 128;
    static constexpr unsigned kPageSize = 256;

    // The K57 boards and the K68 module speak slightly different consoles: prompts, start
    // command and the K68's own read command.
    enum class Dialect { K57, K68 };

    using Bytes = std::vector<std::uint8_t>;

    struct Reply
    {
        bool ok = false;
        Bytes data;
    };

    virtual ~BoardModel() = default;
    BoardModel(const BoardModel&) = delete;
    BoardModel& operator=(const BoardModel&) = delete;

    Dialect dialect() const { return boardDialect; }

    // Carries out one console command the way the unit does.
    Reply execute(const ConsoleCommand& command);

    // Called about once a second: measured values drift a little and counters advance.
    virtual void tick() { }

    // Set-up by the board defaults and by scenarios; no lock or trigger applies. Out-of-range
    // pages or registers throw std::out_of_range.
    void setPagePresent(unsigned page, bool present);
    bool isPagePresent(unsigned page) const;
    void load(unsigned page, unsigned reg, const Bytes& bytes);
    std::uint8_t registerValue(unsigned page, unsigned reg) const;

    // The data a board answers to "i", "t" or "z"; a board without an entry fails the command.
    void setInfoReply(ConsoleCommand::Kind command, const Bytes& data);
    void removeInfoReply(ConsoleCommand::Kind command);

    // Byte layouts the boards share.
    static Bytes littleEndian16(unsigned value);
    // Identity strings as boards store them: cut or padded to `width` with `pad`.
    static Bytes paddedText(const std::string& text, std::size_t width, std::uint8_t pad);

protected:
    BoardModel(Dialect dialect, std::uint32_t seed);

    // Whether a present page can be reached right now (a multiplexer may hide it).
    virtual bool isPageReachable(unsigned page) const;
    // Whether a console write to this register is accepted now (write locks).
    virtual bool isWritable(unsigned page, unsigned reg) const;
    // Runs after every register a console write changed or rewrote, in register order.
    virtual void onRegisterWritten(
        unsigned page, unsigned reg, std::uint8_t before, std::uint8_t after);
    // "u AA,CC.": selects channels CC of the multiplexer at AA; false when there is none.
    virtual bool selectMuxChannels(unsigned address, std::uint8_t channels);

    // A value near `nominal`, at most `spread` away: measurements wander but never run off,
    // however long a demonstration lasts.
    int drifted(int nominal, int spread);
    // The stored answer of "i", "t" or "z", for boards whose answers change with time; null when
    // the board fails the command.
    Bytes* infoReply(ConsoleCommand::Kind command);

private:
    struct Page
    {
        bool present = false;
        std::array<std::uint8_t, kPageSize> registers {};
    };

    static void checkRange(unsigned page, unsigned reg, std::size_t count);
    static bool fits(unsigned page, unsigned reg, std::size_t count);

    Reply read(unsigned page, unsigned reg, unsigned count) const;
    Reply moduleRead(const ConsoleCommand& command) const;
    Reply write(unsigned page, unsigned reg, const Bytes& bytes);
    Reply info(ConsoleCommand::Kind command) const;
    Reply diagnosticsStart() const;
    bool canAccess(unsigned page, unsigned reg, std::size_t count) const;

    Dialect boardDialect;
    std::array<Page, kPageCount> pages;
    std::map<ConsoleCommand::Kind, Bytes> infoReplies;
    std::minstd_rand random;
};

} // namespace unitsim
