// The set-up readers and the safe write against real windows, menus and files:
// the live menu walked on this test's own window (where Wine can read it), and a
// write killed or interrupted before the profile is replaced.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "platform/win32/Handle.h"
#include "setup/RemoteRows.h"
#include "setup/ResourceMenus.h"
#include "platform/win32/ProfileLock.h"
#include "setup/win32/SafeProfileWrite.h"
#include "setup/win32/Win32AppCommands.h"
#include "e2e/E2eHarness.h"

namespace {

using qrtl::setup::CommandSource;

constexpr char kChildEnv[] = "QRTL_SAFE_WRITE_CHILD";
constexpr DWORD kChildWaitMs = 15000;

LRESULT CALLBACK PlainProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return ::DefWindowProcA(hWnd, msg, wParam, lParam);
}

// A top-level window of this thread, destroyed with the object.
class OwnWindow {
public:
    OwnWindow() {
        WNDCLASSA wc{};
        wc.lpfnWndProc = PlainProc;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.lpszClassName = "QrtlSetupAdapterTest";
        ::RegisterClassA(&wc);  // a second registration fails harmlessly
        hWnd_ = ::CreateWindowExA(0, wc.lpszClassName, "Setup adapter test", WS_OVERLAPPEDWINDOW, 0, 0,
                                  300, 200, nullptr, nullptr, wc.hInstance, nullptr);
    }
    ~OwnWindow() {
        if (hWnd_) ::DestroyWindow(hWnd_);
    }
    HWND get() const { return hWnd_; }
    HWND AddButton(int id, const char* text, DWORD style = BS_PUSHBUTTON) {
        return ::CreateWindowExA(0, "BUTTON", text, WS_CHILD | WS_VISIBLE | style, 0, 0, 50, 20, hWnd_,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    }

private:
    HWND hWnd_ = nullptr;
};

HMENU BuildMenu() {
    HMENU bar = ::CreateMenu();
    HMENU audio = ::CreatePopupMenu();
    ::AppendMenuA(audio, MF_STRING, 0x9C4A, "Volume &up\tNum +");
    ::AppendMenuA(audio, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuA(audio, MF_STRING, 0x9C4B, "&Mute");
    HMENU view = ::CreatePopupMenu();
    HMENU picture = ::CreatePopupMenu();
    ::AppendMenuA(picture, MF_STRING, 0x9D00, "&Freeze\tSpace");
    ::AppendMenuA(view, MF_POPUP, reinterpret_cast<UINT_PTR>(picture), "&Picture");
    ::AppendMenuA(view, MF_STRING | MF_GRAYED, 0x9D01, "Full &screen\tF11");
    ::AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(audio), "&Audio");
    ::AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(view), "&View");
    ::AppendMenuA(bar, MF_STRING, 0x9E00, "&Help");
    return bar;
}

std::vector<std::string> Describe(const std::vector<qrtl::setup::MenuCommand>& menus) {
    std::vector<std::string> out;
    for (const auto& m : menus)
        out.push_back(qrtl::setup::CommandIdText(m.id) + " " + m.path + " [" + m.shortcut + "] " +
                      qrtl::setup::SourceName(m.source));
    return out;
}

TEST(AppCommandsAdapter, OwnWindowsLiveMenu_EveryCommandWithPathAndShortcut) {
    OwnWindow window;
    ASSERT_NE(window.get(), nullptr);
    ASSERT_TRUE(::SetMenu(window.get(), BuildMenu()));
    window.AddButton(301, "&Louder");
    window.AddButton(302, "Group", BS_GROUPBOX);  // a frame, not a command
    window.AddButton(303, "");                    // no text, nothing to name it by

    std::string exePath;
    const qrtl::setup::AppCatalog catalog = qrtl::win32::ReadAppCatalog(window.get(), exePath);
    // This program's own resources (the monitor's tray menu) follow the live menu.
    std::vector<qrtl::setup::MenuCommand> live;
    for (const auto& m : catalog.menus)
        if (m.source == CommandSource::LiveMenu) live.push_back(m);
    EXPECT_EQ(catalog.menus.front().source, CommandSource::LiveMenu);
    EXPECT_EQ(Describe(live),
              (std::vector<std::string>{"#9C4A Audio > Volume up [Num +] live menu",
                                        "#9C4B Audio > Mute [] live menu",
                                        "#9D00 View > Picture > Freeze [Space] live menu",
                                        "#9D01 View > Full screen [F11] live menu",
                                        "#9E00 Help [] live menu"}));
    EXPECT_EQ(catalog.liveMenuNote, "");
    ASSERT_EQ(catalog.controls.size(), 1u);
    EXPECT_EQ(catalog.controls[0].id, 301u);
    EXPECT_EQ(catalog.controls[0].text, "Louder");
    // The shortcut texts give keys: three postable ones.
    EXPECT_EQ(catalog.keys.size(), 3u);
    EXPECT_NE(exePath.find("win32_tests"), std::string::npos) << exePath;
}

