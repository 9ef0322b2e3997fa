#include "boardmodel.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace unitsim {

namespace {

BoardModel::Reply failed()
{
    return {};
}

BoardModel::Reply succeeded(BoardModel::Bytes data = {})
{
    return { true, std::move(data) };
}

} // namespace

BoardModel::BoardModel(Dialect dialect, std::uint32_t seed)
    : boardDialect(dialect)
    , random(seed)
{
}

BoardModel::Reply BoardModel::execute(const ConsoleCommand& command)
{
    using Kind = ConsoleCommand::Kind;
    switch (command.kind) {
    case Kind::Read:
        return read(command.page, command.reg, command.count);
    case Kind::ModuleRead:
        return moduleRead(command);
    case Kind::Write:
    case Kind::BlockWrite:
        return write(command.page, command.reg, command.bytes);
    case Kind::Identify:
    case Kind::Telemetry:
    case Kind::Probe:
        return info(command.kind);
    case Kind::MuxSelect:
        return selectMuxChannels(command.page, command.bytes.at(0)) ? succeeded() : failed();
    case Kind::DiagnosticsStart:
        return diagnosticsStart();
    case Kind::Malformed:
        break;
    }
    return failed();
}

void BoardModel::setPagePresent(unsigned page, bool present)
{
    checkRange(page, 0, 1);
    pages[page].present = present;
}

bool BoardModel::isPagePresent(unsigned page) const
{
    return page < kPageCount && pages[page].present;
}

void BoardModel::load(unsigned page, unsigned reg, const Bytes& bytes)
{
    checkRange(page, reg, bytes.size());
    std::copy(bytes.begin(), bytes.end(), pages[page].registers.begin() + reg);
}

std::uint8_t BoardModel::registerValue(unsigned page, unsigned reg) const
{
    checkRange(page, reg, 1);
    return pages[page].registers[reg];
}

void BoardModel::setInfoReply(ConsoleCommand::Kind command, const Bytes& data)
{
    infoReplies[command] = data;
}

void BoardModel::removeInfoReply(ConsoleCommand::Kind command)
{
    infoReplies.erase(command);
}

bool BoardModel::isPageReachable(unsigned page) const
{
    return isPagePresent(page);
}

bool BoardModel::isWritable(unsigned, unsigned) const
{
    return true;
}

void BoardModel::onRegisterWritten(unsigned, unsigned, std::uint8_t, std::uint8_t)
{
}

bool BoardModel::selectMuxChannels(unsigned, std::uint8_t)
{
    return false;
}

int BoardModel::drifted(int nominal, int spread)
{
    return std::uniform_int_distribution<int>(nominal - spread, nominal + spread)(random);
}

BoardModel::Bytes BoardModel::littleEndian16(unsigned value)
{
    return { std::uint8_t(value & 0xFF), std::uint8_t((value >> 8) & 0xFF) };
}

BoardModel::Bytes BoardModel::paddedText(
    const std::string& text, std::size_t width, std::uint8_t pad)
{
    Bytes bytes(text.begin(), text.begin() + std::min(text.size(), width));
    bytes.resize(width, pad);
    return bytes;
}

BoardModel::Bytes* BoardModel::infoReply(ConsoleCommand::Kind command)
{
    const auto found = infoReplies.find(command);
    return found == infoReplies.end() ? nullptr : &found->second;
}

void BoardModel::checkRange(unsigned page, unsigned reg, std::size_t count)
{
    if (!fits(page, reg, count))
        throw std::out_of_range("page " + std::to_string(page) + " register " + std::to_string(reg)
            + " count " + std::to_string(count) + " lies outside the board's memory");
}

bool BoardModel::fits(unsigned page, unsigned reg, std::size_t count)
{
    return page < kPageCount && reg < kPageSize && count <= kPageSize - reg;
}

bool BoardModel::canAccess(unsigned page, unsigned reg, std::size_t count) const
{
    return count > 0 && fits(page, reg, count) && isPageReachable(page);
}

BoardModel::Reply BoardModel::read(unsigned page, unsigned reg, unsigned count) const
{
    if (!canAccess(page, reg, count))
        return failed();
    const auto& registers = pages[page].registers;
    return succeeded(Bytes(registers.begin() + reg, registers.begin() + reg + count));
}

// The K68 keeps only the local module's memory space 0 here; other modules and spaces have no
// memory behind them yet.
BoardModel::Reply BoardModel::moduleRead(const ConsoleCommand& command) const
{
    if (boardDialect != Dialect::K68 || command.module != 0 || command.space != 0)
        return failed();
    return read(command.page, command.reg, command.count);
}

// A write is all or nothing: one guarded register refuses the whole command, as the unit checks
// its lock before it touches memory.
BoardModel::Reply BoardModel::write(unsigned page, unsigned reg, const Bytes& bytes)
{
    if (!canAccess(page, reg, bytes.size()))
        return failed();
    for (unsigned i = 0; i < bytes.size(); ++i) {
        if (!isWritable(page, reg + i))
            return failed();
    }
    for (unsigned i = 0; i < bytes.size(); ++i) {
        std::uint8_t& cell = pages[page].registers[reg + i];
        const std::uint8_t before = cell;
        cell = bytes[i];
        onRegisterWritten(page, reg + i, before, cell);
    }
    return succeeded();
}

BoardModel::Reply BoardModel::info(ConsoleCommand::Kind command) const
{
    const auto found = infoReplies.find(command);
    if (found == infoReplies.end())
        return failed();
    return succeeded(found->second);
}

// Only the K57 boards know the diagnostics start command; the K68 starts with an ordinary read.
BoardModel::Reply BoardModel::diagnosticsStart() const
{
    return boardDialect == Dialect::K57 ? succeeded() : failed();
}

} // namespace unitsim
