// Win32Desktop against real windows of the stand-in client (StandinTV.exe --hidden)
// running in another process.
#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <string>

#include "config/QRTLIRSet.h"
#include "fakes/Fakes.h"
#include "platform/win32/Win32Desktop.h"
#include "trace/Trace.h"
#include "e2e/E2eHarness.h"

namespace {

using qrtl::WindowHandle;
using qrtl::win32::Win32Desktop;

constexpr char kHostClass[] = "QrtlTestTvClass";
constexpr char kHostCaption[] = "Qrtl Test TV";
constexpr int32_t kChildIds[3] = {1001, 1002, 1003};

std::string Upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

HWND ToHwnd(WindowHandle h) { return reinterpret_cast<HWND>(h); }

std::string StandinExe() { return e2e::WinPath(QRTL_E2E_STANDIN); }

// The stand-in client, hidden, with its three children 1001-1003; its messages go to `log`.
bool StartStandin(e2e::ChildProcess& process, const std::string& exe, const std::string& className,
                  const std::string& caption, const std::string& log, const std::string& more = "") {
    return process.Start("\"" + exe + "\" --hidden --seconds 60 --class " + className +
                             " --caption \"" + caption + "\" --log \"" + log + "\"" + more,
                         "");
}

// One host window with three children for every test of the suite; its log
// collects the messages it receives.
class DesktopAdapterTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(StartStandin(host_, StandinExe(), kHostClass, kHostCaption, log_.path()));
        hostWindow_ = host_.WaitForWindow(kHostClass, kHostCaption);
        ASSERT_NE(hostWindow_, nullptr) << "the host window did not appear";
    }

    // Waits for `line` in the host's message log.
    bool LogGets(const std::string& line) {
        return e2e::PumpUntil([&] { return log_.Read().find(line) != std::string::npos; },
                                 5000);
    }

    Win32Desktop desktop_;
    e2e::TempFile log_{"host"};
    e2e::ChildProcess host_;
    HWND hostWindow_ = nullptr;
};

TEST_F(DesktopAdapterTest, FindTopWindow_ClassAndCaption_FindsOnlyMatchingWindow) {
    const WindowHandle byBoth = desktop_.FindTopWindow(kHostClass, kHostCaption);
    EXPECT_EQ(ToHwnd(byBoth), hostWindow_);
    EXPECT_EQ(ToHwnd(desktop_.FindTopWindow(kHostClass, nullptr)), hostWindow_);
    EXPECT_EQ(ToHwnd(desktop_.FindTopWindow(nullptr, kHostCaption)), hostWindow_);
    EXPECT_EQ(desktop_.FindTopWindow(kHostClass, "Another Caption"), qrtl::kNoWindow);
    EXPECT_EQ(desktop_.FindTopWindow("QrtlNoSuchClass", kHostCaption), qrtl::kNoWindow);
}

struct ChildSearch {
    Win32Desktop* desktop;
    WindowHandle found = qrtl::kNoWindow;
    int visited = 0;
};

BOOL FindByChildren(WindowHandle hWnd, std::intptr_t lParam) {
    auto* search = reinterpret_cast<ChildSearch*>(lParam);
    ++search->visited;
    for (int32_t id : kChildIds) {
        if (!search->desktop->HasChild(hWnd, id)) return 1;
    }
    search->found = hWnd;
    return 0;
}

BOOL CountAndStop(WindowHandle, std::intptr_t lParam) {
    ++*reinterpret_cast<int*>(lParam);
    return 0;
}

TEST_F(DesktopAdapterTest, EnumTopWindows_ThreeChildIds_FindsHostAndStopsThere) {
    ChildSearch search{&desktop_};
    desktop_.EnumTopWindows(FindByChildren, reinterpret_cast<std::intptr_t>(&search));
    EXPECT_EQ(ToHwnd(search.found), hostWindow_);
    EXPECT_GE(search.visited, 1);

    int calls = 0;
    desktop_.EnumTopWindows(CountAndStop, reinterpret_cast<std::intptr_t>(&calls));
    EXPECT_EQ(calls, 1) << "a zero result ends the enumeration";
}

TEST_F(DesktopAdapterTest, HasChild_OnlyGivenIds_True) {
    const auto h = reinterpret_cast<WindowHandle>(hostWindow_);
    for (int32_t id : kChildIds) EXPECT_TRUE(desktop_.HasChild(h, id)) << id;
    EXPECT_FALSE(desktop_.HasChild(h, 1004));
    EXPECT_FALSE(desktop_.HasChild(h, 0));
}

TEST_F(DesktopAdapterTest, WindowProcessIdAndTitle_HostWindow_ReportOwnerAndCaption) {
    const auto h = reinterpret_cast<WindowHandle>(hostWindow_);
    EXPECT_EQ(desktop_.WindowProcessId(h), host_.Id());
    EXPECT_NE(desktop_.WindowProcessId(h), ::GetCurrentProcessId());
    EXPECT_EQ(desktop_.WindowTitle(h), kHostCaption);
}

