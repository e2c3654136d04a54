#include "app/TimerText.h"

#include <cstdlib>
#include <limits>

int32_t TimerFromText(const char* pszText) {
    if (pszText == nullptr) return 0;
    // strtoll reads the digits as atoi does, and wide enough that the value can be
    // clamped to the 32-bit range instead of overflowing.
    const long long nValue = std::strtoll(pszText, nullptr, 10);
    if (nValue > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    if (nValue < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(nValue);
}
