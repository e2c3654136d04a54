// QRTLIRMoni.exe under hostile surroundings: profiles of any shape, a driver that
// fails, stalls or crashes, broken registry data, a client window that hangs or
// vanishes, and trace viewers that hang or close mid-line. For each the monitor
// starts (or ends as documented), the tray menu's Close ends it within two seconds,
// it never crashes and it never writes its profile.
//
// Every profile keeps [Main] ShutDown=0: POWER pressed twice never reaches
// ExitWindowsEx, which under Wine ends every process of the prefix.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <shellapi.h>

#include "E2eHarness.h"

using namespace e2e;

namespace {

constexpr char kClientRegPath[] = "Software\\QRTLIRMoniHostile";
constexpr char kReadLine[] = "QRDiI2CReadByte(0x64, 0)";

// The hostile client lives in this test program: its item is this program's name.
constexpr char kTestItem[] = "E2E_TESTS";
constexpr char kHostileClass[] = "QRTLHostileTV";
constexpr char kHostileCaption[] = "Hostile TV";

constexpr DWORD kCloseLimitMs = 2000;
constexpr DWORD kWaitMs = 8000;
constexpr DWORD kSlowAnswerMs = 450;

// The usual profile: the stand-in client (or the hostile one), POWER 10, VOL+ 20.
std::string Profile(const std::string& timer, bool hostileClient = false) {
    const std::string item = hostileClient ? kTestItem : "STANDINTV";
    return "[Main]\r\nShowMainWindow=0\r\nTimer=" + timer +
           "\r\nAutoRun=0\r\nShutDown=0\r\n"
           "[Client]\r\nDefault=1\r\n1_Item=" + item +
           "\r\n1_Caption=" + (hostileClient ? kHostileCaption : "Standin TV") +
           "\r\n1_ClassName=" + (hostileClient ? kHostileClass : kStandinClass) +
           "\r\n1_Child0=1001\r\n1_Child1=1002\r\n1_Child2=1003\r\n1_Control=1\r\n"
           "1_RegPath=" + kClientRegPath + "\r\n1_RegFolder=Folder\r\n1_ExeName=StandinTV.exe\r\n"
           "[KeyMap_Controler]\r\nPOWER=10\r\nVOL+=20\r\n"
           "[KeyMap_" + item + "]\r\nPOWER=#8010\r\nVOL+=#8001\r\n";
}

std::string Utf16WithMark(const std::string& ascii) {
    std::string out = "\xFF\xFE";
    for (char c : ascii) {
        out += c;
        out += '\0';
    }
    return out;
}

std::string Garbage(std::size_t size) {
    std::string out(size, '\0');
    unsigned state = 12345;
    for (char& c : out) {
        state = state * 1103515245u + 12345u;
        c = static_cast<char>(state >> 16);
    }
    return out;
}

std::string LongKeyMap(int lines) {
    // The usual profile with its controller section replaced by the long one.
    const std::string out = Profile("200");
    std::string map = "[KeyMap_Controler]\r\n";
    for (int i = 0; i < lines; ++i) map += "KEY" + std::to_string(i) + "=" + std::to_string(i) + "\r\n";
    map += "POWER=10\r\nVOL+=20\r\n";
    const std::size_t at = out.find("[KeyMap_Controler]");
    return out.substr(0, at) + map + out.substr(out.find("[KeyMap_STANDINTV]"));
}

// A top-level window of a registered class with the client's three controls
// (1001-1003), which the monitor's search by controls takes for a client.
HWND MakeClientLookalike(const char* className, const char* title) {
    const HWND wnd = ::CreateWindowExA(0, className, title, WS_OVERLAPPED, 0, 0, 200, 100, nullptr,
                                       nullptr, ::GetModuleHandleA(nullptr), nullptr);
    for (int id = 1001; wnd && id <= 1003; ++id)
        ::CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 10, 10, wnd,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    return wnd;
}

// A window of this test program on a thread of its own, which behaves badly.
class HostileWindow {
public:
    enum class Mode {
        Hang,        // created, then its thread never takes another message
        CloseOnLine, // destroys itself while it handles a WM_COPYDATA, then comes back
        SlowOnLine,  // answers each WM_COPYDATA after `answerMs`, pumping in between
    };
    HostileWindow(Mode mode, const char* className, const char* title,
                  DWORD answerMs = kSlowAnswerMs)
        : mode_(mode), className_(className), title_(title), answerMs_(answerMs) {}
    ~HostileWindow() {
        if (!thread_) return;
        ::SetEvent(stop_.get());
        ::WaitForSingleObject(thread_.get(), 10000);
    }
    bool Start() {
        stop_.reset(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
        ready_.reset(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
        thread_.reset(::CreateThread(nullptr, 0, Run, this, 0, nullptr));
        return thread_ && ::WaitForSingleObject(ready_.get(), 5000) == WAIT_OBJECT_0;
    }

private:
    static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        if (msg == WM_COPYDATA && ::GetPropA(wnd, "closeOnLine")) {
            ::DestroyWindow(wnd);
            return TRUE;
        }
        if (msg == WM_COPYDATA && ::GetPropA(wnd, "slowOnLine")) {
            ::Sleep(static_cast<DWORD>(reinterpret_cast<UINT_PTR>(::GetPropA(wnd, "slowOnLine"))));
            return TRUE;
        }
        return ::DefWindowProcA(wnd, msg, wParam, lParam);
    }
    HWND Make() {
        const HWND wnd = MakeClientLookalike(className_, title_);
        if (wnd && mode_ == Mode::CloseOnLine) ::SetPropA(wnd, "closeOnLine", wnd);
        // The answer time itself is the property (never zero).
        if (wnd && mode_ == Mode::SlowOnLine)
            ::SetPropA(wnd, "slowOnLine", reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(answerMs_)));
        return wnd;
    }
    // Pumps until `stop_` or, when given, until `wnd` is gone.
    bool PumpWhile(DWORD ms, HWND wnd) {
        const DWORD start = ::GetTickCount();
        while (::GetTickCount() - start < ms) {
            MSG msg;
            while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&msg);
            if (wnd && !::IsWindow(wnd)) return true;
            const HANDLE stop = stop_.get();
            if (::MsgWaitForMultipleObjects(1, &stop, FALSE, 2, QS_ALLINPUT) == WAIT_OBJECT_0)
                return false;
        }
        return true;
    }
    static DWORD WINAPI Run(LPVOID param) {
        auto* self = static_cast<HostileWindow*>(param);
        WNDCLASSA wc{};
        wc.lpfnWndProc = Proc;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.lpszClassName = self->className_;
        ::RegisterClassA(&wc);
        HWND wnd = self->Make();
        ::SetEvent(self->ready_.get());
        if (self->mode_ == Mode::Hang) {
            ::WaitForSingleObject(self->stop_.get(), INFINITE);
        } else {
            bool go = true;
            while (go) {
                go = self->PumpWhile(INFINITE, wnd);
                if (::IsWindow(wnd)) ::DestroyWindow(wnd);
                if (go) go = self->PumpWhile(5, nullptr);
                if (go) wnd = self->Make();
            }
        }
        if (::IsWindow(wnd)) ::DestroyWindow(wnd);
        return 0;
    }

