// A whole number given as an option's value: QRTLProfile's --timeout and --pick,
// QRTLTrace's --seconds. Portable: QRTLProfile's check also runs natively.
#pragma once

#include <string>

namespace tools {

// The largest count of seconds a tool takes: its milliseconds still fit a timer
// (USER_TIMER_MAXIMUM) and a tick-count difference.
constexpr long kMaxOptionSeconds = 2147483;

// Decimal digits only, the whole of `text`, at most `max`. No sign, no blanks: a
// negative number or one that overflows is refused rather than read as another.
inline bool ParseWholeNumber(const std::string& text, long max, long& out) {
    if (text.empty()) return false;
    long value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return false;
        const long digit = c - '0';
        if (value > (max - digit) / 10) return false;
        value = value * 10 + digit;
    }
    out = value;
    return true;
}

}  // namespace tools
