#pragma once
// A scenario: what makes one simulated unit differ from its board's defaults. Read from a JSON
// file; every section is optional, and unknown keys are refused so that a misspelt key does not
// silently leave a test on the defaults.
//
//   {
//     "board": "qmr",                        // must match --board when both are given
//     "description": "free text",
//     "pages": {                             // absent first, then present
//       "absent":  ["0x58-0x59", "0x60-0x71"],
//       "present": ["0x60"]
//     },
//     "registers": [                         // applied in order, after the pages
//       {"page": "0x42", "register": "0x06", "bytes": "28"},
//       {"page": "0x41", "register": "0x00", "text": "VQ0001234"}
//     ],
//     "replies": {"z": "01 ", "t": "FAILED"},  // "i", "t", "z": data bytes, or FAILED
//     "faults": {"silent": false, "garbage": false, "split": false, "noPrompt": false,
//                "disconnectAfter": 3, "replyDelayMs": 20}
//   }
//
// Numbers are hexadecimal with a "0x" prefix or decimal without; bytes are two hexadecimal digits
// each, separated by blanks or commas. Cards per slot and side, transceiver presence and
// calibration and link faults are to come as further sections.
//
// Thread: the simulator's single thread. Owner: the entry point.
#include "boardfactory.h"
#include "boardmodel.h"
#include "faultoptions.h"

#include <istream>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace unitsim {

class Scenario
{
public:
    // A scenario that cannot be read or makes no sense; the message names the file and the place.
    struct Error : std::runtime_error
    {
        using std::runtime_error::runtime_error;
    };

    static Scenario fromFile(const std::string& path);
    // `origin` names the source in error messages.
    static Scenario fromJson(std::istream& json, const std::string& origin);

    std::optional<BoardKind> board() const { return boardKind; }
    const FaultOptions& faults() const { return faultOptions; }
    const std::string& description() const { return text; }

    void applyTo(BoardModel& board) const;

private:
    struct PageRange
    {
        unsigned first;
        unsigned last;
    };
    struct RegisterOverride
    {
        unsigned page;
        unsigned reg;
        BoardModel::Bytes bytes;
    };
    struct ReplyOverride
    {
        ConsoleCommand::Kind command;
        std::optional<BoardModel::Bytes> data; // nothing: the command fails
    };

    class Reader;

    std::optional<BoardKind> boardKind;
    std::string text;
    std::vector<PageRange> absentPages;
    std::vector<PageRange> presentPages;
    std::vector<RegisterOverride> registers;
    std::vector<ReplyOverride> replies;
    FaultOptions faultOptions;
};

} // namespace unitsim
