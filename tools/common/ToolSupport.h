// What the helper programs share: the stand-in TV client, the trace viewer, the
// simulated card driver and the test window host. A log that a reader can follow
// while it grows, the folder of a module, and the life of a helper window: it ends
// on WM_CLOSE or when its lifetime timer fires, and its end ends the program.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdio>
#include <string>

#include "platform/win32/Handle.h"
#include "platform/win32/ModulePath.h"

namespace tools {

// The folder of `module` (null: the program itself), without a trailing backslash,
// spelled so that the ANSI calls reach it; "." when it cannot be told.
inline std::string ModuleFolder(HMODULE module = nullptr) {
    const std::string folder = qrtl::win32::AnsiModuleFolder(module);
    return folder.empty() ? std::string(".") : folder;
}

// The local time of day, "HH:MM:SS.mmm".
inline std::string TimeOfDay() {
    SYSTEMTIME t;
    ::GetLocalTime(&t);
    char text[16];
    std::snprintf(text, sizeof text, "%02u:%02u:%02u.%03u", t.wHour, t.wMinute, t.wSecond,
                  t.wMilliseconds);
    return text;
}

// Appends the bytes to the file at `path`, created when missing. The file is opened
// and closed for every record, so a test or script reading it sees each record at
// once. Only kernel32 calls: a DLL may log from DllMain.
inline bool AppendToFile(const std::string& path, const void* data, std::size_t size) {
    if (path.empty()) return false;
    const qrtl::win32::UniqueFile file(
        ::CreateFileA(path.c_str(), FILE_APPEND_DATA,
                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                      OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    return ::WriteFile(file.get(), data, static_cast<DWORD>(size), &written, nullptr) &&
           written == size;
}

// One log line: the time of day, a blank, the text and CR LF.
inline bool AppendLogLine(const std::string& path, const std::string& text) {
    const std::string line = TimeOfDay() + " " + text + "\r\n";
    return AppendToFile(path, line.data(), line.size());
}

// A helper's top-level window: its class is registered for it, it starts hidden.
struct WindowSpec {
    const char* className;
    const char* caption;
    WNDPROC proc;
    int x = CW_USEDEFAULT;
    int y = CW_USEDEFAULT;
    int width = 320;
    int height = 200;
    int background = COLOR_WINDOW;  // a system colour index
    HICON icon = nullptr;
};

// Null when the class cannot be registered or the window not created.
inline HWND CreateHelperWindow(const WindowSpec& spec) {
    const HINSTANCE instance = ::GetModuleHandleA(nullptr);
    WNDCLASSA wc{};
    wc.lpfnWndProc = spec.proc;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    wc.hIcon = spec.icon;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(spec.background + 1));
    wc.lpszClassName = spec.className;
    if (!::RegisterClassA(&wc)) return nullptr;
    return ::CreateWindowExA(0, spec.className, spec.caption, WS_OVERLAPPEDWINDOW, spec.x, spec.y,
                             spec.width, spec.height, nullptr, nullptr, instance, nullptr);
}

// Set on a helper window once it is complete (its children made): a test that
// starts the helper waits for it before it uses the window.
constexpr char kReadyProperty[] = "QrtlHostReady";
inline bool MarkReady(HWND hWnd) {
    return ::SetPropA(hWnd, kReadyProperty, reinterpret_cast<HANDLE>(1)) != FALSE;
}

// The timer that ends a helper window after a set time.
constexpr UINT_PTR kTimerIdLifetime = 1;

// Starts the timer that destroys `hWnd` after `ms` milliseconds. False when the
// timer could not be set.
inline bool StartLifetime(HWND hWnd, UINT ms) {
    return ::SetTimer(hWnd, kTimerIdLifetime, ms, nullptr) != 0;
}

// The messages every helper window handles alike: the lifetime timer destroys the
// window, and its destruction ends the message loop. True when `msg` was handled.
inline bool HandleLifetimeMessage(HWND hWnd, UINT msg, WPARAM wParam) {
    switch (msg) {
    case WM_TIMER:
        if (wParam != kTimerIdLifetime) return false;
        ::DestroyWindow(hWnd);
        return true;
    case WM_DESTROY:
        ::PostQuitMessage(0);
        return true;
    default:
        return false;
    }
}

// Dispatches this thread's messages until WM_QUIT, or until GetMessage fails.
inline void RunMessageLoop() {
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

}  // namespace tools
