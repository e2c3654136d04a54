// QRTLProfile.exe end to end: learn with the simulated driver (codes from its queue
// folder, keys typed through a pipe), window against the stand-in client, and bad
// input for every command.
#include <gtest/gtest.h>
#include <windows.h>
#include <winioctl.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "E2eHarness.h"

using namespace e2e;

namespace {

constexpr DWORD kRunTimeoutMs = 30000;
constexpr DWORD kPromptTimeoutMs = 10000;
constexpr const char* kMonitorDialogClass = product::kMonitorClass;

std::string Tool() { return WinPath(QRTL_E2E_PROFILETOOL); }
std::string TraceViewer() { return WinPath(QRTL_E2E_TRACEVIEWER); }
std::string Quoted(const std::string& s) { return "\"" + s + "\""; }

std::string ReadValue(const std::string& path, const char* section, const char* key) {
    char buffer[256] = {};
    const DWORD n = ::GetPrivateProfileStringA(section, key, "<none>", buffer, sizeof buffer, path.c_str());
    return std::string(buffer, n);
}

class ProfileToolE2e : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.Create("profile"));
        profile_ = folder_ / kProfileName;
        sample_ = ReadTextFile(WinPath(QRTL_E2E_SAMPLE_PROFILE));
        ASSERT_FALSE(sample_.empty());
        ASSERT_TRUE(WriteTextFile(profile_, sample_));
        queue_ = folder_ / "irqueue";
        ASSERT_TRUE(MakeDir(queue_));
        ASSERT_TRUE(::SetEnvironmentVariableA("QRDSIM_QUEUE", queue_.c_str()));
        ASSERT_TRUE(::SetEnvironmentVariableA("QRDSIM_LOG", (folder_ / "sim.log").c_str()));
    }
    void TearDown() override {
        if (input_) ::CloseHandle(input_);
        ::SetFileAttributesA(profile_.c_str(), FILE_ATTRIBUTE_NORMAL);
        ::SetEnvironmentVariableA("QRDSIM_QUEUE", nullptr);
        ::SetEnvironmentVariableA("QRDSIM_LOG", nullptr);
    }

    // Starts the tool with its output in files and standard input from a pipe.
    void Start(const std::string& args, const std::string& program = Tool()) {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        HANDLE readEnd = nullptr;
        ASSERT_TRUE(::CreatePipe(&readEnd, &input_, &inherit, 0));
        ::SetHandleInformation(input_, HANDLE_FLAG_INHERIT, 0);
        const qrtl::win32::UniqueHandleObj in(readEnd);
        const qrtl::win32::UniqueFile out(::CreateFileA((folder_ / "out.txt").c_str(), GENERIC_WRITE,
                                                        FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                                        CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        const qrtl::win32::UniqueFile err(::CreateFileA((folder_ / "err.txt").c_str(), GENERIC_WRITE,
                                                        FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                                        CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(out && err);
        StdHandles io;
        io.in = in.get();
        io.out = out.get();
        io.err = err.get();
        ASSERT_TRUE(tool_.Start(Quoted(program) + " " + args, folder_.Path(), io));
    }
    DWORD Finish() {
        if (input_) {
            ::CloseHandle(input_);
            input_ = nullptr;
        }
        EXPECT_TRUE(tool_.WaitExit(kRunTimeoutMs));
        return tool_.ExitCode();
    }
    DWORD Run(const std::string& args, const std::string& program = Tool()) {
        Start(args, program);
        return Finish();
    }
    std::string Out() { return ReadTextFile(folder_ / "out.txt"); }
    std::string Err() { return ReadTextFile(folder_ / "err.txt"); }
    bool WaitOutput(const std::string& needle, size_t count = 1) {
        return PumpUntil([&] { return CountOccurrences(Out(), needle) >= count; }, kPromptTimeoutMs);
    }
    void Type(const std::string& line) {
        DWORD written = 0;
        const std::string text = line + "\r\n";
        ASSERT_TRUE(::WriteFile(input_, text.data(), static_cast<DWORD>(text.size()), &written, nullptr));
    }
    void Press(const std::string& name, int code) {
        ASSERT_TRUE(WriteTextFile(queue_ + "\\" + name, std::to_string(code)));
    }
    std::string Driver() const { return " --driver " + Quoted(WinPath(QRTL_E2E_SIMDRIVER)); }

    TempFolder folder_;
    std::string profile_, sample_, queue_;
    HANDLE input_ = nullptr;
    ChildProcess tool_;
};

TEST_F(ProfileToolE2e, Learn_KeysPressedSkippedAndTimedOut_CodesWrittenWithTwoDigitsAndBackup) {
    Start("learn QRTLIRMoni.INI --keys POWER,vol+,CH+,MUTE --timeout 3" + Driver());
    ASSERT_TRUE(WaitOutput("Press POWER (power on / off) ...")) << Out();
    Press("001", 7);
    ASSERT_TRUE(WaitOutput("Press VOL+ (volume up) ...")) << Out();
    Press("002", 7);  // POWER's code: refused, VOL+ asked again
    ASSERT_TRUE(WaitOutput("is already POWER (power on / off)")) << Out();
    Press("003", 120);
    ASSERT_TRUE(WaitOutput("Press CH+ (channel up) ...")) << Out();
    Type("");
    // MUTE gets nothing and times out.
    EXPECT_EQ(Finish(), 0u) << Out() << Err();

    EXPECT_EQ(ReadValue(profile_, "KeyMap_Controler", "POWER"), "07");
    EXPECT_EQ(ReadValue(profile_, "KeyMap_Controler", "VOL+"), "120");
    EXPECT_EQ(ReadValue(profile_, "KeyMap_Controler", "CH+"), "22");
    EXPECT_EQ(ReadValue(profile_, "KeyMap_Controler", "MUTE"), "24");
    EXPECT_EQ(ReadValue(profile_, "KeyMap_STANDINTV", "POWER"), "#8010");
    EXPECT_EQ(ReadTextFile(profile_ + ".bak"), sample_);
    EXPECT_NE(Out().find("MUTE skipped"), std::string::npos) << Out();
}

TEST_F(ProfileToolE2e, Learn_QuitOrMonitorRunning_NothingWritten) {
    Start("learn QRTLIRMoni.INI --keys POWER,ZOOM" + Driver());
    ASSERT_TRUE(WaitOutput("Press POWER (power on / off) ...")) << Out();
    Press("001", 99);
    ASSERT_TRUE(WaitOutput("Press ZOOM (zoom) ...")) << Out();
    Type("q");
    EXPECT_NE(Finish(), 0u);
    EXPECT_EQ(ReadTextFile(profile_), sample_);
    EXPECT_FALSE(FileExists(profile_ + ".bak"));

    // The monitor's main window: a dialog with its caption.
    const HWND monitor = ::CreateWindowExA(0, kMonitorDialogClass, kMonitorTitle, WS_POPUP, 0, 0, 10,
                                           10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(monitor, nullptr);
    EXPECT_EQ(Run("learn QRTLIRMoni.INI --keys POWER" + Driver()), 2u);
    ::DestroyWindow(monitor);
    EXPECT_NE(Err().find("monitor is running"), std::string::npos) << Err();
    EXPECT_EQ(ReadTextFile(profile_), sample_);
}

TEST_F(ProfileToolE2e, Learn_MonitorStartedBetweenTwoKeys_StopsNothingWritten) {
    Start("learn QRTLIRMoni.INI --keys POWER,ZOOM --timeout 20" + Driver());
    ASSERT_TRUE(WaitOutput("Press POWER (power on / off) ...")) << Out();
    // The monitor's main window: a dialog with its caption.
    const HWND monitor = ::CreateWindowExA(0, kMonitorDialogClass, kMonitorTitle, WS_POPUP, 0, 0, 10, 10, nullptr,
                                           nullptr, nullptr, nullptr);
    ASSERT_NE(monitor, nullptr);
    Press("001", 99);
    const DWORD exit = Finish();
    ::DestroyWindow(monitor);
    EXPECT_EQ(exit, 2u) << Out() << Err();
    EXPECT_NE(Err().find("the monitor was started"), std::string::npos) << Err();
    EXPECT_EQ(Out().find("Press ZOOM"), std::string::npos) << Out();
    EXPECT_EQ(ReadTextFile(profile_), sample_);
}

TEST_F(ProfileToolE2e, Learn_DriverSpinsInARead_StopsAfter5sEndsWithoutCrash) {
    ASSERT_TRUE(WriteTextFile(queue_ + "\\read-spin", ""));
    const DWORD start = ::GetTickCount();
    Start("learn QRTLIRMoni.INI --keys POWER" + Driver());
    const bool ended = tool_.WaitExit(20000);
    const DWORD took = ::GetTickCount() - start;
    ::DeleteFileA((queue_ + "\\read-spin").c_str());
    ASSERT_TRUE(ended) << Out() << Err();
    // Ended while its read is still inside the driver: no access violation.
    EXPECT_EQ(tool_.ExitCode(), 2u) << Out() << Err();
    EXPECT_NE(Err().find("the card driver has not answered for 5 s"), std::string::npos) << Err();
    EXPECT_GE(took, 4500u);
    EXPECT_EQ(ReadTextFile(profile_), sample_);
    std::printf("learn ended %lu ms after its start\n", static_cast<unsigned long>(took));
}

TEST_F(ProfileToolE2e, Learn_InputLeftOpen_EndsByItsTimeoutWithoutEnter) {
    Start("learn QRTLIRMoni.INI --keys POWER --timeout 2" + Driver());
    ASSERT_TRUE(WaitOutput("Press POWER (power on / off) ...")) << Out();
    // Nothing typed and the input never closed: the timeout ends the command.
    EXPECT_TRUE(tool_.WaitExit(8000)) << Out() << Err();
    EXPECT_EQ(tool_.ExitCode(), 1u) << Out() << Err();
    EXPECT_NE(Out().find("No code changed: nothing written."), std::string::npos) << Out();
}

TEST_F(ProfileToolE2e, BadInput_OneMessageNonzeroExitProfileUntouched) {
    struct BadCase {
        const char* name;
        const char* content;  // null: no profile at all; "\x01": 10 MB
        std::string args;
        DWORD exit;
        bool traceViewer = false;  // QRTLTrace rather than QRTLProfile
    };
    const std::string binary("[Main]\0\x01\x02\x03", 10);
    const std::vector<BadCase> cases = {
        {"missing", nullptr, "check QRTLIRMoni.INI", 3},
        {"empty", "", "check QRTLIRMoni.INI", 3},
        {"binary", "binary", "check QRTLIRMoni.INI", 3},
        {"10 MB", "\x01", "check QRTLIRMoni.INI", 3},
        {"no sections", "Timer=500\r\n", "learn QRTLIRMoni.INI --keys POWER" + Driver(), 3},
        {"empty, window", "", "window --class StandinTVClass --write 1 QRTLIRMoni.INI", 3},
        {"unloadable driver", "sample", "learn QRTLIRMoni.INI --keys POWER --driver Z:\\no\\such.dll", 2},
        {"failing init", "fail-init", "learn QRTLIRMoni.INI --keys POWER" + Driver(), 2},
        {"unknown title", "sample", "window --title \"No window has this title\"", 2},
        {"unknown title, commands", "sample", "commands --title \"No window has this title\"", 2},
        {"client without an item, commands", "[Client]\r\n0_Caption=X\r\n",
         "commands --class StandinTVClass --write 0 QRTLIRMoni.INI", 2},
        {"unknown key", "sample", "learn QRTLIRMoni.INI --keys POWER,VOLUME" + Driver(), 2},
        {"negative timeout", "sample", "learn --timeout -5" + Driver(), 2},
        {"timeout overflows", "sample", "learn --timeout 4294967296" + Driver(), 2},
        {"pick overflows", "sample", "window --pick 18446744073709551617", 2},
        {"negative client", "sample", "window --class StandinTVClass --write -1 QRTLIRMoni.INI", 2},
        {"trace, negative seconds", "sample", "--seconds -1", 2, true},
        {"trace, seconds overflow", "sample", "--seconds 4294968", 2, true},
    };
    for (const BadCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::string content = c.content == nullptr ? "" : c.content;
        if (content == "binary") content = binary;
        if (content == "\x01") content = "[Main]\r\n" + std::string(10 * 1024 * 1024, 'x');
        if (content == "sample" || content == "fail-init") content = sample_;
        ::DeleteFileA(profile_.c_str());
        ::DeleteFileA((queue_ + "\\fail-init").c_str());
        if (c.content != nullptr) {
            ASSERT_TRUE(WriteTextFile(profile_, content));
        }
        if (std::string(c.content ? c.content : "") == "fail-init") {
            ASSERT_TRUE(WriteTextFile(queue_ + "\\fail-init", ""));
        }

        EXPECT_EQ(Run(c.args, c.traceViewer ? TraceViewer() : Tool()), c.exit) << Out() << Err();
        if (c.traceViewer)
            EXPECT_EQ(Err().rfind("usage: QRTLTrace", 0), 0u) << Err();
        else
            EXPECT_EQ(CountOccurrences(Err(), "\n"), 1u) << Err();
        if (c.content != nullptr) {
            EXPECT_TRUE(ReadTextFile(profile_) == content);
        }
        EXPECT_FALSE(FileExists(profile_ + ".bak"));
    }
}

// A gigabyte (sparse where the disk allows) is never read whole: one message with
// the limit, and the exit status of an unreadable profile.
TEST_F(ProfileToolE2e, CheckOfAGigabyteFile_OneMessageWithTheLimitExitThree) {
    {
        const qrtl::win32::UniqueFile file(::CreateFileA(profile_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                                         FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(file);
        DWORD written = 0;
        ASSERT_TRUE(::WriteFile(file.get(), "[Main]\r\n", 8, &written, nullptr));
        DWORD ignored = 0;
        ::DeviceIoControl(file.get(), FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &ignored, nullptr);
        LARGE_INTEGER size;
        size.QuadPart = 1024LL * 1024 * 1024;
        ASSERT_TRUE(::SetFilePointerEx(file.get(), size, nullptr, FILE_BEGIN));
        if (!::SetEndOfFile(file.get())) GTEST_SKIP() << "no room for a file of 1 GB here";
    }
    const DWORD start = ::GetTickCount();
    EXPECT_EQ(Run("check QRTLIRMoni.INI"), 3u) << Out() << Err();
    const DWORD elapsed = ::GetTickCount() - start;
    ::DeleteFileA(profile_.c_str());
    EXPECT_EQ(Err(), "QRTLProfile: QRTLIRMoni.INI is too large for a profile (more than 1048576 bytes)\r\n");
    std::printf("check of a 1 GB file answered in %lu ms\n", static_cast<unsigned long>(elapsed));
}

TEST_F(ProfileToolE2e, Learn_CodeOfAKeyOutsideThisRun_RefusedNamingItThenTakenOver) {
    // The sample gives VOL+ the code 20; this run learns CH+ only.
    Start("learn QRTLIRMoni.INI --keys CH+ --timeout 20" + Driver());
    ASSERT_TRUE(WaitOutput("Press CH+ (channel up) ...")) << Out();
    Press("001", 20);
    ASSERT_TRUE(WaitOutput("code 20 is already VOL+ (volume up)")) << Out();
    Type("r");
    EXPECT_EQ(Finish(), 0u) << Out() << Err();
    EXPECT_EQ(ReadValue(profile_, "KeyMap_Controler", "CH+"), "20");
    EXPECT_EQ(ReadValue(profile_, "KeyMap_Controler", "VOL+"), "");
    EXPECT_NE(Out().find("VOL+ has no code now"), std::string::npos) << Out();
    EXPECT_NE(Out().find("1 codes written into [KeyMap_Controler] of QRTLIRMoni.INI, the code of VOL+ removed"),
              std::string::npos)
        << Out();
}

TEST_F(ProfileToolE2e, NoProfileNamed_TheOneBesideTheProgramNotTheCurrentFolders) {
    // The current folder holds a profile; the tool's folder is where it looks.
    EXPECT_EQ(Run("check"), 3u) << Out();
    const std::string tool = Tool();
    const std::string beside = tool.substr(0, tool.find_last_of('\\')) + "\\QRTLIRMoni.INI";
    EXPECT_NE(Err().find("profile " + beside + " (beside the program)"), std::string::npos) << Err();
    EXPECT_EQ(Out().find(profile_), std::string::npos) << Out();
}

TEST_F(ProfileToolE2e, CommandsForAWindowWithoutMenuOrControls_ExitOneWithAReason) {
    const HWND bare = ::CreateWindowExA(0, "STATIC", "Bare E2E window", WS_POPUP, 0, 0, 10, 10, nullptr,
                                        nullptr, nullptr, nullptr);
    ASSERT_NE(bare, nullptr);
    const DWORD exit = Run("commands --title \"Bare E2E window\"");
    ::DestroyWindow(bare);
    EXPECT_EQ(exit, 1u) << Out() << Err();
    EXPECT_NE(Err().find("no menu, no accelerators and no controls"), std::string::npos) << Err();
}

TEST_F(ProfileToolE2e, ReadOnlyProfile_WriteRefusedAndProfileKept) {
    ASSERT_TRUE(::SetFileAttributesA(profile_.c_str(), FILE_ATTRIBUTE_READONLY));
    Start("learn QRTLIRMoni.INI --keys POWER --timeout 5" + Driver());
    ASSERT_TRUE(WaitOutput("Press POWER (power on / off) ...")) << Out();
    Press("001", 55);
    EXPECT_EQ(Finish(), 2u) << Out() << Err();
    EXPECT_NE(Err().find("read-only"), std::string::npos) << Err();
    EXPECT_EQ(ReadTextFile(profile_), sample_);
}

class WindowE2e : public ProfileToolE2e {
protected:
    void SetUp() override {
        ProfileToolE2e::SetUp();
        // Ids of its own, so the printed ids come from the window and not from a default.
        ASSERT_TRUE(standin_.Start(Quoted(WinPath(QRTL_E2E_STANDIN)) +
                                       " --caption \"Standin E2E\" --ids 2001 2002 2003 --seconds 60"
                                       " --channel-title",
                                   folder_.Path()));
        ASSERT_TRUE(PumpUntil([&] { return (window_ = ::FindWindowA(kStandinClass, "Standin E2E")) != nullptr; },
                              kPromptTimeoutMs));
    }
    void TearDown() override {
        standin_.Terminate();
        ProfileToolE2e::TearDown();
    }
    ChildProcess standin_;
    HWND window_ = nullptr;
};

TEST_F(WindowE2e, EveryWayToFindIt_LinesProvedByTheMonitorsSearchAndWritten) {
    ::ShowWindow(window_, SW_SHOWNORMAL);
    ::SetWindowPos(window_, HWND_TOPMOST, 100, 100, 320, 200, SWP_SHOWWINDOW);
    RECT rect{};
    ASSERT_TRUE(::GetWindowRect(window_, &rect));
    const std::vector<std::string> ways = {"--title \"Standin E2E\"", "--class StandinTVClass",
                                           "--pick 0"};
    for (const std::string& way : ways) {
        SCOPED_TRACE(way);
        ::SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
        ASSERT_TRUE(WriteTextFile(profile_, sample_));
        EXPECT_EQ(Run("window " + way + " --write 3 QRTLIRMoni.INI"), 0u) << Out() << Err();
        const std::string out = Out();
        // The only window of its class: found by class and program, whatever its title.
        for (const char* line : {"3_Item=STANDINTV\r\n", "3_Caption=\r\n", "3_ClassName=StandinTVClass\r\n"})
            EXPECT_NE(out.find(line), std::string::npos) << line << out;
        EXPECT_NE(out.find("the monitor's search with these lines finds this window"), std::string::npos) << out;
        std::set<std::string> ids;
        for (const char* key : {"3_Child0", "3_Child1", "3_Child2"}) ids.insert(ReadValue(profile_, "Client", key));
        EXPECT_EQ(ids, (std::set<std::string>{"2001", "2002", "2003"}));
        EXPECT_EQ(ReadValue(profile_, "Client", "3_Caption"), "");
        EXPECT_EQ(ReadValue(profile_, "Client", "1_Item"), "STANDINTV");
    }
}

// The profile lines of a window run's output (without its comment lines).
std::string ClientLinesOf(const std::string& out) {
    std::string lines;
    std::size_t at = 0;
    while (at < out.size()) {
        std::size_t end = out.find('\n', at);
        if (end == std::string::npos) end = out.size();
        const std::string line = out.substr(at, end - at);
        if (!line.empty() && line[0] != ';') lines += line + "\n";
        at = end + 1;
    }
    return lines;
}

TEST_F(WindowE2e, TitleChangesWithTheChannel_TakenWithoutItStillTheSameLines) {
    ASSERT_TRUE(WriteTextFile(profile_, sample_));
    EXPECT_EQ(Run("window --class StandinTVClass --write 0 QRTLIRMoni.INI"), 0u) << Out() << Err();
    const std::string before = ClientLinesOf(Out());
    EXPECT_NE(before.find("0_Caption=\r\n"), std::string::npos) << before;
    EXPECT_EQ(Out().find("if the title changes"), std::string::npos) << Out();
    EXPECT_EQ(ReadValue(profile_, "Client", "0_Caption"), "");

    ASSERT_TRUE(::PostMessageA(window_, WM_COMMAND, 0x8001, 0));
    ASSERT_TRUE(PumpUntil([&] { return ::FindWindowA(kStandinClass, "Standin E2E - Channel 2") == window_; },
                          kPromptTimeoutMs));
    // Taken again under its new title: the very lines written, and they still find it.
    EXPECT_EQ(Run("window --title \"Standin E2E - Channel 2\""), 0u) << Out() << Err();
    EXPECT_EQ(ClientLinesOf(Out()), before);
    EXPECT_NE(Out().find("the monitor's search with these lines finds this window"), std::string::npos) << Out();
}

TEST_F(WindowE2e, AnotherWindowOfItsClassFirst_TitleKeptAndItsChangeSaidToLoseIt) {
    ChildProcess other;
    ASSERT_TRUE(other.Start(Quoted(WinPath(QRTL_E2E_STANDIN)) + " --caption \"Standin Other\" --ids 2001 2002 2003"
                                                                 " --seconds 60",
                            folder_.Path()));
    HWND otherWindow = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (otherWindow = ::FindWindowA(kStandinClass, "Standin Other")) != nullptr; },
                          kPromptTimeoutMs));
    // The one the class alone finds is the first in the desktop's order; the other
    // is told apart only by its title (the same child ids in both).
    const HWND first = ::FindWindowA(kStandinClass, nullptr);
    ASSERT_TRUE(first == window_ || first == otherWindow);
    const std::string title = first == window_ ? "Standin Other" : "Standin E2E";
    ASSERT_TRUE(WriteTextFile(profile_, sample_));
    EXPECT_EQ(Run("window --title \"" + title + "\" --write 0 QRTLIRMoni.INI"), 0u) << Out() << Err();
    other.Terminate();
    EXPECT_EQ(ReadValue(profile_, "Client", "0_Caption"), title);
    EXPECT_NE(Out().find("told from others of its kind only by its title, \"" + title +
                         "\": if the title changes, the remote no longer finds it."),
              std::string::npos)
        << Out();
}

// window --write takes the window as the set-up window does: another application
// in the client is replaced with its key map, and the owner's name for the same
// application stays.
TEST_F(WindowE2e, WindowWrite_ReplacedKeyMapGoesOwnersNameForTheSameApplicationStays) {
    const struct {
        const char* name;
        std::string profile;
        const char* exeDesc;
        const char* said;
        bool otherKeyMapStays;
    } cases[] = {
        {"another application replaced",
         "[Client]\r\nDefault=0\r\n0_Item=OTHERTV\r\n0_ExeDesc=Other TV\r\n[KeyMap_OTHERTV]\r\nMUTE=#2\r\n",
         "Stand-in TV client for tests", "; The 1 action of Other TV is removed with it.", false},
        {"the same application again",
         "[Client]\r\nDefault=0\r\n0_Item=STANDINTV\r\n0_ExeDesc=Living room TV\r\n[KeyMap_OTHERTV]\r\nMUTE=#2\r\n",
         "Living room TV", "; The name you gave it, Living room TV, is kept.", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(WriteTextFile(profile_, c.profile));
        EXPECT_EQ(Run("window --class StandinTVClass --write 0 QRTLIRMoni.INI"), 0u) << Out() << Err();
        EXPECT_EQ(ReadValue(profile_, "Client", "0_Item"), "STANDINTV");
        EXPECT_EQ(ReadValue(profile_, "Client", "0_ExeDesc"), c.exeDesc);
        EXPECT_NE(Out().find(c.said), std::string::npos) << Out();
        EXPECT_EQ(ReadTextFile(profile_).find("[KeyMap_OTHERTV]") != std::string::npos, c.otherKeyMapStays)
            << ReadTextFile(profile_);
    }
}

TEST_F(WindowE2e, CheckOnWindows_ClientInstallationFromTheRegistry) {
    // The sample's client: its folder from HKLM, its executable in that folder.
    const std::string standin = WinPath(QRTL_E2E_STANDIN);
    const std::string folder = standin.substr(0, standin.find_last_of('\\'));
    struct RegCase {
        const char* name;
        bool asShipped;      // the sample as shipped, else with its launch keys on
        const char* folder;  // null: no registry key
        DWORD exit;
        const char* finding;
        const char* exeName = "StandinTV.exe";  // 1_ExeName
    };
    // The sample ships its launch keys commented out: switch them on.
    std::string launching = sample_;
    for (const char* key : {";1_RegPath=", ";1_RegFolder=", ";1_ExeName="})
        launching.erase(launching.find(key), 1);
    // A folder that holds a folder named like the program, and no program.
    const std::string folderOnly = folder_ / "FolderTV";
    ASSERT_TRUE(MakeDir(folderOnly));
    ASSERT_TRUE(MakeDir(folderOnly + "\\StandinTV.exe"));
    const std::vector<RegCase> cases = {
        {"as shipped, on a machine without the client", true, nullptr, 0, "POWER starts no client"},
        {"installed", false, folder.c_str(), 0, nullptr},
        {"no key", false, nullptr, 1, "[launch]"},
        {"folder without the executable", false, "C:\\", 1, "does not exist"},
        // The start adds ".exe" to a name without an extension: the program is found.
        {"name without its extension", false, folder.c_str(), 0, "has no extension", "StandinTV"},
        {"a folder at the program's path", false, folderOnly.c_str(), 1, "does not exist"},
    };
    for (const RegCase& c : cases) {
        SCOPED_TRACE(c.name);
        MachineKeyGuard key("Software\\Standin\\StandinTV");
        if (c.folder != nullptr) {
            ASSERT_TRUE(key.SetString("InstallDir", c.folder));
        }
        std::string text = c.asShipped ? sample_ : launching;
        const std::string exeLine = "1_ExeName=StandinTV.exe";
        if (!c.asShipped) text.replace(text.find(exeLine), exeLine.size(), std::string("1_ExeName=") + c.exeName);
        ASSERT_TRUE(WriteTextFile(profile_, text));
        EXPECT_EQ(Run("check QRTLIRMoni.INI"), c.exit) << Out();
        if (c.finding != nullptr) {
            EXPECT_NE(Out().find(c.finding), std::string::npos) << Out();
        }
    }
}

// Gives the Users group every right on the key, as a careless installer might.
bool GrantUsersEverything(const char* path) {
    HKEY opened = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, WRITE_DAC, &opened) != ERROR_SUCCESS) return false;
    const qrtl::win32::UniqueHKey key(opened);
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    PSID users = nullptr;
    if (!::AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_USERS, 0, 0, 0, 0, 0, 0,
                                    &users))
        return false;
    std::vector<BYTE> acl(sizeof(ACL) + sizeof(ACCESS_ALLOWED_ACE) + ::GetLengthSid(users));
    auto* list = reinterpret_cast<PACL>(acl.data());
    SECURITY_DESCRIPTOR descriptor;
    const bool made = ::InitializeAcl(list, static_cast<DWORD>(acl.size()), ACL_REVISION) &&
                      ::AddAccessAllowedAce(list, ACL_REVISION, KEY_ALL_ACCESS, users) &&
                      ::InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION) &&
                      ::SetSecurityDescriptorDacl(&descriptor, TRUE, list, FALSE);
    ::FreeSid(users);
    return made && ::RegSetKeySecurity(key.get(), DACL_SECURITY_INFORMATION, &descriptor) == ERROR_SUCCESS;
}

