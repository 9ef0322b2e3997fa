#include "consolesession.h"

namespace unitsim {

namespace {

const char kLineEnd[] = "\r\n";
const char kSuccess[] = "COMMAND SUCCESSFUL";
const char kFailure[] = "COMMAND FAILED";
const char kK57Prompt[] = "ModelK57>";
const char kK68SuccessPrompt[] = "diag_mf00>";
const char kK68FailurePrompt[] = "ModelK68_BNK>";

std::string dataLine(const BoardModel::Bytes& data)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(data.size() * 3);
    for (std::uint8_t byte : data) {
        text += digits[byte >> 4];
        text += digits[byte & 0x0F];
        text += ' ';
    }
    return text;
}

// Garbage never holds an upper-case letter or '>', so it can never be mistaken for a status line
// or a prompt, however it is cut.
bool mayAppearInGarbage(int byte)
{
    return !(byte >= 'A' && byte <= 'Z') && byte != '>';
}

} // namespace

ConsoleSession::ConsoleSession(BoardModel& board, const FaultOptions& faults, std::uint32_t seed)
    : board(board)
    , faults(faults)
    , random(seed)
{
}

std::vector<ConsoleSession::Answer> ConsoleSession::receive(std::string_view bytes)
{
    std::vector<Answer> answers;
    for (char byte : bytes)
        take(byte, answers);
    return answers;
}

void ConsoleSession::take(char byte, std::vector<Answer>& answers)
{
    ++wireBytes;
    if (byte == '\r' || byte == '\n') {
        endLine(answers);
    } else if (!discardingLine) {
        line += byte;
        if (line.size() > kMaxLineLength) {
            line.clear();
            discardingLine = true;
        }
    }
}

void ConsoleSession::endLine(std::vector<Answer>& answers)
{
    const bool discarded = discardingLine;
    discardingLine = false;
    if (discarded || line.empty())
        return;
    const std::string command = std::move(line);
    line.clear();
    if (faults.silent)
        return;
    answers.push_back({ answerTo(command), wireBytes });
    wireBytes = 0;
}

std::string ConsoleSession::answerTo(const std::string& command)
{
    if (faults.garbage)
        return garbage();
    return framed(command, board.execute(ConsoleCommand::parse(command)));
}

std::string ConsoleSession::framed(const std::string& echo, const BoardModel::Reply& reply) const
{
    std::string text = echo + kLineEnd;
    text += reply.ok ? kSuccess : kFailure;
    text += kLineEnd;
    text += dataLine(reply.data) + kLineEnd;
    if (!faults.noPrompt)
        text += prompt(reply.ok);
    return text;
}

const char* ConsoleSession::prompt(bool ok) const
{
    if (board.dialect() == BoardModel::Dialect::K57)
        return kK57Prompt;
    return ok ? kK68SuccessPrompt : kK68FailurePrompt;
}

std::string ConsoleSession::garbage()
{
    std::uniform_int_distribution<std::size_t> length(8, 40);
    std::uniform_int_distribution<int> byte(0, 255);
    std::string text;
    for (std::size_t n = length(random); text.size() < n;) {
        const int b = byte(random);
        if (mayAppearInGarbage(b))
            text += char(b);
    }
    return text;
}

} // namespace unitsim
