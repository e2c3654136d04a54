// The notification-area record, filled the same way for every call.
#pragma once

#include <windows.h>
#include <shellapi.h>

// Callback message of the tray icon; also its uID.
constexpr UINT WM_TRAYICON = 0x888;
constexpr UINT kTrayIconId = WM_TRAYICON;
// The tip: the title with one blank before and after.
constexpr char kTrayTip[] = " Quorel Tellivar IR Monitor ";

// The first, 88-byte form of NOTIFYICONDATAA, which every Windows accepts.
void FillTrayRecord(NOTIFYICONDATAA& record, HWND hWnd, HICON hIcon);
