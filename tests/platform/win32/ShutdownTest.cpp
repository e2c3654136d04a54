// Win32Shutdown with recorders in place of the system calls. The real ExitWindowsEx
// is never reached: under Wine it would end every process of the prefix.
#include <gtest/gtest.h>

#include <vector>

#include "platform/win32/Handle.h"
#include "platform/win32/Win32Shutdown.h"

namespace {

using qrtl::win32::ShutdownCalls;
using qrtl::win32::Win32Shutdown;

// What the recorders saw; reset by the fixture.
struct Record {
    int exitCalls = 0;
    UINT exitFlags = 0;
    DWORD exitReason = 0;
    bool privilegeEnabledAtExit = false;
    int tokenOpens = 0;
    HANDLE token = nullptr;
    DWORD tokenAccess = 0;
    int adjustCalls = 0;
    std::vector<char> privilegeName;
};
Record g_record;

bool ShutdownPrivilegeEnabled() {
    qrtl::win32::UniqueHandleObj token;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, token.put())) return false;
    LUID luid{};
    bool enabled = false;
    if (::LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &luid)) {
        PRIVILEGE_SET set{};
        set.PrivilegeCount = 1;
        set.Control = PRIVILEGE_SET_ALL_NECESSARY;
        set.Privilege[0].Luid = luid;
        BOOL result = FALSE;
        enabled = ::PrivilegeCheck(token.get(), &set, &result) && result;
    }
    return enabled;
}

BOOL WINAPI RecordExit(UINT flags, DWORD reason) {
    ++g_record.exitCalls;
    g_record.exitFlags = flags;
    g_record.exitReason = reason;
    g_record.privilegeEnabledAtExit = ShutdownPrivilegeEnabled();
    return TRUE;
}

// ExitWindowsEx refused, as without the privilege.
BOOL WINAPI RefuseExit(UINT flags, DWORD reason) {
    RecordExit(flags, reason);
    return FALSE;
}

BOOL WINAPI RecordOpenToken(HANDLE process, DWORD access, PHANDLE token) {
    ++g_record.tokenOpens;
    g_record.tokenAccess = access;
    const BOOL ok = ::OpenProcessToken(process, access, token);
    g_record.token = ok ? *token : nullptr;
    return ok;
}

BOOL WINAPI FailOpenToken(HANDLE, DWORD, PHANDLE) {
    ++g_record.tokenOpens;
    return FALSE;
}

BOOL WINAPI FailLookup(LPCSTR, LPCSTR, PLUID) { return FALSE; }

BOOL WINAPI RecordAdjust(HANDLE token, BOOL disableAll, PTOKEN_PRIVILEGES state, DWORD length,
                         PTOKEN_PRIVILEGES previous, PDWORD returned) {
    ++g_record.adjustCalls;
    return ::AdjustTokenPrivileges(token, disableAll, state, length, previous, returned);
}

bool HandleIsOpen(HANDLE h) {
    DWORD flags = 0;
    return h != nullptr && ::GetHandleInformation(h, &flags) != FALSE;
}

class ShutdownTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_record = Record{};
        calls_.openProcessToken = RecordOpenToken;
        calls_.adjustTokenPrivileges = RecordAdjust;
        calls_.exitWindows = RecordExit;
    }
    ShutdownCalls calls_;
};

TEST_F(ShutdownTest, RequestShutdown_Nt_EnablesPrivilegeThenPlannedPowerOffForcingOnlyHung) {
    EXPECT_TRUE(Win32Shutdown(calls_).RequestShutdown(false));

    EXPECT_EQ(g_record.tokenOpens, 1);
    EXPECT_EQ(g_record.tokenAccess, static_cast<DWORD>(TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY));
    EXPECT_EQ(g_record.adjustCalls, 1);
    ASSERT_EQ(g_record.exitCalls, 1);
    EXPECT_EQ(g_record.exitFlags, static_cast<UINT>(EWX_POWEROFF | EWX_FORCEIFHUNG));
    EXPECT_EQ(g_record.exitFlags & EWX_FORCE, 0u) << "unsaved work must not be thrown away";
    EXPECT_EQ(g_record.exitReason, 0x80000000u) << "planned, other";
    EXPECT_TRUE(g_record.privilegeEnabledAtExit);
    EXPECT_FALSE(HandleIsOpen(g_record.token)) << "the token is closed afterwards";
}

TEST_F(ShutdownTest, RequestShutdown_Win9x_ShutdownForcedWithoutToken) {
    EXPECT_TRUE(Win32Shutdown(calls_).RequestShutdown(true));

    EXPECT_EQ(g_record.tokenOpens, 0);
    ASSERT_EQ(g_record.exitCalls, 1);
    EXPECT_EQ(g_record.exitFlags, static_cast<UINT>(EWX_SHUTDOWN | EWX_FORCE));
    EXPECT_EQ(g_record.exitReason, 0u);
}

TEST_F(ShutdownTest, RequestShutdown_TokenCannotBeOpened_NoRequest) {
    calls_.openProcessToken = FailOpenToken;
    EXPECT_FALSE(Win32Shutdown(calls_).RequestShutdown(false));
    EXPECT_EQ(g_record.tokenOpens, 1);
    EXPECT_EQ(g_record.adjustCalls, 0);
    EXPECT_EQ(g_record.exitCalls, 0);
}

TEST_F(ShutdownTest, RequestShutdown_PrivilegeLookupFails_NoRequestAndTokenClosed) {
    calls_.lookupPrivilegeValue = FailLookup;
    EXPECT_FALSE(Win32Shutdown(calls_).RequestShutdown(false));
    EXPECT_EQ(g_record.tokenOpens, 1);
    EXPECT_EQ(g_record.adjustCalls, 0);
    EXPECT_EQ(g_record.exitCalls, 0);
    EXPECT_FALSE(HandleIsOpen(g_record.token));
}

TEST_F(ShutdownTest, RequestShutdown_ExitWindowsRefused_ReportedOnBothFamilies) {
    calls_.exitWindows = RefuseExit;
    EXPECT_FALSE(Win32Shutdown(calls_).RequestShutdown(false));
    EXPECT_FALSE(Win32Shutdown(calls_).RequestShutdown(true));
    EXPECT_EQ(g_record.exitCalls, 2);
}

}  // namespace
