#pragma once
// The names the console logic gives ports: "COM" followed by a number from 1 to 254 written in
// plain decimal. Each number has exactly one spelling, so that a stray entry such as "COM07" can
// never stand in for COM7; 254 is the highest number the console's port scan has ever covered.
//
// Thread: any (stateless).
#include <string>
#include <string_view>

namespace tdi {
namespace platform {

class ComName
{
public:
    static constexpr unsigned kFirst = 1;
    static constexpr unsigned kLast = 254;

    // The n of "COM<n>", or 0 when the name is not spelled exactly that way.
    static unsigned parse(std::string_view name);

    // The number a text of decimal digits stands for (no sign, no leading zero, kFirst..kLast),
    // or 0 when it is not such a text.
    static unsigned parseNumber(std::string_view digits);

    static std::string format(unsigned number);
};

} // namespace platform
} // namespace tdi
