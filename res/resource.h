// Resource identifiers of QRTLIRMoni.exe, grouped by the resource that uses them.
// Plain macros because the resource compiler reads this file; the C++ code uses
// the typed mirrors at the end.
#ifndef QRTL_RES_RESOURCE_H
#define QRTL_RES_RESOURCE_H

#include "product.h"

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// About box (template 100)
#define IDD_ABOUTBOX 100

// System-menu item "About" of the main window and its text
#define IDM_ABOUTBOX 0x0010
#define IDS_ABOUTBOX 101

// Main window (template 102) with its test panel
#define IDD_QRTLIRMONI_DIALOG 102
#define IDC_LIST_HISTORY 1000
#define IDC_EDIT_COMMAND 1004
#define IDC_BTN_SEND 1005
#define IDC_CHECK_TRIGGER 1007
#define IDC_BTN_NEWTIMER 1011
#define IDC_EDIT_TIMER 1012

// Setup dialog (template 103)
#define IDD_QRTLIRMONI_SETUP 103
#define IDC_COMBO_DEFAULT 1008
#define IDC_CHECK_SHUTDOWN 1009
#define IDC_CHECK_AUTORUN 1010
#define IDC_BTN_ABOUT 1011

// Power prompt (template 105)
#define IDD_POWER_PROMPT 105

// Application icon, tray menu and the tray animation strip
#define IDR_MAINFRAME 128
#define IDR_MENU_TRAY 129
#define IDB_IR_FRAMES 130

// Tray menu commands
#define ID_MENU_SETUP 32771
#define ID_MENU_ABOUT 32772
#define ID_MENU_CLOSE QRTL_ID_MENU_CLOSE

#ifndef RC_INVOKED
namespace res {
// Templates, strings, icons, menus, bitmaps.
constexpr unsigned kDlgAbout = IDD_ABOUTBOX;
constexpr unsigned kDlgMain = IDD_QRTLIRMONI_DIALOG;
constexpr unsigned kDlgSetup = IDD_QRTLIRMONI_SETUP;
constexpr unsigned kDlgPowerPrompt = IDD_POWER_PROMPT;
constexpr unsigned kStrAboutBox = IDS_ABOUTBOX;
constexpr unsigned kIconMain = IDR_MAINFRAME;
constexpr unsigned kMenuTray = IDR_MENU_TRAY;
constexpr unsigned kBitmapIrFrames = IDB_IR_FRAMES;

// Commands.
constexpr unsigned kCmdAboutBox = IDM_ABOUTBOX;
constexpr unsigned kCmdSetup = ID_MENU_SETUP;
constexpr unsigned kCmdAbout = ID_MENU_ABOUT;
constexpr unsigned kCmdClose = ID_MENU_CLOSE;

// Controls of the main window.
constexpr int kListHistory = IDC_LIST_HISTORY;
constexpr int kEditCommand = IDC_EDIT_COMMAND;
constexpr int kBtnSend = IDC_BTN_SEND;
constexpr int kCheckTrigger = IDC_CHECK_TRIGGER;
constexpr int kBtnNewTimer = IDC_BTN_NEWTIMER;
constexpr int kEditTimer = IDC_EDIT_TIMER;

// Controls of the setup dialog.
constexpr int kComboDefault = IDC_COMBO_DEFAULT;
constexpr int kCheckShutDown = IDC_CHECK_SHUTDOWN;
constexpr int kCheckAutoRun = IDC_CHECK_AUTORUN;
constexpr int kBtnAbout = IDC_BTN_ABOUT;
}  // namespace res
#endif

#endif  // QRTL_RES_RESOURCE_H