TEST_F(WindowE2e, CheckOnWindows_LaunchKeyThatUsersCanChangeIsNoted) {
    const std::string standin = WinPath(QRTL_E2E_STANDIN);
    const std::string folder = standin.substr(0, standin.find_last_of('\\'));
    std::string launching = sample_;
    for (const char* key : {";1_RegPath=", ";1_RegFolder=", ";1_ExeName="}) launching.erase(launching.find(key), 1);
    for (const bool open : {false, true}) {
        SCOPED_TRACE(open ? "Users may write" : "as made");
        MachineKeyGuard key("Software\\Standin\\StandinTV");
        ASSERT_TRUE(key.SetString("InstallDir", folder));
        if (open) {
            ASSERT_TRUE(GrantUsersEverything("Software\\Standin\\StandinTV"));
        }
        ASSERT_TRUE(WriteTextFile(profile_, launching));
        EXPECT_EQ(Run("check QRTLIRMoni.INI"), 0u) << Out();
        EXPECT_EQ(Out().find("any user can change HKEY_LOCAL_MACHINE\\Software\\Standin\\StandinTV") !=
                      std::string::npos,
                  open)
            << Out();
    }
}

TEST_F(WindowE2e, Commands_MenusControlsKeysListedAndSuggestionsWrittenWhereEmpty) {
    EXPECT_EQ(Run("commands --class StandinTVClass"), 0u) << Out() << Err();
    std::string out = Out();
    // Under Wine the menu comes from the executable's resources, on Windows from the window.
    for (const char* line : {"; menu #8001 Audio > Volume up  [Num +]  (",
                             "; menu #8015 View > Picture > Freeze picture  [Space]  (",
                             "; control #044D Mute  (Button)\r\n",
                             "; key *26 Up arrow -> #8005 Channel > Next channel  (accelerator)\r\n",
                             "; key Ctrl+O -> #8020 File > Open recording...  (accelerator; not postable",
                             "; suggested for [KeyMap_STANDINTV]:\r\n",
                             "VOL+=#8001  ; Audio > Volume up\r\n",
                             ";   other choices for VOL+: #044E Vol + (control)\r\n",
                             "BTN1=#0457  ; 1 (control)\r\n",
                             "; no command found for: RESET+, RESET-, BTN0, BTN4"})
        EXPECT_NE(out.find(line), std::string::npos) << line << "\n" << out;

    // Client 1 of the sample is the stand-in: only keys without a command get one.
    EXPECT_EQ(Run("commands --class StandinTVClass --write 1 QRTLIRMoni.INI"), 0u) << Out() << Err();
    EXPECT_EQ(ReadValue(profile_, "KeyMap_STANDINTV", "FREZE+"), "#8015");
    EXPECT_EQ(ReadValue(profile_, "KeyMap_STANDINTV", "FREZE-"), "#8016");
    EXPECT_EQ(ReadValue(profile_, "KeyMap_STANDINTV", "CH+"), "*26");
    EXPECT_EQ(ReadValue(profile_, "KeyMap_STANDINTV", "BTN1"), "*31");
    out = Out();
    EXPECT_NE(out.find("; written into [KeyMap_STANDINTV] of QRTLIRMoni.INI: FREZE+, FREZE-"), std::string::npos)
        << out;
    EXPECT_NE(out.find("; left as they were (a command is never replaced): POWER=#8010"), std::string::npos)
        << out;
    EXPECT_EQ(ReadTextFile(profile_ + ".bak"), sample_);

    // A client whose key map does not exist yet: the section is made.
    ASSERT_TRUE(WriteTextFile(profile_, "[Client]\r\n2_Item=OTHERTV\r\n"));
    EXPECT_EQ(Run("commands --class StandinTVClass --write 2 QRTLIRMoni.INI"), 0u) << Out() << Err();
    EXPECT_EQ(ReadValue(profile_, "KeyMap_OTHERTV", "VOL+"), "#8001");
    EXPECT_EQ(ReadValue(profile_, "KeyMap_OTHERTV", "POWER"), "#8010");
}

