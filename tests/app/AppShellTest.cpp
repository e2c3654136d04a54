// The application shell against real windows under Wine: the dialog framework's
// lifetime rules, the icon animator's ownership of its frame icons, the main
// window's test panel and close path, the setup dialog's data exchange and the
// POWER prompt window. The dispatch behind them runs on in-memory fakes.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/AboutDlg.h"
#include "app/IconAnimator.h"
#include "app/PowerPromptDlg.h"
#include "app/QRTLIRMoniDlg.h"
#include "app/TimerText.h"
#include "app/TrayIcon.h"
#include "framework/Afx.h"
#include "config/QRTLIRSet.h"
#include "app/QRTLIRMoniSetupDlg.h"
#include "fakes/Fakes.h"
#include "res/resource.h"
#include "trace/Trace.h"

// The main window works on the program's one configuration object; in this test
// program it is this one, given fakes by each test.
CQRTLIRSet theSet;

namespace {

constexpr char kIni[] = "C:\\Apps\\QRTLIRMoni.INI";

// Removes a quit message a test caused, so it cannot end a later test's loop.
bool TakeQuitMessage(WPARAM* pCode = nullptr) {
    MSG msg;
    if (!::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) return false;
    if (pCode != nullptr) *pCode = msg.wParam;
    return true;
}

// Dispatches what is queued (timers excepted: they may poll).
void DrainMessages() {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, WM_TIMER - 1, PM_REMOVE)) ::DispatchMessageA(&msg);
    while (::PeekMessageA(&msg, nullptr, WM_TIMER + 1, WM_QUIT - 1, PM_REMOVE))
        ::DispatchMessageA(&msg);
    while (::PeekMessageA(&msg, nullptr, WM_QUIT + 1, 0xFFFF, PM_REMOVE)) ::DispatchMessageA(&msg);
}

bool IconAlive(HICON hIcon) {
    ICONINFO info{};
    if (!::GetIconInfo(hIcon, &info)) return false;
    if (info.hbmMask != nullptr) ::DeleteObject(info.hbmMask);
    if (info.hbmColor != nullptr) ::DeleteObject(info.hbmColor);
    return true;
}

std::string WindowText(HWND hWnd) {
    char buf[512] = "";
    ::GetWindowTextA(hWnd, buf, sizeof(buf));
    return buf;
}

std::vector<std::string> ListItems(HWND hWndList) {
    std::vector<std::string> items;
    const LRESULT count = ::SendMessageA(hWndList, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        char buf[256] = "";
        ::SendMessageA(hWndList, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(buf));
        items.emplace_back(buf);
    }
    return items;
}

// Whether the window's timer was running; stops it if so.
bool StopTimerIfRunning(HWND hWnd, UINT_PTR nID) { return ::KillTimer(hWnd, nID) != FALSE; }

BOOL CALLBACK CollectWindowProc(HWND hWnd, LPARAM lParam) {
    reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(hWnd);
    return TRUE;
}

// The visible top-level windows of this thread with the given caption.
std::vector<HWND> ThreadWindowsTitled(const char* pszCaption) {
    std::vector<HWND> all;
    ::EnumThreadWindows(::GetCurrentThreadId(), &CollectWindowProc, reinterpret_cast<LPARAM>(&all));
    std::vector<HWND> found;
    for (HWND hWnd : all) {
        if (::IsWindowVisible(hWnd) && WindowText(hWnd) == pszCaption) found.push_back(hWnd);
    }
    return found;
}

// The popup menu this thread is tracking, if any.
HMENU TrackedMenu() {
    std::vector<HWND> all;
    ::EnumThreadWindows(::GetCurrentThreadId(), &CollectWindowProc, reinterpret_cast<LPARAM>(&all));
    for (HWND hWnd : all) {
        char szClass[16] = "";
        ::GetClassNameA(hWnd, szClass, sizeof(szClass));
        if (std::string(szClass) == "#32768" && ::IsWindowVisible(hWnd))
            return reinterpret_cast<HMENU>(::SendMessageA(hWnd, MN_GETHMENU, 0, 0));
    }
    return nullptr;
}

// Runs a check from inside the modal loops that a handler opens (dialogs, the
// tray menu) through a thread timer, whose ticks every modal loop dispatches. The
// check runs on every tick for as long as the watch lives, so that it can also
// close what a faulty handler opens more than once; Done() tells whether it has
// once returned true.
class ModalWatch {
public:
    explicit ModalWatch(std::function<bool()> onTick) : m_onTick(std::move(onTick)) {
        s_pActive = this;
        m_nTimer = ::SetTimer(nullptr, 0, 30, &ModalWatch::TimerProc);
    }
    ~ModalWatch() {
        if (m_nTimer != 0) ::KillTimer(nullptr, m_nTimer);
        s_pActive = nullptr;
    }
    ModalWatch(const ModalWatch&) = delete;
    ModalWatch& operator=(const ModalWatch&) = delete;

    bool Started() const { return m_nTimer != 0; }
    bool Done() const { return m_bDone; }

private:
    static void CALLBACK TimerProc(HWND, UINT, UINT_PTR, DWORD) {
        ModalWatch* pWatch = s_pActive;
        if (pWatch == nullptr || pWatch->m_bInTick) return;
        pWatch->m_bInTick = true;
        if (pWatch->m_onTick()) pWatch->m_bDone = true;
        pWatch->m_bInTick = false;
    }

    static ModalWatch* s_pActive;
    std::function<bool()> m_onTick;
    UINT_PTR m_nTimer = 0;
    bool m_bDone = false;
    bool m_bInTick = false;
};
ModalWatch* ModalWatch::s_pActive = nullptr;

