// QRTLRemote.exe, the remote set-up window, end to end under Wine: driven through
// its controls from this process, with the simulated card driver, the stand-in TV
// client and the real monitor beside it in one folder.
#include <gtest/gtest.h>

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "E2eHarness.h"
#include "tools/remote/resource.h"

using namespace e2e;

namespace {

constexpr const char* kRemoteExeName = product::kRemoteExe;
constexpr DWORD kStepTimeoutMs = 10000;
constexpr int kKeyVolUp = 5;  // rows of the key list, in the monitor's order
constexpr int kKeyVolDown = 6;
constexpr int kKeyMute = 9;
constexpr int kKeyBtn100 = 26;
constexpr int kMessageBoxTextId = 0xFFFF;
constexpr char kOtherExe[] = "OtherTV.exe";
constexpr char kOtherCaption[] = "Other TV";
// The stand-in's file description, which the taken application is named by.
constexpr char kStandinDesc[] = "Stand-in TV client for tests";

// The lines of section [name] of a profile's text, up to the next section.
std::string SectionOf(const std::string& text, const std::string& name) {
    const std::size_t start = text.find("[" + name + "]");
    if (start == std::string::npos) return {};
    const std::size_t end = text.find("\r\n[", start);
    return text.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

// A starter-like profile: no client yet, the 27 names without codes.
std::string StarterProfile(const std::string& extraCodes = {}) {
    std::string text =
        "; the owner's own note stays\r\n[Main]\r\nShowMainWindow=0\r\nTimer=200\r\nAutoRun=0\r\nShutDown=0\r\n"
        "[Client]\r\nDefault=0\r\n[KeyMap_Controler]\r\n" +
        extraCodes;
    for (const char* name : {"POWER", "ZOOM", "SCAN", "TVFMSW", "SWITCH", "VOL+", "VOL-", "CH+", "CH-", "MUTE"})
        if (extraCodes.find(std::string(name) + "=") == std::string::npos) text += std::string(name) + "=\r\n";
    return text;
}

// Texts of another process's windows, asked with a time limit.
std::string TextOf(HWND wnd) {
    wchar_t text[1024] = {};
    DWORD_PTR ignored = 0;
    if (!::SendMessageTimeoutW(wnd, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                               kSendTimeoutMs, &ignored))
        return {};
    char utf8[2048] = {};
    ::WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, nullptr, nullptr);
    return utf8;
}

class RemoteE2e : public ::testing::Test {
protected:
    void SetUp() override {
        if (!FileExists(WinPath(QRTL_E2E_REMOTE))) GTEST_SKIP() << "QRTLRemote.exe is not built";
        ASSERT_TRUE(folder_.Create("rmt"));
        ASSERT_TRUE(MakeDir(folder_ / "irqueue"));
        ASSERT_TRUE(CopyInto(QRTL_E2E_REMOTE, kRemoteExeName));
        ASSERT_TRUE(CopyInto(QRTL_E2E_MONITOR, kMonitorExeName));
    }

    void TearDown() override {
        if (remote_.Running()) remote_.Terminate();
        for (int i = 0; i < 3; ++i) {
            const HWND monitor = FindProcessWindow(0, kMonitorTitle, product::kMonitorClass);
            if (!monitor) break;
            ::PostMessageA(monitor, WM_COMMAND, kIdMenuClose, 0);
            const DWORD pid = WindowProcessId(monitor);
            if (!PumpUntil([&] { return !::IsWindow(monitor); }, 5000)) EndProcessById(pid);
        }
        for (ChildProcess* app : {&standin_, &other_}) {
            if (!app->Running()) continue;
            for (HWND w : ProcessWindows(app->Id())) ::PostMessageA(w, WM_CLOSE, 0, 0);
            if (!app->WaitExit(3000)) app->Terminate();
        }
        ::DeleteFileA((folder_ / "irqueue\\read-hang").c_str());
        ::DeleteFileA((folder_ / "irqueue\\read-spin").c_str());
        if (tool_.Running()) tool_.Terminate();
        ::SetFileAttributesA(ProfilePath().c_str(), FILE_ATTRIBUTE_NORMAL);
    }

    bool CopyInto(const char* unixSource, const char* name) {
        return ::CopyFileA(WinPath(unixSource).c_str(), (folder_ / name).c_str(), FALSE) != 0;
    }
    bool InstallDriver() { return CopyInto(QRTL_E2E_SIMDRIVER, kDriverName); }
    std::string ProfilePath() const { return folder_ / kProfileName; }

    bool StartStandin() {
        const std::string cmd = "\"" + WinPath(QRTL_E2E_STANDIN) + "\" --log \"" + (folder_ / "standin.log") + "\"";
        if (!standin_.Start(cmd, folder_.Path())) return false;
        return PumpUntil([&] { return FindProcessWindow(standin_.Id(), kStandinCaption, kStandinClass); },
                         kStartTimeoutMs);
    }
    // A second TV application: the stand-in under another program name, caption
    // and class ("OtherTV.exe", "Other TV").
    bool StartOther() {
        if (!CopyInto(QRTL_E2E_STANDIN, kOtherExe)) return false;
        const std::string cmd = "\"" + (folder_ / kOtherExe) + "\" --caption \"" + kOtherCaption +
                                "\" --class OtherTVClass --log \"" + (folder_ / "other.log") + "\"";
        if (!other_.Start(cmd, folder_.Path())) return false;
        return PumpUntil([&] { return FindProcessWindow(other_.Id(), kOtherCaption) != nullptr; }, kStartTimeoutMs);
    }

    HWND Standin() const { return FindProcessWindow(standin_.Id(), kStandinCaption, kStandinClass); }

    bool StartMonitor() {
        const std::string exe = folder_ / kMonitorExeName;
        if (!monitor_.Start("\"" + exe + "\"", folder_.Path())) return false;
        return PumpUntil([&] { return FindProcessWindow(0, kMonitorTitle, product::kMonitorClass) != nullptr; }, kStartTimeoutMs);
    }

    bool StartRemote(const std::string& args = {}) {
        const std::string exe = folder_ / kRemoteExeName;
        if (!remote_.Start("\"" + exe + "\"" + (args.empty() ? "" : " " + args), folder_.Path())) return false;
        return PumpUntil([&] { return Window() != nullptr; }, kStartTimeoutMs);
    }

    // The set-up window: the dialog of that caption that holds the key list.
    HWND Window() const {
        for (HWND w : ProcessWindows(remote_.Id()))
            if (::GetDlgItem(w, IDC_KEYS) != nullptr && ::IsWindowVisible(w)) return w;
        return nullptr;
    }
    HWND Item(int id) const { return ::GetDlgItem(Window(), id); }
    std::string Live() const { return TextOf(Item(IDC_LIVE)); }
    bool WaitLive(const std::string& part, DWORD timeoutMs = kStepTimeoutMs) const {
        return PumpUntil([&] { return Live().find(part) != std::string::npos; }, timeoutMs);
    }

    // A button pressed as a click would: posted, so that a message box it opens
    // does not hold this thread.
    void Click(int id) const {
        ::PostMessageA(Window(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(Item(id)));
    }

    // Presses the finder and drags it to `screen`, a point over the stand-in, as the
    // mouse would; `release` gets the point to let go at, `said` the status line that
    // named the window under that point. The line is read as soon as it shows: a move
    // of the real pointer may replace it before the release, which takes the window
    // at the release's own point all the same.
    ::testing::AssertionResult DragFinderTo(POINT screen, LPARAM& release, std::string* said = nullptr) const {
        const HWND window = Window();
        RECT finder;
        ::GetWindowRect(Item(IDC_FINDER), &finder);
        POINT down = {(finder.left + finder.right) / 2, (finder.top + finder.bottom) / 2};
        ::ScreenToClient(window, &down);
        ::ScreenToClient(window, &screen);
        const auto at = [](POINT p) { return MAKELPARAM(static_cast<short>(p.x), static_cast<short>(p.y)); };
        ::PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, at(down));
        if (!WaitLive("Drag onto")) return ::testing::AssertionFailure() << "no drag: " << Live();
        ::PostMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, at(screen));
        std::string line;
        if (!PumpUntil([&] { return (line = Live()).find("Release to take") != std::string::npos; }, kStepTimeoutMs))
            return ::testing::AssertionFailure() << "no target: " << line;
        if (said) *said = line;
        release = at(screen);
        return ::testing::AssertionSuccess();
    }

    // Action... for key `index`: the chooser dialog once its control `id` shows, or null.
    HWND OpenAction(int index, int id) const {
        SelectKey(index);
        Click(IDC_ACTION);
        HWND chooser = nullptr;
        PumpUntil(
            [&] {
                for (HWND h : ProcessWindows(remote_.Id()))
                    if (::GetDlgItem(h, id) && ::IsWindowVisible(h)) chooser = h;
                return chooser != nullptr;
            },
            kStepTimeoutMs);
        return chooser;
    }

    // Action... of key row `index`: the key named `keyName` (as the list shows it), OK.
    ::testing::AssertionResult ChooseKeyAction(int index, const wchar_t* keyName) const {
        const HWND chooser = OpenAction(index, IDC_ACT_KEYS);
        if (chooser == nullptr) return ::testing::AssertionFailure() << "no Action... dialog";
        const HWND keys = ::GetDlgItem(chooser, IDC_ACT_KEYS);
        if (::SendMessageW(keys, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(keyName)) < 0)
            return ::testing::AssertionFailure() << "no such key in the list";
        ::SendMessageW(chooser, WM_COMMAND, MAKEWPARAM(IDC_ACT_KEYS, CBN_SELCHANGE), reinterpret_cast<LPARAM>(keys));
        ::PostMessageA(chooser, WM_COMMAND, IDOK, 0);
        return ::testing::AssertionSuccess();
    }
    // Takes the stand-in from the drop-down without filling its actions.
    ::testing::AssertionResult TakeStandinUnfilled() const {
        if (::SendMessageW(Item(IDC_WINDOWS), CB_SELECTSTRING, static_cast<WPARAM>(-1),
                           reinterpret_cast<LPARAM>(L"Standin TV")) < 0)
            return ::testing::AssertionFailure() << "the stand-in is not in the list";
        Click(IDC_USE_WINDOW);
        if (Answer("Fill the keys' actions", IDNO).empty()) return ::testing::AssertionFailure() << "no fill question";
        return ::testing::AssertionSuccess();
    }

    // A message box of the set-up window: a dialog of its caption without the key list.
    HWND MessageBoxWindow() const {
        for (HWND w : ProcessWindows(remote_.Id()))
            if (::IsWindowVisible(w) && ::GetDlgItem(w, IDC_KEYS) == nullptr && ::GetDlgItem(w, kMessageBoxTextId))
                return w;
        return nullptr;
    }
    // Waits for a message box holding `part` and answers it with `button`; its text.
    std::string Answer(const std::string& part, int button) const {
        HWND box = nullptr;
        std::string text;
        PumpUntil(
            [&] {
                box = MessageBoxWindow();
                text = box ? TextOf(::GetDlgItem(box, kMessageBoxTextId)) : std::string();
                return box && text.find(part) != std::string::npos;
            },
            kStepTimeoutMs);
        if (box) ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
        return text;
    }
    // The default button of the message box holding `part`, once it shows; 0 when none shows.
    int DefaultButton(const std::string& part) const {
        HWND box = nullptr;
        PumpUntil(
            [&] {
                box = MessageBoxWindow();
                return box && TextOf(::GetDlgItem(box, kMessageBoxTextId)).find(part) != std::string::npos;
            },
            kStepTimeoutMs);
        if (!box) return 0;
        // The button drawn as the default one, which Enter presses.
        for (int id : {IDOK, IDCANCEL, IDYES, IDNO})
            if (const HWND button = ::GetDlgItem(box, id))
                if ((::GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON) return id;
        return -static_cast<int>(LOWORD(::SendMessageW(box, DM_GETDEFID, 0, 0)));
    }

    // Selects a row of the key list: the item state lives in the window's process.
    void SelectKey(int index) const {
        const HWND list = Item(IDC_KEYS);
        const qrtl::win32::UniqueHandleObj process(
            ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, remote_.Id()));
        ASSERT_TRUE(process);
        void* remote = ::VirtualAllocEx(process.get(), nullptr, sizeof(LVITEMW), MEM_COMMIT, PAGE_READWRITE);
        ASSERT_NE(remote, nullptr);
        LVITEMW item{};
        item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        item.state = LVIS_SELECTED | LVIS_FOCUSED;
        SIZE_T written = 0;
        ASSERT_TRUE(::WriteProcessMemory(process.get(), remote, &item, sizeof item, &written));
        DWORD_PTR ignored = 0;
        ::SendMessageTimeoutW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(remote),
                              SMTO_ABORTIFHUNG, kSendTimeoutMs, &ignored);
        ::VirtualFreeEx(process.get(), remote, 0, MEM_RELEASE);
    }

    void Press(int code) {
        char name[32];
        std::snprintf(name, sizeof name, "%08u", ++pressed_);
        const std::string path = folder_ / "irqueue" + "\\" + name;
        ASSERT_TRUE(WriteTextFile(path + ".tmp", std::to_string(code) + "\r\n"));
        ASSERT_TRUE(::MoveFileA((path + ".tmp").c_str(), path.c_str()));
    }

    // Learns one key: selects it, presses Learn, waits for the prompt and sends the code.
    void Learn(int index, const char* name, int code) {
        SelectKey(index);
        Click(IDC_LEARN);
        ASSERT_TRUE(WaitLive(std::string("Press ") + name)) << Live();
        Press(code);
        ASSERT_TRUE(WaitLive("Received " + std::to_string(code))) << Live();
    }

    // Takes the window whose list entry starts with `caption`, as Use this window does.
    void TakeFromList(const wchar_t* caption) const {
        ASSERT_GE(::SendMessageW(Item(IDC_WINDOWS), CB_SELECTSTRING, static_cast<WPARAM>(-1),
                                 reinterpret_cast<LPARAM>(caption)),
                  0);
        Click(IDC_USE_WINDOW);
    }

    // The application selector set to `slot`, as the owner picks it in its list.
    void ChooseApplication(int slot) const {
        const HWND slots = Item(IDC_APP_SLOTS);
        ::SendMessageW(slots, CB_SETCURSEL, static_cast<WPARAM>(slot), 0);
        ::PostMessageA(Window(), WM_COMMAND, MAKEWPARAM(IDC_APP_SLOTS, CBN_SELCHANGE), reinterpret_cast<LPARAM>(slots));
    }

    // Two TV applications running and the window started, with the stand-in taken
    // and its actions filled from its menus.
    void StandinTakenOtherRunning() {
        ASSERT_TRUE(WriteTextFile(ProfilePath(), StarterProfile()));
        ASSERT_TRUE(StartStandin());
        ASSERT_TRUE(StartOther());
        ASSERT_TRUE(StartRemote());
        TakeFromList(L"Standin TV");
        EXPECT_NE(Answer("Fill the keys' actions", IDYES), "");
        ASSERT_TRUE(WaitLive("Filled")) << Live();
    }

    // The edited application's new name, typed and taken.
    void Rename(const wchar_t* name) const {
        ::SendMessageW(Item(IDC_APP_NAME), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name));
        Click(IDC_APP_RENAME);
        ASSERT_TRUE(WaitLive("Renamed to ")) << Live();
    }

    // Saves, and the file's text after it.
    std::string SaveAndRead() const {
        Click(IDC_SAVE);
        EXPECT_TRUE(WaitLive("Saved")) << Live();
        return ReadTextFile(ProfilePath());
    }

    bool WaitRemoteEnds() const { return remote_.WaitExit(kStepTimeoutMs); }

    // A dialog of the set-up window's process holding control `id`, once it shows; null after the step's time.
    HWND WaitDialogWith(int id) const {
        HWND found = nullptr;
        PumpUntil(
            [&] {
                for (HWND h : ProcessWindows(remote_.Id()))
                    if (::IsWindowVisible(h) && ::GetDlgItem(h, id)) found = h;
                return found != nullptr;
            },
            kStepTimeoutMs);
        return found;
    }

    // Clear's question, once it shows: `choice` (IDC_CLR_CODE, IDC_CLR_ACTION,
    // IDC_CLR_BOTH) checked and `button` pressed; the question, or null when none came.
    HWND AnswerClear(int choice, int button = IDOK) const {
        const HWND box = WaitDialogWith(IDC_CLR_BOTH);
        if (box == nullptr) return nullptr;
        if (choice != 0) ::CheckRadioButton(box, IDC_CLR_CODE, IDC_CLR_BOTH, choice);
        ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
        return box;
    }

    // The keyboard as the window's thread sees it: the control with the focus, and
    // keys posted to it, so that they pass the window's dialog manager as typed ones.
    HWND Focus() const {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        const DWORD thread = ::GetWindowThreadProcessId(Window(), nullptr);
        return ::GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
    }
    bool WaitFocus(HWND control) const {
        return PumpUntil([&] { return Focus() == control; }, kStepTimeoutMs);
    }
    void Key(UINT vk) const {
        const HWND focus = Focus();
        ASSERT_NE(focus, nullptr) << "no control has the focus";
        ::PostMessageW(focus, WM_KEYDOWN, vk, 1);
        ::PostMessageW(focus, WM_KEYUP, vk, 0xC0000001);
    }
    // Alt with a letter: the character a held Alt gives, as the dialog manager gets it.
    void AltKey(char letter) const {
        const HWND focus = Focus();
        ASSERT_NE(focus, nullptr) << "no control has the focus";
        ::PostMessageW(focus, WM_SYSCHAR, static_cast<WPARAM>(letter), 1 | (1 << 29));
    }
    void FocusOn(int id) const {
        DWORD_PTR ignored = 0;
        ::SendMessageTimeoutW(Window(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(id)), TRUE, SMTO_ABORTIFHUNG,
                              kSendTimeoutMs, &ignored);
    }

    std::vector<std::string> StandinMessages() const {
        return LinesContaining(ReadTextFile(folder_ / "standin.log"), " WM_");
    }

    TempFolder folder_;
    ChildProcess remote_;
    ChildProcess monitor_;
    ChildProcess standin_;
    ChildProcess other_;  // the second TV application
    ChildProcess tool_;  // QRTLProfile learn beside the window
    unsigned pressed_ = 0;
};

