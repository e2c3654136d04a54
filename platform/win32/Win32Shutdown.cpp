#include "platform/win32/Win32Shutdown.h"

#include <reason.h>

#include "platform/win32/Handle.h"

namespace qrtl::win32 {

static_assert(kShutdownReasonNt == (SHTDN_REASON_MAJOR_OTHER | SHTDN_REASON_MINOR_OTHER |
                                    SHTDN_REASON_FLAG_PLANNED),
              "a planned shutdown for another reason");

bool Win32Shutdown::RequestShutdown(bool win9x) {
    if (win9x) {
        // No privileges to enable on this family.
        return calls_.exitWindows(kShutdownFlags9x, 0) != FALSE;
    }

    UniqueHandleObj token;
    if (!calls_.openProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY,
                                 token.put())) {
        return false;
    }
    TOKEN_PRIVILEGES privileges{};
    if (!calls_.lookupPrivilegeValue(nullptr, "SeShutdownPrivilege",
                                     &privileges.Privileges[0].Luid)) {
        return false;
    }
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    // Success here does not mean the privilege was granted; ExitWindowsEx tells.
    TOKEN_PRIVILEGES previous{};
    DWORD previousLength = 0;
    calls_.adjustTokenPrivileges(token.get(), FALSE, &privileges, sizeof(previous), &previous,
                                 &previousLength);
    return calls_.exitWindows(kShutdownFlagsNt, kShutdownReasonNt) != FALSE;
}

}  // namespace qrtl::win32