// Closes every shown dialog with that caption as its Cancel would.
void CancelDialogs(const char* pszCaption) {
    for (HWND hWnd : ThreadWindowsTitled(pszCaption))
        ::PostMessageA(hWnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

constexpr char kSetupCaption[] = "Quorel Tellivar IR Monitor Setup";
constexpr char kAboutCaption[] = "About QRTLIRMoni";

void Click(HWND hWndDlg, int nID) {
    ::SendMessageA(hWndDlg, WM_COMMAND, MAKEWPARAM(nID, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(hWndDlg, nID)));
}

using fakes::FakePlatform;  // the fakes behind a configuration object

// ---------------------------------------------------------------------------
// The test panel's interval text

TEST(TimerText, AtoiForms_ReadLikeAtoi) {
    EXPECT_EQ(1500, TimerFromText("1500"));
    EXPECT_EQ(0, TimerFromText("abc"));
    EXPECT_EQ(200, TimerFromText(" 200x"));
    EXPECT_EQ(-40, TimerFromText("\t-40"));
    EXPECT_EQ(7, TimerFromText("+7ms"));
    EXPECT_EQ(0, TimerFromText(""));
    EXPECT_EQ(0, TimerFromText("- 5"));
}

TEST(TimerText, OutOfRange_HeldAtLimits) {
    EXPECT_EQ(INT32_MAX, TimerFromText("99999999999999999999999999999999999999999999999"));
    EXPECT_EQ(INT32_MIN, TimerFromText("-4294967297"));
}

// ---------------------------------------------------------------------------
// The dialog framework

class FrameworkTest : public ::testing::Test {
protected:
    void TearDown() override {
        TakeQuitMessage();
    }
    CWinApp app;
};

TEST_F(FrameworkTest, MainWindowFinalDestroy_PostsQuitAndClearsRegistration) {
    CAboutDlg dlg;
    app.m_pMainWnd = &dlg;
    ASSERT_TRUE(dlg.Create());
    const HWND hWnd = dlg.m_hWnd;
    ASSERT_NE(nullptr, hWnd);
    EXPECT_FALSE(TakeQuitMessage());

    ASSERT_TRUE(dlg.DestroyWindow());
    EXPECT_FALSE(::IsWindow(hWnd));
    EXPECT_EQ(nullptr, dlg.m_hWnd);
    EXPECT_EQ(nullptr, app.m_pMainWnd);
    WPARAM code = 99;
    EXPECT_TRUE(TakeQuitMessage(&code));
    EXPECT_EQ(0u, code);
}

TEST_F(FrameworkTest, OtherWindowDestroyed_NoQuit) {
    CAboutDlg main;
    CAboutDlg other;
    app.m_pMainWnd = &main;
    ASSERT_TRUE(main.Create());
    ASSERT_TRUE(other.Create());
    EXPECT_EQ(main.m_hWnd, ::GetWindow(other.m_hWnd, GW_OWNER));  // owned by the main window
    other.DestroyWindow();
    EXPECT_FALSE(TakeQuitMessage());
    EXPECT_EQ(&main, app.m_pMainWnd);
    main.DestroyWindow();
    EXPECT_TRUE(TakeQuitMessage());
}

// Records the order of the start-up and clean-up hooks.
class HookApp : public CWinApp {
public:
    explicit HookApp(BOOL bInit) : m_bInit(bInit) {}
    BOOL InitInstance() override {
        m_calls.push_back("init");
        if (m_bInit) ::PostQuitMessage(5);
        return m_bInit;
    }
    int ExitInstance() override {
        m_calls.push_back("exit " + std::to_string(CWinApp::ExitInstance()));
        return 7;
    }
    BOOL m_bInit;
    std::vector<std::string> m_calls;
};

// The loop is the framework's own, and the clean-up hook runs on both ways out.
TEST(FrameworkEntry, AfxWinMain_InitDeclinedOrLoopEnded_ExitInstanceRunsOnceAndGivesExitCode) {
    struct Case { BOOL bInit; std::vector<std::string> calls; };
    const Case cases[] = {
        {FALSE, {"init", "exit 0"}},
        {TRUE, {"init", "exit 5"}},  // Run pumped until the quit message, code 5
    };
    for (const Case& c : cases) {
        HookApp app(c.bInit);
        char cmdLine[] = "";
        EXPECT_EQ(7, AfxWinMain(::GetModuleHandleA(nullptr), cmdLine)) << c.bInit;
        EXPECT_EQ(c.calls, app.m_calls) << c.bInit;
    }
    TakeQuitMessage();
}

TEST_F(FrameworkTest, PumpMessage_FalseOnlyForQuit) {
    ::PostThreadMessageA(::GetCurrentThreadId(), WM_NULL, 0, 0);
    ::PostQuitMessage(0);
    int passes = 0;
    while (app.PumpMessage()) ASSERT_LT(++passes, 1000);
    EXPECT_GE(passes, 1);  // the WM_NULL before it
    EXPECT_EQ(static_cast<UINT>(WM_QUIT), app.m_msgCur.message);
}

TEST_F(FrameworkTest, CancelOnModeless_OnlyHides) {
    CAboutDlg dlg;
    ASSERT_TRUE(dlg.Create());
    ::ShowWindow(dlg.m_hWnd, SW_SHOW);
    Click(dlg.m_hWnd, IDCANCEL);
    EXPECT_TRUE(::IsWindow(dlg.m_hWnd));
    EXPECT_FALSE(::IsWindowVisible(dlg.m_hWnd));
}

TEST_F(FrameworkTest, ObjectDestroyed_DestroysItsWindow) {
    HWND hWnd = nullptr;
    {
        CAboutDlg dlg;
        ASSERT_TRUE(dlg.Create());
        hWnd = dlg.m_hWnd;
    }
    EXPECT_FALSE(::IsWindow(hWnd));
}

// Takes a quit message inside its own modal loop.
class QuitOnOpenDlg : public CDialog {
public:
    QuitOnOpenDlg() : CDialog(res::kDlgAbout) {}
    HWND m_hWndSeen = nullptr;

protected:
    BOOL OnInitDialog() override {
        m_hWndSeen = m_hWnd;
        ::PostQuitMessage(0);
        return CDialog::OnInitDialog();
    }
};

TEST_F(FrameworkTest, QuitInsideModalLoop_ReachesOuterLoop) {
    QuitOnOpenDlg dlg;
    dlg.DoModal();
    ASSERT_NE(nullptr, dlg.m_hWndSeen);
    EXPECT_FALSE(::IsWindow(dlg.m_hWndSeen));
    EXPECT_TRUE(TakeQuitMessage());
}

// Ends itself from inside its modal loop and records its owner.
class SelfEndingDlg : public CDialog {
public:
    SelfEndingDlg() : CDialog(res::kDlgAbout) {}
    HWND m_hWndOwner = nullptr;

protected:
    BOOL OnInitDialog() override {
        m_hWndOwner = ::GetWindow(m_hWnd, GW_OWNER);
        ::PostMessageA(m_hWnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        return CDialog::OnInitDialog();
    }
};

TEST_F(FrameworkTest, ModalWithoutParent_OwnedByMainWindowAndEndsWithOk) {
    CAboutDlg main;
    app.m_pMainWnd = &main;
    ASSERT_TRUE(main.Create());
    SelfEndingDlg dlg;
    EXPECT_EQ(IDOK, dlg.DoModal());
    EXPECT_EQ(main.m_hWnd, dlg.m_hWndOwner);
    EXPECT_TRUE(::IsWindowEnabled(main.m_hWnd));  // re-enabled when the modal run ends
    main.DestroyWindow();
}

// ---------------------------------------------------------------------------
// The tray icon animation

class IconAnimatorTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(owner.Create());
        hAppIcon = ::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(res::kIconMain));
        ASSERT_NE(nullptr, hAppIcon);
        ::SendMessageA(owner.m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(hAppIcon));
    }
    CAboutDlg owner;
    HICON hAppIcon = nullptr;
};