// Nine menus, each used five times one level down (with a command of its own each
// time): walked as a tree that is 488,281 items; walked once per menu it is a few.
TEST(AppCommandsAdapter, MenusThatRepeatTheirSubmenus_EachWalkedOnceQuicklyAndSaidSo) {
    OwnWindow window;
    ASSERT_NE(window.get(), nullptr);
    constexpr int kLevels = 9;
    constexpr int kUses = 5;
    HMENU levels[kLevels] = {};
    for (int i = kLevels - 1; i >= 0; --i) {
        levels[i] = i == 0 ? ::CreateMenu() : ::CreatePopupMenu();
        ::AppendMenuA(levels[i], MF_STRING, static_cast<UINT_PTR>(0x9000 + i), "Command");
        if (i + 1 < kLevels)
            for (int u = 0; u < kUses; ++u)
                ::AppendMenuA(levels[i], MF_POPUP, reinterpret_cast<UINT_PTR>(levels[i + 1]), "Again");
    }
    ASSERT_TRUE(::SetMenu(window.get(), levels[0]));
    const DWORD start = ::GetTickCount();
    std::string exePath;
    const qrtl::setup::AppCatalog catalog = qrtl::win32::ReadAppCatalog(window.get(), exePath);
    const DWORD elapsed = ::GetTickCount() - start;
    EXPECT_LT(elapsed, 5000u);
    std::size_t live = 0;
    for (const auto& m : catalog.menus)
        if (m.source == CommandSource::LiveMenu) ++live;
    EXPECT_LE(live, static_cast<std::size_t>(kLevels));
    for (const auto& m : catalog.menus) EXPECT_LE(m.path.size(), 512u);
}

TEST(AppCommandsAdapter, MenuWithMoreItemsThanTheCap_FirstOnesKeptAndSaidSo) {
    OwnWindow window;
    ASSERT_NE(window.get(), nullptr);
    HMENU bar = ::CreateMenu();
    HMENU popup = ::CreatePopupMenu();
    for (UINT id = 1; id <= 5100; ++id) ::AppendMenuA(popup, MF_STRING, id, "Command");
    ::AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), "Many");
    ASSERT_TRUE(::SetMenu(window.get(), bar));
    std::string exePath;
    const qrtl::setup::AppCatalog catalog = qrtl::win32::ReadAppCatalog(window.get(), exePath);
    std::size_t live = 0;
    for (const auto& m : catalog.menus)
        if (m.source == CommandSource::LiveMenu) ++live;
    EXPECT_EQ(live, 5000u);
    EXPECT_TRUE(catalog.menusCut);
}

// A chain of popups, one in the other: up to the depth cap every level is walked;
// below it the rest is left out, and the catalog says it was cut.
TEST(AppCommandsAdapter, NestedPopups_PastTheDepthCapCutAndSaidSo) {
    struct Case {
        int popups;  // nested below the bar
        bool cut;
    };
    for (const Case c : {Case{qrtl::setup::kMaxMenuDepth, false}, Case{qrtl::setup::kMaxMenuDepth + 1, true},
                         Case{qrtl::setup::kMaxMenuDepth + 4, true}}) {
        const qrtl::win32::UniqueHMenu bar(::CreateMenu());
        HMENU parent = bar.get();
        for (int level = 1; level <= c.popups; ++level) {
            HMENU popup = ::CreatePopupMenu();
            ::AppendMenuA(popup, MF_STRING, static_cast<UINT_PTR>(0x9000 + level), "Command");
            ::AppendMenuA(parent, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), "Deeper");
            parent = popup;
        }
        std::vector<qrtl::setup::MenuCommand> commands;
        bool cut = false;
        ASSERT_TRUE(qrtl::win32::ReadMenuTree(bar.get(), CommandSource::LiveMenu, commands, &cut));
        EXPECT_EQ(cut, c.cut) << c.popups;
        EXPECT_EQ(commands.size(), static_cast<std::size_t>(std::min(c.popups, qrtl::setup::kMaxMenuDepth)))
            << c.popups;
    }
}

// A program file whose menu resource claims 8 MB from its last bytes on: the reader
// never reads past the file's image, leaves the resource out and says why, whether
// the bytes there end their menu or not.
TEST(AppCommandsAdapter, MenuResourceClaimingMoreThanTheFile_LeftOutWithANote) {
    struct Case {
        const char* name;
        std::string tail;
    };
    const std::string oneItem("\0\0\0\0\x80\0\x01\x90X\0\0\0", 12);  // ends with its end flag
    const std::string noEnd("\0\0\0\0\0\0\x01\0a\0\0\0", 12);      // never ends
    e2e::TempFolder folder;
    ASSERT_TRUE(folder.Create("damagedmenu"));
    for (const Case& c : {Case{"one item", oneItem}, Case{"no end", noEnd}}) {
        SCOPED_TRACE(c.name);
        const std::string copy = folder / "Damaged.exe";
        ASSERT_TRUE(e2e::CopyWithDamagedMenu(e2e::WinPath(QRTL_E2E_STANDIN), copy, c.tail, 8u * 1024 * 1024));
        const qrtl::setup::AppCatalog catalog = qrtl::win32::ReadFileCatalog(copy);
        EXPECT_NE(catalog.resourceNote.find("claims a size that reaches past the file"), std::string::npos)
            << catalog.resourceNote;
        for (const auto& m : catalog.menus) EXPECT_NE(m.id, 0x9001u) << m.path;
        // The accelerators are whole and still read.
        EXPECT_FALSE(catalog.keys.empty());
    }
}

