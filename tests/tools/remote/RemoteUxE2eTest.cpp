// QRTLRemote.exe as the owner meets it under Wine: typing into its fields, texts
// that fit their controls, the finder dragged with the real mouse.
#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>
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
        if (dpi_ != 0) SetDpi(96);
    }

    bool SetDpi(int dpi) {
        dpi_ = dpi;
        return SetScreenDpi(dpi);
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

    // The stand-in's entry (0) picked and its window taken again while the remote
    // works with the other entry: No to working with it, No to Fill.
    void TakeStandinKeepingTheOther() const {
        const HWND slots = Item(IDC_APP_SLOTS);
        ::SendMessageW(slots, CB_SETCURSEL, 0, 0);
        ::PostMessageA(Window(), WM_COMMAND, MAKEWPARAM(IDC_APP_SLOTS, CBN_SELCHANGE), reinterpret_cast<LPARAM>(slots));
        ASSERT_TRUE(PumpUntil([&] { return Live().find("Editing the actions of Stand-in") != std::string::npos; }, kStepMs))
            << Live();
        const HWND windows = Item(IDC_WINDOWS);
        ::SendMessageW(windows, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(L"Standin TV"));
        ::PostMessageA(Window(), WM_COMMAND, MAKEWPARAM(IDC_USE_WINDOW, BN_CLICKED),
                       reinterpret_cast<LPARAM>(Item(IDC_USE_WINDOW)));
        for (const char* question : {"Should it work with", "Fill the keys' actions"}) {
            HWND box = nullptr;
            ASSERT_TRUE(PumpUntil([&] { return (box = MessageBoxOf(question)) != nullptr; }, kStepMs)) << question;
            ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDNO, BN_CLICKED), 0);
        }
        ASSERT_TRUE(PumpUntil([&] { return Live().find("Chosen: ") != std::string::npos; }, kStepMs)) << Live();
        PumpFor(300);
    }

    // A message box of the set-up tool whose text holds `part`; null while none shows.
    HWND MessageBoxOf(const std::string& part) const {
        constexpr int kMessageBoxText = 0xFFFF;
        for (HWND w : ProcessWindows(remote_.Id()))
            if (::IsWindowVisible(w) && ::GetDlgItem(w, IDC_KEYS) == nullptr &&
                TextOfWindow(::GetDlgItem(w, kMessageBoxText)).find(part) != std::string::npos)
                return w;
        return nullptr;
    }

    TempFolder folder_;
    int dpi_ = 0;
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


// ---- Texts that fit their controls ----

// The stand-in taken as the first of two applications, a few keys learned and
// given actions, so that every line of the window has something to say.
constexpr char kTakenProfile[] =
    "[Main]\r\nShowMainWindow=0\r\nTimer=200\r\nAutoRun=0\r\nShutDown=0\r\n"
    "[Client]\r\nDefault=0\r\n0_ExeDesc=Stand-in TV client for tests\r\n0_Item=STANDINTV\r\n"
    "0_Caption=Standin TV\r\n0_ClassName=StandinTVClass\r\n0_Control=1\r\n"
    "1_ExeDesc=Other TV viewer\r\n1_Item=OTHERTV\r\n1_Control=1\r\n"
    "[KeyMap_Controler]\r\nPOWER=10\r\nVOL+=20\r\nVOL-=21\r\nCH+=22\r\nFREZE+=28\r\n"
    "[KeyMap_STANDINTV]\r\nPOWER=#8003\r\nVOL+=#8001\r\nVOL-=#8002\r\nCH+=#8005\r\nFREZE+=#8015\r\n"
    "TVFMSW=#8013\r\nSWITCH=#8014\r\nBTN1=*31\r\nBTN100=*21\r\n";

std::wstring WideTextOf(HWND wnd) {
    wchar_t text[2048] = {};
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutW(wnd, WM_GETTEXT, 2048, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, kSendTimeoutMs,
                          &ignored);
    return text;
}

std::string Ascii(const std::wstring& text) {
    std::string out;
    for (const wchar_t c : text) out += c < 128 ? static_cast<char>(c) : '?';
    return out;
}

// The text as a control without SS_NOPREFIX shows it: "&&" is one "&", a single
// "&" only underlines.
std::wstring Shown(const std::wstring& text) {
    std::wstring out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'&' && i + 1 < text.size()) ++i;
        out += text[i];
    }
    return out;
}

