#include "WindowList.h"

#include "UiText.h"
#include "dispatch/MonitorSimulation.h"
#include "platform/Platform.h"
#include "platform/win32/Win32Desktop.h"

namespace remote {

namespace {

BOOL CALLBACK ListWindow(HWND wnd, LPARAM lParam) {
    auto* windows = reinterpret_cast<std::vector<HWND>*>(lParam);
    if (!::IsWindowVisible(wnd) || ::GetWindow(wnd, GW_OWNER) != nullptr) return TRUE;
    if (::GetWindowLongW(wnd, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) return TRUE;
    if (::GetWindowTextLengthW(wnd) == 0 || OwnWindow(wnd)) return TRUE;
    windows->push_back(wnd);
    return TRUE;
}

}  // namespace

std::string ProgramOf(HWND wnd) {
    qrtl::win32::Win32Desktop desktop;
    char exe[qrtl::kProcessNameSize] = {};
    if (desktop.FindProcessName(desktop.WindowProcessId(reinterpret_cast<qrtl::WindowHandle>(wnd)), exe,
                                sizeof exe) == qrtl::ProcessName::Found)
        return FromAnsi(exe);
    return "program not known";
}

std::string WindowCaption(HWND wnd) {
    wchar_t text[256] = {};
    ::GetWindowTextW(wnd, text, 256);
    return Narrow(text);
}

std::string WindowClass(HWND wnd) {
    char name[256] = {};
    ::GetClassNameA(wnd, name, sizeof name);
    return FromAnsi(name);
}

bool OwnWindow(HWND wnd) {
    DWORD pid = 0;
    ::GetWindowThreadProcessId(wnd, &pid);
    return pid == ::GetCurrentProcessId();
}

std::string WindowWords(HWND wnd) {
    const std::string caption = WindowCaption(wnd);
    return "\xE2\x80\x9C" + (caption.empty() ? std::string("no title") : caption) + "\xE2\x80\x9D (" +
           ProgramOf(wnd) + ")";
}

std::vector<HWND> ApplicationWindows() {
    std::vector<HWND> windows;
    ::EnumWindows(ListWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

std::string WindowListLine(HWND wnd) { return WindowCaption(wnd) + "  (" + ProgramOf(wnd) + ")"; }

HWND FindClient(const qrtl::ProfileDocument& document) {
    qrtl::win32::Win32Desktop desktop;
    dispatch::MonitorSimulation monitor(document, {nullptr, &desktop});
    if (!monitor.ClientNamed()) return nullptr;
    return reinterpret_cast<HWND>(monitor.FindClientWindow());
}

}  // namespace remote
