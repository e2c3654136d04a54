// The monitor shares the card's receiver with the set-up window: only one program
// may read it. The window closes a running monitor with its own Close command
// before learning, and starts it again from its folder afterwards.
#pragma once

#include <windows.h>

#include <string>

namespace remote {

// The monitor's main window (also hidden, in the tray); null when it is not running.
HWND FindMonitor();

// Sends the monitor its Close command and waits, dispatching this thread's
// messages, until its process has ended; false with the reason when it did not
// end within `timeoutMs`.
bool CloseMonitor(HWND monitor, DWORD timeoutMs, std::string& why);

// Starts the monitor from this program's folder; false with the reason.
bool StartMonitor(std::string& why);

// The folder of this program, with a trailing backslash.
std::string ProgramFolder();

}  // namespace remote