    Mode mode_;
    const char* className_;
    const char* title_;
    DWORD answerMs_;
    qrtl::win32::UniqueHandleObj stop_, ready_, thread_;
};

// The client's window on this test's own thread, destroyed and made again by a
// thread timer every few milliseconds while the test pumps its messages. It stays
// up three timer periods of four, so that some ticks still find it and post while
// others lose it between their search and their post.
class FlickeringWindow {
public:
    FlickeringWindow() {
        WNDCLASSA wc{};
        wc.lpfnWndProc = ::DefWindowProcA;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.lpszClassName = kHostileClass;
        ::RegisterClassA(&wc);
        self_ = this;
        timer_ = ::SetTimer(nullptr, 0, 10, Toggle);
    }
    ~FlickeringWindow() {
        ::KillTimer(nullptr, timer_);
        if (wnd_) ::DestroyWindow(wnd_);
        self_ = nullptr;
    }
    bool Started() const { return timer_ != 0; }

private:
    static void CALLBACK Toggle(HWND, UINT, UINT_PTR, DWORD) {
        if (self_ == nullptr) return;
        HWND& wnd = self_->wnd_;
        if (wnd) {
            if (++self_->periods_ % 3 != 0) return;
            ::DestroyWindow(wnd);
            wnd = nullptr;
            return;
        }
        wnd = MakeClientLookalike(kHostileClass, kHostileCaption);
    }
    static FlickeringWindow* self_;
    HWND wnd_ = nullptr;
    UINT_PTR timer_ = 0;
    unsigned periods_ = 0;
};
FlickeringWindow* FlickeringWindow::self_ = nullptr;

