// Trace transport: WM_COPYDATA to the "MsgCapForm" viewer, and the message box.
#pragma once

#include "platform/Platform.h"
#include "trace/Trace.h"

namespace qrtl::win32 {

// How long one line may wait for a viewer before it is given up.
constexpr unsigned kTraceSendTimeoutMs = 500;

class Win32TraceTransport : public ITraceTransport {
public:
    void Deliver(int32_t level, const char* block, std::size_t size) override;
    void ShowBox(const char* text) override;

private:
    TraceThrottle throttle_;
};

}  // namespace qrtl::win32