TEST_F(DesktopAdapterTest, FindProcessName_HostRunning_CopiesItsExeNameOnly) {
    char name[qrtl::kProcessNameSize];
    ASSERT_EQ(desktop_.FindProcessName(host_.Id(), name, sizeof(name)), qrtl::ProcessName::Found);
    // What the core's process test sees: the upper-cased name contains the item.
    const std::string upper = Upper(name);
    EXPECT_NE(upper.find("STANDINTV.EXE"), std::string::npos) << name;
    EXPECT_EQ(upper.find("TVCLIENT.EXE"), std::string::npos) << name;

    // A short buffer gets the start of the name, terminated.
    char shortName[5];
    std::memset(shortName, 'x', sizeof(shortName));
    ASSERT_EQ(desktop_.FindProcessName(host_.Id(), shortName, sizeof(shortName)),
              qrtl::ProcessName::Found);
    EXPECT_EQ(std::string(shortName), std::string(name, 4));

    EXPECT_EQ(desktop_.FindProcessName(::GetCurrentProcessId(), name, sizeof(name)),
              qrtl::ProcessName::Found);
    // Process ids are multiples of four: this one is never listed.
    EXPECT_EQ(desktop_.FindProcessName(0xFFFFFFF3u, name, sizeof(name)),
              qrtl::ProcessName::NotFound);
}

// CharUpperBuffA in the system's ANSI code page; the cases beyond a-z hold in 1252.
TEST(DesktopAdapterUpperCase, UpperCase_AnsiText_UpperCasedAsTheSystemDoes) {
    if (::GetACP() != 1252) GTEST_SKIP() << "the ANSI code page is " << ::GetACP() << ", not 1252";
    struct Case { const char* text; const char* upper; };
    const Case cases[] = {
        {"mytv.exe", "MYTV.EXE"},
        {"C:\\Prog\\tv 2.exe", "C:\\PROG\\TV 2.EXE"},
        {"\xE4rger.exe", "\xC4RGER.EXE"},   // a-umlaut
        {"\xFF\xE9", "\x9F\xC9"},          // y-diaeresis, e-acute
        {"stra\xDF" "e", "STRA\xDF" "E"},    // sharp s has no capital here
        {"", ""},
    };
    Win32Desktop desktop;
    for (const Case& c : cases) {
        std::string text = c.text;
        desktop.UpperCase(&text[0], text.size());
        EXPECT_EQ(text, c.upper) << c.text;
    }
}

TEST_F(DesktopAdapterTest, Post_CommandAndKey_ArriveWithExactParameters) {
    const auto h = reinterpret_cast<WindowHandle>(hostWindow_);
    EXPECT_EQ(desktop_.Post(h, kWmCommand, 0x00018001u, 0), 0u);
    EXPECT_EQ(desktop_.Post(h, kWmKeyDown, 0x26u, 0), 0u);
    EXPECT_TRUE(LogGets("WM_COMMAND wParam=0x00018001 lParam=0x00000000")) << log_.Read();
    EXPECT_TRUE(LogGets("WM_KEYDOWN wParam=0x00000026 lParam=0x00000000")) << log_.Read();
}

TEST_F(DesktopAdapterTest, Post_ClosedWindow_ReportsInvalidWindowError) {
    const auto h = reinterpret_cast<WindowHandle>(hostWindow_);
    host_.Stop();
    ASSERT_FALSE(::IsWindow(hostWindow_));
    EXPECT_EQ(desktop_.Post(h, WM_COMMAND, 0x00018001u, 0),
              static_cast<uint32_t>(ERROR_INVALID_WINDOW_HANDLE));
}

// The core's own search and delivery, through the real adapter.
class ClientSearchThroughAdapterTest : public DesktopAdapterTest {
protected:
    void SetUp() override {
        DesktopAdapterTest::SetUp();
        qrtl::Services services;
        services.desktop = &desktop_;
        set_.SetServices(services);
        set_.m_strItem = "STANDINTV.EXE";
        set_.m_nChild0 = kChildIds[0];
        set_.m_nChild1 = kChildIds[1];
        set_.m_nChild2 = kChildIds[2];
        SetTraceTransport(&trace_);
    }
    void TearDown() override { SetTraceTransport(nullptr); }

    // The search's own trace lines, to explain a failure.
    std::string Trace() const {
        std::string text;
        for (const std::string& line : trace_.Texts()) text += line + "\n";
        return text;
    }

    fakes::RecordingTransport trace_;
    CQRTLIRSet set_;
};

TEST_F(ClientSearchThroughAdapterTest, FindTargetClientWindow_ByClassAndCaption_AcceptsHostProcess) {
    set_.m_strClassName = kHostClass;
    set_.m_strCaption = kHostCaption;
    EXPECT_EQ(ToHwnd(set_.FindTargetClientWindow()), hostWindow_) << Trace();
}