// Whatever the caller hands it, the writer never writes a line that adds a line.
TEST(SafeWriteRefusal, TextThatWouldAddALine_RefusedProfileUntouched) {
    e2e::TempFolder folder;
    ASSERT_TRUE(folder.Create("saferefuse"));
    const std::string profile = folder / "QRTLIRMoni.INI";
    ASSERT_TRUE(e2e::WriteTextFile(profile, "[Client]\r\nDefault=0\r\n"));
    const std::vector<qrtl::win32::ProfileChange> bad = {
        {"Client", "0_RegFolder", "Dir\r\n[Injected]\r\nX"},
        {"Client", "[Injected]", "1"},
        {"KeyMap_A]B", "VOL+", "#8001"},
        {"Client", "A=B", "1"},
        {"Client", "0_Caption", std::string(256, 'x')},
    };
    for (const auto& change : bad) {
        std::string error;
        EXPECT_FALSE(qrtl::win32::WriteProfileSafely(profile, {{"Client", "0_Item", "TV"}, change}, error))
            << change.key;
        EXPECT_NE(error.find("refused"), std::string::npos) << error;
        EXPECT_EQ(e2e::ReadTextFile(profile), "[Client]\r\nDefault=0\r\n");
    }
}

// --- The safe write ----------------------------------------------------------

class SafeWriteTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.Create("safewrite"));
        profile_ = folder_ / "QRTLIRMoni.INI";
    }
    void TearDown() override { ::SetFileAttributesA(profile_.c_str(), FILE_ATTRIBUTE_NORMAL); }
    void Put(const std::string& text) { ASSERT_TRUE(e2e::WriteTextFile(profile_, text)); }
    // Files of the folder other than the profile and its backup.
    std::vector<std::string> Strays() const {
        std::vector<std::string> names;
        WIN32_FIND_DATAA found;
        qrtl::win32::UniqueFind find(::FindFirstFileA((folder_ / "*").c_str(), &found));
        if (!find) return names;
        do {
            const std::string name = found.cFileName;
            if (name != "." && name != ".." && name != "QRTLIRMoni.INI" && name != "QRTLIRMoni.INI.bak")
                names.push_back(name);
        } while (::FindNextFileA(find.get(), &found));
        return names;
    }

    e2e::TempFolder folder_;
    std::string profile_;
};

constexpr char kOwnersProfile[] = "; the owner's comment\r\n[Main]\r\nTimer=500\r\n";

TEST_F(SafeWriteTest, NewSectionAndKeys_CommentsKeptBackupOfTheOldFile) {
    Put(kOwnersProfile);
    std::string error;
    ASSERT_TRUE(qrtl::win32::WriteProfileSafely(
        profile_, {{"KeyMap_NEWTV", "VOL+", "#9C4A"}, {"Main", "Timer", "300"}, {"KeyMap_Controler", "MUTE", ""}},
        error))
        << error;
    const std::string text = e2e::ReadTextFile(profile_);
    EXPECT_NE(text.find("; the owner's comment"), std::string::npos) << text;
    EXPECT_NE(text.find("[KeyMap_NEWTV]"), std::string::npos) << text;
    EXPECT_NE(text.find("VOL+=#9C4A"), std::string::npos) << text;
    EXPECT_NE(text.find("Timer=300"), std::string::npos) << text;
    EXPECT_NE(text.find("MUTE="), std::string::npos) << text;
    EXPECT_EQ(e2e::ReadTextFile(profile_ + ".bak"), kOwnersProfile);
    EXPECT_TRUE(Strays().empty());
}