TEST_F(WindowE2e, WindowWrite_CompletesTheClientAndCheckFindsItClean) {
    const std::string standin = WinPath(QRTL_E2E_STANDIN);
    const std::string folder = standin.substr(0, standin.find_last_of('\\'));
    struct LaunchCase {
        const char* name;
        bool installed;  // the stand-in's folder in HKLM
    };
    for (const LaunchCase c : {LaunchCase{"installed", true}, LaunchCase{"not in the registry", false}}) {
        SCOPED_TRACE(c.name);
        MachineKeyGuard key("Software\\Standin\\StandinTV");
        if (c.installed) {
            ASSERT_TRUE(key.SetString("InstallDir", folder + "\\"));
        }
        ASSERT_TRUE(WriteTextFile(profile_, sample_));
        EXPECT_EQ(Run("window --class StandinTVClass --write 0 QRTLIRMoni.INI"), 0u) << Out() << Err();
        const std::string out = Out();
        EXPECT_EQ(ReadValue(profile_, "Client", "Default"), "0");
        EXPECT_EQ(ReadValue(profile_, "Client", "0_Item"), "STANDINTV");
        EXPECT_EQ(ReadValue(profile_, "Client", "0_Control"), "1");
        EXPECT_EQ(ReadValue(profile_, "Client", "0_ExeDesc"), "Stand-in TV client for tests");
        // "POWER starts it" only where POWER can: with its folder found.
        EXPECT_NE(out.find(c.installed ? "; The remote now works with Stand-in TV client for tests; POWER starts it."
                                       : "; The remote now works with Stand-in TV client for tests."),
                  std::string::npos)
            << out;
        EXPECT_EQ(out.find("POWER starts it") != std::string::npos, c.installed) << out;
        EXPECT_NE(out.find("; The monitor now passes the remote's keys to Stand-in TV client for tests while it runs."),
                  std::string::npos)
            << out;
        if (c.installed) {
            EXPECT_EQ(ReadValue(profile_, "Client", "0_RegPath"), "Software\\Standin\\StandinTV");
            EXPECT_EQ(ReadValue(profile_, "Client", "0_RegFolder"), "InstallDir");
            EXPECT_EQ(ReadValue(profile_, "Client", "0_ExeName"), "StandinTV.exe");
            // The client is complete: the check has nothing to say but notes.
            EXPECT_EQ(Run("check QRTLIRMoni.INI"), 0u) << Out();
        } else {
            // Written empty: no older application's launch lines can stay beside this one.
            for (const char* key : {"0_RegPath", "0_RegFolder", "0_ExeName"})
                EXPECT_EQ(ReadValue(profile_, "Client", key), "") << key;
            EXPECT_NE(out.find("; POWER cannot start Stand-in TV client for tests:"), std::string::npos) << out;
        }
    }
}

