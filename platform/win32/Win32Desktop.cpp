#include "platform/win32/Win32Desktop.h"

#include <windows.h>
#include <tlhelp32.h>

#include <algorithm>

#include "platform/win32/Handle.h"

namespace qrtl::win32 {

namespace {

// The record the snapshot walk fills; the size field is set to this before the first call.
static_assert(sizeof(PROCESSENTRY32) == 296, "the ANSI process entry is expected");

constexpr int kTitleBufferSize = 256;

HWND ToHwnd(WindowHandle h) { return reinterpret_cast<HWND>(h); }
WindowHandle FromHwnd(HWND h) { return reinterpret_cast<WindowHandle>(h); }

// What the trampoline forwards to: the core's callback and its own long parameter.
struct EnumForward {
    WindowEnumProc proc;
    std::intptr_t lParam;
};

BOOL CALLBACK EnumTopWindowsTrampoline(HWND hWnd, LPARAM lParam) {
    const auto* forward = reinterpret_cast<const EnumForward*>(lParam);
    return forward->proc(FromHwnd(hWnd), forward->lParam);
}

}  // namespace

WindowHandle Win32Desktop::FindTopWindow(const char* className, const char* caption) {
    return FromHwnd(::FindWindowA(className, caption));
}

void Win32Desktop::EnumTopWindows(WindowEnumProc proc, std::intptr_t lParam) {
    if (proc == nullptr) return;
    EnumForward forward{proc, lParam};
    // The result only says whether the callback stopped the walk; nobody needs it.
    ::EnumWindows(EnumTopWindowsTrampoline, reinterpret_cast<LPARAM>(&forward));
}

bool Win32Desktop::HasChild(WindowHandle hWnd, int32_t id) {
    return ::GetDlgItem(ToHwnd(hWnd), id) != nullptr;
}

uint32_t Win32Desktop::WindowProcessId(WindowHandle hWnd) {
    DWORD processId = 0;
    ::GetWindowThreadProcessId(ToHwnd(hWnd), &processId);
    return processId;
}

std::string Win32Desktop::WindowTitle(WindowHandle hWnd) {
    char title[kTitleBufferSize] = {};
    const int length = ::GetWindowTextA(ToHwnd(hWnd), title, kTitleBufferSize);
    return std::string(title, length > 0 ? static_cast<std::size_t>(length) : 0u);
}

bool Win32Desktop::ProcessSnapshot(std::vector<ProcessEntry>& out) {
    out.clear();
    UniqueSnapshot snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return false;

    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    // A snapshot whose first entry cannot be read is still a snapshot: it lists nothing.
    for (BOOL more = ::Process32First(snapshot.get(), &entry); more;
         more = ::Process32Next(snapshot.get(), &entry)) {
        ProcessEntry item;
        item.id = entry.th32ProcessID;
        // Never read past the field, even if a name fills it without a terminating zero.
        const char* name = entry.szExeFile;
        item.exeName.assign(name, std::find(name, name + sizeof(entry.szExeFile), '\0'));
        out.push_back(std::move(item));
    }
    return true;
}

bool Win32Desktop::Post(WindowHandle hWnd, uint32_t msg, uint32_t wParam, int32_t lParam) {
    return ::PostMessageA(ToHwnd(hWnd), msg, static_cast<WPARAM>(wParam),
                          static_cast<LPARAM>(lParam)) != FALSE;
}

}  // namespace qrtl::win32