// The window's unsaved profile predicts what the profile functions make of its
// changes: every value reads the same both ways after keys and sections are removed.
TEST_F(SafeWriteTest, Removals_ReadAsTheEditedProfilePredicts) {
    using qrtl::setup::ChangeKind;
    const std::string before =
        "; the owner's comment\r\n[Client]\r\nDefault=1\r\n0_Item=A\r\n0_Item=B\r\n1_Item=C\r\n"
        "[KeyMap_A]\r\nPOWER=#1\r\n[Main]\r\nTimer=5\r\n[keymap_a]\r\nVOL+=#2\r\n";
    const std::vector<qrtl::setup::ProfileChange> changes = {
        {"Client", "0_Item", "", ChangeKind::RemoveKey},   {"KeyMap_A", "", "", ChangeKind::RemoveSection},
        {"KeyMap_A", "MUTE", "#3", ChangeKind::Set},       {"Client", "1_ITEM", "", ChangeKind::RemoveKey},
        {"Main", "Missing", "", ChangeKind::RemoveKey},
    };
    Put(before);
    qrtl::setup::EditedProfile unsaved(before);
    unsaved.Change(changes);
    std::string error;
    ASSERT_TRUE(qrtl::win32::WriteProfileSafely(profile_, unsaved.Changes(), error)) << error;

    const std::string text = e2e::ReadTextFile(profile_);
    EXPECT_NE(text.find("; the owner's comment"), std::string::npos) << text;
    for (const char* section : {"Client", "KeyMap_A", "Main"}) {
        for (const char* key : {"Default", "0_Item", "1_Item", "POWER", "VOL+", "MUTE", "Timer"}) {
            char value[256] = {};
            ::GetPrivateProfileStringA(section, key, "<none>", value, sizeof value, profile_.c_str());
            EXPECT_EQ(unsaved.Document().GetString(section, key, "<none>"), value)
                << section << " " << key << "\n" << text;
        }
    }
}

TEST_F(SafeWriteTest, ProfileThatCannotBeWritten_OneReasonNothingChanged) {
    Put(kOwnersProfile);
    ASSERT_TRUE(::SetFileAttributesA(profile_.c_str(), FILE_ATTRIBUTE_READONLY));
    std::string error;
    EXPECT_FALSE(qrtl::win32::WriteProfileSafely(profile_, {{"Main", "Timer", "1"}}, error));
    EXPECT_NE(error.find("read-only"), std::string::npos) << error;
    EXPECT_EQ(e2e::ReadTextFile(profile_), kOwnersProfile);
    EXPECT_FALSE(e2e::FileExists(profile_ + ".bak"));

    EXPECT_FALSE(qrtl::win32::WriteProfileSafely(folder_ / "no\\such\\QRTLIRMoni.INI",
                                                 {{"Main", "Timer", "1"}}, error));
    EXPECT_NE(error.find("nothing changed"), std::string::npos) << error;
    EXPECT_TRUE(Strays().empty());
}

// Run only as the child of the next test: writes into the copy, says so, and
// waits to be killed before the copy replaces the profile.
TEST(SafeWriteChild, WritesThenWaitsToBeKilled) {
    const char* profile = std::getenv(kChildEnv);
    if (profile == nullptr) GTEST_SKIP() << "the child of SafeWriteTest.KilledBeforeTheReplace";
    qrtl::win32::SafeProfileWrite write(profile);
    ASSERT_TRUE(write.Begin()) << write.Error();
    ASSERT_TRUE(write.Write("Main", "Timer", "1")) << write.Error();
    FILE* ready = std::fopen((std::string(profile) + ".ready").c_str(), "wb");
    if (ready != nullptr) std::fclose(ready);
    ::Sleep(INFINITE);
}

TEST_F(SafeWriteTest, KilledBetweenWritingTheCopyAndTheReplace_ProfileAsItWas) {
    Put(kOwnersProfile);
    ASSERT_TRUE(::SetEnvironmentVariableA(kChildEnv, profile_.c_str()));
    char self[MAX_PATH] = {};
    ASSERT_GT(::GetModuleFileNameA(nullptr, self, MAX_PATH), 0u);
    e2e::ChildProcess child;
    const bool started = child.Start(std::string("\"") + self + "\" --gtest_filter=SafeWriteChild.WritesThenWaitsToBeKilled",
                                     folder_.Path());
    ::SetEnvironmentVariableA(kChildEnv, nullptr);
    ASSERT_TRUE(started);
    const std::string ready = profile_ + ".ready";
    ASSERT_TRUE(e2e::PumpUntil([&] { return e2e::FileExists(ready); }, kChildWaitMs));
    child.Terminate();
    ::DeleteFileA(ready.c_str());

    EXPECT_EQ(e2e::ReadTextFile(profile_), kOwnersProfile);
    EXPECT_FALSE(e2e::FileExists(profile_ + ".bak"));
    // The killed write's copy stays behind, with the change in it, beside the profile.
    const std::vector<std::string> strays = Strays();
    ASSERT_EQ(strays.size(), 1u);
    EXPECT_NE(e2e::ReadTextFile(folder_ / strays[0]).find("Timer=1"), std::string::npos);
}

