// Trace transport: WM_COPYDATA to the "MsgCapForm" viewer, and the message box.
#pragma once

#include "platform/Platform.h"

namespace qrtl::win32 {

// How long one line may wait for a viewer before it is given up.
constexpr unsigned kTraceSendTimeoutMs = 500;

class Win32TraceTransport : public ITraceTransport {
public:
    TraceDelivery Deliver(int32_t level, const char* block, std::size_t size) override;
    uint32_t NowMs() override;
    void ShowBox(const char* text) override;
};

}  // namespace qrtl::win32