// Measures texts as another process's controls show them: the dialogs' font,
// "MS Shell Dlg" at 8 points, made on this side for the screen's `dpi` (another
// process's font handle means nothing here).
class Ruler {
public:
    explicit Ruler(int dpi) : dc_(::GetDC(nullptr)) {
        for (const int weight : {FW_NORMAL, FW_BOLD})
            fonts_.push_back(::CreateFontW(-::MulDiv(8, dpi, 72), 0, 0, 0, weight, FALSE, FALSE, FALSE,
                                           DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                           DEFAULT_PITCH, L"MS Shell Dlg"));
        old_ = ::SelectObject(dc_, fonts_[0]);
    }
    ~Ruler() {
        ::SelectObject(dc_, old_);
        for (HFONT f : fonts_) ::DeleteObject(f);
        ::ReleaseDC(nullptr, dc_);
    }
    Ruler(const Ruler&) = delete;
    Ruler& operator=(const Ruler&) = delete;

    void Bold(bool bold) { ::SelectObject(dc_, fonts_[bold ? 1 : 0]); }
    LONG Width(const std::wstring& text) const {
        SIZE size = {};
        ::GetTextExtentPoint32W(dc_, text.c_str(), static_cast<int>(text.size()), &size);
        return size.cx;
    }
    LONG LineHeight() const {
        TEXTMETRICW metrics{};
        ::GetTextMetricsW(dc_, &metrics);
        return metrics.tmHeight;
    }
    // Height of the text wrapped at words into `width`.
    LONG Wrapped(const std::wstring& text, LONG width) const {
        RECT r = {0, 0, width, 0};
        ::DrawTextW(dc_, text.c_str(), static_cast<int>(text.size()), &r,
                    DT_CALCRECT | DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX);
        return r.bottom;
    }

private:
    HDC dc_;
    std::vector<HFONT> fonts_;
    HGDIOBJ old_;
};

// The cell texts of a list view of process `pid`, row by row.
std::vector<std::vector<std::wstring>> ListViewCells(HWND list, DWORD pid, int columns) {
    std::vector<std::vector<std::wstring>> rows;
    const qrtl::win32::UniqueHandleObj process(
        ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid));
    if (!process) return rows;
    constexpr int kChars = 256;
    auto* remote = static_cast<char*>(
        ::VirtualAllocEx(process.get(), nullptr, sizeof(LVITEMW) + kChars * sizeof(wchar_t), MEM_COMMIT, PAGE_READWRITE));
    if (remote == nullptr) return rows;
    const int count = static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < count; ++row) {
        rows.emplace_back();
        for (int c = 0; c < columns; ++c) {
            LVITEMW item{};
            item.iSubItem = c;
            item.pszText = reinterpret_cast<wchar_t*>(remote + sizeof(LVITEMW));
            item.cchTextMax = kChars;
            wchar_t text[kChars] = {};
            SIZE_T moved = 0;
            ::WriteProcessMemory(process.get(), remote, &item, sizeof item, &moved);
            ::WriteProcessMemory(process.get(), remote + sizeof(LVITEMW), text, sizeof text, &moved);
            DWORD_PTR ignored = 0;
            ::SendMessageTimeoutW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remote),
                                  SMTO_ABORTIFHUNG, kSendTimeoutMs, &ignored);
            ::ReadProcessMemory(process.get(), remote + sizeof(LVITEMW), text, sizeof text, &moved);
            text[kChars - 1] = L'\0';
            rows.back().push_back(text);
        }
    }
    ::VirtualFreeEx(process.get(), remote, 0, MEM_RELEASE);
    return rows;
}