// Run only as the child of the next test: on a console of its own, writes into the
// copy and then gets a Ctrl+C before the replace.
TEST(SafeWriteChild, WritesThenGetsCtrlC) {
    const char* profile = std::getenv(kChildEnv);
    if (profile == nullptr) GTEST_SKIP() << "the child of SafeWriteTest.CtrlCBeforeTheReplace";
    qrtl::win32::SafeProfileWrite write(profile);
    ASSERT_TRUE(write.Begin()) << write.Error();
    ASSERT_TRUE(write.Write("Main", "Timer", "1")) << write.Error();
    ::SetConsoleCtrlHandler(nullptr, FALSE);  // Ctrl+C is not ignored in this process
    FILE* written = std::fopen((std::string(profile) + ".written").c_str(), "wb");
    if (written != nullptr) std::fclose(written);
    ASSERT_TRUE(::GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0));
    ::Sleep(kChildWaitMs);  // the handlers end the process meanwhile
    FILE* late = std::fopen((std::string(profile) + ".alive").c_str(), "wb");
    if (late != nullptr) std::fclose(late);
}

TEST_F(SafeWriteTest, CtrlCBetweenWritingTheCopyAndTheReplace_ProfileAsItWasCopyRemoved) {
    Put(kOwnersProfile);
    ASSERT_TRUE(::SetEnvironmentVariableA(kChildEnv, profile_.c_str()));
    char self[MAX_PATH] = {};
    ASSERT_GT(::GetModuleFileNameA(nullptr, self, MAX_PATH), 0u);
    std::string line = std::string("\"") + self + "\" --gtest_filter=SafeWriteChild.WritesThenGetsCtrlC";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    const BOOL created = ::CreateProcessA(self, &line[0], nullptr, nullptr, FALSE,
                                          CREATE_NEW_CONSOLE | CREATE_NEW_PROCESS_GROUP, nullptr, nullptr,
                                          &startup, &started);
    ::SetEnvironmentVariableA(kChildEnv, nullptr);
    ASSERT_TRUE(created);
    qrtl::win32::UniqueHandleObj process(started.hProcess);
    qrtl::win32::UniqueHandleObj thread(started.hThread);
    if (::WaitForSingleObject(process.get(), kChildWaitMs * 2) != WAIT_OBJECT_0) {
        ::TerminateProcess(process.get(), 1);
        FAIL() << "the child did not end";
    }
    ASSERT_TRUE(e2e::FileExists(profile_ + ".written")) << "the child did not get to write its copy";
    ::DeleteFileA((profile_ + ".written").c_str());
    if (e2e::FileExists(profile_ + ".alive")) GTEST_SKIP() << "no Ctrl+C reached the child's console here";
    EXPECT_EQ(e2e::ReadTextFile(profile_), kOwnersProfile);
    EXPECT_FALSE(e2e::FileExists(profile_ + ".bak"));
    EXPECT_TRUE(Strays().empty());
}

// --- Other programs beside the writer: a scanner, links, killed writers, another writer

// Runs `work` on a thread of its own; Join (or the end of the object) waits for it.
class Background {
public:
    explicit Background(std::function<void()> work)
        : work_(std::move(work)), thread_(::CreateThread(nullptr, 0, Run, this, 0, nullptr)) {}
    ~Background() { Join(); }
    Background(const Background&) = delete;
    Background& operator=(const Background&) = delete;
    void Join() {
        if (thread_) ::WaitForSingleObject(thread_.get(), INFINITE);
        thread_.reset();
    }

private:
    static DWORD WINAPI Run(void* self) {
        static_cast<Background*>(self)->work_();
        return 0;
    }
    std::function<void()> work_;
    qrtl::win32::UniqueHandleObj thread_;
};

// Holds the file open without sharing for `ms`, as a virus scanner or an indexer
// does when it has just seen the file.
class BriefHolder {
public:
    BriefHolder(const std::string& path, DWORD ms)
        : file_(::CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)),
          thread_([this, ms] {
              ::Sleep(ms);
              file_.reset();
          }) {}
    bool Holding() const { return static_cast<bool>(file_); }

private:
    qrtl::win32::UniqueFile file_;
    Background thread_;
};

TEST_F(SafeWriteTest, ProfileHeldBrieflyByAnotherProgram_WrittenAfterTheRetry) {
    Put(kOwnersProfile);
    BriefHolder scanner(profile_, 300);
    ASSERT_TRUE(scanner.Holding());
    std::string error;
    EXPECT_TRUE(qrtl::win32::WriteProfileSafely(profile_, {{"Main", "Timer", "300"}}, error)) << error;
    EXPECT_NE(e2e::ReadTextFile(profile_).find("Timer=300"), std::string::npos);
}

TEST_F(SafeWriteTest, ProfileThatIsAHardLink_RefusedWithAReasonLinkKept) {
    const std::string target = folder_ / "elsewhere.ini";
    ASSERT_TRUE(e2e::WriteTextFile(target, kOwnersProfile));
    if (!::CreateHardLinkA(profile_.c_str(), target.c_str(), nullptr)) GTEST_SKIP() << "no hard links here";
    std::string error;
    EXPECT_FALSE(qrtl::win32::WriteProfileSafely(profile_, {{"Main", "Timer", "300"}}, error));
    EXPECT_NE(error.find("link"), std::string::npos) << error;
    EXPECT_NE(error.find("nothing changed"), std::string::npos) << error;
    EXPECT_EQ(e2e::ReadTextFile(target), kOwnersProfile);
    EXPECT_EQ(e2e::ReadTextFile(profile_), kOwnersProfile);
}