class HostileRun;
using Step = std::function<void(HostileRun&)>;

enum class Outcome { Runs, EndsAtOnce };

struct HostileCase {
    const char* name;
    Step arrange;             // before the start: profile, driver modes, registry, windows
    Outcome outcome;
    Step exercise;            // while it runs (Runs), or after it ended (EndsAtOnce)
    DWORD closeLimitMs = kCloseLimitMs;
};

// One monitor in a fresh folder, with its profile, the simulated driver and,
// unless a case replaces it, a trace capture.
class HostileRun {
public:
    bool Prepare() {
        return folder_.Create("hostile") && MakeDir(folder_ / "irqueue") &&
               ::CopyFileA(WinPath(QRTL_E2E_MONITOR).c_str(), (folder_ / kMonitorExeName).c_str(),
                           FALSE) &&
               ::CopyFileA(WinPath(QRTL_E2E_SIMDRIVER).c_str(), (folder_ / kDriverName).c_str(),
                           FALSE);
    }
    void WriteProfile(const std::string& bytes) {
        profile_ = bytes;
        ASSERT_TRUE(WriteTextFile(folder_ / kProfileName, bytes));
    }
    void Marker(const char* name) { ASSERT_TRUE(WriteTextFile(folder_ / "irqueue" + "\\" + name, "")); }
    void Press(const char* code) {
        const std::string path = folder_ / "irqueue" + "\\" + std::to_string(10000000 + ++pressed_);
        ASSERT_TRUE(WriteTextFile(path + ".tmp", code));
        ASSERT_TRUE(::MoveFileA((path + ".tmp").c_str(), path.c_str()));
    }
    bool Start() { return monitor_.Start("\"" + (folder_ / kMonitorExeName) + "\"", folder_.Path()); }

    HWND MainWindow() const { return FindProcessWindow(monitor_.Id(), kMonitorTitle); }
    std::string DriverLog() const { return ReadTextFile(folder_ / "simdriver.log"); }
    size_t Reads() const { return CountOccurrences(DriverLog(), kReadLine); }
    size_t Ticks() const { return trace_.Count("DoTimer : Byte"); }
    size_t Traced(const std::string& text) const { return trace_.Count(text); }
    bool WaitReads(size_t n, DWORD ms = kWaitMs) {
        return PumpUntil([&] { return Reads() >= n; }, ms);
    }
    std::vector<std::string> History() const {
        const HWND main = MainWindow();
        const HWND list = main ? ::GetDlgItem(main, kIdHistoryList) : nullptr;
        return list ? ListBoxItems(list) : std::vector<std::string>{};
    }

    // Registers the stand-in client's folder; the value is written by `set`.
    std::string ClientFolder() const { return folder_ / "client"; }
    bool InstallClient() {
        return MakeDir(ClientFolder()) &&
               ::CopyFileA(WinPath(QRTL_E2E_STANDIN).c_str(),
                           (ClientFolder() + "\\StandinTV.exe").c_str(), FALSE);
    }
    MachineKeyGuard& ClientKey() {
        if (!clientKey_) clientKey_ = std::make_unique<MachineKeyGuard>(kClientRegPath);
        return *clientKey_;
    }
    bool ClientLaunched() const { return FileExists(ClientFolder() + "\\StandinTV.log"); }

