// The notification-area record, filled the same way for every call.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include "product.h"

// Callback message of the tray icon; also its uID.
constexpr UINT WM_TRAYICON = 0x888;
constexpr UINT kTrayIconId = WM_TRAYICON;
// The tip: the title with one blank before and after.
constexpr char kTrayTip[] = " " QRTL_MONITOR_CAPTION " ";

// The main window's calls into the shell: the notification area and its timers.
// The program makes the system's; a test hands the window a recorder.
class ShellCalls {
public:
    virtual ~ShellCalls() = default;
    virtual BOOL NotifyIcon(DWORD dwMessage, PNOTIFYICONDATAA pData) { return ::Shell_NotifyIconA(dwMessage, pData); }
    virtual UINT_PTR SetTimer(HWND hWnd, UINT_PTR nID, UINT uElapse) { return ::SetTimer(hWnd, nID, uElapse, nullptr); }
};

// The system's calls, for the program's own windows.
ShellCalls& SystemShell();

// Fills the record for the window's icon (the first, 88-byte form of
// NOTIFYICONDATAA, which every Windows accepts) and hands it to the notification area
// with NIM_ADD, NIM_MODIFY or NIM_DELETE.
BOOL NotifyTray(ShellCalls& shell, DWORD dwMessage, HWND hWnd, HICON hIcon);