TEST_F(SafeWriteTest, BackupThatIsAHardLink_ReplacedNotWrittenThrough) {
    Put(kOwnersProfile);
    const std::string other = folder_ / "other.txt";
    ASSERT_TRUE(e2e::WriteTextFile(other, "another file\r\n"));
    if (!::CreateHardLinkA((profile_ + ".bak").c_str(), other.c_str(), nullptr)) GTEST_SKIP() << "no hard links here";
    std::string error;
    ASSERT_TRUE(qrtl::win32::WriteProfileSafely(profile_, {{"Main", "Timer", "300"}}, error)) << error;
    EXPECT_EQ(e2e::ReadTextFile(other), "another file\r\n");
    EXPECT_EQ(e2e::ReadTextFile(profile_ + ".bak"), kOwnersProfile);
}

// The id of a process that has ended.
DWORD EndedProcessId() {
    char system[MAX_PATH] = {};
    if (::GetSystemDirectoryA(system, MAX_PATH) == 0) return 0;
    const std::string cmd = std::string(system) + "\\cmd.exe";
    std::string line = "\"" + cmd + "\" /c exit";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!::CreateProcessA(cmd.c_str(), &line[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                          &startup, &started))
        return 0;
    qrtl::win32::UniqueHandleObj process(started.hProcess);
    qrtl::win32::UniqueHandleObj thread(started.hThread);
    ::WaitForSingleObject(process.get(), kChildWaitMs);
    return started.dwProcessId;
}

// Sets the file's last write `seconds` back.
bool MakeOld(const std::string& path, unsigned seconds) {
    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER old;
    old.LowPart = now.dwLowDateTime;
    old.HighPart = now.dwHighDateTime;
    old.QuadPart -= seconds * 10000000ull;
    const FILETIME oldTime{old.LowPart, old.HighPart};
    const qrtl::win32::UniqueFile file(::CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING,
                                                     FILE_ATTRIBUTE_NORMAL, nullptr));
    return file && ::SetFileTime(file.get(), nullptr, nullptr, &oldTime);
}

std::string CopyName(DWORD pid, const char* number) {
    char name[64];
    std::snprintf(name, sizeof name, "qrp%08lX_%s.tmp", static_cast<unsigned long>(pid), number);
    return name;
}

// A copy is judged by the process named in it, never by its age: a writer at work
// keeps its copy however old its profile's time makes it look.
TEST_F(SafeWriteTest, CopiesOfKilledWriters_RemovedWhenTheirProcessEndedOthersKept) {
    Put(kOwnersProfile);
    const DWORD ended = EndedProcessId();
    ASSERT_NE(ended, 0u);
    const std::string killed = folder_ / CopyName(ended, "1");
    const std::string working = folder_ / CopyName(::GetCurrentProcessId(), "7F");
    const std::string earlier = folder_ / "qrpA1.tmp";  // an earlier version's: no process to tell by
    const std::string foreign = folder_ / "other.tmp";
    for (const std::string& path : {killed, working, earlier, foreign})
        ASSERT_TRUE(e2e::WriteTextFile(path, "Timer=1\r\n"));
    // Two minutes old, as the profile's time copied into a copy.
    for (const std::string& path : {killed, working, earlier, foreign}) ASSERT_TRUE(MakeOld(path, 120));
    std::string error;
    ASSERT_TRUE(qrtl::win32::WriteProfileSafely(profile_, {{"Main", "Timer", "300"}}, error)) << error;
    EXPECT_FALSE(e2e::FileExists(killed));
    EXPECT_TRUE(e2e::FileExists(working));
    EXPECT_TRUE(e2e::FileExists(earlier));
    EXPECT_TRUE(e2e::FileExists(foreign));
}

// Two writers of two profiles in one folder: the second's clean-up never takes the
// first one's copy, though the first profile was last written long ago.
TEST_F(SafeWriteTest, WriterOfAnotherProfileInTheFolder_OwnersLinesAndCommentsSurvive) {
    const std::string a = folder_ / "A.INI";
    const std::string b = folder_ / "B.INI";
    const std::string owners = "; the owner's comment\r\n[Main]\r\nTimer=500\r\n[KeyMap_Controler]\r\nVOL+=20\r\n";
    ASSERT_TRUE(e2e::WriteTextFile(a, owners));
    ASSERT_TRUE(e2e::WriteTextFile(b, "[Main]\r\nTimer=1\r\n"));
    ASSERT_TRUE(MakeOld(a, 3600));
    qrtl::win32::SafeProfileWrite writerA(a);
    ASSERT_TRUE(writerA.Begin()) << writerA.Error();
    std::string error;
    ASSERT_TRUE(qrtl::win32::WriteProfileSafely(b, {{"Main", "Timer", "2"}}, error)) << error;
    ASSERT_TRUE(writerA.Write("Main", "Timer", "300")) << writerA.Error();
    ASSERT_TRUE(writerA.Commit()) << writerA.Error();

    const std::string text = e2e::ReadTextFile(a);
    EXPECT_NE(text.find("; the owner's comment"), std::string::npos) << text;
    EXPECT_NE(text.find("VOL+=20"), std::string::npos) << text;
    EXPECT_NE(text.find("Timer=300"), std::string::npos) << text;
    EXPECT_EQ(e2e::ReadTextFile(a + ".bak"), owners);
}