TEST_F(IconAnimatorTest, ManySteps_KeepOneFrameIconAndSpareTheAppIcon) {
    std::vector<HICON> made;
    {
        CIconAnimator anim;
        ASSERT_TRUE(anim.Init(owner.m_hWnd, res::kBitmapIrFrames, kAnimationFrames, kAnimationMask));
        ASSERT_NE(nullptr, anim.GetSafeHandle());
        EXPECT_EQ(kAnimationFrames, anim.GetImageCount());  // the strip holds ten frames
        EXPECT_EQ(-1, anim.m_nFrame);

        for (int step = 0; step < 25; ++step) {
            ASSERT_TRUE(anim.NextFrame());
            EXPECT_EQ(step % kAnimationFrames, anim.m_nFrame);
            const HICON hFrame = anim.m_hFrameIcon.get();
            ASSERT_NE(nullptr, hFrame);
            EXPECT_EQ(reinterpret_cast<LRESULT>(hFrame),
                      ::SendMessageA(owner.m_hWnd, WM_GETICON, ICON_SMALL, 0));
            if (!made.empty()) {
                EXPECT_FALSE(IconAlive(made.back())) << "step " << step;
            }
            EXPECT_TRUE(IconAlive(hFrame));
            made.push_back(hFrame);
        }
        EXPECT_TRUE(IconAlive(hAppIcon));
        // The window must not keep pointing at an icon the animator is about to free.
        ::SendMessageA(owner.m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(hAppIcon));
    }
    EXPECT_FALSE(IconAlive(made.back()));  // released with the animator
    EXPECT_TRUE(IconAlive(hAppIcon));
}

TEST_F(IconAnimatorTest, MissingBitmap_StepsChangeNothing) {
    CIconAnimator anim;
    EXPECT_TRUE(anim.Init(owner.m_hWnd, 9999, kAnimationFrames, kAnimationMask));
    EXPECT_EQ(nullptr, anim.GetSafeHandle());
    EXPECT_FALSE(anim.NextFrame());
    EXPECT_EQ(-1, anim.m_nFrame);
    EXPECT_EQ(reinterpret_cast<LRESULT>(hAppIcon),
              ::SendMessageA(owner.m_hWnd, WM_GETICON, ICON_SMALL, 0));
}

TEST_F(IconAnimatorTest, NoFrames_InitFailsButKeepsOwner) {
    CIconAnimator anim;
    EXPECT_FALSE(anim.Init(owner.m_hWnd, res::kBitmapIrFrames, 0, kAnimationMask));
    EXPECT_EQ(owner.m_hWnd, anim.m_hWndOwner);
    EXPECT_FALSE(anim.NextFrame());
}

// ---------------------------------------------------------------------------
// The main window

// The main window's shell calls, recorded; the tray records are passed on to the
// system unless a test keeps them to itself, the timers are always started.
struct TrayCall {
    DWORD message;
    NOTIFYICONDATAA record;
};

class RecordingShell : public ShellCalls {
public:
    BOOL NotifyIcon(DWORD dwMessage, PNOTIFYICONDATAA pData) override {
        TrayCall call{dwMessage, {}};
        std::memcpy(&call.record, pData, std::min<size_t>(pData->cbSize, sizeof(call.record)));
        trayCalls.push_back(call);
        return passTray ? ShellCalls::NotifyIcon(dwMessage, pData) : TRUE;
    }
    UINT_PTR SetTimer(HWND hWnd, UINT_PTR nID, UINT uElapse) override {
        timerCalls.emplace_back(nID, uElapse);
        return ShellCalls::SetTimer(hWnd, nID, uElapse);
    }

    bool passTray = true;
    std::vector<TrayCall> trayCalls;
    std::vector<std::pair<UINT_PTR, UINT>> timerCalls;  // id, interval
};

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        // A long interval: no poll tick may interfere.
        fake.profile.Set(kIni, "Main", "Timer", "600000");
        fake.profile.Set(kIni, "KeyMap_Controler", "VOL+", "12");
        theSet.SetServices(fake.Services());
        app.m_pMainWnd = &dlg;
    }
    void TearDown() override {
        // The program's own close path, so the tray icon goes with the window.
        if (dlg.m_hWnd != nullptr) ::SendMessageA(dlg.m_hWnd, WM_COMMAND, res::kCmdClose, 0);
        TakeQuitMessage();
        theSet.SetServices(qrtl::Services{});
    }
    HWND Item(int nID) const { return ::GetDlgItem(dlg.m_hWnd, nID); }

    FakePlatform fake;
    CWinApp app;
    RecordingShell shell;
    CQRTLIRMoniDlg dlg{shell};
};

TEST_F(MainWindowTest, Start_LoadsProfileAndShowsInterval) {
    dlg.StartMonitor();
    ASSERT_NE(nullptr, dlg.m_hWnd);
    EXPECT_FALSE(::IsWindowVisible(dlg.m_hWnd));  // ShowMainWindow defaults to 0
    EXPECT_EQ("600000", WindowText(Item(res::kEditTimer)));
    EXPECT_EQ("Quorel Tellivar IR Monitor", WindowText(dlg.m_hWnd));
    EXPECT_TRUE(dlg.m_bTimerOn);
    EXPECT_EQ(reinterpret_cast<LRESULT>(dlg.m_hIcon),
              ::SendMessageA(dlg.m_hWnd, WM_GETICON, ICON_BIG, 0));
    EXPECT_EQ(reinterpret_cast<LRESULT>(dlg.m_hIcon), ::SendMessageA(dlg.m_hWnd, WM_QUERYDRAGICON, 0, 0));
    EXPECT_NE(nullptr, dlg.m_animIcon.GetSafeHandle());
}

