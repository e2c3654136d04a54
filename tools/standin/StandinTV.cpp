// StandinTV: a stand-in for the TV-viewing application that the monitor drives.
// It shows one top-level window with a class name, a caption and three child
// controls, records every WM_COMMAND and WM_KEYDOWN it receives to a log file and
// shows the last one in its window.
// Options:
//   --class NAME        window class   (default "StandinTVClass")
//   --caption TEXT      window caption (default "Standin TV")
//   --ids A B C         the three child control ids (default 1001 1002 1003)
//   --log FILE          log file (default "StandinTV.log" beside the executable)
//   --seconds N         end by itself after N seconds
// Log lines: "HH:MM:SS.mmm WM_COMMAND wParam=0x00018001 lParam=0x00000000",
// and "START pid=... cmdline=..." / "END" around them. Other arguments are ignored
// (they show in the START line). It ends on WM_CLOSE.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr UINT_PTR kTimerEnd = 1;
constexpr int kChildCount = 3;

struct Options {
    std::string className = "StandinTVClass";
    std::string caption = "Standin TV";
    int ids[kChildCount] = {1001, 1002, 1003};
    std::string logPath;
    long seconds = 0;
};

Options g_opt;
HWND g_lastText = nullptr;
HWND g_countText = nullptr;
unsigned long g_received = 0;

std::string ExeDir() {
    char path[MAX_PATH] = {};
    const DWORD n = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s(path, (n > 0 && n < MAX_PATH) ? n : 0);
    const auto slash = s.find_last_of("\\/");
    return slash == std::string::npos ? std::string(".") : s.substr(0, slash);
}

// Appended and closed at once, so a test reading the log sees every line.
void LogLine(const char* text) {
    SYSTEMTIME t;
    ::GetLocalTime(&t);
    char line[1200];
    const int len = std::snprintf(line, sizeof line, "%02u:%02u:%02u.%03u %s\r\n", t.wHour,
                                  t.wMinute, t.wSecond, t.wMilliseconds, text);
    if (len <= 0) return;
    HANDLE file = ::CreateFileA(g_opt.logPath.c_str(), FILE_APPEND_DATA,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    ::WriteFile(file, line, static_cast<DWORD>(std::strlen(line)), &written, nullptr);
    ::CloseHandle(file);
}

void Record(const char* name, WPARAM wParam, LPARAM lParam) {
    char text[128];
    std::snprintf(text, sizeof text, "%s wParam=0x%08lX lParam=0x%08lX", name,
                  static_cast<unsigned long>(wParam), static_cast<unsigned long>(lParam));
    LogLine(text);
    ++g_received;
    if (g_lastText) ::SetWindowTextA(g_lastText, text);
    if (g_countText) {
        char count[64];
        std::snprintf(count, sizeof count, "Messages received: %lu", g_received);
        ::SetWindowTextA(g_countText, count);
    }
}

LRESULT CALLBACK StandinProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_COMMAND:
        Record("WM_COMMAND", wParam, lParam);
        return 0;
    case WM_KEYDOWN:
        Record("WM_KEYDOWN", wParam, lParam);
        return 0;
    case WM_TIMER:
        if (wParam == kTimerEnd) ::DestroyWindow(hWnd);
        return 0;
    case WM_DESTROY:
        ::PostQuitMessage(0);
        return 0;
    default:
        return ::DefWindowProcA(hWnd, msg, wParam, lParam);
    }
}

void ParseArgs(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--class" && i + 1 < argc) {
            g_opt.className = argv[++i];
        } else if (a == "--caption" && i + 1 < argc) {
            g_opt.caption = argv[++i];
        } else if (a == "--ids" && i + kChildCount < argc) {
            for (int k = 0; k < kChildCount; ++k) g_opt.ids[k] = std::atoi(argv[++i]);
        } else if (a == "--log" && i + 1 < argc) {
            g_opt.logPath = argv[++i];
        } else if (a == "--seconds" && i + 1 < argc) {
            g_opt.seconds = std::strtol(argv[++i], nullptr, 10);
        }
        // Anything else is ignored: the command line is in the START line of the log.
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int nShow) {
    ParseArgs(__argc, __argv);
    if (g_opt.logPath.empty()) g_opt.logPath = ExeDir() + "\\StandinTV.log";

    std::string start = "START pid=" + std::to_string(::GetCurrentProcessId()) +
                        " cmdline=" + ::GetCommandLineA();
    LogLine(start.c_str());

    WNDCLASSA wc{};
    wc.lpfnWndProc = StandinProc;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    wc.hIcon = ::LoadIconA(nullptr, IDI_APPLICATION);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = g_opt.className.c_str();
    if (!::RegisterClassA(&wc)) return 1;

    const HWND wnd = ::CreateWindowExA(0, g_opt.className.c_str(), g_opt.caption.c_str(),
                                       WS_OVERLAPPEDWINDOW, 560, 420, 400, 150, nullptr,
                                       nullptr, instance, nullptr);
    if (wnd == nullptr) return 1;

    const HFONT font = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    const char* texts[kChildCount] = {"Stand-in TV client: last message received",
                                      "(none yet)", "Messages received: 0"};
    HWND children[kChildCount] = {};
    for (int k = 0; k < kChildCount; ++k) {
        children[k] = ::CreateWindowExA(
            0, "STATIC", texts[k], WS_CHILD | WS_VISIBLE | SS_LEFT, 12, 12 + 26 * k, 360, 20,
            wnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(g_opt.ids[k])), instance, nullptr);
        if (children[k] == nullptr) return 1;
        ::SendMessageA(children[k], WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    g_lastText = children[1];
    g_countText = children[2];

    if (g_opt.seconds > 0 &&
        !::SetTimer(wnd, kTimerEnd, static_cast<UINT>(g_opt.seconds * 1000), nullptr)) {
        ::DestroyWindow(wnd);
        return 1;
    }
    ::ShowWindow(wnd, nShow == SW_HIDE ? SW_SHOWNORMAL : nShow);
    ::UpdateWindow(wnd);

    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    LogLine("END");
    return 0;
}
