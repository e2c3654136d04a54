// QRTLIRMoni.exe end to end under Wine: the real program with the simulated card
// driver, the stand-in TV client, the registry and its own profile file.
//
// Every profile here has [Main] ShutDown=0: a second POWER within the prompt must
// never reach ExitWindowsEx, which under Wine ends every process of the prefix.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "E2eHarness.h"

using namespace e2e;

namespace {

constexpr char kClientRegPath[] = "Software\\QRTLIRMoniE2E";

// Codes of the simulated remote, as [KeyMap_Controler] maps them.
constexpr char kCodePower[] = "10";
constexpr char kCodeVolUp[] = "20";
constexpr char kCodeChUp[] = "21";
constexpr char kCodeUnmapped[] = "99";

constexpr DWORD kExitTimeoutMs = 10000;
constexpr DWORD kKeyTimeoutMs = 5000;
// The prompt stays two to three seconds; the launch follows at once.
constexpr DWORD kLaunchTimeoutMs = 10000;
constexpr int kPollIntervalMs = 200;

struct ProfileOptions {
    int control = 1;
    int showMainWindow = 0;
    int autoRun = 0;
};

std::string MakeProfile(const ProfileOptions& o) {
    char text[2048];
    std::snprintf(text, sizeof text,
                  "[Main]\r\n"
                  "ShowMainWindow=%d\r\n"
                  "Timer=%d\r\n"
                  "AutoRun=%d\r\n"
                  "ShutDown=0\r\n"
                  "[Client]\r\n"
                  "Default=1\r\n"
                  "0_ExeDesc=Other Viewer\r\n"
                  "1_ExeDesc=Standin TV\r\n"
                  "2_ExeDesc=Third Viewer\r\n"
                  "1_Item=STANDINTV\r\n"
                  "1_Caption=Standin TV\r\n"
                  "1_ClassName=StandinTVClass\r\n"
                  "1_Child0=1001\r\n"
                  "1_Child1=1002\r\n"
                  "1_Child2=1003\r\n"
                  "1_Control=%d\r\n"
                  "1_RegPath=%s\r\n"
                  "1_RegFolder=Folder\r\n"
                  "1_ExeName=StandinTV.exe\r\n"
                  "[KeyMap_Controler]\r\n"
                  "POWER=%s\r\n"
                  "VOL+=%s\r\n"
                  "CH+=%s\r\n"
                  "[KeyMap_STANDINTV]\r\n"
                  "POWER=#8010\r\n"
                  "VOL+=#8001\r\n"
                  "CH+=*26\r\n",
                  o.showMainWindow, kPollIntervalMs, o.autoRun, o.control, kClientRegPath,
                  kCodePower, kCodeVolUp, kCodeChUp);
    return text;
}

// Deletes the autorun value when a test that may have written it ends.
struct RunValueCleaner {
    RunValueCleaner() { DeleteRunValue(); }
    ~RunValueCleaner() { DeleteRunValue(); }
};

class MonitorE2e : public ::testing::Test {
protected:
    void SetUp() override {
        monitorExe_ = WinPath(QRTL_E2E_MONITOR);
        if (!FileExists(monitorExe_)) GTEST_SKIP() << "QRTLIRMoni.exe is not built";
        ASSERT_TRUE(folder_.Create("mon"));
        ASSERT_TRUE(trace_.Open());
        ASSERT_TRUE(MakeDir(folder_ / "irqueue"));
    }

    void TearDown() override {
        // End every process we started, the friendly way first.
        if (monitor_.Running()) {
            if (HWND main = MainWindow()) ::PostMessageA(main, WM_COMMAND, kIdMenuClose, 0);
            if (!monitor_.WaitExit(5000)) monitor_.Terminate();
        }
        for (auto& s : standins_) {
            if (!s->Running()) continue;
            for (HWND w : ProcessWindows(s->Id())) ::PostMessageA(w, WM_CLOSE, 0, 0);
            if (!s->WaitExit(3000)) s->Terminate();
        }
        // Clients the monitor launched itself.
        for (int i = 0; i < 5; ++i) {
            const HWND w = FindProcessWindow(0, nullptr, kStandinClass);
            if (!w) break;
            EndProcessById(WindowProcessId(w));
        }
    }

    void WriteProfile(const ProfileOptions& o, const std::string& dir = {}) {
        ASSERT_TRUE(WriteTextFile((dir.empty() ? folder_.Path() : dir) + "\\" + kProfileName,
                                  MakeProfile(o)));
    }

    bool CopyInto(const std::string& dir, const char* unixSource, const char* name) {
        return ::CopyFileA(WinPath(unixSource).c_str(), (dir + "\\" + name).c_str(), FALSE) != 0;
    }

    bool InstallDriver() { return CopyInto(folder_.Path(), QRTL_E2E_SIMDRIVER, kDriverName); }

    // The client in its own folder, which the profile's registry key names; the key
    // is removed again when the test ends.
    bool RegisterClient(const std::string& clientDir) {
        if (!MakeDir(clientDir) || !CopyInto(clientDir, QRTL_E2E_STANDIN, "StandinTV.exe"))
            return false;
        clientKey_ = std::make_unique<MachineKeyGuard>(kClientRegPath);
        return clientKey_->SetString("Folder", clientDir);
    }

    // POWER with no client running; true once the prompt watches the receiver
    // (the lookup line comes just before it starts).
    bool PressPowerIntoPrompt() {
        Press(kCodePower);
        return PumpUntil([&] { return trace_.Count("Lookup Result : 10, POWER") > 0; },
                         kKeyTimeoutMs);
    }

