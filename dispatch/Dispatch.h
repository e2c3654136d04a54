// The dispatch's process-wide flags and the helpers that the poll tick, the power
// prompt and the window search share; the receiver read is used as well by every
// program that learns codes, so that it reads the card exactly as the monitor does.
// The dispatch operations themselves are members of CQRTLIRSet.
#pragma once

#include <cstdint>

#include "platform/Platform.h"

// Re-entry guard of the poll tick, and the power prompt's decision of this tick.
extern int32_t g_bInDoTimer;
extern int32_t g_bPowerShutdown;
extern int32_t g_bPowerLaunch;

// Finds the process that owns `hWnd` in a snapshot of `desktop` and copies its
// executable name (at most 255 characters) into `pszExeName`, a 256-character buffer.
BOOL FoundAtProcessName(qrtl::IDesktop& desktop, qrtl::WindowHandle hWnd, char* pszExeName);

// Enumeration callback of the second search strategy; lParam carries the object.
BOOL EnumClientWindowProc(qrtl::WindowHandle hWnd, std::intptr_t lParam);

namespace dispatch {

// Preset of the receiver's output variable; a read that leaves it unchanged
// delivered no code.
constexpr uint32_t kNoIrValue = 0xFFFFFFFFu;

// One receiver read at the infrared code's address; true with the low 8 bits
// in `code` when the read delivered something.
bool ReadIrByte(qrtl::ICardReader& card, uint32_t& code);

}  // namespace dispatch
