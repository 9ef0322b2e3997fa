#include "scenario.h"

#include <boost/property_tree/json_parser.hpp>
#include <boost/property_tree/ptree.hpp>

#include <algorithm>
#include <fstream>
#include <initializer_list>

namespace unitsim {

using boost::property_tree::ptree;

// Reads the JSON tree into a scenario, naming the place of every mistake.
class Scenario::Reader
{
public:
    explicit Reader(std::string origin)
        : origin(std::move(origin))
    {
    }

    Scenario read(const ptree& root) const
    {
        Scenario scenario;
        allowOnly(root, "", { "board", "description", "pages", "registers", "replies", "faults" });
        if (const auto name = root.get_optional<std::string>("board"))
            scenario.boardKind = boardKind(*name);
        scenario.text = root.get<std::string>("description", "");
        if (const auto pages = root.get_child_optional("pages"))
            readPages(*pages, scenario);
        if (const auto registers = root.get_child_optional("registers"))
            scenario.registers = readRegisters(*registers);
        if (const auto replies = root.get_child_optional("replies"))
            scenario.replies = readReplies(*replies);
        if (const auto faults = root.get_child_optional("faults"))
            scenario.faultOptions = readFaults(*faults);
        return scenario;
    }

private:
    [[noreturn]] void fail(const std::string& where, const std::string& what) const
    {
        throw Error(origin + ": " + (where.empty() ? "" : where + ": ") + what);
    }

    void allowOnly(
        const ptree& node, const std::string& where, std::initializer_list<const char*> keys) const
    {
        for (const auto& entry : node) {
            const std::string& key = entry.first;
            if (std::none_of(keys.begin(), keys.end(), [&key](const char* k) { return key == k; }))
                fail(where, "unknown key '" + key + "'");
        }
    }

    const ptree& list(const ptree& node, const std::string& where) const
    {
        for (const auto& [key, child] : node) {
            if (!key.empty())
                fail(where, "must be a list");
        }
        if (node.empty() && !node.data().empty())
            fail(where, "must be a list");
        return node;
    }

    BoardKind boardKind(const std::string& name) const
    {
        if (const auto kind = boardKindNamed(name))
            return *kind;
        fail("board", "'" + name + "' is not qmr, qms2, xfp or k68");
    }

    // "0x" and hexadecimal digits, or decimal digits.
    unsigned number(const std::string& text, const std::string& where, unsigned limit) const
    {
        const bool hex = text.rfind("0x", 0) == 0 || text.rfind("0X", 0) == 0;
        const std::string digits = hex ? text.substr(2) : text;
        const char* allowed = hex ? "0123456789abcdefABCDEF" : "0123456789";
        if (digits.empty() || digits.size() > 8 || digits.find_first_not_of(allowed) != text.npos)
            fail(where, "'" + text + "' is not a number");
        const unsigned long value = std::stoul(digits, nullptr, hex ? 16 : 10);
        if (value > limit)
            fail(where, "'" + text + "' is above " + std::to_string(limit));
        return unsigned(value);
    }

    unsigned page(const std::string& text, const std::string& where) const
    {
        return number(text, where, BoardModel::kPageCount - 1);
    }

    // "0x42" or "0x60-0x71".
    PageRange pageRange(const std::string& text, const std::string& where) const
    {
        const std::size_t dash = text.find('-');
        const unsigned first = page(text.substr(0, dash), where);
        const unsigned last = dash == text.npos ? first : page(text.substr(dash + 1), where);
        if (last < first)
            fail(where, "range '" + text + "' runs backwards");
        return { first, last };
    }

    std::vector<PageRange> pageRanges(const ptree& node, const std::string& where) const
    {
        std::vector<PageRange> ranges;
        for (const auto& item : list(node, where))
            ranges.push_back(pageRange(item.second.data(), where));
        return ranges;
    }

    void readPages(const ptree& node, Scenario& scenario) const
    {
        allowOnly(node, "pages", { "absent", "present" });
        if (const auto absent = node.get_child_optional("absent"))
            scenario.absentPages = pageRanges(*absent, "pages.absent");
        if (const auto present = node.get_child_optional("present"))
            scenario.presentPages = pageRanges(*present, "pages.present");
    }

    // Two hexadecimal digits per byte, separated by blanks or commas.
    BoardModel::Bytes bytes(const std::string& text, const std::string& where) const
    {
        BoardModel::Bytes result;
        std::size_t at = 0;
        while ((at = text.find_first_not_of(" ,", at)) != text.npos) {
            const std::size_t end = std::min(text.find_first_of(" ,", at), text.size());
            const std::string item = text.substr(at, end - at);
            if (item.size() != 2)
                fail(where, "'" + item + "' is not a byte of two hexadecimal digits");
            result.push_back(std::uint8_t(number("0x" + item, where, 0xFF)));
            at = end;
        }
        return result;
    }

