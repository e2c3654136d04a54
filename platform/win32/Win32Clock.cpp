#include "platform/win32/Win32Clock.h"

#include <windows.h>

#include <ctime>

namespace qrtl::win32 {

int64_t Win32Clock::NowSeconds() {
    // The calendar clock, not a tick count: the power prompt follows the wall time.
    return static_cast<int64_t>(std::time(nullptr));
}

void Win32Clock::SleepMs(uint32_t milliseconds) { ::Sleep(milliseconds); }

}  // namespace qrtl::win32