    bool StartMonitor(const std::string& args = {}) {
        const std::string exe = folder_ / kMonitorExeName;
        if (!FileExists(exe) && !CopyInto(folder_.Path(), QRTL_E2E_MONITOR, kMonitorExeName))
            return false;
        return monitor_.Start("\"" + exe + "\"" + (args.empty() ? "" : " " + args),
                              folder_.Path());
    }

    // The monitor's main window exists and the poll timer has ticked. When not, says
    // whether the monitor still runs: one closed from outside (by whatever else runs on
    // this desktop) looks like one that never polled.
    ::testing::AssertionResult WaitMonitorPolling() {
        if (PumpUntil(
                [&] { return MainWindow() != nullptr && trace_.Count("DoTimer : Byte") > 0; },
                kStartTimeoutMs))
            return ::testing::AssertionSuccess();
        auto failure = ::testing::AssertionFailure()
                       << "the monitor showed no first poll within " << kStartTimeoutMs / 1000
                       << " s; ";
        if (monitor_.Running())
            failure << "it runs, " << (MainWindow() ? "with" : "without") << " its window";
        else
            failure << "it ended with exit code " << monitor_.ExitCode();
        return failure << "; driver log:\n" << DriverLog() << "trace:\n" << trace_.Dump();
    }

    bool StartStandin() {
        auto s = std::make_unique<ChildProcess>();
        const std::string cmd =
            "\"" + WinPath(QRTL_E2E_STANDIN) + "\" --log \"" + StandinLogPath() + "\"";
        if (!s->Start(cmd, folder_.Path())) return false;
        const DWORD pid = s->Id();
        standins_.push_back(std::move(s));
        return PumpUntil([&] { return FindProcessWindow(pid, kStandinCaption, kStandinClass); },
                         kStartTimeoutMs);
    }

    void CloseStandins() {
        for (auto& s : standins_) {
            for (HWND w : ProcessWindows(s->Id())) ::PostMessageA(w, WM_CLOSE, 0, 0);
            ASSERT_TRUE(s->WaitExit(kExitTimeoutMs));
        }
    }

    // One code into the driver's queue, written whole before it becomes visible.
    void Press(const char* code) {
        char name[32];
        std::snprintf(name, sizeof name, "%08u", ++pressed_);
        const std::string path = folder_ / "irqueue" + "\\" + name;
        ASSERT_TRUE(WriteTextFile(path + ".tmp", std::string(code) + "\r\n"));
        ASSERT_TRUE(::MoveFileA((path + ".tmp").c_str(), path.c_str()));
    }

    bool QueueEmpty() const {
        WIN32_FIND_DATAA data;
        const qrtl::win32::UniqueFind find(
            ::FindFirstFileA((folder_ / "irqueue" + "\\0*").c_str(), &data));
        return !find;
    }

    HWND MainWindow() const { return FindProcessWindow(monitor_.Id(), kMonitorTitle); }
    std::vector<std::string> History() const {
        const HWND main = MainWindow();
        const HWND list = main ? ::GetDlgItem(main, kIdHistoryList) : nullptr;
        return list ? ListBoxItems(list) : std::vector<std::string>{};
    }

    std::string DriverLog() const { return ReadTextFile(folder_ / "simdriver.log"); }
    std::string StandinLogPath() const { return folder_ / "standin.log"; }
    std::vector<std::string> StandinMessages() const {
        const std::string log = ReadTextFile(StandinLogPath());
        auto lines = LinesContaining(log, " WM_");
        for (auto& l : lines) l = l.substr(l.find("WM_"));
        return lines;
    }

    // Waits until the driver has handed out every queued code and `ticks` further
    // poll ticks have run, so the codes have been dispatched.
    bool WaitCodesConsumed(int ticks = 2) {
        if (!PumpUntil([&] { return QueueEmpty(); }, kKeyTimeoutMs)) return false;
        const size_t mark = trace_.Size();
        return PumpUntil([&] { return trace_.Count("DoTimer : Byte", mark) >= size_t(ticks); },
                         kKeyTimeoutMs);
    }

    std::string monitorExe_;
    TempFolder folder_;
    TraceCapture trace_;
    ChildProcess monitor_;
    std::unique_ptr<MachineKeyGuard> clientKey_;
    std::vector<std::unique_ptr<ChildProcess>> standins_;
    unsigned pressed_ = 0;
};

// ------------------------------------------------------------------ start-up

TEST_F(MonitorE2e, Startup_NoDriverLibrary_EndsAtOnceWithExitZeroAndNoWindow) {
    WriteProfile({});
    const DWORD start = ::GetTickCount();
    ASSERT_TRUE(StartMonitor());
    bool sawWindow = false;
    const bool ended = PumpUntil(
        [&] {
            if (MainWindow()) sawWindow = true;
            return !monitor_.Running();
        },
        kExitTimeoutMs);
    ASSERT_TRUE(ended) << "the monitor kept running without its driver";
    EXPECT_EQ(0u, monitor_.ExitCode());
    EXPECT_LT(::GetTickCount() - start, 5000u);
    EXPECT_FALSE(sawWindow);
    EXPECT_EQ(nullptr, FindProcessWindow(0, kMonitorTitle));
    EXPECT_EQ(0u, trace_.Size()) << trace_.Dump();
}

TEST_F(MonitorE2e, Startup_DriverOnlyInWorkingFolder_NotLoadedAndEndsAsWithoutDriver) {
    // The program in a folder of its own, started from another that holds a driver.
    const std::string programDir = folder_ / "program";
    ASSERT_TRUE(MakeDir(programDir));
    WriteProfile({}, programDir);
    ASSERT_TRUE(CopyInto(programDir, QRTL_E2E_MONITOR, kMonitorExeName));
    ASSERT_TRUE(InstallDriver());
    ASSERT_TRUE(monitor_.Start("\"" + programDir + "\\" + kMonitorExeName + "\"", folder_.Path()));

    ASSERT_TRUE(monitor_.WaitExit(kExitTimeoutMs)) << "the monitor ran with the working folder's driver";
    EXPECT_EQ(0u, monitor_.ExitCode());
    EXPECT_EQ("", DriverLog()) << "the working folder's driver was loaded";
    EXPECT_EQ(nullptr, FindProcessWindow(0, kMonitorTitle));
    EXPECT_EQ(0u, trace_.Size()) << trace_.Dump();
}

// Wine reports Windows 98 to a program named under AppDefaults; removed at the end.
class Win98Guard {
public:
    explicit Win98Guard(const std::string& exeName)
        : path_("Software\\Wine\\AppDefaults\\" + exeName) {}
    ~Win98Guard() { ::RegDeleteKeyA(HKEY_CURRENT_USER, path_.c_str()); }
    bool Set() {
        HKEY key = nullptr;
        if (::RegCreateKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                              &key, nullptr) != ERROR_SUCCESS)
            return false;
        const char version[] = "win98";
        const bool done = ::RegSetValueExA(key, "Version", 0, REG_SZ,
                                           reinterpret_cast<const BYTE*>(version),
                                           sizeof(version)) == ERROR_SUCCESS;
        ::RegCloseKey(key);
        return done;
    }

private:
    std::string path_;
};