    template <typename... Args>
    void Hold(Args&&... args) {
        windows_.push_back(std::make_unique<HostileWindow>(std::forward<Args>(args)...));
        ASSERT_TRUE(windows_.back()->Start());
    }
    void NoTraceCapture() { traceWanted_ = false; }
    void Flicker() {
        flicker_ = std::make_unique<FlickeringWindow>();
        ASSERT_TRUE(flicker_->Started());
    }

    void RunCase(const HostileCase& c) {
        ASSERT_TRUE(Prepare());
        c.arrange(*this);
        if (HasFatalFailure()) return;
        if (traceWanted_) {
            ASSERT_TRUE(trace_.Open());
        }
        ASSERT_TRUE(Start());

        bool sawWindow = false;
        if (c.outcome == Outcome::EndsAtOnce) {
            ASSERT_TRUE(PumpUntil(
                [&] {
                    sawWindow = sawWindow || MainWindow() != nullptr;
                    return !monitor_.Running();
                },
                kStartTimeoutMs))
                << "the monitor kept running";
            EXPECT_FALSE(sawWindow);
            c.exercise(*this);
        } else {
            ASSERT_TRUE(PumpUntil([&] { return MainWindow() != nullptr; }, kStartTimeoutMs))
                << "no main window; exit code " << monitor_.ExitCode();
            c.exercise(*this);
            if (HasFatalFailure()) return;
            ASSERT_TRUE(monitor_.Running()) << "exit code " << std::hex << monitor_.ExitCode();
            const HWND main = MainWindow();
            ASSERT_NE(nullptr, main);
            const DWORD asked = ::GetTickCount();
            ASSERT_TRUE(::PostMessageA(main, WM_COMMAND, kIdMenuClose, 0));
            ASSERT_TRUE(monitor_.WaitExit(kStartTimeoutMs)) << "Close did not end it";
            EXPECT_LE(::GetTickCount() - asked, c.closeLimitMs) << "Close took too long";
            EXPECT_EQ(0u, monitor_.ExitCode());
        }
        // The profile as it was written, and no other profile beside it.
        EXPECT_TRUE(ReadTextFile(folder_ / kProfileName) == profile_) << "the profile was changed";
        WIN32_FIND_DATAA data;
        const qrtl::win32::UniqueFind ini(::FindFirstFileA((folder_ / "*.ini").c_str(), &data));
        ASSERT_TRUE(ini);
        EXPECT_FALSE(::FindNextFileA(ini.get(), &data)) << data.cFileName;
    }
    ~HostileRun() {
        monitor_.Terminate();
        // A client the monitor launched.
        if (const HWND w = FindProcessWindow(0, nullptr, kStandinClass)) EndProcessById(WindowProcessId(w));
    }

    ChildProcess monitor_;

private:
    static bool HasFatalFailure() { return ::testing::Test::HasFatalFailure(); }

    TempFolder folder_;
    TraceCapture trace_;
    bool traceWanted_ = true;
    std::string profile_;
    unsigned pressed_ = 0;
    std::unique_ptr<MachineKeyGuard> clientKey_;
    std::vector<std::unique_ptr<HostileWindow>> windows_;
    std::unique_ptr<FlickeringWindow> flicker_;
};

// ------------------------------------------------------------------ the cases

Step WithProfile(std::string bytes) {
    return [bytes](HostileRun& r) { r.WriteProfile(bytes); };
}
Step Then(Step a, Step b) {
    return [a, b](HostileRun& r) {
        a(r);
        b(r);
    };
}