// A value of the vendor's key whose data is the application's folder and whose name
// holds line breaks: its name would be written as 0_RegFolder, and every line after a
// break would be a line of the profile of its own.
TEST_F(WindowE2e, RegistryValueNameWithLineBreaks_WindowWriteAddsNoLineAndSaysWhy) {
    const std::string standin = WinPath(QRTL_E2E_STANDIN);
    const std::string folder = standin.substr(0, standin.find_last_of('\\'));
    MachineKeyGuard key("Software\\Standin\\StandinTV");
    ASSERT_TRUE(key.SetString("Dir\r\n[KeyMap_NOTEPAD]\r\nMUTE=#DEAD\r\n[Injected]\r\nX", folder));
    ASSERT_TRUE(WriteTextFile(profile_, sample_));
    Run("window --class StandinTVClass --write 0 QRTLIRMoni.INI");
    const std::string text = ReadTextFile(profile_);
    EXPECT_EQ(text.find("[Injected]"), std::string::npos) << text;
    EXPECT_EQ(text.find("MUTE=#DEAD"), std::string::npos) << text;
    // Written empty: no earlier application's launch line stays beside this one.
    EXPECT_EQ(ReadValue(profile_, "Client", "0_RegFolder"), "");
    EXPECT_EQ(ReadValue(profile_, "Client", "0_Item"), "STANDINTV");
    EXPECT_NE(Out().find("the registry value's name cannot be kept in the profile"), std::string::npos) << Out();
}