TEST_F(MonitorE2e, Startup_Windows9x_LoadsDriverQRDi10DE) {
    if (::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "wine_get_version") == nullptr)
        GTEST_SKIP() << "the Windows 98 platform is only reported under Wine";
    // A name of its own, so that only this program is told it runs on Windows 98.
    const char kExe9x[] = "QRTLIRMoni9x.exe";
    Win98Guard win98(kExe9x);
    ASSERT_TRUE(win98.Set());
    ASSERT_TRUE(WriteTextFile(folder_ / "QRTLIRMoni9x.INI", MakeProfile({})));
    ASSERT_TRUE(CopyInto(folder_.Path(), QRTL_E2E_MONITOR, kExe9x));
    // Only the Windows 9x file name is there, written out here as the card's
    // installer names it.
    ASSERT_TRUE(CopyInto(folder_.Path(), QRTL_E2E_SIMDRIVER_9X, "QRDi10DE.DLL"));
    ASSERT_TRUE(monitor_.Start("\"" + (folder_ / kExe9x) + "\"", folder_.Path()));

    ASSERT_TRUE(WaitMonitorPolling()) << "the monitor did not run on the Windows 9x driver";
    EXPECT_EQ(1u, CountOccurrences(DriverLog(), "QRDiI2CInit")) << DriverLog();
}

TEST_F(MonitorE2e, Startup_DriverInitFails_EndsWithoutReadingOrClosingTheDriver) {
    WriteProfile({});
    ASSERT_TRUE(InstallDriver());
    ASSERT_TRUE(WriteTextFile(folder_ / "irqueue" + "\\fail-init", ""));
    ASSERT_TRUE(StartMonitor());
    ASSERT_TRUE(monitor_.WaitExit(kExitTimeoutMs));
    EXPECT_EQ(0u, monitor_.ExitCode());
    const std::string log = DriverLog();
    EXPECT_EQ(1u, CountOccurrences(log, "QRDiI2CInit() -> 0")) << log;
    EXPECT_EQ(0u, CountOccurrences(log, "QRDiI2CReadByte")) << log;
    EXPECT_EQ(0u, CountOccurrences(log, "QRDiI2CClose")) << log;
    EXPECT_EQ(0u, trace_.Count("DoTimer"));
}

// For every user (the machine's key) only from a folder that only administrators may
// change; from elsewhere the user's own key, and an earlier value for every user goes.
// Gives Everyone every right on `folder`, as some vendors' folders under Program Files do.
bool LetEveryoneWrite(const std::string& folder) {
    SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
    PSID everyone = nullptr;
    if (!::AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone))
        return false;
    DWORD buffer[64] = {};
    ACL* acl = reinterpret_cast<ACL*>(buffer);
    SECURITY_DESCRIPTOR descriptor;
    const bool set = ::InitializeAcl(acl, sizeof buffer, ACL_REVISION) &&
                     ::AddAccessAllowedAce(acl, ACL_REVISION, GENERIC_ALL, everyone) &&
                     ::InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION) &&
                     ::SetSecurityDescriptorDacl(&descriptor, TRUE, acl, FALSE) &&
                     ::SetFileSecurityA(folder.c_str(), DACL_SECURITY_INFORMATION, &descriptor);
    ::FreeSid(everyone);
    return set;
}

// A program started by its wide path, as Explorer starts it from a folder named
// outside the ANSI code page; ended by the owner.
class WideProcess {
public:
    ~WideProcess() {
        if (process_ && ::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) ::TerminateProcess(process_.get(), 1);
    }
    bool Start(const std::wstring& exe, const std::wstring& args, const std::wstring& dir, HANDLE out = nullptr) {
        std::wstring line = L"\"" + exe + L"\"" + (args.empty() ? L"" : L" " + args);
        STARTUPINFOW si{};
        si.cb = sizeof si;
        if (out != nullptr) {
            si.dwFlags = STARTF_USESTDHANDLES;
            si.hStdOutput = out;
            si.hStdError = out;
        }
        PROCESS_INFORMATION pi{};
        if (!::CreateProcessW(exe.c_str(), &line[0], nullptr, nullptr, out != nullptr, 0, nullptr, dir.c_str(),
                              &si, &pi))
            return false;
        ::CloseHandle(pi.hThread);
        process_.reset(pi.hProcess);
        id_ = pi.dwProcessId;
        return true;
    }
    DWORD Id() const { return id_; }
    bool WaitExit(DWORD timeoutMs, DWORD& code) const {
        if (!PumpUntil([&] { return ::WaitForSingleObject(process_.get(), 0) == WAIT_OBJECT_0; }, timeoutMs))
            return false;
        return ::GetExitCodeProcess(process_.get(), &code) != FALSE;
    }

private:
    qrtl::win32::UniqueHandleObj process_;
    DWORD id_ = 0;
};