// Ticks go on: `n` more receiver reads are seen.
Step KeepsPolling(size_t n = 3) {
    return [n](HostileRun& r) {
        const size_t before = r.Reads();
        EXPECT_TRUE(r.WaitReads(before + n)) << r.DriverLog();
    };
}
// Without a [Client] section the empty item and control ids match some window of the
// desktop, which is then taken for a client that reads the receiver itself: the
// ticks go on without reads.
Step KeepsTicking() {
    return [](HostileRun& r) {
        const size_t before = r.Ticks();
        EXPECT_TRUE(PumpUntil([&] { return r.Ticks() > before; }, kWaitMs));
    };
}
Step NeverPolls() {
    return [](HostileRun& r) {
        PumpFor(2000);
        EXPECT_EQ(0u, r.Reads()) << r.DriverLog();
    };
}

// POWER with no client: the prompt, then a launch from the registry folder or none.
Step PowerLaunches(bool launched) {
    return [launched](HostileRun& r) {
        ASSERT_TRUE(r.WaitReads(1));
        r.Press("10");
        const bool started = PumpUntil([&] { return r.ClientLaunched(); }, 6000);
        EXPECT_EQ(launched, started);
        EXPECT_TRUE(r.History().empty());
    };
}
Step ClientFolderValue(DWORD type, std::string bytes) {
    return [type, bytes](HostileRun& r) {
        r.WriteProfile(Profile("200"));
        ASSERT_TRUE(r.InstallClient());
        ASSERT_TRUE(r.ClientKey().SetRaw("Folder", type, bytes == "<folder>" ? r.ClientFolder() : bytes));
    };
}

// Every VOL+ is handled (posted to the hostile client, or found without a client
// when the window had just gone), and polling goes on. Counted from the trace: this
// test sends nothing to the monitor while it posts to a window of this process.
Step VolUpHandled(int presses) {
    return [presses](HostileRun& r) {
        ASSERT_TRUE(r.WaitReads(1));
        for (int i = 0; i < presses; ++i) r.Press("20");
        EXPECT_TRUE(PumpUntil([&] { return r.Traced("Lookup Result : 20, VOL+") >= size_t(presses); },
                              kWaitMs));
        EXPECT_GE(r.Traced("KEY : 8001"), 1u) << "no post reached the client";
        KeepsPolling()(r);
    };
}

const std::string kTrailing = std::string(300 - 3, 'a');

