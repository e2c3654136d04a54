// What window --write and the set-up window learn of a TV application's window:
// its process's item name, caption, class, three child ids that tell it apart, its
// executable and where POWER would find that in HKEY_LOCAL_MACHINE.
#pragma once

#include <windows.h>

#include <vector>

#include "setup/ClientLines.h"
#include "platform/Platform.h"

namespace qrtl::win32 {

// Three ids of the window's direct children, preferring the rarest and a set no
// other top-level window has all of; fewer when the window has fewer. `unique`
// tells whether such a set was found.
std::vector<int32_t> ChooseChildIds(IDesktop& desktop, HWND target, bool& unique);

// The upper-cased executable name (no folder, no extension) of the window's process.
std::string ItemOfWindow(IDesktop& desktop, HWND hWnd);

std::string ClassOfWindow(HWND hWnd);

// Everything PlanTakeWindow needs of the window, with whether its title is
// needed to find it among the windows open now. `unique` as ChooseChildIds.
setup::ClientWindowFacts ExamineClientWindow(IDesktop& desktop, IRegistry& registry, HWND hWnd,
                                             bool& uniqueChildIds, int& childIdCount);

}  // namespace qrtl::win32
