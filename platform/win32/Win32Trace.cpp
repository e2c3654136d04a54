#include "platform/win32/Win32Trace.h"

#include <windows.h>

#include <cstring>
#include <memory>
#include <new>

#include "product.h"

namespace qrtl::win32 {

TraceDelivery Win32TraceTransport::Deliver(int32_t level, const char* block, std::size_t size) {
    // Looked up for every line: a viewer started later receives the next one.
    HWND viewer = ::FindWindowA(nullptr, product::kTraceViewerTitle);
    if (viewer == nullptr) return TraceDelivery::NoViewer;

    // The block the viewer receives is a heap copy, freed when the send returns. Without
    // the memory for it the line is lost like any other: nothing may throw out of a
    // window procedure that traces.
    const std::unique_ptr<char[]> data(new (std::nothrow) char[size]);
    if (!data) return TraceDelivery::NoViewer;
    std::memcpy(data.get(), block, size);
    COPYDATASTRUCT cds{};
    cds.dwData = static_cast<ULONG_PTR>(static_cast<uint32_t>(level));
    cds.cbData = static_cast<DWORD>(size);
    cds.lpData = data.get();
    // A hung viewer must not freeze the monitor: give up after the timeout.
    DWORD_PTR result = 0;
    const LRESULT answered =
        ::SendMessageTimeoutA(viewer, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds),
                              SMTO_ABORTIFHUNG | SMTO_BLOCK, kTraceSendTimeoutMs, &result);
    // A viewer that closed meanwhile fails the send too, at once: only a timeout counts.
    if (answered != 0) return TraceDelivery::Answered;
    return ::GetLastError() == ERROR_TIMEOUT ? TraceDelivery::TimedOut : TraceDelivery::NoViewer;
}

uint32_t Win32TraceTransport::NowMs() { return ::GetTickCount(); }

void Win32TraceTransport::ShowBox(const char* text) {
    ::MessageBoxA(::GetDesktopWindow(), text, "MSB", MB_ICONINFORMATION);
}

}  // namespace qrtl::win32