TEST_F(MainWindowTest, ShowMainWindowSet_WindowShown) {
    fake.profile.Set(kIni, "Main", "ShowMainWindow", "1");
    dlg.StartMonitor();
    EXPECT_TRUE(::IsWindowVisible(dlg.m_hWnd));
    EXPECT_TRUE(::GetWindowLongA(dlg.m_hWnd, GWL_EXSTYLE) & WS_EX_APPWINDOW);
    // "OK" comes first in tab order, so Enter or Space ends the program at once.
    EXPECT_EQ(Item(IDOK), ::GetFocus());
}

TEST_F(MainWindowTest, SystemMenu_EndsWithSeparatorAndAboutItem) {
    dlg.StartMonitor();
    const HMENU hSysMenu = ::GetSystemMenu(dlg.m_hWnd, FALSE);
    ASSERT_NE(nullptr, hSysMenu);
    const int count = ::GetMenuItemCount(hSysMenu);
    ASSERT_GE(count, 2);
    EXPECT_EQ(static_cast<UINT>(IDM_ABOUTBOX), ::GetMenuItemID(hSysMenu, count - 1));
    char text[64] = "";
    ::GetMenuStringA(hSysMenu, count - 1, text, sizeof(text), MF_BYPOSITION);
    EXPECT_STREQ("&About QRTLIRMoni...", text);
    EXPECT_TRUE(::GetMenuState(hSysMenu, count - 2, MF_BYPOSITION) & MF_SEPARATOR);
}

TEST_F(MainWindowTest, SendCommand_DispatchesTypedTextIntoHistory) {
    dlg.StartMonitor();
    ::SetWindowTextA(Item(res::kEditCommand), "12");
    Click(dlg.m_hWnd, res::kBtnSend);
    ::SetWindowTextA(Item(res::kEditCommand), "99");  // not mapped: no history line
    Click(dlg.m_hWnd, res::kBtnSend);
    ::SetWindowTextA(Item(res::kEditCommand), "12");
    Click(dlg.m_hWnd, res::kBtnSend);

    const HWND hWndList = Item(res::kListHistory);
    EXPECT_EQ((std::vector<std::string>{"12 NoClientFound!", "12 NoClientFound!"}),
              ListItems(hWndList));
    EXPECT_EQ(0, ::SendMessageA(hWndList, LB_GETCURSEL, 0, 0));
    EXPECT_EQ(0, fake.card.reads);  // a typed code never reads the receiver
}

// POWER's shutdown closed the driver, then the session end was cancelled (a program
// with unsaved work): the driver opens again and the next poll tick reads.
TEST_F(MainWindowTest, EndSessionCancelled_DriverOpenedAgainAndTickReads) {
    dlg.StartMonitor();
    theSet.ShutdownWindows();
    ASSERT_TRUE(fake.card.closed);
    ASSERT_EQ(1u, fake.shutdown.requests.size());

    ASSERT_TRUE(::PostMessageA(dlg.m_hWnd, WM_ENDSESSION, TRUE, 0));  // it ends: nothing to do
    DrainMessages();
    EXPECT_EQ(0, fake.card.reopens);
    ASSERT_TRUE(::PostMessageA(dlg.m_hWnd, WM_ENDSESSION, FALSE, 0));
    DrainMessages();
    EXPECT_EQ(1, fake.card.reopens);

    ::SendMessageA(dlg.m_hWnd, WM_TIMER, ID_TIMER_POLL, 0);
    EXPECT_EQ(1, fake.card.reads);
}

TEST_F(MainWindowTest, CommandEdit_UpperCasesTypedLetters) {
    dlg.StartMonitor();
    const HWND hWndEdit = Item(res::kEditCommand);
    for (char c : std::string("ab1")) ::SendMessageA(hWndEdit, WM_CHAR, static_cast<WPARAM>(c), 0);
    EXPECT_EQ("AB1", WindowText(hWndEdit));
}

TEST_F(MainWindowTest, NewTimer_ReadsTextLikeAtoiAndKeepsProfile) {
    dlg.StartMonitor();
    ::SetWindowTextA(Item(res::kEditTimer), " 200x");
    Click(dlg.m_hWnd, res::kBtnNewTimer);
    EXPECT_EQ(200, theSet.m_nTimer);
    ::SetWindowTextA(Item(res::kEditTimer), "letters");
    Click(dlg.m_hWnd, res::kBtnNewTimer);
    EXPECT_EQ(0, theSet.m_nTimer);
    EXPECT_EQ("letters", WindowText(Item(res::kEditTimer)));  // the edit keeps what was typed
    EXPECT_TRUE(fake.profile.writes.empty());

    // Only the first 49 characters count.
    ::SetWindowTextA(Item(res::kEditTimer), (std::string(49, '0') + "7").c_str());
    Click(dlg.m_hWnd, res::kBtnNewTimer);
    EXPECT_EQ(0, theSet.m_nTimer);
    ::KillTimer(dlg.m_hWnd, ID_TIMER_POLL);  // an interval of 0 would poll at once
}

TEST_F(MainWindowTest, TriggerTimer_TogglesFlag) {
    dlg.StartMonitor();
    Click(dlg.m_hWnd, res::kCheckTrigger);
    EXPECT_FALSE(dlg.m_bTimerOn);
    // Polling and the tray animation both stand still.
    EXPECT_FALSE(StopTimerIfRunning(dlg.m_hWnd, ID_TIMER_POLL));
    EXPECT_FALSE(StopTimerIfRunning(dlg.m_hWnd, ID_TIMER_ANIMATE));
    Click(dlg.m_hWnd, res::kCheckTrigger);
    EXPECT_TRUE(dlg.m_bTimerOn);
    EXPECT_TRUE(StopTimerIfRunning(dlg.m_hWnd, ID_TIMER_POLL));
    EXPECT_TRUE(StopTimerIfRunning(dlg.m_hWnd, ID_TIMER_ANIMATE));
}

TEST_F(MainWindowTest, NewTimerWhileToggledOff_RestartsBothTimersAndKeepsFlag) {
    dlg.StartMonitor();
    Click(dlg.m_hWnd, res::kCheckTrigger);
    ::SetWindowTextA(Item(res::kEditTimer), "700000");
    Click(dlg.m_hWnd, res::kBtnNewTimer);
    EXPECT_EQ(700000, theSet.m_nTimer);
    EXPECT_FALSE(dlg.m_bTimerOn);
    EXPECT_TRUE(StopTimerIfRunning(dlg.m_hWnd, ID_TIMER_POLL));
    EXPECT_TRUE(StopTimerIfRunning(dlg.m_hWnd, ID_TIMER_ANIMATE));
}