TEST_F(RemoteE2e, LearnTakeFillSave_MonitorClosedStartedAgainAndDeliversAKey) {
    ASSERT_TRUE(InstallDriver());
    const std::string before = StarterProfile();
    ASSERT_TRUE(WriteTextFile(ProfilePath(), before));
    ASSERT_TRUE(StartStandin());
    ASSERT_TRUE(StartMonitor());
    const HWND firstMonitor = FindProcessWindow(0, kMonitorTitle, product::kMonitorClass);
    ASSERT_TRUE(StartRemote());
    EXPECT_EQ(WindowText(Window()), product::kRemoteCaption);

    // The first Learn asks to close the monitor, which shares the receiver.
    SelectKey(kKeyVolUp);
    Click(IDC_LEARN);
    EXPECT_NE(Answer("The monitor is running", IDOK), "");
    ASSERT_TRUE(PumpUntil([&] { return !::IsWindow(firstMonitor); }, kStepTimeoutMs));
    ASSERT_TRUE(WaitLive("Press VOL+ (volume up)")) << Live();
    Press(20);
    ASSERT_TRUE(WaitLive("Received 20 \xE2\x86\x92 VOL+")) << Live();
    // Learning is over: the remote works again at once, long before Save.
    ASSERT_TRUE(WaitLive("The monitor runs again.", kStartTimeoutMs)) << Live();
    const HWND learnedMonitor = FindProcessWindow(0, kMonitorTitle, product::kMonitorClass);
    ASSERT_NE(learnedMonitor, nullptr);
    // The next Learn closes it again without asking twice (Learn fails on a question).
    SelectKey(kKeyVolDown);
    Click(IDC_LEARN);
    ASSERT_TRUE(PumpUntil([&] { return !::IsWindow(learnedMonitor); }, kStepTimeoutMs));
    ASSERT_TRUE(WaitLive("Press VOL-")) << Live();
    EXPECT_EQ(MessageBoxWindow(), nullptr);
    Press(21);
    ASSERT_TRUE(WaitLive("Received 21")) << Live();
    Learn(kKeyMute, "MUTE", 22);

    // A code another key has is refused unless taken over.
    SelectKey(kKeyMute);
    Click(IDC_LEARN);
    ASSERT_TRUE(WaitLive("Press MUTE")) << Live();
    Press(20);
    EXPECT_NE(Answer("Code 20 is already VOL+", IDNO), "");
    ASSERT_TRUE(WaitLive("stays with VOL+")) << Live();
    ::PostMessageA(Window(), WM_COMMAND, IDCANCEL, 0);  // Escape stops learning

    // The stand-in client from the drop-down; its commands fill the actions.
    const HWND windows = Item(IDC_WINDOWS);
    ASSERT_GE(::SendMessageW(windows, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                             reinterpret_cast<LPARAM>(L"Standin TV")),
              0);
    Click(IDC_USE_WINDOW);
    EXPECT_NE(Answer("Fill the keys' actions", IDYES), "");
    ASSERT_TRUE(WaitLive("Filled")) << Live();
    EXPECT_NE(TextOf(Item(IDC_CLIENT_DESC)).find("Stand-in TV client"), std::string::npos);

    // Test posts VOL+'s action to the stand-in now, through the monitor's own delivery.
    const std::size_t messages = StandinMessages().size();
    SelectKey(kKeyVolUp);
    Click(IDC_TEST);
    ASSERT_TRUE(WaitLive("posted to Standin TV")) << Live();
    EXPECT_NE(Live().find("VOL+ \xE2\x86\x92 Menu: Audio > Volume up"), std::string::npos) << Live();
    ASSERT_TRUE(PumpUntil([&] { return StandinMessages().size() > messages; }, kStepTimeoutMs));

    // Action...: a key by name for BTN100.
    ASSERT_TRUE(ChooseKeyAction(kKeyBtn100, L"Enter"));
    ASSERT_TRUE(WaitLive("BTN100 \xE2\x86\x92 Key: Enter")) << Live();

    // Nothing is written before Save; the monitor started again when learning ended
    // reads the saved profile once restarted.
    EXPECT_EQ(ReadTextFile(ProfilePath()), before);
    ASSERT_TRUE(PumpUntil([&] { return FindProcessWindow(0, kMonitorTitle, product::kMonitorClass); },
                          kStartTimeoutMs));
    const HWND monitorBeforeSave = FindProcessWindow(0, kMonitorTitle, product::kMonitorClass);
    Click(IDC_SAVE);
    EXPECT_NE(Answer("Restart the monitor now", IDYES), "");
    ASSERT_TRUE(WaitLive("Saved")) << Live();
    EXPECT_TRUE(PumpUntil([&] { return !::IsWindow(monitorBeforeSave); }, kStepTimeoutMs));

    const std::string after = ReadTextFile(ProfilePath());
    EXPECT_EQ(ReadTextFile(ProfilePath() + ".bak"), before);
    for (const char* line : {"; the owner's own note stays", "VOL+=20", "VOL-=21", "MUTE=22", "0_Item=STANDINTV",
                             // Found by class and program: no title that a new channel would change.
                             "0_Caption=\r\n", "0_ClassName=StandinTVClass", "0_Control=1",
                             "[KeyMap_STANDINTV]", "BTN100=*0D"})
        EXPECT_NE(after.find(line), std::string::npos) << line << "\n" << after;

    // The monitor runs again, from the folder, and drives the stand-in with the new profile.
    HWND monitor = nullptr;
    ASSERT_TRUE(PumpUntil(
        [&] {
            monitor = FindProcessWindow(0, kMonitorTitle, product::kMonitorClass);
            return monitor != nullptr;
        },
        kStartTimeoutMs));
    EXPECT_NE(monitor, firstMonitor);
    // VOL+ got the stand-in's "Volume up" from its menu; the monitor posts exactly that.
    const std::size_t clientSection = after.find("[KeyMap_STANDINTV]");
    ASSERT_NE(clientSection, std::string::npos);
    const std::size_t volUp = after.find("VOL+=#", clientSection);
    ASSERT_NE(volUp, std::string::npos) << after;
    const unsigned long id = std::strtoul(after.c_str() + volUp + 6, nullptr, 16);
    char expected[64];
    std::snprintf(expected, sizeof expected, "WM_COMMAND wParam=0x%08lX", 0x10000ul | id);
    const std::size_t received = StandinMessages().size();
    PumpFor(1000);
    Press(20);
    ASSERT_TRUE(PumpUntil([&] { return StandinMessages().size() > received; }, kStepTimeoutMs));
    EXPECT_NE(StandinMessages().back().find(expected), std::string::npos) << StandinMessages().back();

    Click(IDC_CLOSE);
    EXPECT_TRUE(WaitRemoteEnds());
}

// The launch lines name the program without ".exe", which the start adds, or a
// folder stands where the program should be: the window says what POWER does, as
// QRTLProfile check does for the same profile and files.
TEST_F(RemoteE2e, LaunchLines_NameWithoutExtensionStarts_FolderAtThePathIsNoProgram) {
    const std::string standin = WinPath(QRTL_E2E_STANDIN);
    const std::string installed = standin.substr(0, standin.find_last_of('\\'));
    const std::string folderOnly = folder_ / "FolderTV";
    ASSERT_TRUE(MakeDir(folderOnly));
    ASSERT_TRUE(MakeDir(folderOnly + "\\StandinTV.exe"));
    struct LaunchCase {
        const char* name;
        std::string folder;
        const char* exeName;
        std::string expected;
    };
    const LaunchCase cases[] = {
        {"name without its extension", installed, "StandinTV", "starts " + installed + "\\StandinTV.exe"},
        {"a folder at the program's path", folderOnly, "StandinTV.exe", "is a folder, not a program"},
    };
    for (const LaunchCase& c : cases) {
        SCOPED_TRACE(c.name);
        MachineKeyGuard key("Software\\Standin\\StandinTV");
        ASSERT_TRUE(key.SetString("InstallDir", c.folder));
        ASSERT_TRUE(WriteTextFile(ProfilePath(),
                                  "[Main]\r\nTimer=200\r\n[Client]\r\nDefault=0\r\n0_Item=STANDINTV\r\n"
                                  "0_Caption=Standin TV\r\n0_RegPath=Software\\Standin\\StandinTV\r\n"
                                  "0_RegFolder=InstallDir\r\n0_ExeName=" +
                                      std::string(c.exeName) + "\r\n[KeyMap_Controler]\r\nPOWER=\r\n"));
        ASSERT_TRUE(StartRemote());
        const bool shown =
            PumpUntil([&] { return TextOf(Item(IDC_LAUNCH)).find(c.expected) != std::string::npos; }, kStepTimeoutMs);
        EXPECT_TRUE(shown) << TextOf(Item(IDC_LAUNCH));
        remote_.Terminate();
        ASSERT_TRUE(remote_.WaitExit(kStepTimeoutMs));
    }
}

TEST_F(RemoteE2e, CloseWithoutSaving_WritesNothing) {
    ASSERT_TRUE(InstallDriver());
    const std::string before = StarterProfile("POWER=12\r\n");
    ASSERT_TRUE(WriteTextFile(ProfilePath(), before));
    ASSERT_TRUE(StartRemote());
    SelectKey(0);
    Click(IDC_CLEAR);
    ASSERT_NE(AnswerClear(IDC_CLR_CODE), nullptr);
    ASSERT_TRUE(WaitLive("POWER has no code")) << Live();
    Click(IDC_CLOSE);
    EXPECT_NE(Answer("Save the changes", IDNO), "");
    ASSERT_TRUE(WaitRemoteEnds());
    EXPECT_EQ(ReadTextFile(ProfilePath()), before);
    EXPECT_FALSE(FileExists(ProfilePath() + ".bak"));
    WIN32_FIND_DATAA data;
    const qrtl::win32::UniqueFind leftovers(::FindFirstFileA((folder_ / "*.tmp").c_str(), &data));
    EXPECT_FALSE(leftovers) << data.cFileName;
}

