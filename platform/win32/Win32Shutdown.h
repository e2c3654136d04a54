// Asks Windows to end.
#pragma once

#include <windows.h>

#include "platform/Platform.h"

namespace qrtl::win32 {

// The system calls of a shutdown request. Tests replace them (above all the last
// one) with recorders: the real ExitWindowsEx must never run in a test.
struct ShutdownCalls {
    using OpenProcessTokenFn = BOOL(WINAPI*)(HANDLE process, DWORD access, PHANDLE token);
    using LookupPrivilegeValueFn = BOOL(WINAPI*)(LPCSTR system, LPCSTR name, PLUID luid);
    using AdjustTokenPrivilegesFn = BOOL(WINAPI*)(HANDLE token, BOOL disableAll,
                                                  PTOKEN_PRIVILEGES newState, DWORD bufferLength,
                                                  PTOKEN_PRIVILEGES previousState,
                                                  PDWORD returnLength);
    using ExitWindowsFn = BOOL(WINAPI*)(UINT flags, DWORD reason);

    OpenProcessTokenFn openProcessToken = ::OpenProcessToken;
    LookupPrivilegeValueFn lookupPrivilegeValue = ::LookupPrivilegeValueA;
    AdjustTokenPrivilegesFn adjustTokenPrivileges = ::AdjustTokenPrivileges;
    ExitWindowsFn exitWindows = ::ExitWindowsEx;
};

// What the NT family is asked for: power off, forcing only programs that do not
// answer, so that the user's unsaved work in responsive programs is not thrown away.
constexpr UINT kShutdownFlagsNt = EWX_POWEROFF | EWX_FORCEIFHUNG;
constexpr DWORD kShutdownReasonNt = 0x80000000u;  // planned, major and minor "other"
// Windows 95/98/Me know neither power-off nor a reason.
constexpr UINT kShutdownFlags9x = EWX_SHUTDOWN | EWX_FORCE;

class Win32Shutdown : public IShutdown {
public:
    Win32Shutdown() = default;
    explicit Win32Shutdown(const ShutdownCalls& calls) : calls_(calls) {}

    bool RequestShutdown(bool win9x) override;

private:
    ShutdownCalls calls_;
};

}  // namespace qrtl::win32