// The plan is made from the bytes the copy took, so a line another program wrote
// without the lock before the copy is in the file, and one written after it is
// in neither the plan nor the file (the copy replaces the profile whole).
TEST_F(SafeWriteTest, Begin_CopyTakesTheProfileAsItIsAndSaysWhatItTook) {
    Put(kOwnersProfile);
    qrtl::win32::SafeProfileWrite write(profile_);
    ASSERT_TRUE(write.Begin()) << write.Error();
    std::string began;
    EXPECT_TRUE(write.BeganText(began));
    EXPECT_EQ(began, kOwnersProfile);
    ASSERT_TRUE(write.Write("Main", "Timer", "300")) << write.Error();
    const std::string copy = write.CopyText();
    EXPECT_NE(copy.find("; the owner's comment"), std::string::npos) << copy;
    EXPECT_NE(copy.find("Timer=300"), std::string::npos) << copy;
    // Held without delete sharing: no other program removes it under the writer.
    const std::vector<std::string> strays = Strays();
    ASSERT_EQ(strays.size(), 1u);
    EXPECT_FALSE(::DeleteFileA((folder_ / strays[0]).c_str()));
    ASSERT_TRUE(write.Commit()) << write.Error();
    EXPECT_EQ(e2e::ReadTextFile(profile_), copy);
    EXPECT_TRUE(Strays().empty());
}

struct WholeCase {
    const char* name;
    const char* before;  // null: no file
    bool replace;
    bool written;
    const char* backup;  // null: none
};

// Save as... and the starter profile: the whole file under the lock, a .bak of a
// file it replaces, an existing file left alone when only a new one is wanted.
TEST_F(SafeWriteTest, WholeFile_WrittenWithBackupOrRefused) {
    const WholeCase cases[] = {
        {"new file", nullptr, false, true, nullptr},
        {"new file, replace allowed", nullptr, true, true, nullptr},
        {"replaced", kOwnersProfile, true, true, kOwnersProfile},
        {"exists, new one wanted", kOwnersProfile, false, false, nullptr},
    };
    const std::string text = "[Main]\r\nTimer=300\r\n";
    for (const WholeCase& c : cases) {
        SCOPED_TRACE(c.name);
        ::DeleteFileA(profile_.c_str());
        ::DeleteFileA((profile_ + ".bak").c_str());
        if (c.before != nullptr) Put(c.before);
        std::string error;
        EXPECT_EQ(qrtl::win32::WriteWholeProfile(profile_, text, c.replace, error), c.written) << error;
        EXPECT_EQ(e2e::ReadTextFile(profile_), c.written ? text : std::string(c.before));
        EXPECT_EQ(e2e::FileExists(profile_ + ".bak"), c.backup != nullptr);
        if (c.backup != nullptr) {
            EXPECT_EQ(e2e::ReadTextFile(profile_ + ".bak"), c.backup);
        }
        if (!c.written) {
            EXPECT_NE(error.find("exists already"), std::string::npos) << error;
        }
        EXPECT_TRUE(Strays().empty());
    }
}

TEST_F(SafeWriteTest, WholeFile_AnotherWriterHoldsTheLock_WaitsForIt) {
    Put(kOwnersProfile);
    qrtl::win32::ProfileLock other;
    ASSERT_TRUE(other.Acquire(profile_, 0));
    bool written = false;
    std::string error;
    Background writer([&] { written = qrtl::win32::WriteWholeProfile(profile_, "[Main]\r\n", true, error); });
    ::Sleep(500);
    EXPECT_EQ(e2e::ReadTextFile(profile_), kOwnersProfile);
    other.Release();
    writer.Join();
    EXPECT_TRUE(written) << error;
    EXPECT_EQ(e2e::ReadTextFile(profile_), "[Main]\r\n");
}

TEST_F(SafeWriteTest, AnotherWriterHoldsTheProfileLock_WriteWaitsForIt) {
    Put(kOwnersProfile);
    qrtl::win32::ProfileLock other;
    ASSERT_TRUE(other.Acquire(profile_, 0));
    bool written = false;
    std::string error;
    Background writer([&] { written = qrtl::win32::WriteProfileSafely(profile_, {{"Main", "Timer", "300"}}, error); });
    ::Sleep(500);
    EXPECT_EQ(e2e::ReadTextFile(profile_), kOwnersProfile);  // still waiting
    other.Release();
    writer.Join();
    EXPECT_TRUE(written) << error;
    EXPECT_NE(e2e::ReadTextFile(profile_).find("Timer=300"), std::string::npos);
}

