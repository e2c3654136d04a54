// QRTLRemote.exe with the keyboard alone under Wine: each Alt letter once in every
// state of the window, the window list reached by its letter and taken with Enter,
// the first focus on what is still missing, and a double click on a finding going
// where the finding is about.
#include <gtest/gtest.h>

#include <commctrl.h>

#include <map>
#include <string>
#include <vector>

#include "E2eHarness.h"
#include "setup/RemoteSession.h"
#include "tools/remote/resource.h"

using namespace e2e;

namespace {

constexpr DWORD kStepMs = 10000;
constexpr int kScanRow = 2;  // the third key of the list

constexpr char kMain[] = "[Main]\r\nShowMainWindow=0\r\nTimer=200\r\nAutoRun=0\r\nShutDown=0\r\n";
// No application chosen yet, no codes.
const std::string kBare = std::string(kMain) + "[Client]\r\nDefault=0\r\n[KeyMap_Controler]\r\nPOWER=\r\nVOL+=\r\n";
// The stand-in chosen, POWER and ZOOM learned: SCAN is the first key without a code.
const std::string kChosen = std::string(kMain) +
                            "[Client]\r\nDefault=0\r\n0_Item=STANDINTV\r\n0_Caption=\r\n0_ClassName=StandinTVClass\r\n"
                            "0_Control=1\r\n[KeyMap_Controler]\r\nPOWER=10\r\nZOOM=11\r\n";

std::string TextOf(HWND wnd) {
    char text[1024] = {};
    DWORD_PTR ignored = 0;
    const bool answered = ::SendMessageTimeoutA(wnd, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                                                SMTO_ABORTIFHUNG, kSendTimeoutMs, &ignored) != 0;
    return answered ? text : "";
}

class RemoteKeys : public ::testing::Test {
protected:
    void SetUp() override {
        if (!FileExists(WinPath(QRTL_E2E_REMOTE))) GTEST_SKIP() << "QRTLRemote.exe is not built";
        ASSERT_TRUE(folder_.Create("rky"));
        ASSERT_TRUE(MakeDir(folder_ / "irqueue"));
        ASSERT_TRUE(::CopyFileA(WinPath(QRTL_E2E_REMOTE).c_str(), (folder_ / product::kRemoteExe).c_str(), FALSE));
        ASSERT_TRUE(::CopyFileA(WinPath(QRTL_E2E_SIMDRIVER).c_str(), (folder_ / kDriverName).c_str(), FALSE));
    }
    void TearDown() override {
        if (remote_.Running()) remote_.Terminate();
        if (standin_.Running()) standin_.Terminate();
    }

    bool StartRemote(const std::string& profile) {
        if (!WriteTextFile(folder_ / kProfileName, profile)) return false;
        if (!remote_.Start("\"" + (folder_ / product::kRemoteExe) + "\"", folder_.Path())) return false;
        return PumpUntil([&] { return Window() != nullptr; }, kStartTimeoutMs);
    }
    bool StartStandin() {
        const std::string cmd = "\"" + WinPath(QRTL_E2E_STANDIN) + "\"";
        return standin_.Start(cmd, folder_.Path()) && standin_.WaitForWindow(kStandinClass, kStandinCaption);
    }