// Every text of the window at `dpi` that its control cuts, in words: its id, the
// text, the room it needs and the room it has. Hidden and empty controls are left
// out; texts that wrap must fit their height, one-line ones their width.
std::vector<std::string> CutTexts(HWND dialog, DWORD pid, int dpi) {
    Ruler ruler(dpi);
    std::vector<std::string> cut;
    const auto report = [&](HWND control, const std::wstring& text, LONG needs, LONG has) {
        if (needs <= has) return;
        cut.push_back(std::to_string(::GetDlgCtrlID(control)) + " \"" + Ascii(text) + "\" needs " +
                      std::to_string(needs) + " px, has " + std::to_string(has));
    };
    const int edge = ::GetSystemMetrics(SM_CXEDGE);
    for (HWND control = ::GetWindow(dialog, GW_CHILD); control; control = ::GetWindow(control, GW_HWNDNEXT)) {
        if (!::IsWindowVisible(control)) continue;
        char kind[32] = {};
        ::GetClassNameA(control, kind, sizeof kind);
        const std::string type = kind;
        const LONG style = ::GetWindowLongW(control, GWL_STYLE);
        RECT client{};
        ::GetClientRect(control, &client);
        const std::wstring text = WideTextOf(control);
        ruler.Bold(::GetDlgCtrlID(control) == IDC_PROMPT);
        if (type == "Static") {
            const LONG shape = style & SS_TYPEMASK;
            if (text.empty() || (shape != SS_LEFT && shape != SS_LEFTNOWORDWRAP && shape != SS_CENTER)) continue;
            const std::wstring shown = (style & SS_NOPREFIX) ? text : Shown(text);
            const bool oneLine = (style & SS_ENDELLIPSIS) || shape == SS_LEFTNOWORDWRAP ||
                                 client.bottom < 2 * ruler.LineHeight();
            if (oneLine)
                report(control, text, ruler.Width(shown), client.right);
            else
                report(control, text, ruler.Wrapped(shown, client.right), client.bottom);
        } else if (type == "Button") {
            if (text.empty()) continue;
            // A group box's title starts a few pixels in; a button's text keeps off its edges.
            const LONG margin = (style & BS_TYPEMASK) == BS_GROUPBOX ? 4 * edge + 8 : 4 * edge + 2;
            report(control, text, ruler.Width(Shown(text)) + margin, client.right);
        } else if (type == "Edit") {
            report(control, text, ruler.Width(text) + 2 * edge, client.right);
        } else if (type == "ComboBox") {
            const LONG arrow = ::GetSystemMetrics(SM_CXVSCROLL);
            report(control, text, ruler.Width(text) + arrow + 3 * edge, client.right);
            const LONG dropped = static_cast<LONG>(::SendMessageW(control, CB_GETDROPPEDWIDTH, 0, 0));
            for (const std::string& entry : ComboItems(control)) {
                const std::wstring wide(entry.begin(), entry.end());
                report(control, wide, ruler.Width(wide) + arrow + 2 * edge, dropped);
            }
        } else if (type == "SysListView32") {
            const auto rows = ListViewCells(control, pid, 5);
            for (const auto& row : rows)
                for (std::size_t c = 0; c < row.size(); ++c) {
                    const LONG column = static_cast<LONG>(::SendMessageW(control, LVM_GETCOLUMNWIDTH, c, 0));
                    report(control, row[c], ruler.Width(row[c]) + 12, column);
                }
        } else if (type == "ListBox") {
            const std::vector<std::string> entries = ListBoxItems(control);
            constexpr LONG kIcon = 16 + 4 + 2;  // the severity icon before each finding
            for (std::size_t i = 0; i < entries.size(); ++i) {
                const std::wstring wide(entries[i].begin(), entries[i].end());
                const LONG height = static_cast<LONG>(::SendMessageW(control, LB_GETITEMHEIGHT, i, 0));
                report(control, wide, ruler.Wrapped(wide, client.right - kIcon), height);
            }
        }
    }
    return cut;
}

std::string Lines(const std::vector<std::string>& lines) {
    std::string all;
    for (const auto& line : lines) all += "\n  " + line;
    return all;
}

class RemoteUxDpi : public RemoteUx, public ::testing::WithParamInterface<int> {};

