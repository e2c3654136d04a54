// The main window: a modeless dialog, usually hidden, that owns the poll timer,
// the tray icon with its menu and animation, and the test panel.
#pragma once

#include "app/IconAnimator.h"
#include "app/TrayIcon.h"
#include "framework/Afx.h"

// Timers of the main window.
constexpr UINT_PTR ID_TIMER_POLL = 100;     // interval: the profile's Timer, in ms
constexpr UINT_PTR ID_TIMER_ANIMATE = 101;  // one tray animation step
constexpr UINT kAnimateIntervalMs = 250;

// The tray animation strip: ten 16x16 frames, RGB(0,128,128) transparent.
constexpr int kAnimationFrames = 10;
constexpr COLORREF kAnimationMask = 0x808000;

// Source line that the test panel's trace carries.
constexpr int kTraceLineBtnSend = 205;

// FALSE while the setup dialog is open, so that a second one cannot open.
extern BOOL g_bSetupAllowed;

class CQRTLIRMoniDlg : public CDialog {
public:
    // `shell`: the tray and timer calls, the system's unless a test records them.
    explicit CQRTLIRMoniDlg(ShellCalls& shell = SystemShell());
    ~CQRTLIRMoniDlg() override;

    // Loads the profile, creates the window, starts both timers, adds the tray
    // icon, shows or hides the window and starts the animation.
    void StartMonitor();
    void EnableTimers(BOOL bEnable);
    void SetTrayIcon(BOOL bAdd);
    void ShowTrayMenu();
    void OnPollTimer();

    CIconAnimator m_animIcon;
    BOOL m_bTimerOn = TRUE;  // flipped only by the "Trigger Timer" toggle
    HICON m_hIcon;           // icon 128, a shared resource icon: never destroyed
    // The history list box, a child for the window's whole life: looked up once, as
    // every lookup costs the poll tick a round trip to the window server.
    HWND m_hWndHistory = nullptr;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    // Tray notifications and the taskbar's re-creation, ahead of the message map.
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnInitDialog() override;
    // Ends the program: timers off, tray icon removed, window destroyed.
    void OnOK() override;

    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    BOOL OnCommand(UINT nID, UINT nCode) override;

    // Message handlers.
    BOOL OnSysCommand(UINT nID, LPARAM lParam);
    BOOL OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnTimer(UINT_PTR nIDEvent);
    void OnTriggerTimer();
    void OnBtnSend();
    void OnAbout();
    void OnSetup();
    void OnNewTimer();

private:
    ShellCalls& m_shell;
};