TEST_F(RemoteE2e, DriverHangsInARead_LearningStopsAfter5sAndTheWindowAnswers) {
    ASSERT_TRUE(InstallDriver());
    ASSERT_TRUE(WriteTextFile(ProfilePath(), StarterProfile()));
    ASSERT_TRUE(StartRemote());
    ASSERT_TRUE(WriteTextFile(folder_ / "irqueue\\read-hang", ""));
    SelectKey(kKeyVolUp);
    const DWORD start = ::GetTickCount();
    Click(IDC_LEARN);
    // Meanwhile the window keeps answering.
    PumpFor(2000);
    DWORD_PTR ignored = 0;
    const DWORD asked = ::GetTickCount();
    EXPECT_TRUE(::SendMessageTimeoutW(Window(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &ignored));
    EXPECT_LT(::GetTickCount() - asked, 1000u);
    ASSERT_TRUE(WaitLive("has not answered for 5 s", 15000)) << Live();
    const DWORD took = ::GetTickCount() - start;
    EXPECT_GE(took, 4500u);
    EXPECT_LT(took, 9000u);
    EXPECT_FALSE(::IsWindowEnabled(Item(IDC_LEARN)));
    std::printf("learning stopped %lu ms after Learn\n", static_cast<unsigned long>(took));

    // The driver answers again: the hung read comes back, and the worker, told to
    // stop when the hang was seen, reads no more.
    const auto reads = [&] { return LinesContaining(ReadTextFile(folder_ / "simdriver.log"), "ReadByte").size(); };
    const size_t atTheHang = reads();
    ::DeleteFileA((folder_ / "irqueue\\read-hang").c_str());
    PumpFor(2000);
    EXPECT_LE(reads(), atTheHang + 1) << ReadTextFile(folder_ / "simdriver.log");
}

TEST_F(RemoteE2e, EscapeDuringAHungRead_WindowAnswersAtOnceLearnsAgainOnceTheDriverAnswers) {
    ASSERT_TRUE(InstallDriver());
    ASSERT_TRUE(WriteTextFile(ProfilePath(), StarterProfile()));
    ASSERT_TRUE(StartRemote());
    ASSERT_TRUE(WriteTextFile(folder_ / "irqueue\\read-hang", ""));
    SelectKey(kKeyVolUp);
    Click(IDC_LEARN);
    ASSERT_TRUE(WaitLive("Release all keys")) << Live();
    PumpFor(900);
    ::PostMessageA(Window(), WM_COMMAND, IDCANCEL, 0);  // Escape stops learning
    PumpFor(100);
    // The stop never waits for the driver's read to come back.
    DWORD_PTR ignored = 0;
    const DWORD asked = ::GetTickCount();
    EXPECT_TRUE(::SendMessageTimeoutW(Window(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &ignored));
    const DWORD answeredIn = ::GetTickCount() - asked;
    EXPECT_LT(answeredIn, 200u);
    std::printf("the window answered %lu ms after the stop\n", static_cast<unsigned long>(answeredIn));
    EXPECT_TRUE(WaitLive("Learning stopped.", 1000)) << Live();

    // Once the driver answers, its read is dropped and the receiver is free again.
    ::DeleteFileA((folder_ / "irqueue\\read-hang").c_str());
    PumpFor(500);
    Learn(kKeyVolDown, "VOL-", 21);
}

// The window that hands the application's commands back to the window's thread can
// be found and posted to by any program on the desktop: a message of its own kind
// with a made-up pointer in it changes nothing and ends nothing.
TEST_F(RemoteE2e, ForeignMessageToTheCommandsReader_IgnoredWindowKeepsWorking) {
    std::string profile = StarterProfile();
    profile.insert(profile.find("Default=0\r\n") + 11,
                   "0_Item=STANDINTV\r\n0_Caption=Standin TV\r\n0_ClassName=StandinTVClass\r\n");
    ASSERT_TRUE(WriteTextFile(ProfilePath(), profile));
    ASSERT_TRUE(StartStandin());
    ASSERT_TRUE(StartRemote());  // reads the stand-in's commands at once
    HWND reader = nullptr;
    while ((reader = ::FindWindowExA(HWND_MESSAGE, reader, "QRTLRemoteCatalogReader", nullptr)) != nullptr)
        if (WindowProcessId(reader) == remote_.Id()) break;
    ASSERT_NE(reader, nullptr);
    for (WPARAM generation = 0; generation < 4; ++generation)
        ASSERT_TRUE(::PostMessageA(reader, WM_APP + 1, generation, static_cast<LPARAM>(0x00BADBAD)));
    PumpFor(500);
    ASSERT_TRUE(remote_.Running());
    DWORD_PTR ignored = 0;
    EXPECT_TRUE(::SendMessageTimeoutW(Window(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &ignored));
    SelectKey(kKeyVolUp);
    Click(IDC_CLEAR);
    EXPECT_TRUE(WaitLive("nothing to clear")) << Live();
}

TEST_F(RemoteE2e, ReadSpinsInTheDriver_MonitorNotStartedAgainWindowEndsWithoutCrash) {
    ASSERT_TRUE(InstallDriver());
    ASSERT_TRUE(WriteTextFile(ProfilePath(), StarterProfile()));
    ASSERT_TRUE(StartMonitor());
    const HWND firstMonitor = FindProcessWindow(0, kMonitorTitle, "#32770");
    ASSERT_TRUE(StartRemote());
    SelectKey(kKeyVolUp);
    Click(IDC_LEARN);
    EXPECT_NE(Answer("The monitor is running", IDOK), "");
    ASSERT_TRUE(PumpUntil([&] { return !::IsWindow(firstMonitor); }, kStepTimeoutMs));
    ASSERT_TRUE(WriteTextFile(folder_ / "irqueue\\read-spin", ""));
    ASSERT_TRUE(WaitLive("has not answered for 5 s", 15000)) << Live();
    Click(IDC_CLOSE);
    EXPECT_NE(Answer("The monitor is not started again", IDOK), "");
    ASSERT_TRUE(WaitRemoteEnds());
    // Ended without unloading the driver under its read: no access violation.
    EXPECT_EQ(remote_.ExitCode(), 0u);
    PumpFor(1500);
    EXPECT_EQ(FindProcessWindow(0, kMonitorTitle, "#32770"), nullptr);
}

TEST_F(RemoteE2e, MonitorStartedBetweenTwoLearns_AskedAgain) {
    ASSERT_TRUE(InstallDriver());
    ASSERT_TRUE(WriteTextFile(ProfilePath(), StarterProfile()));
    ASSERT_TRUE(StartRemote());
    Learn(kKeyVolUp, "VOL+", 20);
    ASSERT_TRUE(StartMonitor());
    SelectKey(kKeyVolDown);
    Click(IDC_LEARN);
    EXPECT_NE(Answer("The monitor is running", IDCANCEL), "") << Live();
    EXPECT_EQ(Live().find("Press VOL-"), std::string::npos) << Live();
}

TEST_F(RemoteE2e, WindowAndProfileToolLearning_EachRefusedWhileTheOtherReads) {
    ASSERT_TRUE(InstallDriver());
    ASSERT_TRUE(WriteTextFile(ProfilePath(), StarterProfile()));
    ASSERT_TRUE(StartRemote());
    const std::string learn = "\"" + WinPath(QRTL_E2E_PROFILETOOL) + "\" learn \"" + ProfilePath() +
                              "\" --keys POWER --timeout 20 --driver \"" + (folder_ / kDriverName) + "\"";
    const auto runTool = [&](const std::string& out) {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        const qrtl::win32::UniqueFile file(::CreateFileA(out.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                         &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        StdHandles io;
        io.out = file.get();
        io.err = file.get();
        return tool_.Start(learn, folder_.Path(), io);
    };

    // learn reads the receiver: the window says so and does not read it.
    ASSERT_TRUE(runTool(folder_ / "learn1.txt"));
    ASSERT_TRUE(PumpUntil([&] { return ReadTextFile(folder_ / "learn1.txt").find("Press POWER") != std::string::npos; },
                          kStepTimeoutMs))
        << ReadTextFile(folder_ / "learn1.txt");
    SelectKey(kKeyVolUp);
    Click(IDC_LEARN);
    EXPECT_NE(Answer("Another set-up tool reads the receiver", IDOK), "") << Live();
    tool_.Terminate();

    // The window reads it: learn says so and ends.
    SelectKey(kKeyVolUp);
    Click(IDC_LEARN);
    ASSERT_TRUE(WaitLive("Press VOL+")) << Live();
    ASSERT_TRUE(runTool(folder_ / "learn2.txt"));
    ASSERT_TRUE(tool_.WaitExit(kStepTimeoutMs));
    EXPECT_EQ(tool_.ExitCode(), 2u);
    EXPECT_NE(ReadTextFile(folder_ / "learn2.txt").find("another set-up tool reads the receiver"), std::string::npos)
        << ReadTextFile(folder_ / "learn2.txt");

    // Once the window stops learning the receiver is free for learn.
    ::PostMessageA(Window(), WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(WaitLive("Learning stopped")) << Live();
    ASSERT_TRUE(runTool(folder_ / "learn3.txt"));
    EXPECT_TRUE(PumpUntil([&] { return ReadTextFile(folder_ / "learn3.txt").find("Press POWER") != std::string::npos; },
                          kStepTimeoutMs))
        << ReadTextFile(folder_ / "learn3.txt");
}

TEST_F(RemoteE2e, LearnAllByKeyboard_FirstKeyWithoutACodeEscapeSkipsStopEnds) {
    ASSERT_TRUE(InstallDriver());
    ASSERT_TRUE(WriteTextFile(ProfilePath(), StarterProfile("POWER=10\r\nZOOM=11\r\n")));
    ASSERT_TRUE(StartRemote());
    const HWND list = Item(IDC_KEYS);
    const auto focus = [&] {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        ::GetGUIThreadInfo(::GetWindowThreadProcessId(Window(), nullptr), &info);
        return info.hwndFocus;
    };
    const auto selected = [&] {
        return static_cast<int>(::SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    };
    Click(IDC_LEARN_ALL);
    // POWER and ZOOM have codes: it starts at SCAN, its row selected.
    ASSERT_TRUE(WaitLive("Press SCAN")) << Live();
    EXPECT_EQ(selected(), 2);
    EXPECT_EQ(focus(), list);  // not lost with the disabled buttons
    EXPECT_EQ(WindowText(Item(IDC_LEARN_ALL)), "St&op");
    EXPECT_TRUE(::IsWindowEnabled(Item(IDC_LEARN_ALL)));

    // Escape as typed, through the dialog manager, skips SCAN.
    ::PostMessageA(focus(), WM_KEYDOWN, VK_ESCAPE, 1);
    ::PostMessageA(focus(), WM_KEYUP, VK_ESCAPE, 0xC0000001);
    ASSERT_TRUE(WaitLive("Press TVFMSW")) << Live();
    EXPECT_EQ(selected(), 3);
    Press(33);
    ASSERT_TRUE(WaitLive("Press SWITCH")) << Live();
    EXPECT_EQ(selected(), 4);

    // Stop ends it; the button is Learn all again and the focus stays on the list.
    Click(IDC_LEARN_ALL);
    ASSERT_TRUE(WaitLive("Learning stopped")) << Live();
    EXPECT_EQ(WindowText(Item(IDC_LEARN_ALL)), "Lea&rn all");
    EXPECT_TRUE(::IsWindowEnabled(Item(IDC_LEARN)));
    EXPECT_EQ(focus(), list);
}

TEST_F(RemoteE2e, LearnAllByMouse_SkipClickedTheNextKeyPrompted_WindowListOff) {
    ASSERT_TRUE(InstallDriver());
    ASSERT_TRUE(WriteTextFile(ProfilePath(), StarterProfile("POWER=10\r\nZOOM=11\r\n")));
    ASSERT_TRUE(StartRemote());
    EXPECT_EQ(WindowText(Item(IDC_LEARN)), "&Learn");
    EXPECT_TRUE(::IsWindowEnabled(Item(IDC_WINDOWS)));
    Click(IDC_LEARN_ALL);
    ASSERT_TRUE(WaitLive("Press SCAN")) << Live();
    EXPECT_EQ(WindowText(Item(IDC_LEARN)), "Ski&p");
    EXPECT_TRUE(::IsWindowEnabled(Item(IDC_LEARN)));
    EXPECT_FALSE(::IsWindowEnabled(Item(IDC_WINDOWS)));
    Click(IDC_LEARN);
    ASSERT_TRUE(WaitLive("Press TVFMSW")) << Live();
    Click(IDC_LEARN_ALL);
    ASSERT_TRUE(WaitLive("Learning stopped")) << Live();
    EXPECT_EQ(WindowText(Item(IDC_LEARN)), "&Learn");
    EXPECT_TRUE(::IsWindowEnabled(Item(IDC_WINDOWS)));
}

TEST_F(RemoteE2e, NoDriver_LearningOffInWords_RestStillWorks_ProfileFromTheCommandLine) {
    // No profile beside the program: the one named on the command line is opened.
    const std::string other = folder_ / "other.INI";
    std::string text = StarterProfile();
    text.insert(text.find("Default=0\r\n") + 11, "0_Item=OTHERTV\r\n");
    ASSERT_TRUE(WriteTextFile(other, text));
    ASSERT_TRUE(StartRemote("\"" + other + "\""));
    EXPECT_NE(TextOf(Item(IDC_CLIENT_DESC)).find("OTHERTV"), std::string::npos) << TextOf(Item(IDC_CLIENT_DESC));
    ASSERT_TRUE(PumpUntil([&] { return TextOf(Item(IDC_RECEIVER)).find("is missing") != std::string::npos; },
                          kStepTimeoutMs))
        << TextOf(Item(IDC_RECEIVER));
    EXPECT_NE(TextOf(Item(IDC_RECEIVER)).find("Learning is off"), std::string::npos);
    EXPECT_FALSE(::IsWindowEnabled(Item(IDC_LEARN)));
    EXPECT_FALSE(::IsWindowEnabled(Item(IDC_LEARN_ALL)));
    EXPECT_TRUE(::IsWindowEnabled(Item(IDC_ACTION)));
}

TEST_F(RemoteE2e, FindingDoubleClicked_SelectsItsKey) {
    ASSERT_TRUE(WriteTextFile(ProfilePath(), StarterProfile("VOL-=5\r\n")));
    ASSERT_TRUE(StartRemote());
    const HWND findings = Item(IDC_FINDINGS);
    const LRESULT at = ::SendMessageW(findings, LB_FINDSTRING, static_cast<WPARAM>(-1),
                                      reinterpret_cast<LPARAM>(L"Warning: VOL-'s code"));
    ASSERT_GE(at, 0);
    ::SendMessageW(findings, LB_SETCURSEL, static_cast<WPARAM>(at), 0);
    ::PostMessageA(Window(), WM_COMMAND, MAKEWPARAM(IDC_FINDINGS, LBN_DBLCLK), reinterpret_cast<LPARAM>(findings));
    ASSERT_TRUE(PumpUntil(
        [&] {
            return ::SendMessageW(Item(IDC_KEYS), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED) ==
                   kKeyVolDown;
        },
        kStepTimeoutMs));
}

TEST_F(RemoteE2e, FinderDraggedOntoTheStandin_TakesIt) {
    ASSERT_TRUE(WriteTextFile(ProfilePath(), StarterProfile()));
    ASSERT_TRUE(StartStandin());
    ::SetWindowPos(Standin(), HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    ASSERT_TRUE(StartRemote());
    const HWND window = Window();
    RECT target;
    ::GetWindowRect(Standin(), &target);
    LPARAM release = 0;
    std::string said;
    ASSERT_TRUE(DragFinderTo({target.left + 40, target.top + 60}, release, &said));
    EXPECT_NE(said.find("Standin TV"), std::string::npos) << said;
    ::PostMessageA(window, WM_LBUTTONUP, 0, release);
    EXPECT_NE(Answer("Fill the keys' actions", IDNO), "");
    ASSERT_TRUE(WaitLive("Chosen")) << Live();
    EXPECT_NE(TextOf(Item(IDC_CLIENT_DESC)).find("its window is open now"), std::string::npos)
        << TextOf(Item(IDC_CLIENT_DESC));
}

TEST_F(RemoteE2e, BadProfiles_ClearMessageNothingLost) {
    // 10 MB: refused with the reason, the file untouched.
    std::string big(10 * 1024 * 1024, 'x');
    big.replace(0, 8, "[Main]\r\n");
    ASSERT_TRUE(WriteTextFile(ProfilePath(), big));
    ASSERT_TRUE(remote_.Start("\"" + (folder_ / kRemoteExeName) + "\"", folder_.Path()));
    EXPECT_NE(Answer("too large", IDOK), "");
    ASSERT_TRUE(WaitRemoteEnds());
    EXPECT_EQ(ReadTextFile(ProfilePath()).size(), big.size());

    // Read-only: the window says so; Save is off and Save as... keeps the changes.
    const std::string before = StarterProfile("POWER=12\r\n");
    ASSERT_TRUE(WriteTextFile(ProfilePath(), before));
    ASSERT_TRUE(::SetFileAttributesA(ProfilePath().c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(StartRemote());
    EXPECT_NE(Live().find("read-only"), std::string::npos) << Live();
    SelectKey(0);
    Click(IDC_CLEAR);
    ASSERT_NE(AnswerClear(IDC_CLR_CODE), nullptr);
    ASSERT_TRUE(WaitLive("POWER has no code")) << Live();
    EXPECT_FALSE(::IsWindowEnabled(Item(IDC_SAVE)));
    EXPECT_TRUE(::IsWindowEnabled(Item(IDC_SAVE_AS)));
    remote_.Terminate();
    ::SetFileAttributesA(ProfilePath().c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadTextFile(ProfilePath()), before);

    // Missing: the starter profile is offered; declining creates nothing.
    ASSERT_TRUE(::DeleteFileA(ProfilePath().c_str()));
    ASSERT_TRUE(remote_.Start("\"" + (folder_ / kRemoteExeName) + "\"", folder_.Path()));
    EXPECT_NE(Answer("There is no profile", IDNO), "");
    ASSERT_TRUE(WaitRemoteEnds());
    EXPECT_FALSE(FileExists(ProfilePath()));
}

// ---- The keyboard: keys typed, the focus checked after each step ----

TEST_F(RemoteE2e, Keyboard_LearnByAltLFromTheActionButton_LearnsNotClears_FocusStaysOnTheKeys) {
    ASSERT_TRUE(InstallDriver());
    const std::string before = StarterProfile("POWER=12\r\n");
    ASSERT_TRUE(WriteTextFile(ProfilePath(), before));
    ASSERT_TRUE(StartRemote());
    SelectKey(0);
    FocusOn(IDC_ACTION);
    ASSERT_TRUE(WaitFocus(Item(IDC_ACTION)));
    // Alt+L is Learn's alone: from Action... it ran Clear, which shares the letter.
    AltKey('l');
    ASSERT_TRUE(WaitLive("Press POWER")) << Live();
    // Learn became Skip: the focus went to the key list all the same.
    EXPECT_EQ(WindowText(Item(IDC_LEARN)), "Ski&p");
    ASSERT_TRUE(WaitFocus(Item(IDC_KEYS))) << Focus();
    Key(VK_ESCAPE);  // stops learning
    ASSERT_TRUE(WaitLive("Learning stopped")) << Live();
    EXPECT_TRUE(WaitFocus(Item(IDC_KEYS)));
    EXPECT_FALSE(::IsWindowEnabled(Item(IDC_SAVE))) << "nothing was cleared";
    // Tab goes on from the key list to the next control.
    Key(VK_TAB);
    EXPECT_TRUE(WaitFocus(Item(IDC_LEARN))) << Focus();
    Click(IDC_CLOSE);
    ASSERT_TRUE(WaitRemoteEnds());
    EXPECT_EQ(ReadTextFile(ProfilePath()), before);
}

TEST_F(RemoteE2e, Keyboard_EnterOnAKeyRow_OpensItsAction_NeverSaves_AltECloses) {
    const std::string before = StarterProfile("POWER=12\r\n");
    ASSERT_TRUE(WriteTextFile(ProfilePath(), before));
    ASSERT_TRUE(StartRemote());
    // A change, so that Save would write: an action for POWER.
    const HWND first = OpenAction(0, IDC_ACT_ADVANCED);
    ASSERT_NE(first, nullptr);
    ::SendMessageW(::GetDlgItem(first, IDC_ACT_ADVANCED), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"*0D"));
    ::PostMessageA(first, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitLive("POWER \xE2\x86\x92")) << Live();
    ASSERT_TRUE(::IsWindowEnabled(Item(IDC_SAVE)));
    SelectKey(kKeyVolUp);
    FocusOn(IDC_KEYS);
    ASSERT_TRUE(WaitFocus(Item(IDC_KEYS)));
    Key(VK_RETURN);
    const HWND chooser = WaitDialogWith(IDC_ACT_KEYS);
    ASSERT_NE(chooser, nullptr) << Live();
    EXPECT_NE(WindowText(chooser).find("VOL+"), std::string::npos) << WindowText(chooser);
    EXPECT_EQ(ReadTextFile(ProfilePath()), before);
    Key(VK_ESCAPE);  // the chooser has the focus now
    ASSERT_TRUE(PumpUntil([&] { return !::IsWindow(chooser); }, kStepTimeoutMs));
    EXPECT_TRUE(WaitFocus(Item(IDC_KEYS))) << Focus();
    EXPECT_EQ(ReadTextFile(ProfilePath()), before);
    AltKey('e');  // Close has a letter of its own, not the one of Stop
    EXPECT_NE(Answer("Save the changes", IDNO), "");
    ASSERT_TRUE(WaitRemoteEnds());
    EXPECT_EQ(ReadTextFile(ProfilePath()), before);
}

TEST_F(RemoteE2e, ClearAsksWhich_ActionOnlyKeepsTheCode_SaveByKeyboardMovesTheFocusToTheKeys) {
    std::string text = StarterProfile("POWER=12\r\n");
    text.insert(text.find("Default=0\r\n") + 11, "0_Item=OTHERTV\r\n");
    text += "[KeyMap_OTHERTV]\r\nPOWER=*0D\r\n";
    ASSERT_TRUE(WriteTextFile(ProfilePath(), text));
    ASSERT_TRUE(StartRemote());
    SelectKey(0);
    // Cancel: nothing removed.
    Click(IDC_CLEAR);
    ASSERT_NE(AnswerClear(IDC_CLR_BOTH, IDCANCEL), nullptr);
    PumpFor(300);
    EXPECT_FALSE(::IsWindowEnabled(Item(IDC_SAVE)));
    // The action alone.
    Click(IDC_CLEAR);
    ASSERT_NE(AnswerClear(IDC_CLR_ACTION), nullptr);
    ASSERT_TRUE(WaitLive("POWER has no action now; its code stays")) << Live();
    // Now it holds only a code: the action and both are not offered.
    Click(IDC_CLEAR);
    const HWND second = WaitDialogWith(IDC_CLR_BOTH);
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(second, IDC_CLR_CODE)));
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(second, IDC_CLR_ACTION)));
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(second, IDC_CLR_BOTH)));
    ::PostMessageA(second, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(PumpUntil([&] { return !::IsWindow(second); }, kStepTimeoutMs));
    // Save by Enter on its button: it disables itself, the focus goes to the key list.
    FocusOn(IDC_SAVE);
    ASSERT_TRUE(WaitFocus(Item(IDC_SAVE)));
    Key(VK_RETURN);
    ASSERT_TRUE(WaitLive("Saved")) << Live();
    EXPECT_FALSE(::IsWindowEnabled(Item(IDC_SAVE)));
    EXPECT_TRUE(WaitFocus(Item(IDC_KEYS))) << Focus();
    const std::string after = ReadTextFile(ProfilePath());
    EXPECT_NE(after.find("[KeyMap_Controler]\r\nPOWER=12\r\n"), std::string::npos) << after;
    EXPECT_NE(after.find("[KeyMap_OTHERTV]\r\nPOWER=\r\n"), std::string::npos) << after;
}

TEST_F(RemoteE2e, WindowMadeLarger_KeyListAndFindingsGrow_LowerOnlyDownToEightKeys) {
    ASSERT_TRUE(WriteTextFile(ProfilePath(), StarterProfile()));
    ASSERT_TRUE(StartRemote());
    const HWND window = Window();
    const auto size = [](HWND h) {
        RECT r;
        ::GetWindowRect(h, &r);
        return SIZE{r.right - r.left, r.bottom - r.top};
    };
    const SIZE start = size(window);
    const SIZE keys = size(Item(IDC_KEYS));
    const SIZE findings = size(Item(IDC_FINDINGS));
    const SIZE learn = size(Item(IDC_LEARN));
    // Within the 1024 x 768 screen.
    ::SetWindowPos(window, nullptr, 0, 0, start.cx + 120, start.cy + 150, SWP_NOMOVE | SWP_NOZORDER);
    ASSERT_TRUE(PumpUntil([&] { return size(Item(IDC_KEYS)).cy > keys.cy; }, kStepTimeoutMs));
    EXPECT_GT(size(Item(IDC_KEYS)).cx, keys.cx + 100);
    EXPECT_GT(size(Item(IDC_KEYS)).cy, keys.cy + 80);
    EXPECT_GT(size(Item(IDC_FINDINGS)).cy, findings.cy + 30);
    EXPECT_EQ(size(Item(IDC_LEARN)).cx, learn.cx) << "buttons keep their size";
    RECT close, client;
    ::GetWindowRect(Item(IDC_CLOSE), &close);
    ::GetWindowRect(window, &client);
    EXPECT_GT(close.bottom, client.bottom - 60) << "Close stays at the bottom";
    // Smaller than at the start: never narrower; lower, down to where 8 keys show.
    ::SetWindowPos(window, nullptr, 0, 0, start.cx / 2, start.cy / 2, SWP_NOMOVE | SWP_NOZORDER);
    PumpFor(300);
    EXPECT_GE(size(window).cx, start.cx);
    EXPECT_LT(size(window).cy, start.cy);
    EXPECT_GE(::SendMessageW(Item(IDC_KEYS), LVM_GETCOUNTPERPAGE, 0, 0), 8);
    EXPECT_NE(Item(IDC_PROMPT), nullptr);
}

}  // namespace

TEST_F(RemoteE2e, LearnAll_EscapeSkipsAKey_CloseWritesNothingAndStartsTheMonitorAgain) {
    ASSERT_TRUE(InstallDriver());
    const std::string before = StarterProfile();
    ASSERT_TRUE(WriteTextFile(ProfilePath(), before));
    ASSERT_TRUE(StartMonitor());
    const HWND firstMonitor = FindProcessWindow(0, kMonitorTitle, product::kMonitorClass);
    ASSERT_TRUE(StartRemote());
    Click(IDC_LEARN_ALL);
    EXPECT_NE(Answer("The monitor is running", IDOK), "");
    ASSERT_TRUE(WaitLive("Press POWER (power on / off)")) << Live();
    ::PostMessageA(Window(), WM_COMMAND, IDCANCEL, 0);  // Escape
    ASSERT_TRUE(WaitLive("Press ZOOM")) << Live();
    Press(40);
    ASSERT_TRUE(WaitLive("Received 40 \xE2\x86\x92 ZOOM")) << Live();
    ASSERT_TRUE(WaitLive("Press SCAN")) << Live();
    Click(IDC_CLOSE);
    EXPECT_NE(Answer("Save the changes", IDNO), "");
    ASSERT_TRUE(WaitRemoteEnds());
    EXPECT_EQ(ReadTextFile(ProfilePath()), before);
    EXPECT_FALSE(::IsWindow(firstMonitor));
    EXPECT_TRUE(PumpUntil([&] { return FindProcessWindow(0, kMonitorTitle, product::kMonitorClass) != nullptr; },
                          kStartTimeoutMs));
}

constexpr char kOddCaption[] = "Odd TV";

// A TV application's window with three controls: "Odd TV", on the thread that
// calls it.
HWND CreateOddWindow(WNDPROC childProc) {
    const HINSTANCE instance = ::GetModuleHandleA(nullptr);
    WNDCLASSA main{};
    main.lpfnWndProc = DefWindowProcA;
    main.hInstance = instance;
    main.lpszClassName = "RemoteOddTV";
    WNDCLASSA child{};
    child.lpfnWndProc = childProc;
    child.hInstance = instance;
    child.lpszClassName = "RemoteOddButton";
    ::RegisterClassA(&main);
    ::RegisterClassA(&child);
    const HWND wnd = ::CreateWindowExA(0, "RemoteOddTV", kOddCaption, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 600, 500,
                                       300, 150, nullptr, nullptr, instance, nullptr);
    for (int id = 1001; id <= 1003; ++id)
        ::CreateWindowExA(0, "RemoteOddButton", "Mute", WS_CHILD | WS_VISIBLE, 10, 10 + 30 * (id - 1001), 80, 24,
                          wnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    return wnd;
}

// Run in a process of its own by the test below: an application that ends the
// moment its control's text is asked for, as one closing while it is examined.
LRESULT CALLBACK EndsWhenAsked(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_GETTEXT) ::ExitProcess(0);
    return ::DefWindowProcA(wnd, msg, wParam, lParam);
}

// Set in the child's environment by the test that starts it.
constexpr char kOddChildEnv[] = "QRTL_REMOTE_ODD_CHILD";

// The child of ApplicationClosesWhileExamined: started with kOddChildEnv set, this
// program is that application, before any test runs, and ends with it. (A helper, not
// a test: as a test it only ever showed up skipped.)
const bool g_oddChild = [] {
    if (std::getenv(kOddChildEnv) == nullptr) return false;
    if (CreateOddWindow(EndsWhenAsked) != nullptr) PumpFor(60000);
    ::ExitProcess(0);
}();

// A TV application's window on a thread of this test that takes no messages once shown.
class HungApplication {
public:
    ~HungApplication() {
        if (thread_) ::WaitForSingleObject(thread_.get(), 30000);
    }
    bool Start() {
        ready_.reset(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
        thread_.reset(::CreateThread(nullptr, 0, Run, this, 0, nullptr));
        return thread_ && ::WaitForSingleObject(ready_.get(), 5000) == WAIT_OBJECT_0 && wnd_ != nullptr;
    }
    HWND Window() const { return wnd_; }

private:
    static DWORD WINAPI Run(void* self) {
        auto* app = static_cast<HungApplication*>(self);
        app->wnd_ = CreateOddWindow(DefWindowProcA);
        ::SetEvent(app->ready_.get());
        ::Sleep(8000);  // takes no messages at all meanwhile
        ::DestroyWindow(app->wnd_);
        return 0;
    }

    HWND wnd_ = nullptr;
    qrtl::win32::UniqueHandleObj thread_;
    qrtl::win32::UniqueHandleObj ready_;
};

TEST_F(RemoteE2e, ApplicationClosesWhileExamined_ClearMessageNothingTaken) {
    ASSERT_TRUE(WriteTextFile(ProfilePath(), StarterProfile()));
    char self[MAX_PATH] = {};
    ASSERT_GT(::GetModuleFileNameA(nullptr, self, MAX_PATH), 0u);
    ChildProcess odd;
    ASSERT_TRUE(::SetEnvironmentVariableA(kOddChildEnv, "1"));
    const bool started = odd.Start("\"" + std::string(self) + "\"", folder_.Path());
    ::SetEnvironmentVariableA(kOddChildEnv, nullptr);
    ASSERT_TRUE(started);
    ASSERT_TRUE(PumpUntil([&] { return FindProcessWindow(odd.Id(), kOddCaption) != nullptr; }, kStartTimeoutMs));
    ASSERT_TRUE(StartRemote());
    ASSERT_GE(::SendMessageW(Item(IDC_WINDOWS), CB_SELECTSTRING, static_cast<WPARAM>(-1),
                             reinterpret_cast<LPARAM>(L"Odd TV")),
              0);
    Click(IDC_USE_WINDOW);
    EXPECT_NE(Answer("closed while it was being examined", IDOK), "");
    ASSERT_TRUE(WaitLive("Nothing was taken")) << Live();
    EXPECT_TRUE(odd.WaitExit(1000));
    EXPECT_FALSE(::IsWindowEnabled(Item(IDC_SAVE)));  // nothing changed
    EXPECT_NE(TextOf(Item(IDC_CLIENT_DESC)).find("none chosen yet"), std::string::npos);
}

TEST_F(RemoteE2e, WindowTakingNoMessages_TakenWithinSeconds_WindowAnswers) {
    ASSERT_TRUE(WriteTextFile(ProfilePath(), StarterProfile()));
    HungApplication hung;
    ASSERT_TRUE(hung.Start());
    ASSERT_TRUE(StartRemote());
    ASSERT_GE(::SendMessageW(Item(IDC_WINDOWS), CB_SELECTSTRING, static_cast<WPARAM>(-1),
                             reinterpret_cast<LPARAM>(L"Odd TV")),
              0);
    const DWORD start = ::GetTickCount();
    Click(IDC_USE_WINDOW);
    ASSERT_TRUE(PumpUntil(
        [&] {
            if (const HWND box = MessageBoxWindow()) ::PostMessageA(box, WM_COMMAND, IDNO, 0);
            return Live().find("Chosen") != std::string::npos;
        },
        15000))
        << Live();
    const DWORD took = ::GetTickCount() - start;
    std::printf("a window taking no messages taken in %lu ms\n", static_cast<unsigned long>(took));
    EXPECT_LT(took, 10000u);
    DWORD_PTR ignored = 0;
    EXPECT_TRUE(::SendMessageTimeoutW(Window(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &ignored));
    std::string taken = TextOf(Item(IDC_CLIENT_DESC));
    for (char& c : taken) c = static_cast<char>(::tolower(static_cast<unsigned char>(c)));
    EXPECT_NE(taken.find("remote_e2e_tests"), std::string::npos) << taken;
}

// Each of the stand-in's buttons answers its text in 0.9 s: the set-up window reads
// them off its own thread within one deadline, answers meanwhile, and says how many
// it did not read.
TEST_F(RemoteE2e, SlowApplicationTaken_WindowAnswersWhileItsControlsAreRead) {
    ASSERT_TRUE(WriteTextFile(ProfilePath(), StarterProfile()));
    ChildProcess slow;
    ASSERT_TRUE(slow.Start("\"" + WinPath(QRTL_E2E_STANDIN) + "\" --caption \"Standin Slow\" --slow-text 900 --log \"" +
                               (folder_ / "slow.log") + "\"",
                           folder_.Path()));
    ASSERT_NE(slow.WaitForWindow(kStandinClass, "Standin Slow"), nullptr);
    ASSERT_TRUE(StartRemote());
    ASSERT_GE(::SendMessageW(Item(IDC_WINDOWS), CB_SELECTSTRING, static_cast<WPARAM>(-1),
                             reinterpret_cast<LPARAM>(L"Standin Slow")),
              0);
    Click(IDC_USE_WINDOW);
    PumpFor(600);  // the read has begun
    const DWORD asked = ::GetTickCount();
    DWORD_PTR ignored = 0;
    EXPECT_TRUE(::SendMessageTimeoutW(Window(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 500, &ignored));
    const DWORD answered = ::GetTickCount() - asked;
    std::printf("the set-up window answered in %lu ms while the application's controls were read\n",
                static_cast<unsigned long>(answered));
    EXPECT_NE(Answer("Fill the keys' actions", IDNO), "");
    ASSERT_TRUE(WaitLive("Chosen")) << Live();
    // With the other notes of the window taken, in the banner.
    EXPECT_NE(TextOf(Item(IDC_BANNER)).find("the application answers slowly: "), std::string::npos)
        << TextOf(Item(IDC_BANNER));
    slow.Terminate();
}

// The stand-in is not running. Where the launch lines name its program file, the
// actions are named from the file's own menus; where nothing names it, the chooser
// asks to start it and keeps the raw form under Advanced.
TEST_F(RemoteE2e, ApplicationClosed_ActionsNamedFromItsProgramFileElseAskedToStartIt) {
    const std::string standin = WinPath(QRTL_E2E_STANDIN);
    const std::string folder = standin.substr(0, standin.find_last_of('\\'));
    std::string profile = StarterProfile("POWER=10\r\n") + "[KeyMap_STANDINTV]\r\nPOWER=#8010\r\n";
    const std::string client = "[Client]\r\nDefault=0\r\n";
    profile.insert(profile.find(client) + client.size(),
                   "0_Item=STANDINTV\r\n0_Caption=Standin TV\r\n0_ClassName=StandinTVClass\r\n"
                   "0_ExeDesc=Standin TV\r\n0_RegPath=Software\\QRTLRemoteClosedApp\r\n"
                   "0_RegFolder=Folder\r\n0_ExeName=StandinTV.exe\r\n0_Control=1\r\n");
    for (const bool known : {true, false}) {
        SCOPED_TRACE(known ? "program file known" : "nothing names the program file");
        MachineKeyGuard key("Software\\QRTLRemoteClosedApp");
        if (known) {
            ASSERT_TRUE(key.SetString("Folder", folder));
        }
        ASSERT_TRUE(WriteTextFile(ProfilePath(), profile));
        ASSERT_TRUE(StartRemote());
        const HWND chooser = OpenAction(0, IDC_ACT_COMMANDS);
        ASSERT_NE(chooser, nullptr);
        const std::vector<std::string> commands = ComboItems(::GetDlgItem(chooser, IDC_ACT_COMMANDS));
        const std::string words = TextOf(::GetDlgItem(chooser, IDC_ACT_WORDS));
        const bool rawShown = ::IsWindowVisible(::GetDlgItem(chooser, IDC_ACT_ADVANCED)) != FALSE;
        if (known) {
            EXPECT_NE(words.find("Menu: "), std::string::npos) << words;
            EXPECT_EQ(words.find("Command 8010"), std::string::npos) << words;
            EXPECT_GT(commands.size(), 3u);
            EXPECT_TRUE(rawShown);
        } else {
            ASSERT_EQ(commands.size(), 1u);
            EXPECT_EQ(commands[0], "Start Standin TV to choose from its menus");
            EXPECT_FALSE(rawShown);
            ::PostMessageA(chooser, WM_COMMAND, MAKEWPARAM(IDC_ACT_SHOW_ADVANCED, BN_CLICKED),
                           reinterpret_cast<LPARAM>(::GetDlgItem(chooser, IDC_ACT_SHOW_ADVANCED)));
            EXPECT_TRUE(PumpUntil([&] { return ::IsWindowVisible(::GetDlgItem(chooser, IDC_ACT_ADVANCED)) != FALSE; },
                                  kStepTimeoutMs));
        }
        ::PostMessageA(chooser, WM_COMMAND, IDCANCEL, 0);
        ASSERT_TRUE(PumpUntil([&] { return !::IsWindow(chooser); }, kStepTimeoutMs));
        remote_.Terminate();
    }
}

// ---- Screenshots for the README, from a real run (scripts/remote-shots.sh) ----
//
// Runs only when QRTL_SHOTS names a folder: at each picture it writes NAME.ready
// holding the screen rectangle "X Y W H" and waits for the script to answer with
// NAME.done once it has taken the picture.
class RemoteShots : public RemoteE2e {
protected:
    void SetUp() override {
        char folder[MAX_PATH] = {};
        const DWORD n = ::GetEnvironmentVariableA("QRTL_SHOTS", folder, MAX_PATH);
        if (n == 0 || n >= MAX_PATH) GTEST_SKIP() << "QRTL_SHOTS is not set: no screenshots asked for";
        sync_ = folder;
        RemoteE2e::SetUp();
    }

    static RECT Union(HWND a, HWND b) {
        RECT ra = {}, rb = {}, u = {};
        ::GetWindowRect(a, &ra);
        if (b) ::GetWindowRect(b, &rb); else rb = ra;
        ::UnionRect(&u, &ra, &rb);
        return u;
    }

    void Shot(const std::string& name, RECT r) {
        PumpFor(700);  // painted
        const std::string done = sync_ + "\\" + name + ".done";
        ::DeleteFileA(done.c_str());
        char text[64];
        std::snprintf(text, sizeof text, "%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
        ASSERT_TRUE(WriteTextFile(sync_ + "\\" + name + ".ready", text));
        ASSERT_TRUE(PumpUntil([&] { return FileExists(done); }, 30000)) << name;
    }

    // Where the set-up's open drop-down list is: a top-level window of its process.
    RECT DroppedList() const {
        RECT list = {};
        for (HWND h : ProcessWindows(remote_.Id())) {
            char name[32] = {};
            ::GetClassNameA(h, name, sizeof name);
            if (::IsWindowVisible(h) && std::string(name) == "ComboLBox") ::GetWindowRect(h, &list);
        }
        return list;
    }

    std::string sync_;
};

TEST_F(RemoteShots, LearnedRemote_Finder_ActionDropDown) {
    ASSERT_TRUE(InstallDriver());
    ASSERT_TRUE(WriteTextFile(ProfilePath(), StarterProfile()));
    ASSERT_TRUE(StartStandin());
    ASSERT_TRUE(StartRemote());
    const HWND window = Window();
    // On the 1024 x 768 screen: the window at the top left, the stand-in at its
    // lower right, the pointer out of the way of the drop-down.
    ::SetCursorPos(1023, 767);
    ::SetWindowPos(window, HWND_TOP, 6, 8, 0, 0, SWP_NOSIZE);
    RECT w;
    ::GetWindowRect(window, &w);
    RECT s;
    ::GetWindowRect(Standin(), &s);
    // Below the window where the screen has room, else over its lower right corner.
    const LONG below = std::min<LONG>(w.bottom + 16, 760 - (s.bottom - s.top));
    ::SetWindowPos(Standin(), HWND_TOP, 1018 - (s.right - s.left), below, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);

    // The finder in use: dragged over the stand-in client.
    RECT target;
    ::GetWindowRect(Standin(), &target);
    LPARAM release = 0;
    ASSERT_TRUE(DragFinderTo({(target.left + target.right) / 2, (target.top + target.bottom) / 2}, release));
    RECT both = Union(window, Standin());
    InflateRect(&both, 4, 4);
    Shot("remote-finder", both);
    ::PostMessageA(window, WM_LBUTTONUP, 0, release);
    EXPECT_NE(Answer("Fill the keys' actions", IDYES), "");
    ASSERT_TRUE(WaitLive("Filled")) << Live();

    // A learned remote.
    const struct {
        int index;
        const char* name;
        int code;
    } keys[] = {{0, "POWER", 12}, {5, "VOL+", 20}, {6, "VOL-", 21}, {7, "CH+", 30},
                {8, "CH-", 31},   {9, "MUTE", 22}};
    for (const auto& k : keys) Learn(k.index, k.name, k.code);
    // The stand-in out of the picture's way, beside the window.
    ::SetWindowPos(Standin(), HWND_BOTTOM, w.right + 8, 420, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    SelectKey(5);
    Click(IDC_TEST);
    ASSERT_TRUE(WaitLive("posted to")) << Live();
    Shot("remote-window", Union(window, nullptr));

    // The action drop-down of one key.
    const HWND chooser = OpenAction(9, IDC_ACT_COMMANDS);
    ASSERT_NE(chooser, nullptr);
    const HWND commands = ::GetDlgItem(chooser, IDC_ACT_COMMANDS);
    ::PostMessageA(commands, CB_SHOWDROPDOWN, TRUE, 0);
    PumpFor(500);
    const RECT list = DroppedList();
    RECT dialog;
    ::GetWindowRect(chooser, &dialog);
    RECT shot;
    ::UnionRect(&shot, &dialog, &list);
    Shot("remote-action", shot);
    ::PostMessageA(commands, CB_SHOWDROPDOWN, FALSE, 0);
    ::PostMessageA(chooser, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(PumpUntil([&] { return !::IsWindow(chooser); }, kStepTimeoutMs));
    Click(IDC_CLOSE);
    Answer("Save the changes", IDNO);
    EXPECT_TRUE(WaitRemoteEnds());
}

TEST_F(RemoteShots, TwoApplications_ActionWithTheApplicationClosed) {
    ASSERT_TRUE(InstallDriver());
    ASSERT_TRUE(WriteTextFile(ProfilePath(), StarterProfile()));
    ASSERT_TRUE(StartStandin());
    ASSERT_TRUE(StartOther());
    ASSERT_TRUE(StartRemote());
    const HWND window = Window();
    ::SetCursorPos(1023, 767);
    ::SetWindowPos(window, HWND_TOP, 6, 8, 0, 0, SWP_NOSIZE);

    // Two applications, one after the other: the stand-in, then the other one in
    // the next empty entry; the list shows both and which one the remote works with.
    TakeFromList(L"Standin TV");
    EXPECT_NE(Answer("Fill the keys' actions", IDYES), "");
    ASSERT_TRUE(WaitLive("Filled")) << Live();
    Click(IDC_APP_ADD);
    TakeFromList(L"Other TV");
    EXPECT_NE(Answer("Should it work with", IDYES), "");
    EXPECT_NE(Answer("Fill the keys' actions", IDYES), "");
    ASSERT_TRUE(WaitLive("Filled")) << Live();
    // The second is a copy of the stand-in: the owner gives it a name of its own.
    ::SetWindowTextW(Item(IDC_APP_NAME), L"Other TV");
    Click(IDC_APP_RENAME);
    PumpFor(300);
    const HWND slots = Item(IDC_APP_SLOTS);
    ::PostMessageA(slots, CB_SHOWDROPDOWN, TRUE, 0);
    PumpFor(500);
    const RECT list = DroppedList();
    RECT shot = Union(window, nullptr);
    ::UnionRect(&shot, &shot, &list);
    Shot("remote-two-apps", shot);
    ::PostMessageA(slots, CB_SHOWDROPDOWN, FALSE, 0);
    Click(IDC_CLOSE);
    Answer("Save the changes", IDNO);
    ASSERT_TRUE(WaitRemoteEnds());

    // The stand-in closed, its program file known from its launch lines: the Action
    // dialog names its menu commands from the file.
    ::PostMessageA(Standin(), WM_CLOSE, 0, 0);
    if (!standin_.WaitExit(3000)) standin_.Terminate();
    const std::string standin = WinPath(QRTL_E2E_STANDIN);
    MachineKeyGuard key("Software\\QRTLRemoteShots");
    ASSERT_TRUE(key.SetString("Folder", standin.substr(0, standin.find_last_of('\\'))));
    std::string profile = StarterProfile("POWER=10\r\nMUTE=22\r\n") + "[KeyMap_STANDINTV]\r\nPOWER=#8010\r\n";
    const std::string client = "[Client]\r\nDefault=0\r\n";
    profile.insert(profile.find(client) + client.size(),
                   "0_Item=STANDINTV\r\n0_Caption=Standin TV\r\n0_ClassName=StandinTVClass\r\n"
                   "0_ExeDesc=Standin TV\r\n0_RegPath=Software\\QRTLRemoteShots\r\n"
                   "0_RegFolder=Folder\r\n0_ExeName=StandinTV.exe\r\n0_Control=1\r\n");
    ASSERT_TRUE(WriteTextFile(ProfilePath(), profile));
    ASSERT_TRUE(StartRemote());
    ::SetWindowPos(Window(), HWND_TOP, 6, 8, 0, 0, SWP_NOSIZE);
    const HWND chooser = OpenAction(9, IDC_ACT_COMMANDS);
    ASSERT_NE(chooser, nullptr);
    const HWND commands = ::GetDlgItem(chooser, IDC_ACT_COMMANDS);
    ::PostMessageA(commands, CB_SHOWDROPDOWN, TRUE, 0);
    PumpFor(500);
    const RECT dropped = DroppedList();
    RECT dialog;
    ::GetWindowRect(chooser, &dialog);
    ::UnionRect(&dialog, &dialog, &dropped);
    Shot("remote-action-closed", dialog);
    ::PostMessageA(commands, CB_SHOWDROPDOWN, FALSE, 0);
    ::PostMessageA(chooser, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(PumpUntil([&] { return !::IsWindow(chooser); }, kStepTimeoutMs));
    remote_.Terminate();
}

// --- Closing the monitor to learn, and writers beside the window ---------------

// The monitor's window thread held still, as a monitor busy in a slow driver call:
// its Close command waits until the thread runs again.
class HeldMonitor {
public:
    explicit HeldMonitor(HWND monitor) {
        DWORD pid = 0;
        const DWORD tid = ::GetWindowThreadProcessId(monitor, &pid);
        thread_.reset(::OpenThread(THREAD_SUSPEND_RESUME, FALSE, tid));
        held_ = thread_ && ::SuspendThread(thread_.get()) != static_cast<DWORD>(-1);
    }
    ~HeldMonitor() { Let(); }
    bool Held() const { return held_; }
    void Let() {
        if (held_) ::ResumeThread(thread_.get());
        held_ = false;
    }

private:
    qrtl::win32::UniqueHandleObj thread_;
    bool held_ = false;
};

// The monitor and the window beside it; Learn is pressed with the monitor held.
class RemoteMonitorE2e : public RemoteE2e {
protected:
    void LearnWithTheMonitorHeld() {
        ASSERT_TRUE(InstallDriver());
        ASSERT_TRUE(WriteTextFile(ProfilePath(), StarterProfile()));
        ASSERT_TRUE(StartMonitor());
        firstMonitor_ = FindProcessWindow(0, kMonitorTitle, product::kMonitorClass);
        ASSERT_TRUE(StartRemote());
        held_ = std::make_unique<HeldMonitor>(firstMonitor_);
        ASSERT_TRUE(held_->Held());
        SelectKey(kKeyVolUp);
        Click(IDC_LEARN);
        EXPECT_NE(Answer("The monitor is running", IDOK), "");
    }
    // Lets the held monitor take its Close command; true once it has ended.
    bool LetTheMonitorEnd() {
        held_->Let();
        return PumpUntil([&] { return !::IsWindow(firstMonitor_); }, kStepTimeoutMs);
    }
    bool MonitorRunsAgain() const {
        return PumpUntil([&] { return FindProcessWindow(0, kMonitorTitle, product::kMonitorClass) != nullptr; },
                         kStartTimeoutMs);
    }

    HWND firstMonitor_ = nullptr;
    std::unique_ptr<HeldMonitor> held_;
};

TEST_F(RemoteMonitorE2e, SlowToClose_WindowDisabledNoSecondLearnCloseMeanwhileStartsItAgain) {
    LearnWithTheMonitorHeld();
    EXPECT_TRUE(PumpUntil([&] { return !::IsWindowEnabled(Window()); }, kStepTimeoutMs));
    // A second Learn while the monitor closes is not taken: no second question.
    Click(IDC_LEARN);
    PumpFor(1500);
    EXPECT_EQ(MessageBoxWindow(), nullptr) << TextOf(::GetDlgItem(MessageBoxWindow(), kMessageBoxTextId));
    // Closed meanwhile: the window ends once the monitor has, and starts it again.
    ::PostMessageA(Window(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(LetTheMonitorEnd());
    EXPECT_TRUE(WaitRemoteEnds());
    EXPECT_TRUE(MonitorRunsAgain());
}

TEST_F(RemoteMonitorE2e, EndsOnlyAfterTheLimit_ToldThenStartedAgainAtClose) {
    LearnWithTheMonitorHeld();
    // The question answered above may still show for a moment: wait for the report itself.
    ASSERT_TRUE(PumpUntil(
        [&] {
            const HWND box = MessageBoxWindow();
            return box && TextOf(::GetDlgItem(box, kMessageBoxTextId)).find("did not end") != std::string::npos;
        },
        15000));
    EXPECT_NE(Answer("did not end within 10 s", IDOK), "");
    EXPECT_TRUE(PumpUntil([&] { return ::IsWindowEnabled(Window()) != FALSE; }, kStepTimeoutMs));
    ASSERT_TRUE(LetTheMonitorEnd());  // it takes its Close command late
    Click(IDC_CLOSE);
    ASSERT_TRUE(WaitRemoteEnds());
    EXPECT_TRUE(MonitorRunsAgain());
}

TEST_F(RemoteE2e, MonitorOfAnotherFolderRuns_NotClosedOwnerToldWhichOne) {
    ASSERT_TRUE(InstallDriver());
    ASSERT_TRUE(WriteTextFile(ProfilePath(), StarterProfile()));
    ASSERT_TRUE(MakeDir(folder_ / "other"));
    ASSERT_TRUE(CopyInto(QRTL_E2E_MONITOR, "other\\" QRTL_MONITOR_EXE));
    ASSERT_TRUE(CopyInto(QRTL_E2E_SIMDRIVER, "other\\" QRTL_DRIVER_NT));
    ASSERT_TRUE(WriteTextFile(folder_ / "other\\" QRTL_PROFILE_NAME, StarterProfile()));
    ASSERT_TRUE(monitor_.Start("\"" + (folder_ / "other\\" QRTL_MONITOR_EXE) + "\"", folder_ / "other"));
    ASSERT_TRUE(PumpUntil([&] { return FindProcessWindow(0, kMonitorTitle, product::kMonitorClass) != nullptr; },
                          kStartTimeoutMs));
    const HWND otherMonitor = FindProcessWindow(0, kMonitorTitle, product::kMonitorClass);
    ASSERT_TRUE(StartRemote());

    SelectKey(kKeyVolUp);
    Click(IDC_LEARN);
    const std::string told = Answer("not the one of this folder", IDOK);
    EXPECT_NE(told.find("other"), std::string::npos) << told;
    PumpFor(1000);
    EXPECT_TRUE(::IsWindow(otherMonitor));
}

TEST_F(RemoteE2e, DefaultChosenMeanwhileByAnotherWriter_NotRevertedBySave) {
    ASSERT_TRUE(WriteTextFile(ProfilePath(), StarterProfile()));
    ASSERT_TRUE(StartStandin());
    ASSERT_TRUE(StartRemote());
    ASSERT_TRUE(TakeStandinUnfilled());
    ASSERT_TRUE(PumpUntil([&] { return TextOf(Item(IDC_CLIENT_DESC)).find("Stand-in TV client") != std::string::npos; },
                          kStepTimeoutMs));

    // The monitor's setup dialog (or QRTLProfile) chooses another Default meanwhile.
    std::string text = ReadTextFile(ProfilePath());
    const std::size_t at = text.find("Default=0");
    ASSERT_NE(at, std::string::npos);
    text.replace(at, 9, "Default=1");
    ASSERT_TRUE(WriteTextFile(ProfilePath(), text));

    Click(IDC_SAVE);
    ASSERT_TRUE(WaitLive("Saved")) << Live();
    const std::string after = ReadTextFile(ProfilePath());
    EXPECT_NE(after.find("Default=1"), std::string::npos) << after;
    EXPECT_EQ(after.find("Default=0"), std::string::npos) << after;
    EXPECT_NE(after.find("0_Item=STANDINTV"), std::string::npos) << after;
}

TEST_F(RemoteMonitorE2e, ActionChangedWithoutLearnSavedRestartYes_RunningMonitorPostsTheNewCommand) {
    ASSERT_TRUE(InstallDriver());
    ASSERT_TRUE(WriteTextFile(ProfilePath(), StarterProfile("VOL+=20\r\n")));
    ASSERT_TRUE(StartStandin());
    ASSERT_TRUE(StartMonitor());
    const HWND firstMonitor = FindProcessWindow(0, kMonitorTitle, product::kMonitorClass);
    ASSERT_TRUE(StartRemote());
    ASSERT_TRUE(TakeStandinUnfilled());
    ASSERT_TRUE(ChooseKeyAction(kKeyVolUp, L"Enter"));
    ASSERT_TRUE(WaitLive("VOL+ \xE2\x86\x92 Key: Enter")) << Live();

    Click(IDC_SAVE);
    EXPECT_NE(Answer("Restart the monitor now, so that the remote uses the changes?", IDYES), "");
    ASSERT_TRUE(WaitLive("restarted")) << Live();
    EXPECT_FALSE(::IsWindow(firstMonitor));
    HWND monitor = nullptr;
    ASSERT_TRUE(PumpUntil(
        [&] { return (monitor = FindProcessWindow(0, kMonitorTitle, product::kMonitorClass)) != nullptr; },
        kStartTimeoutMs));
    const std::size_t received = StandinMessages().size();
    PumpFor(1000);
    Press(20);
    ASSERT_TRUE(PumpUntil([&] { return StandinMessages().size() > received; }, kStepTimeoutMs));
    EXPECT_NE(StandinMessages().back().find("WM_KEYDOWN wParam=0x0000000D"), std::string::npos)
        << StandinMessages().back();
}

TEST_F(RemoteMonitorE2e, SavedRestartNo_MonitorKeepsRunningWindowSaysWhen) {
    ASSERT_TRUE(InstallDriver());
    ASSERT_TRUE(WriteTextFile(ProfilePath(), StarterProfile("VOL+=20\r\n")));
    ASSERT_TRUE(StartMonitor());
    const HWND firstMonitor = FindProcessWindow(0, kMonitorTitle, product::kMonitorClass);
    ASSERT_TRUE(StartRemote());
    ASSERT_TRUE(ChooseKeyAction(kKeyVolUp, L"Enter"));
    ASSERT_TRUE(WaitLive("Key: Enter")) << Live();
    Click(IDC_SAVE);
    EXPECT_NE(Answer("Restart the monitor now", IDNO), "");
    ASSERT_TRUE(WaitLive("Saved")) << Live();
    // What lasts stays in the banner, said once: not again in the status line.
    const std::string banner = TextOf(Item(IDC_BANNER));
    EXPECT_NE(banner.find("take effect when the monitor starts next"), std::string::npos) << banner;
    EXPECT_EQ(Live().find("take effect"), std::string::npos) << Live();
    EXPECT_TRUE(::IsWindow(firstMonitor));

    // The owner restarts the monitor: it reads the saved profile, and the banner lets the line go.
    monitor_.Stop();
    ASSERT_TRUE(monitor_.WaitExit(kStepTimeoutMs));
    PumpUntil([] { return false; }, 2000);  // the window looks every second
    EXPECT_NE(TextOf(Item(IDC_BANNER)).find("take effect"), std::string::npos) << TextOf(Item(IDC_BANNER));
    ASSERT_TRUE(StartMonitor());
    EXPECT_TRUE(PumpUntil([&] { return TextOf(Item(IDC_BANNER)).find("take effect") == std::string::npos; }, 3000))
        << TextOf(Item(IDC_BANNER));
}

// A read-only profile and a missing card driver: what the window turns off, the
// banner that says why, and Save as..., which keeps the owner's changes in a copy.
class RemoteBanner : public RemoteE2e {
protected:
    static constexpr char kSaveAsTitle[] = "Save a copy of the profile";

    std::string Banner() const { return TextOf(Item(IDC_BANNER)); }

    // The window on a read-only profile of `text`, with POWER's code cleared: a
    // change not saved yet.
    void OpenReadOnlyAndClearPower(const std::string& text) {
        ASSERT_TRUE(WriteTextFile(ProfilePath(), text));
        ASSERT_TRUE(::SetFileAttributesA(ProfilePath().c_str(), FILE_ATTRIBUTE_READONLY));
        ASSERT_TRUE(StartRemote());
        SelectKey(0);
        Click(IDC_CLEAR);
        ASSERT_NE(AnswerClear(IDC_CLR_CODE), nullptr);
        ASSERT_TRUE(WaitLive("POWER has no code")) << Live();
    }
    bool Enabled(int id) const { return ::IsWindowEnabled(Item(id)) != FALSE; }

    // Answers the window's Save as dialog with `path`, typed into its file name
    // field and confirmed as the owner would.
    ::testing::AssertionResult SaveAsTo(const std::string& path) const {
        HWND dialog = nullptr;
        PumpUntil(
            [&] {
                for (HWND w : ProcessWindows(remote_.Id()))
                    if (::IsWindowVisible(w) && TextOf(w) == kSaveAsTitle) dialog = w;
                return dialog != nullptr;
            },
            kStepTimeoutMs);
        if (!dialog) return ::testing::AssertionFailure() << "no Save as dialog";
        HWND name = ::GetDlgItem(dialog, 0x47C);  // cmb13: the file name of the explorer-style dialog
        if (!name) name = ::GetDlgItem(dialog, 0x480);  // edt1
        if (!name) return ::testing::AssertionFailure() << "no file name field";
        wchar_t wide[MAX_PATH] = {};
        ::MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
        DWORD_PTR ignored = 0;
        ::SendMessageTimeoutW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide), SMTO_ABORTIFHUNG, kSendTimeoutMs,
                              &ignored);
        ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        if (!PumpUntil([&] { return !::IsWindow(dialog); }, kStepTimeoutMs))
            return ::testing::AssertionFailure() << "the Save as dialog stays";
        return ::testing::AssertionSuccess();
    }

    // Whether the static's text shows whole: measured in the dialog's font and
    // wrapped at its width, it fits its height.
    static ::testing::AssertionResult ShowsWhole(HWND control) {
        const std::string text = TextOf(control);
        wchar_t wide[1024] = {};
        ::MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, wide, 1024);
        RECT box = {};
        ::GetClientRect(control, &box);
        const HDC dc = ::GetDC(nullptr);
        const HFONT font = ::CreateFontW(-::MulDiv(8, ::GetDeviceCaps(dc, LOGPIXELSY), 72), 0, 0, 0, FW_NORMAL, 0, 0,
                                         0, DEFAULT_CHARSET, 0, 0, 0, 0, L"MS Shell Dlg 2");
        const HGDIOBJ old = ::SelectObject(dc, font);
        RECT need = {0, 0, box.right, 0};
        ::DrawTextW(dc, wide, -1, &need, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
        ::SelectObject(dc, old);
        ::DeleteObject(font);
        ::ReleaseDC(nullptr, dc);
        if (need.bottom <= box.bottom && need.right <= box.right) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "\"" << text << "\" needs " << need.right << " x " << need.bottom
                                             << ", the line has " << box.right << " x " << box.bottom;
    }
};

TEST_F(RemoteBanner, ReadOnlyProfile_CaptionBannerLearnSaveOff_SaveAsKeepsTheChangeInACopy) {
    ASSERT_TRUE(InstallDriver());
    const std::string before = StarterProfile("POWER=12\r\nZOOM=13\r\n");
    ASSERT_TRUE(WriteTextFile(ProfilePath(), before));
    ASSERT_TRUE(::SetFileAttributesA(ProfilePath().c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(StartMonitor());
    const HWND monitor = FindProcessWindow(0, kMonitorTitle, "#32770");
    ASSERT_TRUE(StartRemote());
    EXPECT_EQ(TextOf(Window()), std::string(product::kRemoteCaption) + " (read-only)");
    EXPECT_NE(Banner().find("read-only"), std::string::npos) << Banner();
    EXPECT_NE(Banner().find("Save as..."), std::string::npos) << Banner();
    EXPECT_FALSE(Enabled(IDC_LEARN));
    EXPECT_FALSE(Enabled(IDC_LEARN_ALL));
    EXPECT_FALSE(Enabled(IDC_SAVE));
    EXPECT_TRUE(Enabled(IDC_SAVE_AS));

    // Learn asked anyway (a shortcut, a second click) says why; the monitor keeps running.
    SelectKey(kKeyVolUp);
    Click(IDC_LEARN);
    ASSERT_TRUE(WaitLive("Learn is off")) << Live();
    EXPECT_EQ(MessageBoxWindow(), nullptr);
    EXPECT_TRUE(::IsWindow(monitor));

    // The owner's change goes into the copy; the read-only file stays as it was.
    SelectKey(0);
    Click(IDC_CLEAR);
    ASSERT_NE(AnswerClear(IDC_CLR_CODE), nullptr);
    ASSERT_TRUE(WaitLive("POWER has no code")) << Live();
    EXPECT_FALSE(Enabled(IDC_SAVE));
    const std::string copy = folder_ / "copy.INI";
    Click(IDC_SAVE_AS);
    ASSERT_TRUE(SaveAsTo(copy));
    ASSERT_TRUE(PumpUntil([&] { return Banner().find("copy.INI") != std::string::npos; }, kStepTimeoutMs)) << Banner();
    const std::string written = ReadTextFile(copy);
    EXPECT_NE(written.find("POWER=\r\n"), std::string::npos) << written;
    EXPECT_NE(written.find("ZOOM=13\r\n"), std::string::npos) << written;
    EXPECT_NE(written.find("; the owner's own note stays"), std::string::npos) << written;
    EXPECT_EQ(ReadTextFile(ProfilePath()), before);

    // The window works on the copy now: not read-only, and Save writes the copy.
    EXPECT_EQ(TextOf(Window()), product::kRemoteCaption);
    EXPECT_EQ(Banner().find("read-only"), std::string::npos) << Banner();
    EXPECT_TRUE(Enabled(IDC_LEARN));
    SelectKey(1);
    Click(IDC_CLEAR);
    ASSERT_NE(AnswerClear(IDC_CLR_CODE), nullptr);
    ASSERT_TRUE(WaitLive("ZOOM has no code")) << Live();
    Click(IDC_SAVE);
    // The monitor reads the profile beside it, not the copy: no restart is offered,
    // and the banner still says which file the window works on.
    ASSERT_TRUE(WaitLive("Saved")) << Live();
    EXPECT_EQ(MessageBoxWindow(), nullptr);
    EXPECT_NE(Banner().find("copy.INI"), std::string::npos) << Banner();
    EXPECT_NE(ReadTextFile(copy).find("ZOOM=\r\n"), std::string::npos) << ReadTextFile(copy);
    EXPECT_EQ(ReadTextFile(ProfilePath()), before);
    EXPECT_TRUE(::IsWindow(monitor));
}

TEST_F(RemoteBanner, ReadOnlyProfileMadeWritable_SaveOnOnceTheWindowIsActivated) {
    ASSERT_NO_FATAL_FAILURE(OpenReadOnlyAndClearPower(StarterProfile("POWER=12\r\n")));
    EXPECT_FALSE(Enabled(IDC_SAVE));

    ASSERT_TRUE(::SetFileAttributesA(ProfilePath().c_str(), FILE_ATTRIBUTE_NORMAL));
    ::PostMessageA(Window(), WM_ACTIVATE, WA_ACTIVE, 0);
    ASSERT_TRUE(PumpUntil([&] { return Enabled(IDC_SAVE); }, kStepTimeoutMs));
    EXPECT_EQ(TextOf(Window()), product::kRemoteCaption);
    EXPECT_EQ(Banner().find("read-only"), std::string::npos) << Banner();
    Click(IDC_SAVE);
    // "Saved ..." is said once, in the status line.
    ASSERT_TRUE(WaitLive("Saved")) << Live();
    EXPECT_EQ(Banner().find("Saved"), std::string::npos) << Banner();
    EXPECT_NE(ReadTextFile(ProfilePath()).find("POWER=\r\n"), std::string::npos) << ReadTextFile(ProfilePath());
}

// The world changes while the window is open and not touched: each line that
// states it follows within two seconds, without the window being activated.
TEST_F(RemoteBanner, WorldChangesWhileOpen_EveryLineFollowsWithin2s) {
    constexpr DWORD kFollowMs = 2500;  // the two seconds, and a little for the test's own polling
    ASSERT_TRUE(WriteTextFile(ProfilePath(), StarterProfile()));
    ASSERT_TRUE(::SetFileAttributesA(ProfilePath().c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(StartStandin());
    ASSERT_TRUE(StartRemote());
    ASSERT_TRUE(TakeStandinUnfilled());
    ASSERT_TRUE(WaitLive("Chosen")) << Live();
    ASSERT_NE(TextOf(Item(IDC_CLIENT_DESC)).find("its window is open now"), std::string::npos);
    ASSERT_NE(TextOf(Item(IDC_RECEIVER)).find("is missing"), std::string::npos) << TextOf(Item(IDC_RECEIVER));
    ASSERT_NE(Banner().find("read-only"), std::string::npos) << Banner();
    SelectKey(kKeyVolUp);

    ASSERT_TRUE(InstallDriver());
    ASSERT_TRUE(::SetFileAttributesA(ProfilePath().c_str(), FILE_ATTRIBUTE_NORMAL));
    ::PostMessageA(Standin(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(standin_.WaitExit(3000));
    const DWORD changed = ::GetTickCount();
    const auto left = [&] {
        const DWORD spent = ::GetTickCount() - changed;
        return spent >= kFollowMs ? DWORD{0} : kFollowMs - spent;
    };
    EXPECT_TRUE(PumpUntil(
        [&] { return TextOf(Item(IDC_CLIENT_DESC)).find("its window is not found now") != std::string::npos; },
        left()))
        << TextOf(Item(IDC_CLIENT_DESC));
    EXPECT_TRUE(PumpUntil([&] { return TextOf(Item(IDC_RECEIVER)).find(" ready.") != std::string::npos; }, left()))
        << TextOf(Item(IDC_RECEIVER));
    EXPECT_TRUE(PumpUntil([&] { return Banner().find("read-only") == std::string::npos; }, left())) << Banner();
    EXPECT_TRUE(Enabled(IDC_LEARN));
    const std::vector<std::string> findings = ListBoxItems(Item(IDC_FINDINGS));
    ASSERT_FALSE(findings.empty());
    EXPECT_EQ(findings[0].find("is missing"), std::string::npos) << findings[0];
}

TEST_F(RemoteBanner, ReadOnlyProfileClosedWithAChange_CopyOfferedAndWritten) {
    const std::string before = StarterProfile("POWER=12\r\n");
    ASSERT_NO_FATAL_FAILURE(OpenReadOnlyAndClearPower(before));
    Click(IDC_CLOSE);
    EXPECT_NE(Answer("Save your changes as a copy", IDYES), "");
    const std::string copy = folder_ / "kept.INI";
    ASSERT_TRUE(SaveAsTo(copy));
    ASSERT_TRUE(WaitRemoteEnds());
    EXPECT_NE(ReadTextFile(copy).find("POWER=\r\n"), std::string::npos) << ReadTextFile(copy);
    EXPECT_EQ(ReadTextFile(ProfilePath()), before);
}

TEST_F(RemoteBanner, NoDriver_FirstFindingNamesTheDriver_LearnOff_ReceiverLineWhole) {
    ASSERT_TRUE(WriteTextFile(ProfilePath(), StarterProfile("VOL-=5\r\n")));
    ASSERT_TRUE(StartRemote());
    const std::string missing = std::string("The card driver ") + kDriverName + " is missing: install the card's driver";
    const std::vector<std::string> findings = ListBoxItems(Item(IDC_FINDINGS));
    ASSERT_GE(findings.size(), 2u);
    EXPECT_EQ(findings[0].rfind(missing, 0), 0u) << findings[0];
    EXPECT_FALSE(Enabled(IDC_LEARN));
    EXPECT_FALSE(Enabled(IDC_LEARN_ALL));
    EXPECT_TRUE(ShowsWhole(Item(IDC_RECEIVER)));
    EXPECT_NE(TextOf(Item(IDC_RECEIVER)).find(kDriverName), std::string::npos) << TextOf(Item(IDC_RECEIVER));
    EXPECT_EQ(Live().find("learn the keys"), std::string::npos) << Live();
    // The banner keeps it while the status line moves on.
    EXPECT_EQ(Banner().rfind(missing, 0), 0u) << Banner();
    SelectKey(kKeyVolUp);
    Click(IDC_LEARN);
    ASSERT_TRUE(WaitLive("Learn is off")) << Live();
    EXPECT_EQ(MessageBoxWindow(), nullptr);
    EXPECT_EQ(Banner().rfind(missing, 0), 0u) << Banner();
}

TEST_F(RemoteShots, ReadOnlyProfileWithoutDriver_Banner) {
    ASSERT_TRUE(WriteTextFile(ProfilePath(), StarterProfile("POWER=12\r\nVOL+=20\r\n")));
    ASSERT_TRUE(::SetFileAttributesA(ProfilePath().c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(StartRemote());
    const HWND window = Window();
    ::SetCursorPos(1023, 767);
    ::SetWindowPos(window, HWND_TOP, 6, 8, 0, 0, SWP_NOSIZE);
    SelectKey(0);
    Click(IDC_CLEAR);
    ASSERT_NE(AnswerClear(IDC_CLR_CODE), nullptr);
    ASSERT_TRUE(WaitLive("POWER has no code")) << Live();
    Shot("remote-readonly", Union(window, nullptr));
    remote_.Terminate();
}

// The window on a screen of 144 dots per inch, as README shows it beside the one of 96.
TEST_F(RemoteShots, At144Dpi_TakenFilledLearned) {
    ASSERT_TRUE(SetScreenDpi(144));
    struct Back {
        ~Back() { SetScreenDpi(96); }
    } back;
    ASSERT_TRUE(InstallDriver());
    ASSERT_TRUE(WriteTextFile(ProfilePath(), StarterProfile()));
    ASSERT_TRUE(StartStandin());
    ASSERT_TRUE(StartRemote());
    const HWND window = Window();
    ::SetCursorPos(1, 1);
    ::SetWindowPos(window, HWND_TOP, 6, 8, 0, 0, SWP_NOSIZE);
    ASSERT_GE(::SendMessageW(Item(IDC_WINDOWS), CB_SELECTSTRING, static_cast<WPARAM>(-1),
                             reinterpret_cast<LPARAM>(L"Standin TV")), 0);
    Click(IDC_USE_WINDOW);
    EXPECT_NE(Answer("Fill the keys' actions", IDYES), "");
    ASSERT_TRUE(WaitLive("Filled")) << Live();
    Learn(0, "POWER", 12);
    Learn(5, "VOL+", 20);
    Learn(6, "VOL-", 21);
    SelectKey(5);
    Shot("remote-window-144dpi", Union(window, nullptr));
    remote_.Terminate();
}

// ---- Up to three TV applications ----

TEST_F(RemoteE2e, TwoApplicationsOneAfterTheOther_SwitchedEachKeepsItsActions_SetupDialogListsTheNames) {
    ASSERT_TRUE(InstallDriver());
    ASSERT_NO_FATAL_FAILURE(StandinTakenOtherRunning());
    ASSERT_TRUE(ChooseKeyAction(kKeyBtn100, L"Enter"));
    ASSERT_TRUE(WaitLive("BTN100 \xE2\x86\x92 Key: Enter")) << Live();

    // Add takes the next free place; the second application gets its own actions.
    Click(IDC_APP_ADD);
    ASSERT_TRUE(WaitLive("Add:")) << Live();
    // The stand-in has its entry: Add does not offer it again.
    EXPECT_EQ(::SendMessageW(Item(IDC_WINDOWS), CB_FINDSTRING, static_cast<WPARAM>(-1),
                             reinterpret_cast<LPARAM>(L"Standin TV")),
              CB_ERR);
    // The crosshair dragged onto it all the same: refused with the reason, and its
    // own entry offered instead.
    ::SetWindowPos(Standin(), HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    RECT standin;
    ::GetWindowRect(Standin(), &standin);
    LPARAM release = 0;
    ASSERT_TRUE(DragFinderTo({standin.left + 40, standin.top + 60}, release));
    ::PostMessageA(Window(), WM_LBUTTONUP, 0, release);
    EXPECT_NE(Answer("is in the list already, as Stand-in TV client for tests: two entries of one program would "
                     "share one set of actions. Switch to that entry?",
                     IDYES),
              "");
    ASSERT_TRUE(WaitLive(std::string("Editing the actions of ") + kStandinDesc)) << Live();
    EXPECT_EQ(::SendMessageW(Item(IDC_APP_SLOTS), CB_GETCURSEL, 0, 0), 0);
    Click(IDC_APP_ADD);
    ASSERT_TRUE(WaitLive("Add:")) << Live();
    TakeFromList(L"Other TV");
    EXPECT_NE(Answer("The remote works with Stand-in TV client for tests now. Should it work with", IDYES), "");
    EXPECT_NE(Answer("Fill the keys' actions", IDYES), "");
    ASSERT_TRUE(WaitLive("Filled")) << Live();
    ASSERT_TRUE(ChooseKeyAction(kKeyBtn100, L"Escape"));
    ASSERT_TRUE(WaitLive("BTN100 \xE2\x86\x92 Key: Escape")) << Live();
    ASSERT_NO_FATAL_FAILURE(Rename(L"Other TV"));
    EXPECT_EQ(ComboItems(Item(IDC_APP_SLOTS)),
              (std::vector<std::string>{kStandinDesc, "Other TV  (remote works with it)", "(empty)"}));

    // Back to the first: it is edited again, and POWER starts it once chosen so.
    ChooseApplication(0);
    ASSERT_TRUE(WaitLive(std::string("Editing the actions of ") + kStandinDesc)) << Live();
    Click(IDC_APP_ACTIVE);
    ASSERT_TRUE(WaitLive(std::string("The remote now works with ") + kStandinDesc)) << Live();

    const std::string after = SaveAndRead();
    for (const char* line : {"Default=0", "0_Item=STANDINTV", "0_ExeDesc=Stand-in TV client for tests", "1_Item=OTHERTV",
                             "1_Caption=\r\n", "1_ExeDesc=Other TV"})
        EXPECT_NE(after.find(line), std::string::npos) << line << "\n" << after;
    EXPECT_NE(SectionOf(after, "KeyMap_STANDINTV").find("BTN100=*0D"), std::string::npos) << after;
    EXPECT_NE(SectionOf(after, "KeyMap_OTHERTV").find("BTN100=*1B"), std::string::npos) << after;
    EXPECT_NE(SectionOf(after, "KeyMap_OTHERTV").find("VOL+=#"), std::string::npos) << after;
    Click(IDC_CLOSE);
    EXPECT_TRUE(WaitRemoteEnds());

    // The monitor's setup dialog lists the applications by the same names.
    ASSERT_TRUE(StartMonitor());
    const HWND monitor = FindProcessWindow(0, kMonitorTitle, "#32770");
    ASSERT_TRUE(::PostMessageA(monitor, kWmTrayIcon, kWmTrayIcon, WM_LBUTTONDBLCLK));
    HWND setup = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (setup = FindProcessWindow(monitor_.Id(), kSetupTitle)) != nullptr; },
                          kStepTimeoutMs));
    HWND combo = nullptr;
    std::vector<std::string> names;
    PumpUntil(
        [&] {
            combo = ::GetDlgItem(setup, kIdComboClient);
            names = combo ? ComboItems(combo) : std::vector<std::string>{};
            return names.size() >= 2;
        },
        kStepTimeoutMs);
    ASSERT_GE(names.size(), 2u);
    EXPECT_EQ(names[0], kStandinDesc);
    EXPECT_EQ(names[1], "Other TV");
    EXPECT_EQ(SendWithin(combo, CB_GETCURSEL, 0, 0), 0);
    ::PostMessageA(setup, WM_COMMAND, IDCANCEL, 0);
}

TEST_F(RemoteE2e, ApplicationRemoved_ItsLinesAndActionsGo_PowerStartsTheOther) {
    ASSERT_TRUE(WriteTextFile(
        ProfilePath(),
        "[Main]\r\nAutoRun=0\r\n[Client]\r\nDefault=1\r\n0_Item=STANDINTV\r\n0_Caption=Standin TV\r\n"
        "0_ExeDesc=Standin TV\r\n0_Control=1\r\n1_Item=OTHERTV\r\n1_Caption=Other TV\r\n1_ExeDesc=Other TV\r\n"
        "1_Control=1\r\n1_ExeName=OtherTV.exe\r\n[KeyMap_Controler]\r\nMUTE=22\r\n[KeyMap_STANDINTV]\r\nMUTE=#1\r\n"
        "[KeyMap_OTHERTV]\r\nMUTE=#2\r\nBTN1=#3\r\n"));
    ASSERT_TRUE(StartRemote());
    EXPECT_EQ(ComboItems(Item(IDC_APP_SLOTS)),
              (std::vector<std::string>{"Standin TV", "Other TV  (remote works with it)", "(empty)"}));

    // A name the profile cannot hold is refused with the reason; Enter in the field
    // renames and does not save.
    const HWND name = Item(IDC_APP_NAME);
    ::SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L" Other TV"));
    ::PostMessageW(name, WM_KEYDOWN, VK_RETURN, 1);
    ASSERT_TRUE(WaitLive("Not renamed: The name")) << Live();
    EXPECT_FALSE(::IsWindowEnabled(Item(IDC_SAVE)));

    // Asked first; No keeps it.
    Click(IDC_APP_REMOVE);
    EXPECT_NE(Answer("Remove Other TV", IDNO).find("2 actions are removed too"), std::string::npos);
    ASSERT_TRUE(WaitLive("Nothing removed")) << Live();
    Click(IDC_APP_REMOVE);
    EXPECT_NE(Answer("Remove Other TV", IDYES), "");
    ASSERT_TRUE(WaitLive("Other TV is removed. The remote now works with Standin TV; POWER starts it.")) << Live();
    EXPECT_EQ(ComboItems(Item(IDC_APP_SLOTS)),
              (std::vector<std::string>{"Standin TV  (remote works with it)", "(empty)", "(empty)"}));

    const std::string after = SaveAndRead();
    EXPECT_EQ(after.find("1_"), std::string::npos) << after;
    EXPECT_EQ(after.find("KeyMap_OTHERTV"), std::string::npos) << after;
    EXPECT_NE(after.find("Default=0"), std::string::npos) << after;
    EXPECT_NE(SectionOf(after, "KeyMap_STANDINTV").find("MUTE=#1"), std::string::npos) << after;
}

TEST_F(RemoteE2e, AnotherApplicationTakenForAUsedPlace_AskedReplaceOrFreePlace) {
    ASSERT_NO_FATAL_FAILURE(StandinTakenOtherRunning());
    ASSERT_NO_FATAL_FAILURE(Rename(L"Standin TV"));

    // Cancel: nothing is taken.
    TakeFromList(L"Other TV");
    EXPECT_NE(Answer("Replace Standin TV with Stand-in TV client for tests in this entry of the list?", IDCANCEL), "");
    ASSERT_TRUE(WaitLive("Nothing was taken: Standin TV stays.")) << Live();

    // New entry: both stay, the new one in the next place; asked whether the remote
    // now works with it, No keeps the stand-in.
    TakeFromList(L"Other TV");
    EXPECT_NE(Answer("New entry keeps Standin TV", IDNO), "");
    // No is the default: a stray Enter keeps the remote on the application it works with.
    EXPECT_EQ(DefaultButton("The remote works with Standin TV now. Should it work with"), IDNO);
    EXPECT_NE(Answer("The remote works with Standin TV now. Should it work with", IDNO), "");
    EXPECT_NE(Answer("Fill the keys' actions", IDNO), "");
    // The status line names the window; what taking it noted is in the banner, whole.
    ASSERT_TRUE(WaitLive("Chosen: ")) << Live();
    EXPECT_EQ(Live().find("POWER"), std::string::npos) << Live();
    EXPECT_NE(TextOf(Item(IDC_BANNER)).find("The remote still works with Standin TV"), std::string::npos)
        << TextOf(Item(IDC_BANNER));
    EXPECT_EQ(ComboItems(Item(IDC_APP_SLOTS)),
              (std::vector<std::string>{"Standin TV  (remote works with it)", kStandinDesc, "(empty)"}));
    EXPECT_EQ(::SendMessageW(Item(IDC_APP_SLOTS), CB_GETCURSEL, 0, 0), 1);

    // One program, one entry: the stand-in's entry is not offered the other's window.
    ChooseApplication(0);
    ASSERT_TRUE(WaitLive("Editing the actions of Standin TV")) << Live();
    EXPECT_EQ(::SendMessageW(Item(IDC_WINDOWS), CB_FINDSTRING, static_cast<WPARAM>(-1),
                             reinterpret_cast<LPARAM>(L"Other TV")),
              CB_ERR);

    // Replace, once the other entry is gone: the place holds the new application
    // alone, the old one's actions go.
    ChooseApplication(1);
    ASSERT_TRUE(WaitLive("Editing the actions of")) << Live();
    Click(IDC_APP_REMOVE);
    EXPECT_NE(Answer("Remove ", IDYES), "");
    ASSERT_TRUE(WaitLive(" is removed.")) << Live();
    ChooseApplication(0);
    TakeFromList(L"Other TV");
    EXPECT_NE(Answer("Replace Standin TV with", IDYES), "");
    EXPECT_NE(Answer("Fill the keys' actions", IDNO), "");
    ASSERT_TRUE(WaitLive("Chosen")) << Live();
    const std::string after = SaveAndRead();
    EXPECT_NE(after.find("0_Item=OTHERTV"), std::string::npos) << after;
    EXPECT_EQ(after.find("1_Item="), std::string::npos) << after;
    EXPECT_EQ(after.find("STANDINTV"), std::string::npos) << after;
}

TEST_F(RemoteE2e, WindowWithoutTvCommands_SaidBeforeItIsTaken_OwnerCancels) {
    ASSERT_TRUE(WriteTextFile(ProfilePath(), StarterProfile()));
    // Three "Mute" buttons and no menu, on this thread: examined while Answer pumps.
    const std::unique_ptr<std::remove_pointer<HWND>::type, decltype(&::DestroyWindow)> odd(
        CreateOddWindow(DefWindowProcA), &::DestroyWindow);
    ASSERT_NE(odd, nullptr);
    ASSERT_TRUE(StartRemote());
    TakeFromList(L"Odd TV");
    const std::string said = Answer("shows no TV commands", IDCANCEL);
    EXPECT_NE(said.find("of 27 keys found a meaning"), std::string::npos) << said;
    ASSERT_TRUE(WaitLive("Nothing was taken")) << Live();
    EXPECT_FALSE(::IsWindowEnabled(Item(IDC_SAVE)));
    EXPECT_NE(TextOf(Item(IDC_CLIENT_DESC)).find("none chosen yet"), std::string::npos);
}
