#include "comname.h"

namespace tdi {
namespace platform {

namespace {
constexpr std::string_view kPrefix = "COM";
}

unsigned ComName::parse(std::string_view name)
{
    if (name.substr(0, kPrefix.size()) != kPrefix)
        return 0;
    return parseNumber(name.substr(kPrefix.size()));
}

unsigned ComName::parseNumber(std::string_view digits)
{
    // Three digits at most keeps the arithmetic far from overflow.
    if (digits.empty() || digits.size() > 3 || digits.front() == '0')
        return 0;
    unsigned number = 0;
    for (const char digit : digits) {
        if (digit < '0' || digit > '9')
            return 0;
        number = number * 10 + static_cast<unsigned>(digit - '0');
    }
    return number <= kLast ? number : 0;
}

std::string ComName::format(unsigned number)
{
    return std::string(kPrefix) + std::to_string(number);
}

} // namespace platform
} // namespace tdi
