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

// The call that reaches the notification area: Shell_NotifyIconA. Tests put a
// recorder in its place; the program never changes it.
extern decltype(&::Shell_NotifyIconA) g_pfnShellNotifyIcon;

// Fills the record for the window's icon (the first, 88-byte form of
// NOTIFYICONDATAA, which every Windows accepts) and hands it to the notification area
// with NIM_ADD, NIM_MODIFY or NIM_DELETE.
BOOL NotifyTray(DWORD dwMessage, HWND hWnd, HICON hIcon);
