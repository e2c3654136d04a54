// StandinTV: a stand-in for the TV-viewing application that the monitor drives.
// It shows one top-level window with a class name, a caption, a menu bar, three
// child controls and a few buttons, records every WM_COMMAND and WM_KEYDOWN it
// receives to a log file and shows the last one in its window. Its accelerator
// table is there to be read by the tools; keys are not translated through it, so
// a posted key shows in the log as the key.
// Options:
//   --class NAME        window class   (default "StandinTVClass")
//   --caption TEXT      window caption (default "Standin TV")
//   --ids A B C         the three child control ids (default 1001 1002 1003)
//   --log FILE          log file (default "StandinTV.log" beside the executable)
//   --seconds N         end by itself after N seconds
//   --hidden            never shown (under Wine a shown window makes the process
//                       take seconds to end), for the adapter tests
//   --stall MS          once the window is complete, take no messages for MS
//                       milliseconds, as a client that stopped responding
//   --mute-text TEXT    the Mute button's text instead of "&Mute" ("\n" in it is
//                       a line break), as an application with hostile texts
//   --slow-text MS      each button answers WM_GETTEXT only after MS milliseconds,
//                       as a client that answers slowly
//   --channel-title     each WM_COMMAND switches to the next channel, which the
//                       title shows ("Standin TV - Channel 2"), as a TV application's
//                       title changes with the channel
// Log lines: "HH:MM:SS.mmm WM_COMMAND wParam=0x00018001 lParam=0x00000000",
// and "START pid=... cmdline=..." / "END" around them. Other arguments are ignored
// (they show in the START line). It ends on WM_CLOSE.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "tools/common/ToolSupport.h"
#include "sim/standin/resource.h"

namespace {

constexpr int kChildCount = 3;

struct ButtonSpec {
    int id;
    const char* text;
};
constexpr ButtonSpec kButtons[] = {
    {IDC_BUTTON_MUTE, "&Mute"}, {IDC_BUTTON_LOUDER, "Vol +"}, {IDC_BUTTON_SOFTER, "Vol -"},
    {IDC_BUTTON_1, "1"},        {IDC_BUTTON_2, "2"},          {IDC_BUTTON_3, "3"},
};
constexpr int kButtonWidth = 56;
constexpr int kButtonHeight = 24;

struct Options {
    std::string className = "StandinTVClass";
    std::string caption = "Standin TV";
    int ids[kChildCount] = {1001, 1002, 1003};
    std::string logPath;
    long seconds = 0;
    bool hidden = false;
    DWORD stallMs = 0;
    DWORD slowTextMs = 0;
    std::string muteText = "&Mute";
    bool channelTitle = false;
};

Options g_opt;
HWND g_lastText = nullptr;
HWND g_countText = nullptr;
unsigned long g_received = 0;
unsigned long g_channel = 1;

WNDPROC g_buttonProc = nullptr;

LRESULT CALLBACK SlowTextProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_GETTEXT) ::Sleep(g_opt.slowTextMs);
    return ::CallWindowProcA(g_buttonProc, hWnd, msg, wParam, lParam);
}

// Appended and closed at once, so a test reading the log sees every line.
void LogLine(const std::string& text) { tools::AppendLogLine(g_opt.logPath, text); }

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
        if (g_opt.channelTitle)
            ::SetWindowTextA(hWnd, (g_opt.caption + " - Channel " + std::to_string(++g_channel)).c_str());
        return 0;
    case WM_KEYDOWN:
        Record("WM_KEYDOWN", wParam, lParam);
        return 0;
    default:
        if (tools::HandleLifetimeMessage(hWnd, msg, wParam)) return 0;
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
        } else if (a == "--hidden") {
            g_opt.hidden = true;
        } else if (a == "--stall" && i + 1 < argc) {
            g_opt.stallMs = static_cast<DWORD>(std::strtoul(argv[++i], nullptr, 10));
        } else if (a == "--mute-text" && i + 1 < argc) {
            g_opt.muteText.clear();
            for (const char* c = argv[++i]; *c != '\0'; ++c) {
                if (c[0] == '\\' && c[1] == 'n') {
                    g_opt.muteText += "\r\n";
                    ++c;
                } else {
                    g_opt.muteText += *c;
                }
            }
        } else if (a == "--channel-title") {
            g_opt.channelTitle = true;
        } else if (a == "--slow-text" && i + 1 < argc) {
            g_opt.slowTextMs = static_cast<DWORD>(std::strtoul(argv[++i], nullptr, 10));
        }
        // Anything else is ignored: the command line is in the START line of the log.
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int nShow) {
    ParseArgs(__argc, __argv);
    if (g_opt.logPath.empty()) g_opt.logPath = tools::ModuleFolder() + "\\StandinTV.log";

    LogLine("START pid=" + std::to_string(::GetCurrentProcessId()) +
            " cmdline=" + ::GetCommandLineA());

    tools::WindowSpec spec{g_opt.className.c_str(), g_opt.caption.c_str(), StandinProc};
    spec.x = 560;
    spec.y = 420;
    spec.width = 400;
    spec.height = 200;
    spec.background = COLOR_BTNFACE;
    spec.icon = ::LoadIconA(nullptr, IDI_APPLICATION);
    const HWND wnd = tools::CreateHelperWindow(spec);
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
    for (int k = 0; k < static_cast<int>(sizeof kButtons / sizeof kButtons[0]); ++k) {
        const HWND button = ::CreateWindowExA(
            0, "BUTTON", kButtons[k].id == IDC_BUTTON_MUTE ? g_opt.muteText.c_str() : kButtons[k].text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
            12 + (kButtonWidth + 4) * k, 92, kButtonWidth, kButtonHeight, wnd,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(kButtons[k].id)), instance, nullptr);
        if (button == nullptr) return 1;
        ::SendMessageA(button, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        if (g_opt.slowTextMs != 0)
            g_buttonProc = reinterpret_cast<WNDPROC>(
                ::SetWindowLongPtrA(button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SlowTextProc)));
    }
    // The menu bar belongs to the window and goes with it.
    if (!::SetMenu(wnd, ::LoadMenuA(instance, MAKEINTRESOURCEA(IDR_STANDIN_MENU)))) return 1;
    g_lastText = children[1];
    g_countText = children[2];

    if (g_opt.seconds > 0 &&
        !tools::StartLifetime(wnd, static_cast<UINT>(g_opt.seconds * 1000))) {
        ::DestroyWindow(wnd);
        return 1;
    }
    if (!g_opt.hidden) {
        ::ShowWindow(wnd, nShow == SW_HIDE ? SW_SHOWNORMAL : nShow);
        ::UpdateWindow(wnd);
    }
    if (!tools::MarkReady(wnd)) return 1;
    if (g_opt.stallMs != 0) ::Sleep(g_opt.stallMs);

    tools::RunMessageLoop();
    LogLine("END");
    return 0;
}
