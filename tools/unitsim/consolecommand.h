#pragma once
// One line of the unit's console language, taken apart into its fields.
//
// The parser is deliberately strict about structure (one blank between fields, two hexadecimal
// digits per byte field, the count field of "w" always 01, a block list closed by "."), because
// the simulator exists to catch a host that formats a command wrongly; it accepts hexadecimal
// digits in either case. Whether a well-formed command is supported is the board's business, not
// the parser's.
//
// Thread: any (a plain value). Owner: whoever parsed it.
#include <cstdint>
#include <string_view>
#include <vector>

namespace unitsim {

struct ConsoleCommand
{
    enum class Kind {
        Malformed, // anything the console does not understand
        Read, // v PP RR NNNN
        ModuleRead, // mf00r MM SS PP RR NNN (the K68's read)
        Write, // w PP 01 VV RR
        BlockWrite, // x PP NN RR B1,B2,...,Bn.
        Identify, // i
        Telemetry, // t
        Probe, // z
        MuxSelect, // u AA,CC.
        DiagnosticsStart, // VAREN_DIAGNOSTICS_START
    };

    Kind kind = Kind::Malformed;
    unsigned module = 0; // ModuleRead: module field
    unsigned space = 0; // ModuleRead: memory space field
    unsigned page = 0; // MuxSelect: the multiplexer's address
    unsigned reg = 0; // first register
    unsigned count = 0; // Read, ModuleRead: number of registers
    std::vector<std::uint8_t>
        bytes; // Write: the value; BlockWrite: all values; MuxSelect: channels

    // `line` is the command without its line end.
    static ConsoleCommand parse(std::string_view line);
};

} // namespace unitsim