TEST_F(MainWindowTest, SetupOpen_TimersStopAndSecondOpenRefused_RestartOnCloseWhateverToggle) {
    dlg.StartMonitor();
    Click(dlg.m_hWnd, res::kCheckTrigger);  // polling stopped by the toggle
    const HWND hWndMain = dlg.m_hWnd;

    int nPhase = 0;
    size_t nOpen = 0;
    size_t nOpenAfterSecondClick = 0;
    BOOL bAllowedWhileOpen = TRUE;
    bool bPollWhileOpen = true;
    bool bAnimateWhileOpen = true;
    ModalWatch watch([&] {
        const size_t nNow = ThreadWindowsTitled(kSetupCaption).size();
        if (nPhase == 0) {
            if (nNow == 0) return false;
            nOpen = nNow;
            bAllowedWhileOpen = g_bSetupAllowed;
            bPollWhileOpen = StopTimerIfRunning(hWndMain, ID_TIMER_POLL);
            bAnimateWhileOpen = StopTimerIfRunning(hWndMain, ID_TIMER_ANIMATE);
            // A second double click (and the menu's "Setup") while it is open.
            ::PostMessageA(hWndMain, WM_TRAYICON, kTrayIconId, WM_LBUTTONDBLCLK);
            ::PostMessageA(hWndMain, WM_COMMAND, res::kCmdSetup, 0);
            nPhase = 1;
            return false;
        }
        if (nPhase < 4) {  // let the posted messages arrive
            ++nPhase;
            return false;
        }
        if (nPhase == 4) {
            nOpenAfterSecondClick = nNow;
            nPhase = 5;
        }
        // Every setup dialog is cancelled, a wrongly opened second one included.
        CancelDialogs(kSetupCaption);
        return true;
    });
    ASSERT_TRUE(watch.Started());
    ::SendMessageA(hWndMain, WM_TRAYICON, kTrayIconId, WM_LBUTTONDBLCLK);

    ASSERT_TRUE(watch.Done());
    EXPECT_EQ(1u, nOpen);
    EXPECT_EQ(1u, nOpenAfterSecondClick);
    EXPECT_FALSE(bAllowedWhileOpen);
    EXPECT_FALSE(bPollWhileOpen);
    EXPECT_FALSE(bAnimateWhileOpen);
    EXPECT_TRUE(g_bSetupAllowed);
    EXPECT_FALSE(dlg.m_bTimerOn);  // the toggle's flag is not touched
    EXPECT_TRUE(StopTimerIfRunning(hWndMain, ID_TIMER_POLL));
    EXPECT_TRUE(StopTimerIfRunning(hWndMain, ID_TIMER_ANIMATE));
    EXPECT_TRUE(fake.profile.writes.empty());  // cancelled: nothing saved
}

TEST_F(MainWindowTest, TrayLeftClick_ShowsMenuWithSetupAsDefault) {
    dlg.StartMonitor();
    std::vector<UINT> ids;
    UINT nDefault = 0;
    std::string strSetup;
    ModalWatch watch([&] {
        const HMENU hMenu = TrackedMenu();
        if (hMenu == nullptr) return false;
        for (int i = 0; i < ::GetMenuItemCount(hMenu); ++i) ids.push_back(::GetMenuItemID(hMenu, i));
        nDefault = ::GetMenuDefaultItem(hMenu, FALSE, 0);
        char text[64] = "";
        ::GetMenuStringA(hMenu, res::kCmdSetup, text, sizeof(text), MF_BYCOMMAND);
        strSetup = text;
        ::EndMenu();
        return true;
    });
    ASSERT_TRUE(watch.Started());
    ::SendMessageA(dlg.m_hWnd, WM_TRAYICON, kTrayIconId, WM_LBUTTONUP);
    ASSERT_TRUE(watch.Done());
    EXPECT_EQ((std::vector<UINT>{res::kCmdClose, res::kCmdSetup, 0, res::kCmdAbout}), ids);
    EXPECT_EQ(static_cast<UINT>(res::kCmdSetup), nDefault);
    EXPECT_EQ("Setup", strSetup);
    EXPECT_TRUE(::IsWindow(dlg.m_hWnd));  // a dismissed menu runs no command
}

TEST_F(MainWindowTest, TrayRightButton_ShowsNothing) {
    dlg.StartMonitor();
    bool bMenuSeen = false;
    ModalWatch watch([&] {
        if (TrackedMenu() == nullptr) return false;
        bMenuSeen = true;
        ::EndMenu();
        return true;
    });
    ASSERT_TRUE(watch.Started());
    ::SendMessageA(dlg.m_hWnd, WM_TRAYICON, kTrayIconId, WM_RBUTTONDOWN);
    ::SendMessageA(dlg.m_hWnd, WM_TRAYICON, kTrayIconId, WM_RBUTTONUP);
    ::SendMessageA(dlg.m_hWnd, WM_TRAYICON, kTrayIconId, WM_RBUTTONDBLCLK);
    EXPECT_FALSE(bMenuSeen);
    EXPECT_TRUE(ThreadWindowsTitled(kSetupCaption).empty());
}

TEST_F(MainWindowTest, AboutFromSystemMenuAndTrayMenu_OpensAboutBoxOverMainWindow) {
    dlg.StartMonitor();
    const HWND hWndMain = dlg.m_hWnd;
    for (const auto& open : std::vector<std::function<void()>>{
             [&] { ::SendMessageA(hWndMain, WM_SYSCOMMAND, IDM_ABOUTBOX, 0); },
             // The low four bits of a system command belong to the system.
             [&] { ::SendMessageA(hWndMain, WM_SYSCOMMAND, IDM_ABOUTBOX | 0x3, 0); },
             [&] { ::SendMessageA(hWndMain, WM_COMMAND, res::kCmdAbout, 0); }}) {
        HWND hWndOwner = nullptr;
        bool bPolling = false;
        ModalWatch watch([&] {
            const std::vector<HWND> found = ThreadWindowsTitled(kAboutCaption);
            if (found.empty()) return false;
            hWndOwner = ::GetWindow(found.front(), GW_OWNER);
            // The timers keep running behind the About box.
            bPolling = StopTimerIfRunning(hWndMain, ID_TIMER_POLL);
            CancelDialogs(kAboutCaption);
            return true;
        });
        ASSERT_TRUE(watch.Started());
        open();
        EXPECT_TRUE(watch.Done());
        EXPECT_EQ(hWndMain, hWndOwner);
        EXPECT_TRUE(bPolling);
        dlg.EnableTimers(TRUE);
    }
    EXPECT_TRUE(::IsWindow(hWndMain));
}

