// The monitor as the set-up tools see it: it shares the card's receiver with them,
// and only one program may read it. QRTLProfile learns only while no monitor runs;
// the set-up window closes the monitor of its own folder with the monitor's Close
// command before learning, and starts exactly that program again afterwards. A
// monitor of another folder (another copy or version) is never closed: the owner
// is told which one runs.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace tools {

// A running monitor: its main window (also hidden, in the tray) and the program
// file its process runs; `image` is empty when the system does not tell it.
struct RunningMonitor {
    HWND window = nullptr;
    std::string image;
};

// Every running monitor, found by the main window's class and caption.
std::vector<RunningMonitor> RunningMonitors();

// The first running monitor's window; null when none runs.
HWND FindMonitor();

// The folder of this program, with a trailing backslash.
std::string ProgramFolder();

// True when `image` lies in this program's folder.
bool FromProgramFolder(const std::string& image);

enum class MonitorClose {
    Closed,       // its process has ended: the receiver is free
    NotTaken,     // the Close command could not be posted
    StillRunning, // it did not end within the time given
    Quit,         // this program is ending (WM_QUIT came while waiting)
};

// Posts the monitor its Close command and waits, dispatching this thread's
// messages with `owner` disabled (no click reaches it meanwhile), until its process
// has ended or `timeoutMs` has passed; `why` says what went wrong.
MonitorClose CloseMonitor(const RunningMonitor& monitor, HWND owner, DWORD timeoutMs, std::string& why);

// Starts the monitor program `image` in its own folder; false with the reason.
bool LaunchMonitor(const std::string& image, std::string& why);

}  // namespace tools
