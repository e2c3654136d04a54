// The least a poll tick must do, for scripts/bench-wine.sh (a benchmark helper,
// never shipped).
//   TickFloor flock N SECONDS        N hidden top-level windows, kept for SECONDS
//   TickFloor floor SECONDS OUTFILE  a 10 ms timer; each tick makes only the calls
//                                    the monitor's tick makes with its client absent,
//                                    and OUTFILE gets the number of ticks at the end
// The floor's calls per tick: the viewer lookup by title for each of the tick's five
// trace lines, the profile's FindWindowA, EnumWindows with GetDlgItem per window,
// and one receiver read through QRD210DE.DLL from the current folder. The floor runs
// on the desktop the monitor runs on: it puts an icon with a tip in the tray as the
// monitor does, so the shell's tray window and the icon's tooltip, top-level windows
// of the shell that every title lookup walks, are there for both.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "driver/CardDriverApi.h"
#include "product.h"

namespace {

constexpr UINT kTickMs = 10;
constexpr int kTraceLinesPerTick = 5;
constexpr int kChild0 = 1001;
constexpr const char* kViewerTitle = product::kTraceViewerTitle;
constexpr char kFlockClass[] = "QRTLBenchFlock";

using ReadByteFn = carddriver::QRDiI2CReadByteFn*;
using InitFn = carddriver::QRDiI2CInitFn*;

ReadByteFn g_read = nullptr;
unsigned long g_ticks = 0;
volatile HWND g_sink = nullptr;

BOOL CALLBACK HasClientControls(HWND wnd, LPARAM) {
    // The monitor stops at the first missing control; no window here has one.
    return ::GetDlgItem(wnd, kChild0) == nullptr ? TRUE : FALSE;
}

void Tick() {
    g_sink = ::FindWindowA(nullptr, kViewerTitle);  // "DoTimer" line
    g_sink = ::FindWindowA(nullptr, kViewerTitle);  // search start line
    g_sink = ::FindWindowA("AbsentTVClass", "Absent TV");
    for (int i = 2; i < kTraceLinesPerTick; ++i) g_sink = ::FindWindowA(nullptr, kViewerTitle);
    ::EnumWindows(HasClientControls, 0);
    unsigned value = 0x100;
    g_read(carddriver::kIrDeviceAddress, carddriver::kIrSubAddress, &value);
    ++g_ticks;
}

int Flock(int count, int seconds) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = ::DefWindowProcA;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.lpszClassName = kFlockClass;
    if (!::RegisterClassA(&wc)) return 1;
    std::vector<HWND> flock;
    for (int i = 0; i < count; ++i) {
        char title[32];
        std::snprintf(title, sizeof title, "Bench window %d", i);
        const HWND wnd = ::CreateWindowExA(0, kFlockClass, title, WS_OVERLAPPED, 0, 0, 100, 100,
                                           nullptr, nullptr, wc.hInstance, nullptr);
        if (wnd == nullptr) return 1;
        flock.push_back(wnd);
    }
    const DWORD end = ::GetTickCount() + static_cast<DWORD>(seconds) * 1000;
    MSG msg;
    while (static_cast<LONG>(end - ::GetTickCount()) > 0) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 200, QS_ALLINPUT);
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&msg);
    }
    for (HWND wnd : flock) ::DestroyWindow(wnd);
    return 0;
}

int Floor(int seconds, const char* outPath) {
    const HMODULE driver = ::LoadLibraryA(product::kDriverNt);
    if (driver == nullptr) return 1;
    const auto init = reinterpret_cast<InitFn>(
        reinterpret_cast<void*>(::GetProcAddress(driver, "QRDiI2CInit")));
    g_read = reinterpret_cast<ReadByteFn>(
        reinterpret_cast<void*>(::GetProcAddress(driver, "QRDiI2CReadByte")));
    if (init == nullptr || g_read == nullptr || init() == 0) return 1;

    // A window of its own for the timer, as the monitor's main window has.
    const HWND wnd = ::CreateWindowExA(0, "STATIC", "Tick floor", 0, 0, 0, 0, 0, nullptr, nullptr,
                                       nullptr, nullptr);
    if (wnd == nullptr || ::SetTimer(wnd, 1, kTickMs, nullptr) == 0) return 1;
    NOTIFYICONDATAA icon{};
    icon.cbSize = NOTIFYICONDATAA_V1_SIZE;
    icon.hWnd = wnd;
    icon.uID = 1;
    icon.uFlags = NIF_ICON | NIF_TIP;
    icon.hIcon = ::LoadIconA(nullptr, IDI_APPLICATION);
    std::strcpy(icon.szTip, "Tick floor");
    if (!::Shell_NotifyIconA(NIM_ADD, &icon)) return 1;
    const DWORD end = ::GetTickCount() + static_cast<DWORD>(seconds) * 1000;
    MSG msg;
    while (static_cast<LONG>(end - ::GetTickCount()) > 0 && ::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_TIMER && msg.hwnd == wnd) {
            Tick();
            continue;
        }
        ::DispatchMessageA(&msg);
    }
    ::KillTimer(wnd, 1);
    ::Shell_NotifyIconA(NIM_DELETE, &icon);
    FILE* out = std::fopen(outPath, "w");
    if (out == nullptr) return 1;
    std::fprintf(out, "%lu\n", g_ticks);
    std::fclose(out);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "flock") == 0)
        return Flock(std::atoi(argv[2]), std::atoi(argv[3]));
    if (argc == 4 && std::strcmp(argv[1], "floor") == 0) return Floor(std::atoi(argv[2]), argv[3]);
    std::fprintf(stderr, "usage: TickFloor flock N SECONDS | floor SECONDS OUTFILE\n");
    return 2;
}