TEST_F(MainWindowTest, Cancel_HidesAndKeepsRunning) {
    fake.profile.Set(kIni, "Main", "ShowMainWindow", "1");
    dlg.StartMonitor();
    ::SendMessageA(dlg.m_hWnd, WM_CLOSE, 0, 0);  // the caption's close box
    DrainMessages();
    EXPECT_TRUE(::IsWindow(dlg.m_hWnd));
    EXPECT_FALSE(::IsWindowVisible(dlg.m_hWnd));
    EXPECT_FALSE(TakeQuitMessage());
    EXPECT_EQ(&dlg, app.m_pMainWnd);
}

TEST_F(MainWindowTest, CloseCommand_DestroysWindowAndEndsLoop) {
    dlg.StartMonitor();
    const HWND hWnd = dlg.m_hWnd;
    ::PostMessageA(hWnd, WM_COMMAND, res::kCmdClose, 0);  // the tray menu's "Close"
    int passes = 0;
    while (app.PumpMessage()) ASSERT_LT(++passes, 1000);
    EXPECT_FALSE(::IsWindow(hWnd));
    EXPECT_EQ(nullptr, app.m_pMainWnd);
    EXPECT_EQ(nullptr, dlg.m_hWnd);
}

TEST_F(MainWindowTest, EnterInCommandEdit_EndsProgramLikeOk) {
    fake.profile.Set(kIni, "Main", "ShowMainWindow", "1");
    dlg.StartMonitor();
    const HWND hWnd = dlg.m_hWnd;
    ::SetFocus(::GetDlgItem(hWnd, res::kEditCommand));
    ::PostMessageA(::GetDlgItem(hWnd, res::kEditCommand), WM_KEYDOWN, VK_RETURN, 0x001C0001);
    int passes = 0;
    while (app.PumpMessage()) ASSERT_LT(++passes, 1000);
    EXPECT_FALSE(::IsWindow(hWnd));
}

// ---------------------------------------------------------------------------
// The tray icon and the timers, with recorders in place of the system calls

class ShellCallsTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        shell.passTray = false;
    }
    std::vector<DWORD> TrayMessages() const {
        std::vector<DWORD> messages;
        for (const TrayCall& call : shell.trayCalls) messages.push_back(call.message);
        return messages;
    }
};

TEST_F(ShellCallsTest, TrayIcon_StartFramesTaskbarCreatedClose_OneRecordAddModifyAddDelete) {
    dlg.StartMonitor();
    const HWND hWnd = dlg.m_hWnd;
    std::vector<HICON> frameIcons;
    for (int i = 0; i < 3; ++i) {
        ::SendMessageA(hWnd, WM_TIMER, ID_TIMER_ANIMATE, 0);
        frameIcons.push_back(dlg.m_animIcon.m_hFrameIcon.get());
    }
    ::SendMessageA(hWnd, ::RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    ::SendMessageA(hWnd, WM_COMMAND, res::kCmdClose, 0);

    EXPECT_EQ((std::vector<DWORD>{NIM_ADD, NIM_MODIFY, NIM_MODIFY, NIM_MODIFY, NIM_ADD, NIM_DELETE}),
              TrayMessages());
    for (const TrayCall& call : shell.trayCalls) {
        const NOTIFYICONDATAA& r = call.record;
        EXPECT_EQ(88u, r.cbSize);
        EXPECT_EQ(hWnd, r.hWnd);
        EXPECT_EQ(0x888u, r.uID);
        EXPECT_EQ(static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP), r.uFlags);
        EXPECT_EQ(0x888u, r.uCallbackMessage);
        EXPECT_STREQ(" Quorel Tellivar IR Monitor ", r.szTip);
        EXPECT_NE(nullptr, r.hIcon);
    }
    // Each frame shows the icon made for it.
    ASSERT_EQ(6u, shell.trayCalls.size());
    for (size_t i = 0; i < frameIcons.size(); ++i) EXPECT_EQ(frameIcons[i], shell.trayCalls[1 + i].record.hIcon);
}

TEST_F(ShellCallsTest, Timers_StartAndNewTimer_PollAtProfileIntervalAnimationAt250) {
    dlg.StartMonitor();
    ::SetWindowTextA(Item(res::kEditTimer), "1234");
    Click(dlg.m_hWnd, res::kBtnNewTimer);
    using Calls = std::vector<std::pair<UINT_PTR, UINT>>;
    EXPECT_EQ((Calls{{ID_TIMER_POLL, 600000u}, {ID_TIMER_ANIMATE, 250u},
                     {ID_TIMER_POLL, 1234u}, {ID_TIMER_ANIMATE, 250u}}),
              shell.timerCalls);
}

// The test panel's own trace line comes first, with the text as typed, empty too.
TEST_F(MainWindowTest, SendCommand_TypedText_TraceLineFirstAtLevel101Line205) {
    dlg.StartMonitor();
    fakes::RecordingTransport transport;
    SetTraceTransport(&transport);
    for (const char* text : {"12", ""}) {
        transport.lines.clear();
        ::SetWindowTextA(Item(res::kEditCommand), text);
        Click(dlg.m_hWnd, res::kBtnSend);
        ASSERT_FALSE(transport.lines.empty()) << text;
        EXPECT_EQ(101, transport.lines.front().level) << text;
        EXPECT_EQ(std::string("OnBtnSend : ") + text + " @ QRTLIRMoniDlg @ 205",
                  transport.lines.front().text);
    }
    SetTraceTransport(nullptr);
}

// ---------------------------------------------------------------------------
// The setup dialog's data exchange

class SetupDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        fake.profile.Set(kIni, "Client", "0_ExeDesc", "Viewer A");
        fake.profile.Set(kIni, "Client", "2_ExeDesc", "Viewer C");
        set.SetServices(fake.Services());
        set.LoadProfile();
    }
    HWND Item(int nID) const { return ::GetDlgItem(dlg.m_hWnd, nID); }
    std::vector<std::string> ComboItems() const {
        std::vector<std::string> items;
        const HWND hWndCombo = Item(res::kComboDefault);
        const LRESULT count = ::SendMessageA(hWndCombo, CB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            char buf[256] = "";
            ::SendMessageA(hWndCombo, CB_GETLBTEXT, static_cast<WPARAM>(i),
                           reinterpret_cast<LPARAM>(buf));
            items.emplace_back(buf);
        }
        return items;
    }

    FakePlatform fake;
    CQRTLIRSet set;
    CAboutDlg about;
    CQRTLIRMoniSetupDlg dlg{set, about};
};