TEST_P(RemoteUxDpi, EveryText_FitsItsControl) {
    ASSERT_TRUE(SetDpi(GetParam()));
    ASSERT_TRUE(::CopyFileA(WinPath(QRTL_E2E_SIMDRIVER).c_str(), (folder_ / kDriverName).c_str(), FALSE));
    ASSERT_TRUE(WriteTextFile(folder_ / kProfileName, kTakenProfile));
    ASSERT_TRUE(StartStandin());
    ASSERT_TRUE(StartRemote());
    ASSERT_TRUE(PumpUntil([&] { return !Live().empty(); }, kStepMs));
    PumpFor(500);
    EXPECT_EQ(Lines(CutTexts(Window(), remote_.Id(), GetParam())), "") << "at start";
    // Within the screen, which at 144 dpi is lower than the window's template.
    RECT area, window;
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    ::GetWindowRect(Window(), &window);
    EXPECT_GE(window.top, area.top);
    EXPECT_LE(window.bottom, area.bottom);
    EXPECT_GE(::SendMessageW(Item(IDC_KEYS), LVM_GETCOUNTPERPAGE, 0, 0), 8);
    // Right below the receiver line, the keys: no empty line between.
    RECT line, keys;
    ::GetWindowRect(Item(IDC_RECEIVER), &line);
    ::GetWindowRect(Item(IDC_KEYS), &keys);
    EXPECT_LT(keys.top - line.bottom, (line.bottom - line.top) / 2) << "a gap above the key list";
    // A key awaited: the bold prompt in the receiver line's place.
    ::PostMessageA(Window(), WM_COMMAND, MAKEWPARAM(IDC_LEARN, BN_CLICKED), reinterpret_cast<LPARAM>(Item(IDC_LEARN)));
    ASSERT_TRUE(PumpUntil([&] { return TextOfWindow(Item(IDC_PROMPT)).find("Press ") == 0; }, kStepMs)) << Live();
    EXPECT_TRUE(::IsWindowVisible(Item(IDC_PROMPT)));
    EXPECT_FALSE(::IsWindowVisible(Item(IDC_RECEIVER)));
    EXPECT_EQ(Lines(CutTexts(Window(), remote_.Id(), GetParam())), "") << "while learning";
    ::PostMessageA(Window(), WM_COMMAND, IDCANCEL, 0);  // Escape: learning stops
    EXPECT_TRUE(PumpUntil([&] { return ::IsWindowVisible(Item(IDC_RECEIVER)) != FALSE; }, kStepMs));
    EXPECT_FALSE(::IsWindowVisible(Item(IDC_PROMPT)));
    // A key tried: the line below says what was sent where.
    ::PostMessageA(Window(), WM_COMMAND, MAKEWPARAM(IDC_TEST, BN_CLICKED), reinterpret_cast<LPARAM>(Item(IDC_TEST)));
    ASSERT_TRUE(PumpUntil([&] { return Live().find("posted") != std::string::npos; }, kStepMs)) << Live();
    EXPECT_EQ(Lines(CutTexts(Window(), remote_.Id(), GetParam())), "") << "after Test";
    // The action chooser of that key, with the application's commands.
    const HWND chooser = OpenAction();
    ASSERT_NE(chooser, nullptr);
    EXPECT_EQ(Lines(CutTexts(chooser, remote_.Id(), GetParam())), "") << "Action...";
    ::PostMessageA(chooser, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(PumpUntil([&] { return ::IsWindowEnabled(Window()) != FALSE; }, kStepMs));
    // The other application made the one the remote works with: the list and the
    // confirmation say so whole.
    const HWND slots = Item(IDC_APP_SLOTS);
    ::SendMessageW(slots, CB_SETCURSEL, 1, 0);
    ::PostMessageA(Window(), WM_COMMAND, MAKEWPARAM(IDC_APP_SLOTS, CBN_SELCHANGE), reinterpret_cast<LPARAM>(slots));
    ASSERT_TRUE(PumpUntil([&] { return Live().find("Editing the actions of Other TV viewer") != std::string::npos; }, kStepMs))
        << Live();
    ::PostMessageA(Window(), WM_COMMAND, MAKEWPARAM(IDC_APP_ACTIVE, BN_CLICKED),
                   reinterpret_cast<LPARAM>(Item(IDC_APP_ACTIVE)));
    ASSERT_TRUE(PumpUntil([&] { return Live().find("The remote now works with Other TV viewer") != std::string::npos; }, kStepMs))
        << Live();
    PumpFor(300);
    EXPECT_EQ(Lines(CutTexts(Window(), remote_.Id(), GetParam())), "") << "the remote works with another";
    // The stand-in taken again for its entry, the remote kept on the other: the
    // status line names the window, the banner holds every note whole.
    ASSERT_NO_FATAL_FAILURE(TakeStandinKeepingTheOther());
    EXPECT_NE(TextOfWindow(Item(IDC_BANNER)).find("waits in the list"), std::string::npos)
        << TextOfWindow(Item(IDC_BANNER));
    EXPECT_EQ(Lines(CutTexts(Window(), remote_.Id(), GetParam())), "") << "a window taken";
}

// The card driver missing: its line and the notes of a window taken share the banner, each whole.
TEST_P(RemoteUxDpi, WindowTakenWithTheDriverMissing_BannerHoldsEveryLineWhole) {
    ASSERT_TRUE(SetDpi(GetParam()));
    std::string profile = kTakenProfile;
    profile.replace(profile.find("Default=0"), 9, "Default=1");  // the remote works with the other entry
    ASSERT_TRUE(WriteTextFile(folder_ / kProfileName, profile));
    ASSERT_TRUE(StartStandin());
    ASSERT_TRUE(StartRemote());
    ASSERT_NO_FATAL_FAILURE(TakeStandinKeepingTheOther());
    const std::string banner = TextOfWindow(Item(IDC_BANNER));
    EXPECT_NE(banner.find("is missing"), std::string::npos) << banner;
    EXPECT_NE(banner.find("waits in the list"), std::string::npos) << banner;
    EXPECT_EQ(Lines(CutTexts(Window(), remote_.Id(), GetParam())), "") << banner;
}

// ---- The finder with the real mouse ----

// Mouse input as the X server gets it from a real mouse (xdotool, through XTest),
// so that the window sees what an owner's drag gives it. Wine starts the Linux
// program without a process handle to wait on: its last step marks the end with a
// file. False when it did not end within ten seconds.
bool Mouse(const std::string& steps) {
    const std::string mark = UniqueName("qrtl-mouse");
    std::string line = "Z:\\usr\\bin\\xdotool " + steps + " exec touch /tmp/" + mark;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
    if (pi.hProcess) ::CloseHandle(pi.hProcess);
    if (pi.hThread) ::CloseHandle(pi.hThread);
    const std::string done = "Z:\\tmp\\" + mark;
    const bool ended = PumpUntil([&] { return FileExists(done); }, 10000);
    ::DeleteFileA(done.c_str());
    return ended;
}

std::string At(POINT p) { return std::to_string(p.x) + " " + std::to_string(p.y); }

TEST_P(RemoteUxDpi, FinderDraggedWithTheMouse_TakesTheWindowUnderThePointer) {
    if (!FileExists("Z:\\usr\\bin\\xdotool")) GTEST_SKIP() << "xdotool is not installed (scripts/setup.sh)";
    ASSERT_TRUE(SetDpi(GetParam()));
    ASSERT_TRUE(StartStandin());
    ASSERT_TRUE(StartRemote());
    const HWND window = Window();
    // At 144 dpi the set-up window is wider than the 1024-pixel screen: made as low as
    // it goes, it leaves the stand-in's lower part in view below it, where the pointer
    // finds it whatever the order of the windows.
    ::SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE);
    RECT w;
    ::GetWindowRect(window, &w);
    ::SetWindowPos(window, nullptr, 0, 0, w.right - w.left, 1, SWP_NOMOVE | SWP_NOZORDER);
    ::GetWindowRect(window, &w);
    RECT s;
    ::GetWindowRect(Standin(), &s);
    ::SetWindowPos(Standin(), HWND_TOPMOST, 1020 - (s.right - s.left), 760 - (s.bottom - s.top), 0, 0,
                   SWP_NOSIZE | SWP_NOACTIVATE);
    PumpFor(500);
    ::GetWindowRect(Standin(), &s);
    RECT box;
    ::GetWindowRect(Item(IDC_FINDER), &box);
    const POINT from = {(box.left + box.right) / 2, (box.top + box.bottom) / 2};
    const LONG visibleTop = std::max(s.top, w.bottom);
    ASSERT_LT(visibleTop + 20, s.bottom) << "the stand-in is hidden under the set-up window";
    const POINT onto = {(s.left + s.right) / 2, (visibleTop + s.bottom) / 2};
    // The owner comes from the TV application: the set-up window is not active.
    ASSERT_TRUE(Mouse("mousemove " + At(onto) + " click 1 sleep 0.3"));
    ASSERT_TRUE(Mouse("mousemove " + At(from) + " sleep 0.3 mousedown 1 sleep 0.3"));
    EXPECT_TRUE(PumpUntil([&] { return Live().find("Drag onto") != std::string::npos; }, 3000))
        << "the press on the crosshair began no drag: " << Live();
    ASSERT_TRUE(Mouse("mousemove " + At({from.x + 40, from.y + 40}) + " sleep 0.2 mousemove " + At(onto) +
                      " sleep 0.3 mousemove " + At({onto.x + 3, onto.y + 2}) + " sleep 0.3"));
    EXPECT_TRUE(PumpUntil([&] { return Live().find("Release to take") != std::string::npos; }, 3000))
        << "the window under the pointer was not found: " << Live();
    ASSERT_TRUE(Mouse("mouseup 1 sleep 0.3"));
    HWND question = nullptr;
    EXPECT_TRUE(PumpUntil(
        [&] {
            for (HWND h : ProcessWindows(remote_.Id()))
                if (::IsWindowVisible(h) && h != window && TextOfWindow(::GetDlgItem(h, 0xFFFF)).find("Fill") != std::string::npos)
                    question = h;
            return question != nullptr;
        },
        5000))
        << "nothing taken at the release: " << Live();
    if (question) ::PostMessageA(question, WM_COMMAND, IDNO, 0);
}

INSTANTIATE_TEST_SUITE_P(At96And144, RemoteUxDpi, ::testing::Values(96, 144));

}  // namespace