    HWND Window() const {
        for (HWND w : ProcessWindows(remote_.Id()))
            if (::IsWindowVisible(w) && ::GetDlgItem(w, IDC_KEYS) != nullptr) return w;
        return nullptr;
    }
    HWND Item(int id) const { return ::GetDlgItem(Window(), id); }
    std::string Live() const { return TextOf(Item(IDC_LIVE)); }
    bool WaitLive(const std::string& part) const {
        return PumpUntil([&] { return Live().find(part) != std::string::npos; }, kStepMs);
    }
    // The control of the window that has the keyboard now.
    HWND Focus() const {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        return ::GetGUIThreadInfo(::GetWindowThreadProcessId(Window(), nullptr), &info) ? info.hwndFocus : nullptr;
    }
    bool WaitFocus(int id) const {
        return PumpUntil([&] { return Focus() == Item(id); }, kStepMs);
    }
    // Alt and a letter, as the keyboard gives it to the control with the focus.
    void AltLetter(char letter) const {
        ::PostMessageW(Focus(), WM_SYSCHAR, static_cast<WPARAM>(letter), 1 << 29);
    }
    int SelectedKey() const {
        return static_cast<int>(SendWithin(Item(IDC_KEYS), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    }

    // The Alt letters of the window's labels and buttons now; the captions that
    // share one, in `twice`.
    std::map<char, std::string> Letters(std::string& twice) const {
        std::map<char, std::string> letters;
        for (HWND child = ::GetWindow(Window(), GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
            char kind[32] = {};
            ::GetClassNameA(child, kind, sizeof kind);
            const LONG style = ::GetWindowLongA(child, GWL_STYLE);
            const bool label = lstrcmpiA(kind, "Static") == 0 && (style & SS_NOPREFIX) == 0;
            if (!::IsWindowVisible(child) || (!label && lstrcmpiA(kind, "Button") != 0)) continue;
            const std::string caption = TextOf(child);
            const char letter = qrtl::setup::AltLetter(caption);
            if (letter == 0) continue;
            const auto [at, fresh] = letters.emplace(letter, caption);
            if (!fresh) twice += "'" + std::string(1, letter) + "': " + at->second + " / " + caption + "; ";
        }
        return letters;
    }

    // Double click on the finding whose text holds `part`; a failure naming them when none does.
    ::testing::AssertionResult DoubleClickFinding(const std::string& part) const {
        const HWND list = Item(IDC_FINDINGS);
        const auto count = SendWithin(list, LB_GETCOUNT, 0, 0, 0);
        std::string seen;
        for (LRESULT i = 0; i < count; ++i) {
            wchar_t wide[2048] = {};
            if (SendWithin(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0, 0) >= 2048) continue;
            DWORD_PTR ignored = 0;
            ::SendMessageTimeoutW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(wide),
                                  SMTO_ABORTIFHUNG, kSendTimeoutMs, &ignored);
            char text[4096] = {};
            ::WideCharToMultiByte(CP_UTF8, 0, wide, -1, text, sizeof text, nullptr, nullptr);
            seen += std::string(text) + " | ";
            if (std::string(text).find(part) == std::string::npos) continue;
            SendWithin(list, LB_SETCURSEL, static_cast<WPARAM>(i), 0);
            ::PostMessageA(Window(), WM_COMMAND, MAKEWPARAM(IDC_FINDINGS, LBN_DBLCLK), reinterpret_cast<LPARAM>(list));
            return ::testing::AssertionSuccess();
        }
        return ::testing::AssertionFailure() << count << " findings: " << seen;
    }

    TempFolder folder_;
    ChildProcess remote_;
    ChildProcess standin_;
};

TEST_F(RemoteKeys, Letters_EachOnceBeforeAndWhileLearning_AltOStopsLearningWindowStays) {
    ASSERT_TRUE(StartRemote(kChosen));
    std::string twice;
    const auto idle = Letters(twice);
    EXPECT_EQ(twice, "");
    EXPECT_EQ(idle.count('w'), 1u) << "the window list's label has a letter";

    ::PostMessageA(Window(), WM_COMMAND, MAKEWPARAM(IDC_LEARN_ALL, BN_CLICKED),
                   reinterpret_cast<LPARAM>(Item(IDC_LEARN_ALL)));
    ASSERT_TRUE(WaitLive("Press SCAN")) << Live();
    twice.clear();
    Letters(twice);
    EXPECT_EQ(twice, "");
    EXPECT_EQ(TextOf(Item(IDC_LEARN_ALL)), "St&op");

    // The letter of Stop ends learning; it closes nothing.
    AltLetter('o');
    EXPECT_TRUE(WaitLive("Learning stopped.")) << Live();
    PumpFor(500);
    EXPECT_NE(Window(), nullptr);
    EXPECT_EQ(TextOf(Item(IDC_LEARN_ALL)), "Lea&rn all");
}

TEST_F(RemoteKeys, FirstFocus_OnWhatIsStillMissing) {
    const struct {
        const char* name;
        const std::string& profile;
        int focus;
    } cases[] = {{"no application chosen", kBare, IDC_WINDOWS}, {"application chosen", kChosen, IDC_KEYS}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(StartRemote(c.profile));
        EXPECT_TRUE(WaitFocus(c.focus)) << Focus();
        remote_.Terminate();
        PumpUntil([&] { return Window() == nullptr; }, kStepMs);
    }
}

TEST_F(RemoteKeys, WindowList_AltWReachesItEnterTakesTheWindow) {
    ASSERT_TRUE(StartStandin());
    ASSERT_TRUE(StartRemote(kChosen));
    ASSERT_TRUE(WaitFocus(IDC_KEYS));
    AltLetter('w');
    ASSERT_TRUE(WaitFocus(IDC_WINDOWS)) << Focus();

    ASSERT_GE(SendWithin(Item(IDC_WINDOWS), CB_SELECTSTRING, static_cast<WPARAM>(-1),
                         reinterpret_cast<LPARAM>("Standin TV"), -1),
              0);
    const std::string before = Live();
    ::PostMessageW(Item(IDC_WINDOWS), WM_KEYDOWN, VK_RETURN, 1);
    // Taken as "Use this window" takes it: the owner is asked or told about it.
    EXPECT_TRUE(PumpUntil(
        [&] {
            for (HWND w : ProcessWindows(remote_.Id()))
                if (::IsWindowVisible(w) && w != Window() && ::GetDlgItem(w, 0xFFFF) != nullptr) return true;
            return Live() != before;
        },
        kStepMs))
        << Live();
}

TEST_F(RemoteKeys, FindingDoubleClicked_GoesWhereItIsAbout) {
    ASSERT_TRUE(StartRemote(kChosen));
    // "25 keys have no code yet: SCAN, ...": SCAN, not the first key of the list.
    ASSERT_EQ(SelectedKey(), 0);
    ASSERT_TRUE(DoubleClickFinding("no code yet: SCAN"));
    EXPECT_TRUE(PumpUntil([&] { return SelectedKey() == kScanRow; }, kStepMs)) << SelectedKey();
    EXPECT_TRUE(WaitFocus(IDC_KEYS));
    remote_.Terminate();
    PumpUntil([&] { return Window() == nullptr; }, kStepMs);

    // "The remote is not set up yet: choose the TV application ...": the window list.
    ASSERT_TRUE(StartRemote(kBare));
    ::SendMessageW(Window(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(IDC_KEYS)), TRUE);
    ASSERT_TRUE(WaitFocus(IDC_KEYS));
    ASSERT_TRUE(DoubleClickFinding("choose the TV application"));
    EXPECT_TRUE(WaitFocus(IDC_WINDOWS)) << Focus();
}

}  // namespace