TEST_F(SetupDialogTest, EmptyProfile_BothChecksAndFirstClient) {
    ASSERT_TRUE(dlg.Create());
    EXPECT_EQ((std::vector<std::string>{"Viewer A", "", "Viewer C"}), ComboItems());
    EXPECT_EQ(0, ::SendMessageA(Item(res::kComboDefault), CB_GETCURSEL, 0, 0));
    EXPECT_EQ(static_cast<UINT>(BST_CHECKED), ::IsDlgButtonChecked(dlg.m_hWnd, res::kCheckAutoRun));
    EXPECT_EQ(static_cast<UINT>(BST_CHECKED), ::IsDlgButtonChecked(dlg.m_hWnd, res::kCheckShutDown));
    EXPECT_TRUE(fake.profile.writes.empty());
}

// Opened from the tray, it shows in the middle of the screen's work area, not in its corner.
TEST_F(SetupDialogTest, Create_OpensCentredInWorkArea) {
    ASSERT_TRUE(dlg.Create());
    RECT window{}, work{};
    ASSERT_TRUE(::GetWindowRect(dlg.m_hWnd, &window));
    ASSERT_TRUE(::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0));
    EXPECT_NEAR((window.left + window.right) / 2, (work.left + work.right) / 2, 2);
    EXPECT_NEAR((window.top + window.bottom) / 2, (work.top + work.bottom) / 2, 2);
}

TEST_F(SetupDialogTest, Ok_WritesChoicesAndRunValue) {
    fake.profile.Set(kIni, "Client", "Default", "1");
    fake.profile.Set(kIni, "Main", "AutoRun", "0");
    ASSERT_TRUE(dlg.Create());
    EXPECT_EQ(1, ::SendMessageA(Item(res::kComboDefault), CB_GETCURSEL, 0, 0));
    EXPECT_EQ(static_cast<UINT>(BST_UNCHECKED), ::IsDlgButtonChecked(dlg.m_hWnd, res::kCheckAutoRun));

    ::CheckDlgButton(dlg.m_hWnd, res::kCheckAutoRun, BST_CHECKED);
    ::CheckDlgButton(dlg.m_hWnd, res::kCheckShutDown, BST_UNCHECKED);
    ::SendMessageA(Item(res::kComboDefault), CB_SETCURSEL, 2, 0);
    Click(dlg.m_hWnd, IDOK);

    EXPECT_EQ((std::vector<std::string>{"Main/AutoRun=1", "Main/ShutDown=0", "Client/Default=2"}),
              fake.profile.writes);
    ASSERT_FALSE(fake.registry.calls.empty());
    EXPECT_EQ(0u, fake.registry.calls.front().rfind("set ", 0));
}

TEST_F(SetupDialogTest, StoredIndexBeyondList_NoSelectionAndStoredDefaultKept) {
    fake.profile.Set(kIni, "Client", "Default", "3");
    fake.profile.Set(kIni, "Main", "AutoRun", "5");
    ASSERT_TRUE(dlg.Create());
    EXPECT_EQ(CB_ERR, ::SendMessageA(Item(res::kComboDefault), CB_GETCURSEL, 0, 0));
    EXPECT_EQ(static_cast<UINT>(BST_UNCHECKED), ::IsDlgButtonChecked(dlg.m_hWnd, res::kCheckAutoRun));
    Click(dlg.m_hWnd, IDOK);
    // AutoRun=5 was shown unchecked and is written so; ShutDown was shown as stored and is left.
    EXPECT_EQ((std::vector<std::string>{"Main/AutoRun=0"}), fake.profile.writes);
    EXPECT_EQ("3", fake.profile.Get(kIni, "Client", "Default"));
}

// A profile that cannot be written: one box, captioned as the dialog, names the file;
// then the dialog ends as OK does.
TEST_F(SetupDialogTest, ReadOnlyProfile_OneBoxNamingFileThenDialogEnds) {
    fake.profile.readOnly = true;
    std::vector<std::string> boxTexts;
    bool okPosted = false;
    ModalWatch watch([&] {
        for (const HWND box : ThreadWindowsTitled(kSetupCaption)) {
            if (::GetDlgItem(box, res::kComboDefault) != nullptr) continue;  // the dialog itself
            char text[512] = "";
            ::GetDlgItemTextA(box, 0xFFFF, text, sizeof text);  // the box's static text
            boxTexts.emplace_back(text);
            ::PostMessageA(box, WM_COMMAND, IDOK, 0);
            return false;
        }
        for (const HWND setup : ThreadWindowsTitled(kSetupCaption)) {
            if (okPosted) break;
            ::PostMessageA(setup, WM_COMMAND, IDOK, 0);
            okPosted = true;
        }
        return !boxTexts.empty();
    });
    ASSERT_TRUE(watch.Started());
    EXPECT_EQ(IDOK, dlg.DoModal());
    ASSERT_EQ(1u, boxTexts.size());
    EXPECT_NE(std::string::npos, boxTexts[0].find(kIni)) << boxTexts[0];
    EXPECT_TRUE(fake.registry.calls.empty());
}

// Escape and the caption's close box end the modal dialog as Cancel does.
TEST_F(SetupDialogTest, EscapeOrCloseBox_EndsAsCancelAndWritesNothing) {
    const std::vector<std::pair<const char*, std::function<void(HWND)>>> ways = {
        {"Escape", [](HWND) { ::PostMessageA(::GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0x00010001); }},
        {"close box", [](HWND hWnd) { ::PostMessageA(hWnd, WM_SYSCOMMAND, SC_CLOSE, 0); }},
    };
    for (const auto& way : ways) {
        int ticks = 0;
        ModalWatch watch([&] {
            const std::vector<HWND> found = ThreadWindowsTitled(kSetupCaption);
            if (found.empty()) return false;
            if (ticks++ == 0) {
                ::CheckDlgButton(found.front(), res::kCheckAutoRun, BST_UNCHECKED);
                way.second(found.front());
            } else if (ticks > 100) {
                ::EndDialog(found.front(), 99);  // the way did not end it: fail, not hang
            }
            return true;
        });
        ASSERT_TRUE(watch.Started());
        EXPECT_EQ(IDCANCEL, dlg.DoModal()) << way.first;
        EXPECT_TRUE(watch.Done()) << way.first;
        EXPECT_TRUE(fake.profile.writes.empty()) << way.first;
        EXPECT_TRUE(fake.registry.calls.empty()) << way.first;
    }
}

