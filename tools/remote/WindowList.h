// Other programs' windows as the set-up window names and lists them.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "config/ProfileReader.h"

namespace remote {

std::string WindowCaption(HWND wnd);
std::string WindowClass(HWND wnd);
// True for the windows of this process (the set-up window, its finder's outline).
bool OwnWindow(HWND wnd);
// The program file of a window: "StandinTV.exe"; "program not known" when it cannot be told.
std::string ProgramOf(HWND wnd);
// A window as the owner knows it: "“Standin TV” (StandinTV.exe)".
std::string WindowWords(HWND wnd);

// The windows an owner could mean as the TV application: visible, unowned, with a
// caption, not tool windows, not this program's.
std::vector<HWND> ApplicationWindows();
// The window the monitor's own search finds for `document`'s TV application; null
// when there is none, or when no client line names one (the search would then take
// any window without children).
HWND FindClient(const qrtl::ProfileDocument& document);
// One line of the window list: "Standin TV  (StandinTV.exe)".
std::string WindowListLine(HWND wnd);

}  // namespace remote
