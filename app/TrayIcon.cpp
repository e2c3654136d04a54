#include "app/TrayIcon.h"

#include <cstring>

static_assert(NOTIFYICONDATAA_V1_SIZE == 88, "the first form of the tray record is 88 bytes");
static_assert(sizeof(kTrayTip) <= 64, "the first form's tip holds 63 characters");

namespace {

void FillTrayRecord(NOTIFYICONDATAA& record, HWND hWnd, HICON hIcon) {
    std::memset(&record, 0, sizeof(record));
    record.cbSize = NOTIFYICONDATAA_V1_SIZE;
    record.hWnd = hWnd;
    record.uID = kTrayIconId;
    record.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    record.uCallbackMessage = WM_TRAYICON;
    record.hIcon = hIcon;
    std::memcpy(record.szTip, kTrayTip, sizeof(kTrayTip));
}

}  // namespace

ShellCalls& SystemShell() {
    static ShellCalls system;
    return system;
}

BOOL NotifyTray(ShellCalls& shell, DWORD dwMessage, HWND hWnd, HICON hIcon) {
    NOTIFYICONDATAA record;
    FillTrayRecord(record, hWnd, hIcon);
    return shell.NotifyIcon(dwMessage, &record);
}