// The About button opens the About box over the setup dialog, which stays open.
TEST_F(SetupDialogTest, AboutButton_ShowsAboutBoxContentsAndSizeThenReturns) {
    ASSERT_TRUE(dlg.Create());
    const HWND hWndSetup = dlg.m_hWnd;
    HWND hWndOwner = nullptr;
    bool bSetupEnabledUnder = true;
    RECT client{}, expected{0, 0, 235, 55};
    std::vector<std::string> texts;
    LONG okStyle = 0;
    HICON hIcon = nullptr;
    ModalWatch watch([&] {
        const std::vector<HWND> found = ThreadWindowsTitled(kAboutCaption);
        if (found.empty()) return false;
        const HWND hWndAbout = found.front();
        hWndOwner = ::GetWindow(hWndAbout, GW_OWNER);
        bSetupEnabledUnder = ::IsWindowEnabled(hWndSetup) != FALSE;
        ::GetClientRect(hWndAbout, &client);
        ::MapDialogRect(hWndAbout, &expected);
        // The icon first; its text is the resource number, not a text.
        const HWND hWndIcon = ::GetWindow(hWndAbout, GW_CHILD);
        for (HWND c = ::GetWindow(hWndIcon, GW_HWNDNEXT); c != nullptr; c = ::GetWindow(c, GW_HWNDNEXT))
            texts.push_back(WindowText(c));
        hIcon = reinterpret_cast<HICON>(::SendMessageA(hWndIcon, STM_GETICON, 0, 0));
        okStyle = ::GetWindowLongA(::GetDlgItem(hWndAbout, IDOK), GWL_STYLE);
        CancelDialogs(kAboutCaption);
        return true;
    });
    ASSERT_TRUE(watch.Started());
    Click(hWndSetup, res::kBtnAbout);

    ASSERT_TRUE(watch.Done());
    EXPECT_EQ(hWndSetup, hWndOwner);
    EXPECT_FALSE(bSetupEnabledUnder);  // modal over the setup dialog
    EXPECT_EQ(expected.right, client.right);
    EXPECT_EQ(expected.bottom, client.bottom);
    EXPECT_EQ((std::vector<std::string>{"QRTLIRMoni Version 1.0", "Infrared remote key monitor", "OK"}),
              texts);
    EXPECT_NE(nullptr, hIcon);
    EXPECT_EQ(BS_DEFPUSHBUTTON, okStyle & 0x0F);
    // Back in the setup dialog, which nothing has ended.
    EXPECT_TRUE(::IsWindow(hWndSetup));
    EXPECT_TRUE(::IsWindowEnabled(hWndSetup));
    EXPECT_TRUE(fake.profile.writes.empty());
}

TEST_F(SetupDialogTest, Cancel_WritesNothing) {
    ASSERT_TRUE(dlg.Create());
    ::CheckDlgButton(dlg.m_hWnd, res::kCheckAutoRun, BST_UNCHECKED);
    Click(dlg.m_hWnd, IDCANCEL);
    EXPECT_TRUE(fake.profile.writes.empty());
    EXPECT_TRUE(fake.registry.calls.empty());
}

// ---------------------------------------------------------------------------
// The POWER prompt window

TEST(PowerPromptWindow, ShowAndDestroy_TopmostOwnedByMainWindowEachTime) {
    CWinApp app;
    CAboutDlg main;
    app.m_pMainWnd = &main;
    ASSERT_TRUE(main.Create());

    CPowerPromptWindow prompt;
    EXPECT_EQ(nullptr, prompt.GetDialog());  // made on first use
    prompt.Show();
    CPowerPromptDlg* pDlg = prompt.GetDialog();
    ASSERT_NE(nullptr, pDlg);
    const HWND hWnd = pDlg->m_hWnd;
    ASSERT_NE(nullptr, hWnd);
    EXPECT_TRUE(::IsWindowVisible(hWnd));
    EXPECT_TRUE(::GetWindowLongA(hWnd, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(main.m_hWnd, ::GetWindow(hWnd, GW_OWNER));
    EXPECT_EQ(
        "Press POWER button again to shutdown Windows, \r\ror application will be launch after 2 seconds ",
        WindowText(::GetWindow(hWnd, GW_CHILD)));

    prompt.Destroy();
    EXPECT_FALSE(::IsWindow(hWnd));
    prompt.Show();  // the same object, a new window
    EXPECT_EQ(pDlg, prompt.GetDialog());
    EXPECT_NE(nullptr, pDlg->m_hWnd);
    prompt.Destroy();
    EXPECT_FALSE(TakeQuitMessage());
    main.DestroyWindow();
    TakeQuitMessage();
}

// ---------------------------------------------------------------------------
// The running main window's animation: a resident program steps its icon four
// times a second for weeks, so every frame icon it replaces must be destroyed.

TEST_F(MainWindowTest, AnimationTicks_DestroyEveryReplacedFrameIcon) {
    dlg.StartMonitor();
    ASSERT_NE(nullptr, dlg.m_animIcon.GetSafeHandle());
    HICON previous = nullptr;
    int destroyed = 0;
    for (int step = 0; step < 3 * kAnimationFrames; ++step) {
        ::SendMessageA(dlg.m_hWnd, WM_TIMER, ID_TIMER_ANIMATE, 0);
        const HICON shown = reinterpret_cast<HICON>(::SendMessageA(dlg.m_hWnd, WM_GETICON, ICON_SMALL, 0));
        ASSERT_EQ(dlg.m_animIcon.m_hFrameIcon.get(), shown) << "step " << step;
        EXPECT_TRUE(IconAlive(shown));
        if (previous != nullptr) {
            EXPECT_NE(previous, shown);
            if (!IconAlive(previous)) ++destroyed;
        }
        previous = shown;
    }
    EXPECT_EQ(3 * kAnimationFrames - 1, destroyed);
    EXPECT_TRUE(IconAlive(dlg.m_hIcon)) << "the application icon is never a frame";
}

}  // namespace