// Sets an environment variable for the programs this test starts, and back at the end.
struct EnvironmentGuard {
    EnvironmentGuard(const char* name, const std::string& value) : name_(name) {
        char old[MAX_PATH] = {};
        const DWORD n = ::GetEnvironmentVariableA(name, old, MAX_PATH);
        had_ = n > 0 && n < MAX_PATH;
        if (had_) old_.assign(old, n);
        ::SetEnvironmentVariableA(name, value.c_str());
    }
    ~EnvironmentGuard() { ::SetEnvironmentVariableA(name_, had_ ? old_.c_str() : nullptr); }
    const char* name_;
    bool had_ = false;
    std::string old_;
};

std::wstring Widen(const std::string& text) {
    const int n = ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::wstring wide(n > 0 ? static_cast<std::size_t>(n) : 1u, L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], n);
    wide.resize(wide.size() - 1);
    return wide;
}

// A per-user install under a folder named in Chinese ("测试"), outside the ANSI code
// page: the monitor started by its wide path still reads its profile (a mapped key is
// looked up) and loads the driver beside it, and QRTLProfile there finds its profile.
TEST_F(MonitorE2e, FolderOutsideCodePage_ProfileAndDriverFoundThroughShortName) {
    const std::wstring folder = Widen(folder_.Path()) + L"\\\x6d4b\x8bd5";
    ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
    // Emptied by the wide calls: the test folder's own clean-up reads the names as ANSI.
    struct WideCleanup {
        std::wstring folder;
        ~WideCleanup() {
            WIN32_FIND_DATAW found;
            const HANDLE find = ::FindFirstFileW((folder + L"\\*").c_str(), &found);
            if (find != INVALID_HANDLE_VALUE) {
                do ::DeleteFileW((folder + L"\\" + found.cFileName).c_str());
                while (::FindNextFileW(find, &found));
                ::FindClose(find);
            }
            ::RemoveDirectoryW(folder.c_str());
        }
    } cleanup{folder};
    wchar_t shortName[MAX_PATH] = {};
    const DWORD n = ::GetShortPathNameW(folder.c_str(), shortName, MAX_PATH);
    char shortAnsi[MAX_PATH] = {};
    BOOL lossy = FALSE;
    if (n == 0 || n >= MAX_PATH ||
        !::WideCharToMultiByte(CP_ACP, 0, shortName, -1, shortAnsi, MAX_PATH, nullptr, &lossy) || lossy)
        GTEST_SKIP() << "this volume keeps no short names";
    const std::string dir = shortAnsi;
    WriteProfile({}, dir);
    ASSERT_TRUE(CopyInto(dir, QRTL_E2E_MONITOR, kMonitorExeName));
    ASSERT_TRUE(CopyInto(dir, QRTL_E2E_SIMDRIVER, kDriverName));
    ASSERT_TRUE(CopyInto(dir, QRTL_E2E_PROFILETOOL, "QRTLProfile.exe"));
    // The receiver's codes from the test's own queue: only the monitor's finding is tested.
    const EnvironmentGuard queue("QRDSIM_QUEUE", folder_ / "irqueue");
    const EnvironmentGuard log("QRDSIM_LOG", folder_ / "simdriver.log");

    WideProcess monitor;
    ASSERT_TRUE(monitor.Start(folder + L"\\" + Widen(kMonitorExeName), L"", folder));
    ASSERT_TRUE(PumpUntil([&] { return trace_.Count("DoTimer : Byte") > 0; }, kStartTimeoutMs))
        << "no poll: the driver beside the monitor was not loaded\n" << trace_.Dump();
    Press(kCodeVolUp);
    EXPECT_TRUE(PumpUntil([&] { return trace_.Count("Lookup Result : 20, VOL+") > 0; }, kKeyTimeoutMs))
        << "the profile's key map was not read\n" << trace_.Dump();
    if (HWND main = FindProcessWindow(monitor.Id(), kMonitorTitle))
        ::PostMessageA(main, WM_COMMAND, kIdMenuClose, 0);
    DWORD code = 1;
    EXPECT_TRUE(monitor.WaitExit(kExitTimeoutMs, code));

    const std::string outPath = folder_ / "check.txt";
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    qrtl::win32::UniqueFile out(::CreateFileA(outPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(out);
    WideProcess check;
    ASSERT_TRUE(check.Start(folder + L"\\QRTLProfile.exe", L"check", folder, out.get()));
    EXPECT_TRUE(check.WaitExit(kExitTimeoutMs, code));
    out.reset();
    const std::string said = ReadTextFile(outPath);
    EXPECT_EQ(said.find("cannot open"), std::string::npos) << said;
    EXPECT_NE(said.find(kProfileName), std::string::npos) << said;
}

// Whether the owner of `path` is the Administrators group. Wine gives every file to
// the user's own account (and keeps no other owner), and an owner may change the file:
// there even Program Files serves every user only through the user's own key.
bool OwnedByAdministrators(const std::string& path) {
    DWORD needed = 0;
    ::GetFileSecurityA(path.c_str(), OWNER_SECURITY_INFORMATION, nullptr, 0, &needed);
    std::vector<DWORD> descriptor(needed / sizeof(DWORD) + 1, 0);
    PSID owner = nullptr;
    BOOL defaulted = FALSE;
    if (!::GetFileSecurityA(path.c_str(), OWNER_SECURITY_INFORMATION, descriptor.data(),
                            static_cast<DWORD>(descriptor.size() * sizeof(DWORD)), &needed) ||
        !::GetSecurityDescriptorOwner(descriptor.data(), &owner, &defaulted) || owner == nullptr)
        return false;
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    PSID admins = nullptr;
    if (!::AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0,
                                    0, 0, 0, 0, &admins))
        return false;
    const bool same = ::EqualSid(owner, admins) != FALSE;
    ::FreeSid(admins);
    return same;
}

TEST_F(MonitorE2e, SetAuto_CommandLineWord_WritesRunValueLoadsNoDriverAndEndsWithZero) {
    RunValueCleaner cleaner;
    const std::string blankDir = folder_ / "with blank";
    ASSERT_TRUE(MakeDir(blankDir));
    char programFiles[MAX_PATH] = {};
    const DWORD n = ::GetEnvironmentVariableA("ProgramFiles", programFiles, MAX_PATH);
    ASSERT_TRUE(n > 0 && n < MAX_PATH);
    TempFolder installed;
    ASSERT_TRUE(installed.Create("autorun", programFiles));
    // Under Program Files too, but everyone may add files there: the user's key.
    TempFolder open;
    ASSERT_TRUE(open.Create("autorun-open", programFiles));
    ASSERT_TRUE(LetEveryoneWrite(open.Path()));

    for (const std::string& dir : {folder_.Path(), blankDir, installed.Path(), open.Path()}) {
        SCOPED_TRACE(dir);
        WriteProfile({}, dir);
        ASSERT_TRUE(CopyInto(dir, QRTL_E2E_MONITOR, kMonitorExeName));
        ASSERT_TRUE(CopyInto(dir, QRTL_E2E_SIMDRIVER, kDriverName));
        const bool forEveryUser =
            dir == installed.Path() && OwnedByAdministrators(dir + "\\" + kMonitorExeName);
        DeleteRunValue();
        {
            qrtl::win32::UniqueHKey run;
            ASSERT_EQ(ERROR_SUCCESS, ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunKey, 0, KEY_SET_VALUE, run.put()));
            const char old[] = "C:\\left by an earlier run\\QRTLIRMoni.EXE";
            ASSERT_EQ(ERROR_SUCCESS, ::RegSetValueExA(run.get(), kRunValue, 0, REG_SZ,
                                                      reinterpret_cast<const BYTE*>(old), sizeof old));
        }

        ChildProcess run;
        ASSERT_TRUE(run.Start("\"" + dir + "\\" + kMonitorExeName + "\" /SetAuto", dir));
        ASSERT_TRUE(run.WaitExit(kExitTimeoutMs));
        EXPECT_EQ(0u, run.ExitCode());

        std::string data, other;
        ASSERT_TRUE(ReadRunValue(data, forEveryUser ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER))
            << "no Run value written";
        EXPECT_FALSE(ReadRunValue(other, forEveryUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE)) << other;
        // The extension always in capitals; quoted only when the path has a blank.
        const std::string path = dir + "\\QRTLIRMoni.EXE";
        const bool quoted = path.find(' ') != std::string::npos;
        const std::string expected = quoted ? "\"" + path + "\"" : path;
        EXPECT_EQ(0, lstrcmpiA(expected.c_str(), data.c_str())) << data;
        ASSERT_GE(data.size(), 4u);
        EXPECT_EQ(quoted ? "EXE\"" : ".EXE", data.substr(data.size() - 4));

        EXPECT_FALSE(FileExists(dir + "\\simdriver.log")) << "the driver was loaded";
        const std::string ini = dir + "\\" + kProfileName;
        EXPECT_EQ(0u, ::GetPrivateProfileIntA("Main", "AutoRun", 7, ini.c_str()));
    }
    EXPECT_EQ(0u, trace_.Count("DoTimer")) << trace_.Dump();
}