TEST_F(ClientSearchThroughAdapterTest, FindTargetClientWindow_ByChildIds_AcceptsHostProcess) {
    EXPECT_EQ(ToHwnd(set_.FindTargetClientWindow()), hostWindow_) << Trace();
}

TEST_F(ClientSearchThroughAdapterTest, FindTargetClientWindow_ItemNotInExeName_Null) {
    set_.m_strClassName = kHostClass;
    set_.m_strCaption = kHostCaption;
    set_.m_strItem = "TVCLIENT.EXE";
    EXPECT_EQ(set_.FindTargetClientWindow(), qrtl::kNoWindow) << Trace();
    EXPECT_EQ(ToHwnd(set_.m_hWndClient), hostWindow_) << "the rejected candidate is kept";
}

TEST_F(ClientSearchThroughAdapterTest, FindTargetClientWindow_NonAsciiExeName_MatchesUpperCasedItem) {
    if (::GetACP() != 1252) GTEST_SKIP() << "the ANSI code page is " << ::GetACP() << ", not 1252";
    // A copy of the host named "fernseh-<a-umlaut>.exe"; the item carries the capital.
    const std::string exe = e2e::TempDir() + e2e::UniqueName("fernseh-\xE4") + ".exe";
    ASSERT_TRUE(::CopyFileA(StandinExe().c_str(), exe.c_str(), FALSE));
    e2e::TempFile copyLog{"umlaut"};
    e2e::ChildProcess copy;
    constexpr char kCopyClass[] = "QrtlUmlautTvClass";
    ASSERT_TRUE(StartStandin(copy, exe, kCopyClass, "Umlaut", copyLog.path(), " --ids 7 8 9"));
    const HWND copyWindow = copy.WaitForWindow(kCopyClass, "Umlaut");

    set_.m_strClassName = kCopyClass;
    set_.m_strCaption = "Umlaut";
    set_.m_strItem = "FERNSEH-\xC4";
    EXPECT_NE(copyWindow, nullptr);
    EXPECT_EQ(ToHwnd(set_.FindTargetClientWindow()), copyWindow) << Trace();
    copy.Stop();
    e2e::PumpUntil([&] { return ::DeleteFileA(exe.c_str()) != FALSE; }, 5000);
}

struct LookUpRun {
    CQRTLIRSet* set;
    std::string result;
};

DWORD WINAPI LookUpVolUp(LPVOID parameter) {
    auto* run = static_cast<LookUpRun*>(parameter);
    run->result = run->set->LookUpKey("12");
    return 0;
}

TEST_F(ClientSearchThroughAdapterTest, LookUpKey_ClientTakesNoMessages_PostedWithoutWaiting) {
    constexpr char kStalledClass[] = "QrtlStalledTvClass";
    constexpr DWORD kStallMs = 30000;
    e2e::TempFile stalledLog{"stalled"};
    e2e::ChildProcess stalled;
    ASSERT_TRUE(StartStandin(stalled, StandinExe(), kStalledClass, "Stalled", stalledLog.path(),
                             " --ids 7 8 9 --stall " + std::to_string(kStallMs)));
    ASSERT_NE(stalled.WaitForWindow(kStalledClass, "Stalled"), nullptr);
    set_.m_strClassName = kStalledClass;
    set_.m_strCaption = "Stalled";
    set_.m_mapController["12"] = "VOL+";
    set_.m_mapClient["VOL+"] = "#8001";

    // On a thread of its own: a send would wait for the whole stall.
    LookUpRun run{&set_, {}};
    qrtl::win32::UniqueHandleObj thread(::CreateThread(nullptr, 0, LookUpVolUp, &run, 0, nullptr));
    ASSERT_TRUE(thread);
    const bool returned = ::WaitForSingleObject(thread.get(), kStallMs / 3) == WAIT_OBJECT_0;
    EXPECT_TRUE(returned) << "the key waited for a client that takes no messages";
    if (!returned) {
        stalled.Stop();  // ends the wait, so the thread can end before `run` goes
        ::WaitForSingleObject(thread.get(), INFINITE);
    }
    EXPECT_EQ(run.result, "12#8001") << Trace();
    EXPECT_EQ(stalledLog.Read().find("WM_COMMAND"), std::string::npos)
        << "the command is queued, not handled, while the client stalls";
}

TEST_F(ClientSearchThroughAdapterTest, LookUpKey_MappedCommand_PostedToHostWindow) {
    set_.m_mapController["12"] = "VOL+";
    set_.m_mapClient["VOL+"] = "#8001";
    set_.m_mapController["13"] = "UP";
    set_.m_mapClient["UP"] = "*26";
    EXPECT_EQ(set_.LookUpKey("12"), "12#8001") << Trace();
    EXPECT_EQ(set_.LookUpKey("13"), "13*26") << Trace();
    EXPECT_TRUE(LogGets("WM_COMMAND wParam=0x00018001 lParam=0x00000000")) << log_.Read();
    EXPECT_TRUE(LogGets("WM_KEYDOWN wParam=0x00000026 lParam=0x00000000")) << log_.Read();
}

}  // namespace