    std::vector<RegisterOverride> readRegisters(const ptree& node) const
    {
        std::vector<RegisterOverride> overrides;
        for (const auto& item : list(node, "registers")) {
            const std::string where = "registers[" + std::to_string(overrides.size()) + "]";
            overrides.push_back(registerOverride(item.second, where));
        }
        return overrides;
    }

    RegisterOverride registerOverride(const ptree& node, const std::string& where) const
    {
        allowOnly(node, where, { "page", "register", "bytes", "text" });
        const auto bytesText = node.get_optional<std::string>("bytes");
        const auto text = node.get_optional<std::string>("text");
        if (bool(bytesText) == bool(text))
            fail(where, "needs either \"bytes\" or \"text\"");
        RegisterOverride result;
        result.page = page(required(node, "page", where), where);
        result.reg = number(required(node, "register", where), where, BoardModel::kPageSize - 1);
        result.bytes
            = text ? BoardModel::Bytes(text->begin(), text->end()) : bytes(*bytesText, where);
        if (result.bytes.empty() || result.bytes.size() > BoardModel::kPageSize - result.reg)
            fail(where, "the bytes must fit between the register and the end of the page");
        return result;
    }

    std::string required(const ptree& node, const char* key, const std::string& where) const
    {
        const auto value = node.get_optional<std::string>(key);
        if (!value)
            fail(where, std::string("\"") + key + "\" is missing");
        return *value;
    }

    std::vector<ReplyOverride> readReplies(const ptree& node) const
    {
        allowOnly(node, "replies", { "i", "t", "z" });
        std::vector<ReplyOverride> overrides;
        for (const auto& [key, child] : node) {
            const auto command = key == "i" ? ConsoleCommand::Kind::Identify
                : key == "t"                ? ConsoleCommand::Kind::Telemetry
                                            : ConsoleCommand::Kind::Probe;
            const std::string& data = child.data();
            if (data == "FAILED")
                overrides.push_back({ command, std::nullopt });
            else
                overrides.push_back({ command, bytes(data, "replies." + key) });
        }
        return overrides;
    }

    FaultOptions readFaults(const ptree& node) const
    {
        allowOnly(node, "faults",
            { "silent", "garbage", "split", "noPrompt", "disconnectAfter", "replyDelayMs" });
        FaultOptions faults;
        faults.silent = flag(node, "silent");
        faults.garbage = flag(node, "garbage");
        faults.split = flag(node, "split");
        faults.noPrompt = flag(node, "noPrompt");
        if (const auto count = node.get_optional<std::string>("disconnectAfter")) {
            faults.disconnectAfter = number(*count, "faults.disconnectAfter", 1u << 30);
            if (*faults.disconnectAfter == 0)
                fail("faults.disconnectAfter", "must be at least 1");
        }
        if (const auto delay = node.get_optional<std::string>("replyDelayMs"))
            faults.replyDelay
                = std::chrono::milliseconds(number(*delay, "faults.replyDelayMs", 1u << 30));
        return faults;
    }

    bool flag(const ptree& node, const char* key) const
    {
        const std::string value = node.get<std::string>(key, "false");
        if (value != "true" && value != "false")
            fail(std::string("faults.") + key, "must be true or false");
        return value == "true";
    }

    std::string origin;
};

Scenario Scenario::fromFile(const std::string& path)
{
    std::ifstream file(path);
    if (!file)
        throw Error(path + ": cannot be opened");
    return fromJson(file, path);
}

Scenario Scenario::fromJson(std::istream& json, const std::string& origin)
{
    ptree root;
    try {
        boost::property_tree::read_json(json, root);
    } catch (const boost::property_tree::json_parser_error& error) {
        throw Error(origin + ": line " + std::to_string(error.line()) + ": " + error.message());
    }
    return Reader(origin).read(root);
}

void Scenario::applyTo(BoardModel& board) const
{
    const auto setPages = [&board](const std::vector<PageRange>& ranges, bool present) {
        for (const PageRange& range : ranges) {
            for (unsigned page = range.first; page <= range.last; ++page)
                board.setPagePresent(page, present);
        }
    };
    setPages(absentPages, false);
    setPages(presentPages, true);
    for (const RegisterOverride& r : registers)
        board.load(r.page, r.reg, r.bytes);
    for (const ReplyOverride& reply : replies) {
        if (reply.data)
            board.setInfoReply(reply.command, *reply.data);
        else
            board.removeInfoReply(reply.command);
    }
}

} // namespace unitsim
