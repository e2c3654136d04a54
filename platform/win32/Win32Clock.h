// The calendar clock and the thread's sleep.
#pragma once

#include "platform/Platform.h"

namespace qrtl::win32 {

class Win32Clock : public IClock {
public:
    int64_t NowSeconds() override;
    void SleepMs(uint32_t milliseconds) override;
};

}  // namespace qrtl::win32
