// Test helper, run in its own process by the Windows adapter tests.
//
//   windowhost --class C --caption T --children 1,2,3 --log FILE [--timeout MS]
//       A top-level window of class C titled T with three static child controls of
//       the given ids; every WM_COMMAND and WM_KEYDOWN it receives is appended to FILE
//       as "WM_COMMAND wParam lParam" with both parameters in 8-digit hex.
//   windowhost --viewer --log FILE [--hang MS] [--timeout MS]
//       A trace viewer titled "MsgCapForm": each WM_COPYDATA is appended to FILE as
//       dwData (4 bytes), cbData (4 bytes) and the whole data block. With --hang the
//       handler first sleeps MS milliseconds, as a viewer that stopped responding.
//       With --stall MS the host's thread takes no messages for MS milliseconds once
//       its window is ready, as a client that stopped responding.
//   windowhost (no arguments)
//       Writes its own command line to "<its path>.started" and ends; the launch test
//       starts a renamed copy of this program.
//
// Every mode ends on WM_CLOSE or after the timeout (default 30 s), never hanging a test.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "product.h"
#include "tools/common/ToolSupport.h"

namespace {

constexpr UINT kDefaultTimeoutMs = 30000;
constexpr char kViewerClass[] = "QrtlTestViewer";
constexpr const char* kViewerCaption = product::kTraceViewerTitle;
constexpr char kReadyProperty[] = "QrtlHostReady";

struct Options {
    std::string className = "QrtlTestHost";
    std::string caption = "QrtlTestHost";
    std::vector<int> children;
    std::string logPath;
    bool viewer = false;
    UINT hangMs = 0;
    UINT stallMs = 0;
    UINT timeoutMs = kDefaultTimeoutMs;
};

Options g_options;

// Opened and closed for every record, so a test can read the file at any time.
void AppendToLog(const void* data, std::size_t size) {
    tools::AppendToFile(g_options.logPath, data, size);
}

void LogMessage(const char* name, WPARAM wParam, LPARAM lParam) {
    char line[64];
    const int n = std::snprintf(line, sizeof(line), "%s %08lX %08lX\n", name,
                                static_cast<unsigned long>(wParam),
                                static_cast<unsigned long>(lParam));
    if (n > 0) AppendToLog(line, static_cast<std::size_t>(n));
}

void LogCopyData(const COPYDATASTRUCT* cds) {
    std::vector<char> record(8 + cds->cbData);
    const uint32_t header[2] = {static_cast<uint32_t>(cds->dwData), cds->cbData};
    std::memcpy(record.data(), header, sizeof(header));
    if (cds->cbData != 0 && cds->lpData != nullptr) {
        std::memcpy(record.data() + 8, cds->lpData, cds->cbData);
    }
    AppendToLog(record.data(), record.size());
}

LRESULT CALLBACK HostWndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_COMMAND:
        LogMessage("WM_COMMAND", wParam, lParam);
        return 0;
    case WM_KEYDOWN:
        LogMessage("WM_KEYDOWN", wParam, lParam);
        return 0;
    case WM_COPYDATA:
        if (g_options.hangMs != 0) ::Sleep(g_options.hangMs);
        LogCopyData(reinterpret_cast<const COPYDATASTRUCT*>(lParam));
        return TRUE;
    default:
        if (tools::HandleLifetimeMessage(hWnd, msg, wParam)) return 0;
        return ::DefWindowProcA(hWnd, msg, wParam, lParam);
    }
}

bool ParseOptions(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--viewer") {
            g_options.viewer = true;
        } else if (arg == "--class" && hasValue) {
            g_options.className = argv[++i];
        } else if (arg == "--caption" && hasValue) {
            g_options.caption = argv[++i];
        } else if (arg == "--log" && hasValue) {
            g_options.logPath = argv[++i];
        } else if (arg == "--hang" && hasValue) {
            g_options.hangMs = static_cast<UINT>(std::strtoul(argv[++i], nullptr, 10));
        } else if (arg == "--stall" && hasValue) {
            g_options.stallMs = static_cast<UINT>(std::strtoul(argv[++i], nullptr, 10));
        } else if (arg == "--timeout" && hasValue) {
            g_options.timeoutMs = static_cast<UINT>(std::strtoul(argv[++i], nullptr, 10));
        } else if (arg == "--children" && hasValue) {
            for (char* p = argv[++i]; *p != '\0';) {
                char* end = nullptr;
                g_options.children.push_back(static_cast<int>(std::strtol(p, &end, 0)));
                if (end == p) return false;
                p = (*end == ',') ? end + 1 : end;
            }
        } else {
            return false;
        }
    }
    return true;
}

// The launched copy: proves it ran, and with which command line.
int WriteStartedMarker() {
    char path[MAX_PATH] = {};
    const DWORD n = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return 1;
    const std::string marker = std::string(path) + ".started";
    FILE* f = std::fopen(marker.c_str(), "wb");
    if (f == nullptr) return 1;
    std::fputs(::GetCommandLineA(), f);
    std::fclose(f);
    return 0;
}

int RunWindow() {
    const HINSTANCE instance = ::GetModuleHandleA(nullptr);
    const std::string className = g_options.viewer ? kViewerClass : g_options.className;
    const std::string caption = g_options.viewer ? kViewerCaption : g_options.caption;

    const HWND hWnd =
        tools::CreateHelperWindow({className.c_str(), caption.c_str(), HostWndProc});
    if (hWnd == nullptr) return 3;
    int y = 10;
    for (int id : g_options.children) {
        // Static controls without SS_NOTIFY send no WM_COMMAND of their own.
        if (!::CreateWindowExA(0, "STATIC", "child", WS_CHILD | WS_VISIBLE, 10, y, 100, 20, hWnd,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance,
                               nullptr)) {
            return 4;
        }
        y += 24;
    }
    if (!tools::StartLifetime(hWnd, g_options.timeoutMs)) return 5;
    // Marked last: the tests wait for this before they use the window. It stays
    // hidden: under Wine a shown window makes the process take seconds to end.
    if (!::SetPropA(hWnd, kReadyProperty, reinterpret_cast<HANDLE>(1))) return 6;

    if (g_options.stallMs != 0) ::Sleep(g_options.stallMs);
    tools::RunMessageLoop();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc <= 1) return WriteStartedMarker();
    if (!ParseOptions(argc, argv)) return 1;
    return RunWindow();
}
