// Reads what the monitor can post to a TV application: the live menu of its
// window, the menus and accelerator tables of its executable, and the controls of
// its window. Texts of another process's windows are asked with a time limit, so a
// hung application cannot hold the reader up.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "setup/AppCommands.h"
#include "setup/win32/Win32ImagePath.h"

namespace qrtl::win32 {

// IDC_STATIC (-1) as GetDlgCtrlID gives it: a control without an id of its own.
constexpr int kStaticId = 0xFFFF;

// How long the texts of all the window's controls together may take to come back.
constexpr DWORD kControlsReadMs = 2000;

// Every command item of `menu` and its submenus, in menu order, with its path
// ("Audio > Volume up"); separators and submenus themselves left out. Each submenu
// is walked once, however often the menu hangs it; at most kMaxMenuItems commands,
// paths cut at kMaxMenuPath, and `cut` (when given) says whether a cap was met.
// False when the menu cannot be read (another process's menu under Wine gives -1 items).
bool ReadMenuTree(HMENU menu, setup::CommandSource source, std::vector<setup::MenuCommand>& out,
                  bool* cut = nullptr);

// The RT_MENU and RT_ACCELERATOR resources of the executable, loaded as data only
// and read by the bounded resource reader; a damaged one is left out, with
// resourceNote saying so. False when the file cannot be loaded.
bool ReadExeResources(const std::string& exePath, setup::AppCatalog& catalog);

// What the program file alone tells while the application is not running: the
// menus and accelerators of its resources (a network or device path is not opened;
// resourceNote says why).
setup::AppCatalog ReadFileCatalog(const std::string& exePath);

// The window's direct child controls that carry a text (buttons and the like),
// texts read with SendMessageTimeout within one deadline (kControlsReadMs) for all
// of them; after the first time-out none is asked again, and controlsNote says how
// many were not read.
void ReadControls(HWND hWnd, setup::AppCatalog& catalog);

// All of it for the window: the live menu when it can be read, the executable's
// resources in addition, the controls, and the keys of the menus' shortcut texts.
// `exePath` receives the executable's path (empty when not found).
setup::AppCatalog ReadAppCatalog(HWND hWnd, std::string& exePath);

// The FileDescription of the executable's version resource; empty when none.
std::string FileDescriptionOf(const std::string& exePath);

}  // namespace qrtl::win32
