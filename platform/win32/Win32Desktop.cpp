#include "platform/win32/Win32Desktop.h"

#include <windows.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstring>

#include "platform/win32/Handle.h"

namespace qrtl::win32 {

namespace {

// The record the snapshot walk fills; the size field is set to this before the first call.
static_assert(sizeof(PROCESSENTRY32) == 296, "the ANSI process entry is expected");
static_assert(sizeof(PROCESSENTRY32::szExeFile) == kProcessNameSize, "the name field");

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

ProcessName Win32Desktop::FindProcessName(uint32_t processId, char* name, std::size_t size) {
    UniqueSnapshot snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return ProcessName::NoSnapshot;

    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    // A snapshot whose first entry cannot be read is still a snapshot: it lists nothing.
    for (BOOL more = ::Process32First(snapshot.get(), &entry); more;
         more = ::Process32Next(snapshot.get(), &entry)) {
        if (entry.th32ProcessID != processId) continue;
        if (size == 0) return ProcessName::Found;
        // Never read past the field, even if a name fills it without a terminating zero.
        const char* exe = entry.szExeFile;
        const std::size_t length = static_cast<std::size_t>(
            std::find(exe, exe + sizeof(entry.szExeFile), '\0') - exe);
        const std::size_t n = std::min(length, size - 1);
        std::memcpy(name, exe, n);
        name[n] = '\0';
        return ProcessName::Found;
    }
    return ProcessName::NotFound;
}

void Win32Desktop::UpperCase(char* text, std::size_t length) {
    if (text == nullptr || length == 0) return;
    ::CharUpperBuffA(text, static_cast<DWORD>(length));
}

uint32_t Win32Desktop::Post(WindowHandle hWnd, uint32_t msg, uint32_t wParam, int32_t lParam) {
    if (::PostMessageA(ToHwnd(hWnd), msg, static_cast<WPARAM>(wParam),
                       static_cast<LPARAM>(lParam)) != FALSE)
        return 0;
    const DWORD error = ::GetLastError();
    // A failure must never read as success.
    return error != ERROR_SUCCESS ? error : static_cast<DWORD>(ERROR_GEN_FAILURE);
}

}  // namespace qrtl::win32
