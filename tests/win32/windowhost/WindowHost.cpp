// Test helper, run in its own process by the Windows adapter tests.
//
//   windowhost --viewer --log FILE [--hang MS] [--timeout MS]
//       A trace viewer titled "MsgCapForm": each WM_COPYDATA is appended to FILE as
//       dwData (4 bytes), cbData (4 bytes) and the whole data block. With --hang the
//       handler first sleeps MS milliseconds, as a viewer that stopped responding.
//   windowhost (no arguments)
//       Writes its own command line to "<its path>.started", its working folder to
//       "<its path>.folder", and ends; the launch test starts a renamed copy of this
//       program.
//
// The viewer ends on WM_CLOSE or after the timeout (default 30 s), never hanging a
// test. The client window the adapter tests drive is the stand-in client's
// (StandinTV --hidden).
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

struct Options {
    std::string logPath;
    bool viewer = false;
    UINT hangMs = 0;
    UINT timeoutMs = kDefaultTimeoutMs;
};

Options g_options;

// Opened and closed for every record, so a test can read the file at any time.
void AppendToLog(const void* data, std::size_t size) {
    tools::AppendToFile(g_options.logPath, data, size);
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

LRESULT CALLBACK ViewerWndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
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
        } else if (arg == "--log" && hasValue) {
            g_options.logPath = argv[++i];
        } else if (arg == "--hang" && hasValue) {
            g_options.hangMs = static_cast<UINT>(std::strtoul(argv[++i], nullptr, 10));
        } else if (arg == "--timeout" && hasValue) {
            g_options.timeoutMs = static_cast<UINT>(std::strtoul(argv[++i], nullptr, 10));
        } else {
            return false;
        }
    }
    return g_options.viewer;
}

// The launched copy: proves it ran, and with which command line.
int WriteStartedMarker() {
    char path[MAX_PATH] = {};
    const DWORD n = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return 1;
    char folder[MAX_PATH] = {};
    const DWORD length = ::GetCurrentDirectoryA(MAX_PATH, folder);
    if (length == 0 || length >= MAX_PATH) return 1;
    // The folder first: the test waits for the command line's marker.
    for (const auto& [suffix, text] : {std::pair<const char*, const char*>{".folder", folder},
                                       {".started", ::GetCommandLineA()}}) {
        FILE* f = std::fopen((std::string(path) + suffix).c_str(), "wb");
        if (f == nullptr) return 1;
        std::fputs(text, f);
        std::fclose(f);
    }
    return 0;
}

int RunViewer() {
    const HWND hWnd = tools::CreateHelperWindow({kViewerClass, kViewerCaption, ViewerWndProc});
    if (hWnd == nullptr) return 3;
    if (!tools::StartLifetime(hWnd, g_options.timeoutMs)) return 5;
    // Marked last: the tests wait for this before they use the window. It stays
    // hidden: under Wine a shown window makes the process take seconds to end.
    if (!tools::MarkReady(hWnd)) return 6;
    tools::RunMessageLoop();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc <= 1) return WriteStartedMarker();
    if (!ParseOptions(argc, argv)) return 1;
    return RunViewer();
}
