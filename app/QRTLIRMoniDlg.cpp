#include "app/QRTLIRMoniDlg.h"

#include <string>
#include <vector>

#include "app/AboutDlg.h"
#include "app/HistoryList.h"
#include "app/TimerText.h"
#include "config/QRTLIRSet.h"
#include "app/QRTLIRMoniSetupDlg.h"
#include "platform/win32/Handle.h"
#include "res/resource.h"
#include "trace/Trace.h"

BOOL g_bSetupAllowed = TRUE;

namespace {

static_assert((IDM_ABOUTBOX & 0xFFF0) == IDM_ABOUTBOX && IDM_ABOUTBOX < 0xF000,
              "the About item must be a valid system command");

// The NewTimer edit is read into a 50-character buffer.
constexpr int kTimerTextBuffer = 50;
constexpr char kPollCodeText[] = "0";

// Sent to every top-level window when the taskbar is (re)created, e.g. after
// Explorer restarted: the tray icon must then be added again.
UINT TaskbarCreatedMessage() {
    static const UINT s_uMessage = ::RegisterWindowMessageA("TaskbarCreated");
    return s_uMessage;
}

HICON LoadAppIcon() { return ::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(res::kIconMain)); }

}  // namespace

CQRTLIRMoniDlg::CQRTLIRMoniDlg(ShellCalls& shell) : CDialog(res::kDlgMain), m_hIcon(LoadAppIcon()), m_shell(shell) {}

CQRTLIRMoniDlg::~CQRTLIRMoniDlg() {
    // A message loop ended by a quit from elsewhere leaves the window up: the tray
    // icon must not stay behind as a dead icon, nor the timers run on.
    if (m_hWnd != nullptr) {
        EnableTimers(FALSE);
        SetTrayIcon(FALSE);
    }
}

void CQRTLIRMoniDlg::StartMonitor() {
    theSet.LoadProfile();
    if (!Create()) {
        // Without a window nothing could ever end the message loop.
        ::PostQuitMessage(0);
        return;
    }
    EnableTimers(TRUE);
    SetTrayIcon(TRUE);
    ShowWindow(theSet.m_bShowMainWindow ? SW_SHOW : SW_HIDE);
    m_animIcon.Init(m_hWnd, res::kBitmapIrFrames, kAnimationFrames, kAnimationMask, m_shell);
}

void CQRTLIRMoniDlg::EnableTimers(BOOL bEnable) {
    // Without a window SetTimer would make thread timers nobody handles.
    if (m_hWnd == nullptr) return;
    if (bEnable) {
        // The interval goes to the system unchanged, 0 and negative values included.
        m_shell.SetTimer(m_hWnd, ID_TIMER_POLL, static_cast<UINT>(theSet.m_nTimer));
        m_shell.SetTimer(m_hWnd, ID_TIMER_ANIMATE, kAnimateIntervalMs);
    } else {
        ::KillTimer(m_hWnd, ID_TIMER_POLL);
        ::KillTimer(m_hWnd, ID_TIMER_ANIMATE);
    }
}

void CQRTLIRMoniDlg::SetTrayIcon(BOOL bAdd) {
    NotifyTray(m_shell, bAdd ? NIM_ADD : NIM_DELETE, m_hWnd, LoadAppIcon());
}

void CQRTLIRMoniDlg::ShowTrayMenu() {
    qrtl::win32::UniqueHMenu menu(
        ::LoadMenuA(AfxGetResourceHandle(), MAKEINTRESOURCEA(res::kMenuTray)));
    if (!menu) {
        SetTrayIcon(FALSE);
        return;
    }
    const HMENU hPopup = ::GetSubMenu(menu.get(), 0);
    if (hPopup == nullptr) return;
    POINT pt{0, 0};
    if (!::GetCursorPos(&pt)) return;
    ::SetMenuDefaultItem(hPopup, 1, TRUE);  // "Setup", by position
    // Without the foreground the menu would not close on a click elsewhere; the
    // posted WM_NULL lets the next click reach it.
    ::SetForegroundWindow(m_hWnd);
    ::TrackPopupMenu(hPopup, 0, pt.x, pt.y, 0, m_hWnd, nullptr);
    ::PostMessageA(m_hWnd, WM_NULL, 0, 0);
}

void CQRTLIRMoniDlg::OnPollTimer() {
    if (m_hWndHistory == nullptr) return;
    CHistoryListBox history(m_hWndHistory);
    theSet.DoTimer(&history, kPollCodeText, FALSE);
}

void CQRTLIRMoniDlg::DoDataExchange(CDataExchange*) {}

LRESULT CQRTLIRMoniDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TRAYICON) {
        switch (static_cast<UINT>(lParam)) {
        case WM_LBUTTONUP:
            ShowTrayMenu();
            break;
        case WM_LBUTTONDBLCLK:
            OnSetup();
            break;
        default:  // the right button included
            break;
        }
    } else if (message != 0 && message == TaskbarCreatedMessage()) {
        SetTrayIcon(TRUE);
    }
    return CDialog::WindowProc(message, wParam, lParam);
}

BOOL CQRTLIRMoniDlg::OnInitDialog() {
    CDialog::OnInitDialog();

    const HMENU hSysMenu = ::GetSystemMenu(m_hWnd, FALSE);
    if (hSysMenu != nullptr) {
        char szAbout[256] = "";
        if (::LoadStringA(AfxGetResourceHandle(), res::kStrAboutBox, szAbout, sizeof(szAbout)) > 0) {
            ::AppendMenuA(hSysMenu, MF_SEPARATOR, 0, nullptr);
            ::AppendMenuA(hSysMenu, MF_STRING, res::kCmdAboutBox, szAbout);
        }
    }

    ::SendMessageA(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    ::SendMessageA(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));

    ::SetDlgItemTextA(m_hWnd, res::kEditTimer, std::to_string(theSet.m_nTimer).c_str());
    m_hWndHistory = GetDlgItem(res::kListHistory);
    return TRUE;  // the focus goes to "OK", the first control in tab order
}