const HostileCase kCases[] = {
    // Profiles: read as far as they make sense, defaults for the rest.
    {"ProfileBinaryGarbage", WithProfile(Garbage(64 * 1024)), Outcome::Runs, KeepsTicking()},
    {"ProfileTenMegabyteLine", WithProfile(std::string(10 << 20, 'A') + "\r\n" + Profile("200")),
     Outcome::Runs, KeepsPolling()},
    {"ProfileUtf16WithMark", WithProfile(Utf16WithMark(Profile("200"))), Outcome::Runs,
     KeepsPolling()},
    {"ProfileNoSections", WithProfile("Timer=200\r\nShowMainWindow=1\r\n"), Outcome::Runs,
     [](HostileRun& r) {
         EXPECT_FALSE(::IsWindowVisible(r.MainWindow())) << "a key outside any section counted";
         KeepsTicking()(r);
     }},
    {"ProfileKeyMapOf100000Lines", WithProfile(LongKeyMap(100000)), Outcome::Runs,
     [](HostileRun& r) {
         ASSERT_TRUE(r.WaitReads(1));
         r.Press("20");
         EXPECT_TRUE(PumpUntil([&] { return !r.History().empty(); }, kWaitMs));
         EXPECT_EQ(std::vector<std::string>{"20 NoClientFound!"}, r.History());
     }},
    {"ProfileTimer0", WithProfile(Profile("0")), Outcome::Runs, KeepsPolling(10)},
    {"ProfileTimerMinus1", WithProfile(Profile("-1")), Outcome::Runs, NeverPolls()},
    {"ProfileTimer2147483647", WithProfile(Profile("2147483647")), Outcome::Runs, NeverPolls()},

    // Driver.
    {"DriverReadFails",
     Then(WithProfile(Profile("200")), [](HostileRun& r) { r.Marker("read-error"); r.Press("20"); }),
     Outcome::Runs,
     [](HostileRun& r) {
         EXPECT_TRUE(PumpUntil([&] { return CountOccurrences(r.DriverLog(), "-> error") >= 3; }, kWaitMs));
         EXPECT_TRUE(r.History().empty());
     }},
    // A Close that arrives during a read waits for the read: the monitor has one thread
    // and a driver call cannot be interrupted. Here Close follows a finished read.
    {"DriverReadTakesTwoSeconds",
     Then(WithProfile(Profile("200")), [](HostileRun& r) { r.Marker("read-slow"); }),
     Outcome::Runs,
     [](HostileRun& r) {
         ASSERT_TRUE(PumpUntil([&] { return CountOccurrences(r.DriverLog(), "-> none") >= 1; }, kWaitMs));
     },
     kCloseLimitMs + 2000},
    // The fault cannot be caught and gone on from safely: the process ends at once with
    // the fault's code, without a window or a debugger, and the profile is untouched.
    {"DriverInitCrashes",
     Then(WithProfile(Profile("200")), [](HostileRun& r) { r.Marker("crash-init"); }),
     Outcome::EndsAtOnce,
     [](HostileRun& r) {
         EXPECT_EQ(static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION), r.monitor_.ExitCode());
         EXPECT_EQ(1u, CountOccurrences(r.DriverLog(), "QRDiI2CInit() -> crashes"));
         EXPECT_EQ(0u, r.Reads());
     }},

    // Registry: the client's folder value.
    {"RegistryFolderWrongType", ClientFolderValue(REG_DWORD, std::string("\x01\0\0\0", 4)),
     Outcome::Runs, PowerLaunches(false)},
    {"RegistryFolder300Characters", ClientFolderValue(REG_SZ, "C:\\" + kTrailing + '\0'),
     Outcome::Runs, PowerLaunches(false)},
    {"RegistryFolderNotTerminated", ClientFolderValue(REG_SZ, "<folder>"), Outcome::Runs,
     PowerLaunches(true)},

    // Client.
    {"ClientTakesNoMessages",
     Then(WithProfile(Profile("200", true)),
          [](HostileRun& r) { r.Hold(HostileWindow::Mode::Hang, kHostileClass, kHostileCaption); }),
     Outcome::Runs, VolUpHandled(3)},
    {"ClientClosesBetweenSearchAndPost",
     Then(WithProfile(Profile("100", true)),
          [](HostileRun& r) { r.Flicker(); }),
     Outcome::Runs, VolUpHandled(10)},

    // Trace viewers.
    {"TraceViewerHangs",
     Then(WithProfile(Profile("200")),
          [](HostileRun& r) {
              r.NoTraceCapture();
              r.Hold(HostileWindow::Mode::Hang, "QRTLHungViewer", product::kTraceViewerTitle);
          }),
     Outcome::Runs, KeepsPolling()},
    {"TraceViewerClosesMidLine",
     Then(WithProfile(Profile("200")),
          [](HostileRun& r) {
              r.NoTraceCapture();
              r.Hold(HostileWindow::Mode::CloseOnLine, "QRTLClosingViewer", product::kTraceViewerTitle);
          }),
     Outcome::Runs, KeepsPolling(5)},
};