TEST_F(SafeWriteTest, SpellingsOfOneProfile_OneLockName) {
    const std::string name = qrtl::win32::ProfileLockName(profile_);
    std::string upper = profile_;
    for (char& c : upper) c = static_cast<char>(::toupper(static_cast<unsigned char>(c)));
    const std::string folder = folder_.Path();
    const std::string leaf = folder.substr(folder.find_last_of('\\') + 1);
    for (const std::string& spelling : {upper, folder + "\\.\\QRTLIRMoni.INI", folder + "\\..\\" + leaf + "\\qrtlirmoni.ini",
                                        folder + "/QRTLIRMoni.INI"})
        EXPECT_EQ(qrtl::win32::ProfileLockName(spelling), name) << spelling;
    EXPECT_NE(qrtl::win32::ProfileLockName(folder_ / "Other.INI"), name);
    EXPECT_EQ(name.rfind("QRTLIRMoni.Profile.", 0), 0u) << name;
}

// Another way to the same folder than its plain path (here the "\\?\" spelling;
// a junction, subst or a mapped drive are others), and the new file a save puts
// in place: still the one lock.
TEST_F(SafeWriteTest, FolderReachedAnotherWayOrFileReplaced_SameLockName) {
    Put(kOwnersProfile);
    const std::string name = qrtl::win32::ProfileLockName(profile_);
    std::string error;
    ASSERT_TRUE(qrtl::win32::WriteProfileSafely(profile_, {{"Main", "Timer", "300"}}, error)) << error;
    EXPECT_EQ(qrtl::win32::ProfileLockName(profile_), name);

    const std::string through = "\\\\?\\" + profile_;
    ASSERT_EQ(e2e::ReadTextFile(through), e2e::ReadTextFile(profile_)) << "not reached as " << through;
    EXPECT_EQ(qrtl::win32::ProfileLockName(through), name);
}

TEST_F(SafeWriteTest, ChangedMeanwhileByAnotherWriter_OnlyTheOwnersLinesWrittenConflictAsked) {
    const std::string base = "[Client]\r\nDefault=0\r\n[KeyMap_Controler]\r\nVOL+=\r\nMUTE=\r\n";
    Put("[Client]\r\nDefault=1\r\n[KeyMap_Controler]\r\nVOL+=\r\nMUTE=30\r\n");  // the setup dialog, QRTLProfile
    std::vector<std::string> asked;
    std::string saved;
    std::string error;
    ASSERT_TRUE(qrtl::win32::WriteChangesSince(
        profile_, base, {{"Client", "Default", "0"}, {"KeyMap_Controler", "VOL+", "20"}, {"KeyMap_Controler", "MUTE", "22"}},
        [&](const qrtl::setup::MergeConflict& conflict) {
            asked.push_back(conflict.ours.key + " " + conflict.theirs);
            return false;
        },
        saved, error))
        << error;
    const std::string text = e2e::ReadTextFile(profile_);
    EXPECT_EQ(saved, text);
    EXPECT_NE(text.find("Default=1"), std::string::npos) << text;  // not reverted
    EXPECT_NE(text.find("VOL+=20"), std::string::npos) << text;
    EXPECT_NE(text.find("MUTE=30"), std::string::npos) << text;    // the owner kept theirs
    EXPECT_EQ(asked, std::vector<std::string>{"MUTE 30"});
}

// The owner empties a key map and fills it again as it was, while another writer
// changed another line: the key map is in the saved file, and so is the other line.
TEST_F(SafeWriteTest, SectionRemovedAndRefilledWhileAnotherLineChanged_BothInTheFile) {
    using qrtl::setup::ChangeKind;
    const std::string base = "[Main]\r\nTimer=300\r\n[KeyMap_STANDINTV]\r\nVOL+=#8001\r\n";
    Put("[Main]\r\nTimer=500\r\n[KeyMap_STANDINTV]\r\nVOL+=#8001\r\n");
    std::string saved;
    std::string error;
    int asked = 0;
    ASSERT_TRUE(qrtl::win32::WriteChangesSince(
        profile_, base,
        {{"KeyMap_STANDINTV", "", "", ChangeKind::RemoveSection}, {"KeyMap_STANDINTV", "VOL+", "#8001"}},
        [&](const qrtl::setup::MergeConflict&) { return ++asked, true; }, saved, error))
        << error;
    char value[256] = {};
    ::GetPrivateProfileStringA("KeyMap_STANDINTV", "VOL+", "<none>", value, sizeof value, profile_.c_str());
    EXPECT_STREQ(value, "#8001");
    EXPECT_EQ(::GetPrivateProfileIntA("Main", "Timer", 0, profile_.c_str()), 500);
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(saved, e2e::ReadTextFile(profile_));
}

}  // namespace