TEST_F(MonitorE2e, SetAuto_InsideLongerWord_CountsButOtherCaseStartsMonitor) {
    RunValueCleaner cleaner;
    WriteProfile({});
    ASSERT_TRUE(InstallDriver());

    ASSERT_TRUE(StartMonitor("-xSetAutoy"));
    ASSERT_TRUE(monitor_.WaitExit(kExitTimeoutMs));
    EXPECT_EQ(0u, monitor_.ExitCode());
    std::string data;
    EXPECT_TRUE(ReadRunValue(data, HKEY_CURRENT_USER)) << "a word inside a longer one still counts";
    EXPECT_FALSE(FileExists(folder_ / "simdriver.log")) << "the driver was loaded";

    // The same letters in another case are no word: the monitor runs as usual.
    for (const char* word : {"/setauto", "/SETAUTO"}) {
        SCOPED_TRACE(word);
        DeleteRunValue();
        const size_t mark = trace_.Size();
        ASSERT_TRUE(StartMonitor(word));
        ASSERT_TRUE(PumpUntil(
            [&] { return MainWindow() != nullptr && trace_.Count("DoTimer : Byte", mark) > 0; },
            kStartTimeoutMs))
            << trace_.Dump(mark);
        EXPECT_FALSE(ReadRunValue(data, HKEY_LOCAL_MACHINE)) << data;
        EXPECT_FALSE(ReadRunValue(data, HKEY_CURRENT_USER)) << data;
        ASSERT_TRUE(::PostMessageA(MainWindow(), WM_COMMAND, kIdMenuClose, 0));
        ASSERT_TRUE(monitor_.WaitExit(kExitTimeoutMs));
        EXPECT_EQ(0u, monitor_.ExitCode());
    }
}