// An icon of this test program in the notification area for the whole test, as a
// real desktop always has some. Without it the monitor's icon is the last one, and
// Wine's stand-alone tray hides itself when that goes, waiting two seconds for a
// window manager that Xvfb does not run: time that is not the monitor's.
class TrayNeighbour {
public:
    TrayNeighbour() {
        wnd_ = ::CreateWindowExA(0, "STATIC", "tray neighbour", 0, 0, 0, 0, 0, nullptr, nullptr,
                                 nullptr, nullptr);
        NOTIFYICONDATAA nid = Record();
        nid.uFlags = NIF_ICON | NIF_TIP;
        nid.hIcon = ::LoadIconA(nullptr, IDI_APPLICATION);
        lstrcpyA(nid.szTip, "tray neighbour");
        ::Shell_NotifyIconA(NIM_ADD, &nid);
    }
    ~TrayNeighbour() {
        NOTIFYICONDATAA nid = Record();
        ::Shell_NotifyIconA(NIM_DELETE, &nid);
        ::DestroyWindow(wnd_);
    }

private:
    NOTIFYICONDATAA Record() const {
        NOTIFYICONDATAA nid{};
        nid.cbSize = sizeof nid;
        nid.hWnd = wnd_;
        nid.uID = 1;
        return nid;
    }
    HWND wnd_ = nullptr;
};

void PrintTo(const HostileCase& c, std::ostream* os) { *os << c.name; }

class HostileInput : public ::testing::TestWithParam<HostileCase> {
protected:
    void SetUp() override {
        if (!FileExists(WinPath(QRTL_E2E_MONITOR))) GTEST_SKIP() << "QRTLIRMoni.exe is not built";
        // Inherited by the monitor: a crash ends it without a debugger's dialog.
        ::SetErrorMode(SEM_NOGPFAULTERRORBOX | SEM_FAILCRITICALERRORS);
    }
};

TEST_P(HostileInput, StartsOrEndsAsDocumented_ClosesWithinTwoSeconds_NeverWritesProfile) {
    TrayNeighbour neighbour;
    HostileRun run;
    run.RunCase(GetParam());
}

// A viewer that answers every line late but keeps pumping, so the system never takes
// it for hung: the poll ticks go on at three quarters of their rate without a viewer
// or better. One answering just under the send's slow limit (190 ms) is never taken
// for slow: only the time budget of the trace sends (a tenth of each second) keeps it
// from slowing every tick.
TEST_F(HostileInput, SlowTraceViewer_TicksAtLeastThreeQuartersOfThoseWithoutViewer_ClosesWithinTwoSeconds) {
    TrayNeighbour neighbour;
    // 0: no viewer, the measure for the others.
    // 19 ms: just under the quick limit, held by the bounded free allowance.
    const DWORD answers[] = {0, kSlowAnswerMs, 190, 19};
    size_t ticks[4] = {};
    for (size_t row = 0; row < 4; ++row) {
        const DWORD answerMs = answers[row];
        SCOPED_TRACE(answerMs == 0 ? "no viewer" : "viewer answering after " + std::to_string(answerMs) + " ms");
        const HostileCase c = {
            "SlowTraceViewer",
            Then(WithProfile(Profile("100")),
                 [answerMs](HostileRun& r) {
                     r.NoTraceCapture();
                     if (answerMs != 0)
                         r.Hold(HostileWindow::Mode::SlowOnLine, "QRTLSlowViewer", "MsgCapForm", answerMs);
                 }),
            Outcome::Runs,
            [&ticks, row](HostileRun& r) {
                ASSERT_TRUE(r.WaitReads(1));
                const size_t before = r.Reads();
                PumpFor(10000);
                ticks[row] = r.Reads() - before;
            }};
        HostileRun run;
        run.RunCase(c);
        if (HasFatalFailure()) return;
    }
    std::printf("ticks in 10 s at Timer=100: %zu without a viewer, %zu with one answering after %lu ms, "
                "%zu after %lu ms, %zu after %lu ms\n",
                ticks[0], ticks[1], static_cast<unsigned long>(answers[1]), ticks[2],
                static_cast<unsigned long>(answers[2]), ticks[3], static_cast<unsigned long>(answers[3]));
    EXPECT_GT(ticks[0], 0u);
    for (size_t row = 1; row < 4; ++row) EXPECT_GE(ticks[row] * 4, ticks[0] * 3) << answers[row] << " ms";
}

INSTANTIATE_TEST_SUITE_P(E2e, HostileInput, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<HostileCase>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
