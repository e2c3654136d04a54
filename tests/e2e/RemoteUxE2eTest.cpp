// QRTLRemote.exe as the owner meets it under Wine: typing into its fields, texts
// that fit their controls, the finder dragged with the real mouse.
#include <gtest/gtest.h>

#include <commctrl.h>

#include <cstring>
#include <string>
#include <vector>

#include "E2eHarness.h"
#include "tools/remote/resource.h"

using namespace e2e;

namespace {

constexpr DWORD kStepMs = 10000;

// A profile with no client yet and a few keys without codes.
constexpr char kBareProfile[] =
    "[Main]\r\nShowMainWindow=0\r\nTimer=200\r\nAutoRun=0\r\nShutDown=0\r\n[Client]\r\nDefault=0\r\n"
    "[KeyMap_Controler]\r\nPOWER=\r\nVOL+=\r\nVOL-=\r\n";

// The text of another process's control, asked with a time limit (ANSI is enough:
// the texts read here are plain).
std::string TextOfWindow(HWND wnd) {
    char text[1024] = {};
    DWORD_PTR ignored = 0;
    const bool answered = ::SendMessageTimeoutA(wnd, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                                                SMTO_ABORTIFHUNG, kSendTimeoutMs, &ignored) != 0;
    return answered ? text : "";
}

class RemoteUx : public ::testing::Test {
protected:
    void SetUp() override {
        if (!FileExists(WinPath(QRTL_E2E_REMOTE))) GTEST_SKIP() << "QRTLRemote.exe is not built";
        ASSERT_TRUE(folder_.Create("rux"));
        ASSERT_TRUE(::CopyFileA(WinPath(QRTL_E2E_REMOTE).c_str(), (folder_ / product::kRemoteExe).c_str(), FALSE));
        ASSERT_TRUE(WriteTextFile(folder_ / kProfileName, kBareProfile));
    }
    void TearDown() override {
        if (remote_.Running()) remote_.Terminate();
        if (standin_.Running()) standin_.Terminate();
    }

    bool StartRemote() {
        if (!remote_.Start("\"" + (folder_ / product::kRemoteExe) + "\"", folder_.Path())) return false;
        return PumpUntil([&] { return Window() != nullptr; }, kStartTimeoutMs);
    }
    bool StartStandin() {
        const std::string cmd = "\"" + WinPath(QRTL_E2E_STANDIN) + "\"";
        return standin_.Start(cmd, folder_.Path()) && standin_.WaitForWindow(kStandinClass, kStandinCaption);
    }
    HWND Standin() const { return FindProcessWindow(standin_.Id(), kStandinCaption, kStandinClass); }

    // The visible window of the set-up tool that holds control `id`.
    HWND WindowWith(int id) const {
        for (HWND w : ProcessWindows(remote_.Id()))
            if (::IsWindowVisible(w) && ::GetDlgItem(w, id) != nullptr) return w;
        return nullptr;
    }
    HWND Window() const { return WindowWith(IDC_KEYS); }
    HWND Item(int id) const { return ::GetDlgItem(Window(), id); }
    std::string Live() const { return TextOfWindow(Item(IDC_LIVE)); }

    // Action... of the first key (selected when the window opens): the chooser.
    HWND OpenAction() const {
        ::PostMessageA(Window(), WM_COMMAND, MAKEWPARAM(IDC_ACTION, BN_CLICKED),
                       reinterpret_cast<LPARAM>(Item(IDC_ACTION)));
        HWND chooser = nullptr;
        PumpUntil([&] { return (chooser = WindowWith(IDC_ACT_ADVANCED)) != nullptr; }, kStepMs);
        return chooser;
    }

    TempFolder folder_;
    ChildProcess remote_;
    ChildProcess standin_;
};

// ---- The advanced field keeps what is typed ----

// Characters as the keyboard gives them to the field (posted, in order).
void Type(HWND edit, const std::string& chars) {
    for (const char c : chars) ::PostMessageW(edit, WM_CHAR, static_cast<WPARAM>(static_cast<unsigned char>(c)), 1);
}

TEST_F(RemoteUx, AdvancedField_Typed_TextCaretAndSelectionKeptWordsFollow) {
    struct Case {
        const char* start;  // the field's text before typing
        int selFrom, selTo; // the caret or selection then
        const char* typed;
        const char* text;   // afterwards
        int caret;
        const char* words;  // part of the words beside it
    } const cases[] = {
        {"", 0, 0, "*41", "*41", 3, "Key: "},
        {"", 0, 0, "#8021", "#8021", 5, "Command 8021"},
        {"#8021", 5, 5, "\b3", "#8023", 5, "Command 8023"},     // corrected at its end
        {"#8021", 1, 3, "9", "#921", 2, "Command 0921"},       // a selection replaced
        {"*41", 1, 1, "2", "*241", 2, "above FF"},             // typed in the middle
        {"#8021", 0, 5, "*", "*", 1, "too short"},             // all replaced
    };
    ASSERT_TRUE(StartRemote());
    const HWND chooser = OpenAction();
    ASSERT_NE(chooser, nullptr);
    const HWND edit = ::GetDlgItem(chooser, IDC_ACT_ADVANCED);
    const HWND words = ::GetDlgItem(chooser, IDC_ACT_WORDS);
    ASSERT_TRUE(::IsWindowVisible(edit)) << "no application taken: the field shows at once";
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.start) + " + " + c.typed);
        ::SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(std::wstring(c.start, c.start + std::strlen(c.start)).c_str()));
        ::PostMessageW(edit, EM_SETSEL, static_cast<WPARAM>(c.selFrom), c.selTo);
        Type(edit, c.typed);
        EXPECT_TRUE(PumpUntil([&] { return TextOfWindow(edit) == c.text; }, 3000)) << TextOfWindow(edit);
        const DWORD sel = static_cast<DWORD>(::SendMessageW(edit, EM_GETSEL, 0, 0));
        EXPECT_EQ(LOWORD(sel), c.caret);
        EXPECT_EQ(HIWORD(sel), c.caret);
        EXPECT_NE(TextOfWindow(words).find(c.words), std::string::npos) << TextOfWindow(words);
    }
    ::PostMessageA(chooser, WM_COMMAND, IDCANCEL, 0);
}

}  // namespace