// Texts of the application's controls end up in lines that can be pasted into a
// profile: a line break in them must not make a line of its own.
TEST_F(ProfileToolE2e, ControlTextWithLineBreaks_CommandsPrintsItEscaped) {
    ChildProcess hostile;
    ASSERT_TRUE(hostile.Start(Quoted(WinPath(QRTL_E2E_STANDIN)) +
                                  " --caption \"Standin Forged\" --mute-text \"Mute\\nVOL+=#DEAD\\n[Injected]\"",
                              folder_.Path()));
    ASSERT_NE(hostile.WaitForWindow(kStandinClass, "Standin Forged"), nullptr);
    EXPECT_EQ(Run("commands --title \"Standin Forged\""), 0u) << Out() << Err();
    hostile.Terminate();
    const std::string out = Out();
    EXPECT_EQ(out.find("\nVOL+=#DEAD"), std::string::npos) << out;
    EXPECT_EQ(out.find("\n[Injected]"), std::string::npos) << out;
    EXPECT_NE(out.find("Mute\\r\\nVOL+=#DEAD\\r\\n[Injected]"), std::string::npos) << out;
}

// Two windows of the system's dialog class in one program: the class with the
// program finds the one on top, so the other is told apart only by its title.
TEST_F(ProfileToolE2e, CommonDialogClass_TitleKeptAndItsChangeSaidToLoseIt) {
    const auto dialog = [](const char* title) {
        return ::CreateWindowExA(0, "#32770", title, WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    };
    const HWND player = dialog("Player E2E");
    const HWND options = dialog("Options E2E");
    ASSERT_NE(player, nullptr);
    ASSERT_NE(options, nullptr);
    ::SetWindowPos(options, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ::SetWindowPos(player, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    const bool optionsFirst = ::FindWindowA("#32770", nullptr) == options;
    Run("window --title \"Player E2E\"");
    ::DestroyWindow(options);
    ::DestroyWindow(player);
    ASSERT_TRUE(optionsFirst) << "another dialog comes first in this desktop's order";
    const std::string out = Out();
    EXPECT_NE(out.find("0_Caption=Player E2E\r\n"), std::string::npos) << out;
    EXPECT_NE(out.find("0_ClassName=#32770\r\n"), std::string::npos) << out;
    EXPECT_NE(out.find("the monitor's search with these lines finds this window"), std::string::npos) << out;
    EXPECT_NE(out.find("only by its title, \"Player E2E\": if the title changes, the remote no longer finds it."),
              std::string::npos)
        << out;
}

// A caption with terminal control characters: window prints its lines escaped, as
// commands does, so that nothing of the caption reaches the terminal raw.
TEST_F(ProfileToolE2e, CaptionWithControlCharacters_WindowPrintsItEscaped) {
    const std::string caption = "Standin\x1b[2J\x07" "Bell";
    ChildProcess hostile;
    ASSERT_TRUE(hostile.Start(Quoted(WinPath(QRTL_E2E_STANDIN)) + " --caption \"" + caption + "\"", folder_.Path()));
    ASSERT_NE(hostile.WaitForWindow(kStandinClass, caption.c_str()), nullptr);
    const DWORD exit = Run("window --class StandinTVClass");
    hostile.Terminate();
    EXPECT_LE(exit, 1u) << Out() << Err();
    EXPECT_EQ(Out().find('\x1b'), std::string::npos) << Out();
    EXPECT_EQ(Out().find('\x07'), std::string::npos) << Out();
    // The only window of its class: no title is written, and the picked window's
    // line shows it escaped.
    EXPECT_NE(Out().find("\"Standin\\x1b[2J\\x07Bell\" (class StandinTVClass)"), std::string::npos) << Out();
}

// Each control answers its text in 0.9 s: read one by one with a limit of its own,
// six buttons take 5.4 s; one deadline for the whole read ends it after about 2 s.
// A copy of the stand-in whose menu resource claims 8 MB from the last bytes of its
// file on (where a menu of one item lies, which the copy itself loads): commands
// reads no byte past the file, and says why the resource is left out.
TEST_F(ProfileToolE2e, ProgramFileWithAMenuResourcePastItsEnd_CommandsSaysSoWithoutCrash) {
    const std::string copy = folder_ / "StandinDamaged.exe";
    const std::string oneItem("\0\0\0\0\x80\0\x01\x90X\0\0\0", 12);
    ASSERT_TRUE(CopyWithDamagedMenu(WinPath(QRTL_E2E_STANDIN), copy, oneItem, 8u * 1024 * 1024));
    ChildProcess damaged;
    ASSERT_TRUE(damaged.Start(Quoted(copy) + " --caption \"Standin Damaged\"", folder_.Path()));
    ASSERT_NE(damaged.WaitForWindow(kStandinClass, "Standin Damaged"), nullptr);
    const DWORD exit = Run("commands --title \"Standin Damaged\"");
    damaged.Terminate();
    EXPECT_EQ(exit, 0u) << Out() << Err();
    EXPECT_EQ(CountOccurrences(Out(), " claims a size that reaches past the file: it is left out"), 1u) << Out();
    EXPECT_EQ(Out().find("(resources)"), std::string::npos) << Out();
}

TEST_F(ProfileToolE2e, SlowApplication_CommandsReadsControlsWithinOneDeadlineAndSaysHowMany) {
    ChildProcess slow;
    ASSERT_TRUE(slow.Start(Quoted(WinPath(QRTL_E2E_STANDIN)) + " --caption \"Standin Slow\" --slow-text 900",
                           folder_.Path()));
    ASSERT_NE(slow.WaitForWindow(kStandinClass, "Standin Slow"), nullptr);
    const DWORD start = ::GetTickCount();
    EXPECT_EQ(Run("commands --title \"Standin Slow\""), 0u) << Out() << Err();
    const DWORD elapsed = ::GetTickCount() - start;
    slow.Terminate();
    EXPECT_LT(elapsed, 4000u);
    EXPECT_NE(Out().find("the application answers slowly: "), std::string::npos) << Out();
    EXPECT_NE(Out().find(" controls not read"), std::string::npos) << Out();
    std::printf("commands on a slow application answered in %lu ms\n", static_cast<unsigned long>(elapsed));
}

TEST_F(ProfileToolE2e, HungApplication_CommandsGivesUpItsControlsWindowAsksNothing) {
    ChildProcess stalled;
    ASSERT_TRUE(stalled.Start(Quoted(WinPath(QRTL_E2E_STANDIN)) + " --caption \"Standin Stalled\" --stall 20000",
                              folder_.Path()));
    ASSERT_NE(stalled.WaitForWindow(kStandinClass, "Standin Stalled"), nullptr);
    const DWORD start = ::GetTickCount();
    const DWORD exit = Run("commands --title \"Standin Stalled\"");
    const DWORD elapsed = ::GetTickCount() - start;
    EXPECT_EQ(exit, 0u) << Out() << Err();
    EXPECT_NE(Out().find("the application answers slowly: "), std::string::npos) << Out();
    EXPECT_NE(Out().find("VOL+=#8001"), std::string::npos) << Out();
    // window asks the hung application nothing at all.
    EXPECT_EQ(Run("window --title \"Standin Stalled\""), 0u) << Out() << Err();
    stalled.Terminate();
    // A figure, not a limit: how long the owner waited for a hung application.
    RecordProperty("commands_on_hung_window_ms", static_cast<int>(elapsed));
    std::printf("commands on a hung application answered in %lu ms\n", static_cast<unsigned long>(elapsed));
}

}  // namespace