TEST_F(MonitorE2e, Startup_SecondInstance_RunsBesideFirstWithItsOwnWindowAndPolling) {
    WriteProfile({});
    ASSERT_TRUE(InstallDriver());
    ASSERT_TRUE(StartMonitor());
    ASSERT_TRUE(WaitMonitorPolling());

    // No single-instance guard: a second start runs a second, independent monitor.
    ChildProcess second;
    ASSERT_TRUE(second.Start("\"" + (folder_ / kMonitorExeName) + "\"", folder_.Path()));
    HWND secondMain = nullptr;
    ASSERT_TRUE(PumpUntil(
        [&] { return (secondMain = FindProcessWindow(second.Id(), kMonitorTitle)) != nullptr; },
        kStartTimeoutMs));
    EXPECT_TRUE(monitor_.Running());
    EXPECT_NE(MainWindow(), secondMain);

    // Both poll the receiver: the driver's log names both processes.
    const std::string readsOfFirst = "pid=" + std::to_string(monitor_.Id()) + " QRDiI2CReadByte";
    const std::string readsOfSecond = "pid=" + std::to_string(second.Id()) + " QRDiI2CReadByte";
    EXPECT_TRUE(PumpUntil(
        [&] {
            const std::string log = DriverLog();
            return CountOccurrences(log, readsOfFirst) > 0 &&
                   CountOccurrences(log, readsOfSecond) > 0;
        },
        kKeyTimeoutMs))
        << DriverLog();

    // Closing one leaves the other running.
    ASSERT_TRUE(::PostMessageA(secondMain, WM_COMMAND, kIdMenuClose, 0));
    ASSERT_TRUE(second.WaitExit(kExitTimeoutMs));
    EXPECT_EQ(0u, second.ExitCode());
    EXPECT_TRUE(monitor_.Running());
    EXPECT_NE(nullptr, MainWindow());
}

// ------------------------------------------------------------------ dispatch

TEST_F(MonitorE2e, Dispatch_MappedCodes_ReachClientAsExactMessages) {
    WriteProfile({});
    ASSERT_TRUE(InstallDriver());
    ASSERT_TRUE(StartStandin());
    ASSERT_TRUE(StartMonitor());
    ASSERT_TRUE(WaitMonitorPolling()) << trace_.Dump();

    Press(kCodeVolUp);
    ASSERT_TRUE(PumpUntil([&] { return StandinMessages().size() >= 1; }, kKeyTimeoutMs))
        << trace_.Dump();
    Press(kCodeChUp);
    ASSERT_TRUE(PumpUntil([&] { return StandinMessages().size() >= 2; }, kKeyTimeoutMs))
        << trace_.Dump();
    ASSERT_TRUE(WaitCodesConsumed());

    const std::vector<std::string> expected = {
        "WM_COMMAND wParam=0x00018001 lParam=0x00000000",
        "WM_KEYDOWN wParam=0x00000026 lParam=0x00000000"};
    EXPECT_EQ(expected, StandinMessages());

    EXPECT_EQ(1u, trace_.Count("IRCODE : 20 @ QRTLIRSet @ 485"));
    EXPECT_EQ(1u, trace_.Count("Lookup Result : 20, VOL+ @ QRTLIRSet @ 488"));
    EXPECT_EQ(1u, trace_.Count("LookUpKey : #8001 @ QRTLIRSet @ 301"));
    EXPECT_EQ(1u, trace_.Count("KEY : 8001 @ QRTLIRSet @ 310"));
    EXPECT_EQ(1u, trace_.Count("KEY : 26 @ QRTLIRSet @ 310"));
    EXPECT_EQ((std::vector<std::string>{"21*26", "20#8001"}), History());
}

TEST_F(MonitorE2e, Dispatch_UnmappedCode_ChangesNothingButTheTrace) {
    WriteProfile({});
    ASSERT_TRUE(InstallDriver());
    ASSERT_TRUE(StartStandin());
    ASSERT_TRUE(StartMonitor());
    ASSERT_TRUE(WaitMonitorPolling());

    Press(kCodeUnmapped);
    ASSERT_TRUE(WaitCodesConsumed(3)) << trace_.Dump();

    EXPECT_EQ(1u, CountOccurrences(DriverLog(), "-> 99 "));
    EXPECT_EQ(1u, trace_.Count("IRCODE : 99"));
    EXPECT_EQ(0u, trace_.Count("Lookup Result : 99"));
    EXPECT_EQ(0u, trace_.Count("LookUpKey"));
    EXPECT_TRUE(StandinMessages().empty());
    EXPECT_TRUE(History().empty());
}

TEST_F(MonitorE2e, Control0_ClientRunning_ReceiverIsNotReadUntilClientCloses) {
    ProfileOptions o;
    o.control = 0;
    WriteProfile(o);
    ASSERT_TRUE(InstallDriver());
    ASSERT_TRUE(StartStandin());
    ASSERT_TRUE(StartMonitor());
    ASSERT_TRUE(WaitMonitorPolling());

    Press(kCodeVolUp);
    const size_t mark = trace_.Size();
    ASSERT_TRUE(PumpUntil([&] { return trace_.Count("DoTimer : Byte", mark) >= 5; }, 5000));

    EXPECT_EQ(0u, CountOccurrences(DriverLog(), "QRDiI2CReadByte")) << DriverLog();
    EXPECT_FALSE(QueueEmpty()) << "the queued code was taken";
    EXPECT_TRUE(StandinMessages().empty());
    // Only the tick's first line and the window search's lines.
    const std::vector<std::string> allowed = {"@ QRTLIRSet @ 466", "@ QRTLIRSet @ 390",
                                              "@ QRTLIRSet @ 342", "@ QRTLIRSet @ 379",
                                              "@ QRTLIRSet @ 396", "@ QRTLIRSet @ 44",
                                              "@ QRTLIRSet @ 411"};
    for (const auto& line : trace_.Lines()) {
        bool ok = false;
        for (const auto& a : allowed) {
            const size_t at = line.text.rfind(a);
            ok = ok || (at != std::string::npos && at + a.size() == line.text.size());
        }
        EXPECT_TRUE(ok) << line.text;
    }
    EXPECT_GE(trace_.Count("Target Window : Standin TV"), 5u);

    // With the client gone the receiver is read again and the code is handled.
    CloseStandins();
    ASSERT_TRUE(PumpUntil([&] { return !History().empty(); }, kKeyTimeoutMs)) << trace_.Dump();
    EXPECT_EQ((std::vector<std::string>{"20 NoClientFound!"}), History());
    EXPECT_EQ(1u, trace_.Count("IRCODE : 20"));
}

