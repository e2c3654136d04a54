// QRTLTrace: shows the monitor's trace lines. It owns a top-level window titled
// "MsgCapForm", which the monitor finds by its title, and prints every line that
// arrives as WM_COPYDATA with its arrival time and level, control characters
// escaped (\r, \n, \x1b):
//   19:02:03.120 [101] DoTimer : Byte : 0, bFake : 0 @ QRTLIRSet @ 466
// Options:
//   --out FILE    also append every line to FILE
//   --seconds N   end by itself after N seconds (0: never)
//   --show        show the window (it is hidden by default)
// It ends on Ctrl+C, on WM_CLOSE to its window, or after --seconds.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "product.h"
#include "tools/common/ToolSupport.h"
#include "tools/common/WholeNumber.h"
#include "trace/Trace.h"

namespace {

constexpr const char* kViewerTitle = product::kTraceViewerTitle;
constexpr const char* kViewerClass = product::kTraceViewerClass;
constexpr size_t kMaxLine = 1024;

FILE* g_out = nullptr;
DWORD g_mainThread = 0;
HWND g_list = nullptr;
unsigned long g_lines = 0;

void Emit(long level, const char* text) {
    char line[kMaxLine + 64];
    std::snprintf(line, sizeof line, "%s [%ld] %s", tools::TimeOfDay().c_str(), level, text);
    std::printf("%s\n", line);
    std::fflush(stdout);
    if (g_out) {
        std::fprintf(g_out, "%s\n", line);
        std::fflush(g_out);
    }
    if (g_list) {
        ::SendMessageA(g_list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line));
        ::SendMessageA(g_list, LB_SETTOPINDEX, static_cast<WPARAM>(g_lines), 0);
    }
    ++g_lines;
}

LRESULT CALLBACK ViewerProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_COPYDATA: {
        const auto* cds = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        if (cds == nullptr || cds->lpData == nullptr) return FALSE;
        // The block is only valid during this call; the text ends at its first zero.
        const char* data = static_cast<const char*>(cds->lpData);
        const size_t limit = cds->cbData < kMaxLine ? cds->cbData : kMaxLine;
        // Control characters are shown, not obeyed: a sender cannot start a line of its own.
        const std::string text = EscapeControlText(std::string(data, strnlen(data, limit)));
        Emit(static_cast<long>(cds->dwData), text.c_str());
        return TRUE;
    }
    case WM_SIZE:
        if (g_list) ::MoveWindow(g_list, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return 0;
    default:
        if (tools::HandleLifetimeMessage(hWnd, msg, wParam)) return 0;
        return ::DefWindowProcA(hWnd, msg, wParam, lParam);
    }
}

BOOL WINAPI OnConsoleCtrl(DWORD) {
    ::PostThreadMessageA(g_mainThread, WM_QUIT, 0, 0);
    return TRUE;
}

void Usage() {
    std::fprintf(stderr,
                 "usage: QRTLTrace [--out FILE] [--seconds N] [--show]\n"
                 "Prints the trace lines of QRTLIRMoni (\"" QRTL_TRACE_VIEWER_TITLE "\" viewer).\n");
}

}  // namespace

int main(int argc, char** argv) {
    const char* outPath = nullptr;
    long seconds = 0;
    bool show = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--out") == 0 && i + 1 < argc) {
            outPath = argv[++i];
        } else if (std::strcmp(argv[i], "--seconds") == 0 && i + 1 < argc) {
            if (!tools::ParseWholeNumber(argv[++i], tools::kMaxOptionSeconds, seconds)) {
                Usage();
                return 2;
            }
        } else if (std::strcmp(argv[i], "--show") == 0) {
            show = true;
        } else {
            Usage();
            return 2;
        }
    }
    if (outPath) {
        g_out = std::fopen(outPath, "a");
        if (g_out == nullptr) {
            std::fprintf(stderr, "QRTLTrace: cannot open %s\n", outPath);
            return 1;
        }
    }

    const HINSTANCE instance = ::GetModuleHandleA(nullptr);
    tools::WindowSpec spec{kViewerClass, kViewerTitle, ViewerProc};
    spec.width = 640;
    spec.height = 300;
    const HWND wnd = tools::CreateHelperWindow(spec);
    if (wnd == nullptr) {
        std::fprintf(stderr, "QRTLTrace: cannot create the viewer window\n");
        return 1;
    }
    if (show) {
        g_list = ::CreateWindowExA(0, "LISTBOX", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL |
                                   LBS_NOINTEGRALHEIGHT, 0, 0, 0, 0, wnd, nullptr, instance,
                                   nullptr);
        RECT rc;
        ::GetClientRect(wnd, &rc);
        if (g_list) ::MoveWindow(g_list, 0, 0, rc.right, rc.bottom, FALSE);
        ::ShowWindow(wnd, SW_SHOWNOACTIVATE);
    }
    if (seconds > 0 && !tools::StartLifetime(wnd, static_cast<UINT>(seconds * 1000))) {
        std::fprintf(stderr, "QRTLTrace: cannot set the end timer\n");
        ::DestroyWindow(wnd);
        return 1;
    }
    g_mainThread = ::GetCurrentThreadId();
    ::SetConsoleCtrlHandler(OnConsoleCtrl, TRUE);
    std::fprintf(stderr, "QRTLTrace: waiting for trace lines (window \"%s\")\n", kViewerTitle);

    tools::RunMessageLoop();
    if (::IsWindow(wnd)) ::DestroyWindow(wnd);
    if (g_out) std::fclose(g_out);
    return 0;
}
