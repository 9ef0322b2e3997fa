#include "consolecommand.h"

#include <optional>

namespace unitsim {

namespace {

using Fields = std::vector<std::string_view>;

// Splits at every single blank; two blanks in a row give an empty field, which no form accepts.
Fields splitFields(std::string_view line, char separator)
{
    Fields fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = line.find(separator, start);
        fields.push_back(line.substr(start, end - start));
        if (end == std::string_view::npos)
            return fields;
        start = end + 1;
    }
}

std::optional<unsigned> hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return unsigned(c - '0');
    if (c >= 'A' && c <= 'F')
        return unsigned(c - 'A' + 10);
    if (c >= 'a' && c <= 'f')
        return unsigned(c - 'a' + 10);
    return std::nullopt;
}

std::optional<unsigned> hexNumber(
    std::string_view text, std::size_t minDigits, std::size_t maxDigits)
{
    if (text.size() < minDigits || text.size() > maxDigits)
        return std::nullopt;
    unsigned value = 0;
    for (char c : text) {
        const auto digit = hexDigit(c);
        if (!digit)
            return std::nullopt;
        value = value * 16 + *digit;
    }
    return value;
}

std::optional<unsigned> byteField(std::string_view text)
{
    return hexNumber(text, 2, 2);
}

// Register counts come with two to four digits ("06", "100", "0100").
std::optional<unsigned> countField(std::string_view text)
{
    const auto count = hexNumber(text, 2, 4);
    if (!count || *count == 0)
        return std::nullopt;
    return count;
}

// "B1,B2,...,Bn." -> the bytes; the list must be closed by a full stop.
std::optional<std::vector<std::uint8_t>> byteList(std::string_view text)
{
    if (text.size() < 2 || text.back() != '.')
        return std::nullopt;
    std::vector<std::uint8_t> bytes;
    for (std::string_view item : splitFields(text.substr(0, text.size() - 1), ',')) {
        const auto value = byteField(item);
        if (!value)
            return std::nullopt;
        bytes.push_back(std::uint8_t(*value));
    }
    return bytes;
}

ConsoleCommand parseRead(const Fields& f)
{
    ConsoleCommand command;
    if (f.size() != 4)
        return command;
    const auto page = byteField(f[1]), reg = byteField(f[2]), count = countField(f[3]);
    if (page && reg && count) {
        command.kind = ConsoleCommand::Kind::Read;
        command.page = *page;
        command.reg = *reg;
        command.count = *count;
    }
    return command;
}

ConsoleCommand parseModuleRead(const Fields& f)
{
    ConsoleCommand command;
    if (f.size() != 6)
        return command;
    const auto module = byteField(f[1]), space = byteField(f[2]), page = byteField(f[3]),
               reg = byteField(f[4]), count = countField(f[5]);
    if (module && space && page && reg && count) {
        command.kind = ConsoleCommand::Kind::ModuleRead;
        command.module = *module;
        command.space = *space;
        command.page = *page;
        command.reg = *reg;
        command.count = *count;
    }
    return command;
}

// The unit's single write names the value before the register, and its count is always 01.
ConsoleCommand parseWrite(const Fields& f)
{
    ConsoleCommand command;
    if (f.size() != 5 || byteField(f[2]) != 1u)
        return command;
    const auto page = byteField(f[1]), value = byteField(f[3]), reg = byteField(f[4]);
    if (page && value && reg) {
        command.kind = ConsoleCommand::Kind::Write;
        command.page = *page;
        command.reg = *reg;
        command.bytes = { std::uint8_t(*value) };
    }
    return command;
}

ConsoleCommand parseBlockWrite(const Fields& f)
{
    ConsoleCommand command;
    if (f.size() != 5)
        return command;
    const auto page = byteField(f[1]), count = byteField(f[2]), reg = byteField(f[3]);
    auto bytes = byteList(f[4]);
    if (page && count && reg && bytes && bytes->size() == *count) {
        command.kind = ConsoleCommand::Kind::BlockWrite;
        command.page = *page;
        command.reg = *reg;
        command.bytes = std::move(*bytes);
    }
    return command;
}

// "u AA,CC." selects the channels CC of the I2C multiplexer at address AA.
ConsoleCommand parseMuxSelect(const Fields& f)
{
    ConsoleCommand command;
    if (f.size() != 2)
        return command;
    const auto bytes = byteList(f[1]);
    if (bytes && bytes->size() == 2) {
        command.kind = ConsoleCommand::Kind::MuxSelect;
        command.page = (*bytes)[0];
        command.bytes = { (*bytes)[1] };
    }
    return command;
}

ConsoleCommand bare(ConsoleCommand::Kind kind, const Fields& f)
{
    ConsoleCommand command;
    if (f.size() == 1)
        command.kind = kind;
    return command;
}

} // namespace

ConsoleCommand ConsoleCommand::parse(std::string_view line)
{
    const Fields fields = splitFields(line, ' ');
    const std::string_view verb = fields.front();
    if (verb == "v")
        return parseRead(fields);
    if (verb == "mf00r")
        return parseModuleRead(fields);
    if (verb == "w")
        return parseWrite(fields);
    if (verb == "x")
        return parseBlockWrite(fields);
    if (verb == "u")
        return parseMuxSelect(fields);
    if (verb == "i")
        return bare(Kind::Identify, fields);
    if (verb == "t")
        return bare(Kind::Telemetry, fields);
    if (verb == "z")
        return bare(Kind::Probe, fields);
    if (verb == "VAREN_DIAGNOSTICS_START")
        return bare(Kind::DiagnosticsStart, fields);
    return ConsoleCommand {};
}

} // namespace unitsim