// ------------------------------------------------------------------ POWER

TEST_F(MonitorE2e, Power_AloneWithClientClosed_LaunchesClientFromRegistryFolderWithBlank) {
    WriteProfile({});
    ASSERT_TRUE(InstallDriver());
    // The client's folder has a blank; a decoy "Standin.exe" before the blank would
    // be started instead if the path reached the system unquoted.
    const std::string clientDir = folder_ / "Standin Folder";
    ASSERT_TRUE(RegisterClient(clientDir));
    ASSERT_TRUE(CopyInto(folder_.Path(), QRTL_E2E_STANDIN, "Standin.exe"));

    ASSERT_TRUE(StartMonitor());
    ASSERT_TRUE(WaitMonitorPolling());
    Press(kCodePower);

    bool sawPrompt = false;
    bool promptGoneAtLaunch = false;
    HWND client = nullptr;
    const bool launched = PumpUntil(
        [&] {
            bool promptNow = false;
            for (HWND w : ProcessWindows(monitor_.Id())) {
                if (::IsWindowVisible(w) &&
                    FirstChildText(w).rfind("Press POWER button again to shutdown Windows, ", 0) ==
                        0)
                    promptNow = true;
            }
            sawPrompt = sawPrompt || promptNow;
            client = FindProcessWindow(0, kStandinCaption, kStandinClass);
            if (client) promptGoneAtLaunch = !promptNow;
            return client != nullptr;
        },
        kLaunchTimeoutMs);
    ASSERT_TRUE(launched) << trace_.Dump();
    EXPECT_TRUE(sawPrompt);
    EXPECT_TRUE(promptGoneAtLaunch);

    // Started from the registry folder, not the decoy.
    ASSERT_TRUE(PumpUntil([&] { return FileExists(clientDir + "\\StandinTV.log"); }, 3000));
    EXPECT_FALSE(FileExists(folder_ / "StandinTV.log")) << "the decoy before the blank ran";
    const auto starts = LinesContaining(ReadTextFile(clientDir + "\\StandinTV.log"), "START");
    ASSERT_EQ(1u, starts.size());
    EXPECT_NE(std::string::npos, starts[0].find("Standin Folder\\StandinTV.exe")) << starts[0];
    EXPECT_TRUE(History().empty()) << "a launch adds no history line";
}

TEST_F(MonitorE2e, Power_ThenOtherKeyWithinPrompt_LaunchesNothingAndAddsNoClientLine) {
    WriteProfile({});
    ASSERT_TRUE(InstallDriver());
    const std::string clientDir = folder_ / "client";
    ASSERT_TRUE(RegisterClient(clientDir));

    ASSERT_TRUE(StartMonitor());
    ASSERT_TRUE(WaitMonitorPolling());
    ASSERT_TRUE(PressPowerIntoPrompt());
    Press(kCodeVolUp);

    ASSERT_TRUE(PumpUntil([&] { return !History().empty(); }, kLaunchTimeoutMs))
        << trace_.Dump();
    EXPECT_EQ((std::vector<std::string>{"10 NoClientFound!"}), History());
    // Nothing is launched, not even once the prompt's time would have run out.
    EXPECT_FALSE(PumpUntil([] { return FindProcessWindow(0, nullptr, kStandinClass); }, 4000));
    EXPECT_FALSE(FileExists(clientDir + "\\StandinTV.log"));
    // The key that ended the prompt was consumed, never dispatched itself.
    EXPECT_EQ(0u, trace_.Count("IRCODE : 20"));
    EXPECT_TRUE(QueueEmpty());
}

TEST_F(MonitorE2e, Power_TwiceWithShutDownOff_PromptEndsAndNothingElseHappens) {
    // The profile's ShutDown=0 is what keeps this test from ExitWindowsEx.
    ASSERT_EQ(0u, CountOccurrences(MakeProfile({}), "ShutDown=1"));
    WriteProfile({});
    ASSERT_TRUE(InstallDriver());
    const std::string clientDir = folder_ / "client";
    ASSERT_TRUE(RegisterClient(clientDir));

    ASSERT_TRUE(StartMonitor());
    ASSERT_TRUE(WaitMonitorPolling());
    ASSERT_TRUE(PressPowerIntoPrompt());
    Press(kCodePower);

    // The second press ends the prompt; polling goes on afterwards.
    ASSERT_TRUE(PumpUntil([&] { return QueueEmpty(); }, kLaunchTimeoutMs));
    const size_t mark = trace_.Size();
    ASSERT_TRUE(PumpUntil([&] { return trace_.Count("DoTimer : Byte", mark) >= 2; },
                          kLaunchTimeoutMs))
        << trace_.Dump();

    // No launch, not even once the prompt's time would have run out; no history line;
    // the driver library stays open; the second POWER was consumed by the prompt.
    EXPECT_FALSE(PumpUntil([] { return FindProcessWindow(0, nullptr, kStandinClass); }, 4000));
    EXPECT_FALSE(FileExists(clientDir + "\\StandinTV.log"));
    EXPECT_TRUE(History().empty());
    EXPECT_EQ(0u, CountOccurrences(DriverLog(), "QRDiI2CClose")) << DriverLog();
    EXPECT_EQ(1u, trace_.Count("IRCODE : 10"));
    EXPECT_TRUE(monitor_.Running());
}