void CQRTLIRMoniDlg::OnOK() {
    EnableTimers(FALSE);
    SetTrayIcon(FALSE);
    DestroyWindow();  // as the main window, its final destruction ends the loop
}

BOOL CQRTLIRMoniDlg::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    switch (message) {
    case WM_SYSCOMMAND:
        if (OnSysCommand(static_cast<UINT>(wParam), lParam)) {
            *pResult = 0;
            return TRUE;
        }
        return FALSE;
    case WM_PAINT:
        if (OnPaint()) {
            *pResult = 0;
            return TRUE;
        }
        return FALSE;
    case WM_QUERYDRAGICON:
        *pResult = reinterpret_cast<LRESULT>(OnQueryDragIcon());
        return TRUE;
    case WM_TIMER:
        OnTimer(static_cast<UINT_PTR>(wParam));
        *pResult = 0;
        return TRUE;
    case WM_ENDSESSION:
        // FALSE: the session goes on after all, so the remote must work again.
        if (!wParam) theSet.OnSessionEndCancelled();
        *pResult = 0;
        return TRUE;
    default:
        return CDialog::OnWndMsg(message, wParam, lParam, pResult);
    }
}

BOOL CQRTLIRMoniDlg::OnCommand(UINT nID, UINT nCode) {
    if (nCode == BN_CLICKED) {  // also the code of menu commands
        switch (nID) {
        case res::kCheckTrigger:
            OnTriggerTimer();
            return TRUE;
        case res::kBtnSend:
            OnBtnSend();
            return TRUE;
        case res::kCmdClose:
            OnOK();
            return TRUE;
        case res::kCmdAbout:
            OnAbout();
            return TRUE;
        case res::kCmdSetup:
            OnSetup();
            return TRUE;
        case res::kBtnNewTimer:
            OnNewTimer();
            return TRUE;
        default:
            break;
        }
    }
    return CDialog::OnCommand(nID, nCode);
}

BOOL CQRTLIRMoniDlg::OnSysCommand(UINT nID, LPARAM) {
    if ((nID & 0xFFF0) != res::kCmdAboutBox) return FALSE;  // move, minimise, close ...
    OnAbout();
    return TRUE;
}

BOOL CQRTLIRMoniDlg::OnPaint() {
    if (!::IsIconic(m_hWnd)) return FALSE;
    PAINTSTRUCT ps;
    const HDC hDC = ::BeginPaint(m_hWnd, &ps);
    if (hDC == nullptr) return TRUE;
    ::SendMessageA(m_hWnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(hDC), 0);
    RECT rc{};
    ::GetClientRect(m_hWnd, &rc);
    const int x = (rc.right - rc.left - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (rc.bottom - rc.top - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
    ::DrawIcon(hDC, x, y, m_hIcon);
    ::EndPaint(m_hWnd, &ps);
    return TRUE;
}

HCURSOR CQRTLIRMoniDlg::OnQueryDragIcon() { return static_cast<HCURSOR>(m_hIcon); }

void CQRTLIRMoniDlg::OnTimer(UINT_PTR nIDEvent) {
    if (nIDEvent == ID_TIMER_POLL)
        OnPollTimer();
    else
        m_animIcon.NextFrame();
}

void CQRTLIRMoniDlg::OnTriggerTimer() {
    // The check box keeps its own look; only the flag decides.
    m_bTimerOn = !m_bTimerOn;
    EnableTimers(m_bTimerOn);
}

void CQRTLIRMoniDlg::OnBtnSend() {
    const HWND hWndEdit = GetDlgItem(res::kEditCommand);
    std::string strCode;
    if (hWndEdit != nullptr) {
        std::vector<char> text(static_cast<size_t>(::GetWindowTextLengthA(hWndEdit)) + 1, '\0');
        const int nLength = ::GetWindowTextA(hWndEdit, text.data(), static_cast<int>(text.size()));
        strCode.assign(text.data(), nLength > 0 ? static_cast<size_t>(nLength) : 0);
    }
    CHistoryListBox history(GetDlgItem(res::kListHistory));
    TraceOut(kTraceFlow, kTraceFileDlg, kTraceLineBtnSend, "OnBtnSend : %s", strCode.c_str());
    theSet.DoTimer(&history, strCode, TRUE);
}

void CQRTLIRMoniDlg::OnAbout() {
    CAboutDlg dlg;
    dlg.DoModal();
}

void CQRTLIRMoniDlg::OnSetup() {
    if (!g_bSetupAllowed) return;  // one is open already
    g_bSetupAllowed = FALSE;
    EnableTimers(FALSE);
    {
        CAboutDlg about;
        CQRTLIRMoniSetupDlg dlg(theSet, about);
        dlg.DoModal();
    }
    // Polling restarts whatever the toggle says.
    EnableTimers(TRUE);
    g_bSetupAllowed = TRUE;
}

void CQRTLIRMoniDlg::OnNewTimer() {
    char szText[kTimerTextBuffer] = "";
    ::GetDlgItemTextA(m_hWnd, res::kEditTimer, szText, kTimerTextBuffer);
    EnableTimers(FALSE);
    theSet.m_nTimer = TimerFromText(szText);  // in memory only; the profile keeps its value
    EnableTimers(TRUE);
}