// ------------------------------------------------------------------ setup dialog

TEST_F(MonitorE2e, Setup_TrayDoubleClick_ShowsProfileStopsPollingAndWritesOnOk) {
    RunValueCleaner cleaner;
    WriteProfile({});
    ASSERT_TRUE(InstallDriver());
    ASSERT_TRUE(StartMonitor());
    ASSERT_TRUE(WaitMonitorPolling());

    ASSERT_TRUE(::PostMessageA(MainWindow(), kWmTrayIcon, kWmTrayIcon, WM_LBUTTONDBLCLK));
    HWND dlg = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (dlg = FindProcessWindow(monitor_.Id(), kSetupTitle)); },
                          kKeyTimeoutMs));
    ASSERT_TRUE(PumpUntil([&] { return trace_.Count("UpdateRegistry Read") > 0; }, 3000));

    // The profile's values: three descriptions, client 1 chosen, both boxes clear.
    const HWND combo = ::GetDlgItem(dlg, kIdComboClient);
    ASSERT_NE(nullptr, combo);
    EXPECT_EQ((std::vector<std::string>{"Other Viewer", "Standin TV", "Third Viewer"}),
              ComboItems(combo));
    EXPECT_EQ(1, SendWithin(combo, CB_GETCURSEL, 0, 0));
    EXPECT_EQ(BST_UNCHECKED, SendWithin(::GetDlgItem(dlg, kIdCheckShutDown), BM_GETCHECK, 0, 0));
    EXPECT_EQ(BST_UNCHECKED, SendWithin(::GetDlgItem(dlg, kIdCheckAutoRun), BM_GETCHECK, 0, 0));
    EXPECT_EQ(1u, trace_.Count("AutoRun  : 0 @ QRTLIRMoniSetupDlg @ 105"));
    EXPECT_EQ(1u, trace_.Count("ShutDown : 0 @ QRTLIRMoniSetupDlg @ 106"));

    // No polling while the dialog is up.
    const size_t mark = trace_.Size();
    const size_t readsBefore = CountOccurrences(DriverLog(), "QRDiI2CReadByte");
    PumpFor(6 * kPollIntervalMs);
    EXPECT_EQ(0u, trace_.Count("DoTimer", mark)) << trace_.Dump();
    EXPECT_EQ(readsBefore, CountOccurrences(DriverLog(), "QRDiI2CReadByte"));

    // Choose client 2 and autorun; ShutDown stays off.
    ASSERT_EQ(2, SendWithin(combo, CB_SETCURSEL, 2, 0));
    SendWithin(::GetDlgItem(dlg, kIdCheckAutoRun), BM_SETCHECK, BST_CHECKED, 0);
    ASSERT_TRUE(::PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                               reinterpret_cast<LPARAM>(::GetDlgItem(dlg, IDOK))));
    ASSERT_TRUE(PumpUntil([&] { return !::IsWindow(dlg); }, kKeyTimeoutMs));

    const std::string ini = folder_ / kProfileName;
    EXPECT_EQ(2u, ::GetPrivateProfileIntA("Client", "Default", 9, ini.c_str()));
    EXPECT_EQ(1u, ::GetPrivateProfileIntA("Main", "AutoRun", 9, ini.c_str()));
    EXPECT_EQ(0u, ::GetPrivateProfileIntA("Main", "ShutDown", 9, ini.c_str()));
    EXPECT_EQ(1u, trace_.Count("CQRTLIRMoniSetupDlg::UpdateRegistry Write @ QRTLIRMoniSetupDlg @ 112"));
    EXPECT_EQ(1u, trace_.Count("AutoRun  : 1 @ QRTLIRMoniSetupDlg @ 128"));
    std::string data;
    EXPECT_TRUE(ReadRunValue(data, HKEY_CURRENT_USER));
    EXPECT_NE(std::string::npos, data.find("QRTLIRMoni.EXE")) << data;

    // Polling resumes once the dialog is closed.
    const size_t after = trace_.Size();
    EXPECT_TRUE(PumpUntil([&] { return trace_.Count("DoTimer", after) > 0; }, 3000));
}

// ------------------------------------------------------------------ ending

TEST_F(MonitorE2e, Close_TrayCommand_EndsWithExitZeroAndClosesDriverOnce) {
    WriteProfile({});
    ASSERT_TRUE(InstallDriver());
    ASSERT_TRUE(StartMonitor());
    ASSERT_TRUE(WaitMonitorPolling());

    ASSERT_TRUE(::PostMessageA(MainWindow(), WM_COMMAND, kIdMenuClose, 0));
    ASSERT_TRUE(monitor_.WaitExit(kExitTimeoutMs));
    EXPECT_EQ(0u, monitor_.ExitCode());
    EXPECT_EQ(nullptr, FindProcessWindow(monitor_.Id(), kMonitorTitle));

    const std::string log = DriverLog();
    EXPECT_EQ(1u, CountOccurrences(log, "QRDiI2CInit() -> 1")) << log;
    EXPECT_EQ(1u, CountOccurrences(log, "QRDiI2CClose()")) << log;
    // The close is the library's last call.
    EXPECT_EQ(log.rfind("QRDiI2C"), log.rfind("QRDiI2CClose()"));
}

}  // namespace
