// The set-up window and the running monitor: closing it to learn, and starting
// exactly that program again; restarting it after Save so that it reads the saved
// profile. While the monitor closes, the window is disabled and takes no command.
#include <string>
#include <vector>

#include "RemoteWindow.h"
#include "UiText.h"
#include "tools/common/MonitorControl.h"

namespace remote {

namespace {
constexpr DWORD kMonitorCloseMs = 10000;
}  // namespace

std::string RemoteWindow::RestartMonitorForChanges() {
    for (const tools::RunningMonitor& monitor : tools::RunningMonitors()) {
        if (!tools::FromProgramFolder(monitor.image)) continue;
        if (Ask(dlg_, "Restart the monitor now, so that the remote uses the changes?", MB_YESNO | MB_ICONQUESTION) !=
            IDYES)
            return " The changes take effect when the monitor starts next.";
        std::string why;
        if (WaitForMonitorToClose(monitor, why) != tools::MonitorClose::Closed) {
            Ask(dlg_, "The monitor could not be restarted: " + why + ".", MB_OK | MB_ICONEXCLAMATION);
            return " The changes take effect when the monitor starts next.";
        }
        if (!tools::LaunchMonitor(monitor.image, why)) {
            Ask(dlg_, "The monitor could not be started again: " + why + ".", MB_OK | MB_ICONEXCLAMATION);
            return " The monitor is closed now: start it to use the changes.";
        }
        return " The monitor was restarted and uses the changes.";
    }
    return {};
}

tools::MonitorClose RemoteWindow::WaitForMonitorToClose(const tools::RunningMonitor& monitor, std::string& why) {
    session_.WaitBegins();
    const tools::MonitorClose closed = tools::CloseMonitor(monitor, dlg_, kMonitorCloseMs, why);
    // A close asked meanwhile comes now, after what the wait was for.
    if (session_.WaitEnds()) ::PostMessageW(dlg_, WM_CLOSE, 0, 0);
    return closed;
}

bool RemoteWindow::CloseMonitorToLearn() {
    const std::vector<tools::RunningMonitor> running = tools::RunningMonitors();
    if (running.empty()) return true;
    // Only the monitor of this folder is closed: another copy or version is the owner's to close.
    for (const tools::RunningMonitor& monitor : running) {
        if (tools::FromProgramFolder(monitor.image)) continue;
        const std::string which = monitor.image.empty() ? std::string("another monitor") : FromAnsi(monitor.image);
        Ask(dlg_,
            "A monitor that is not the one of this folder is running and reads the receiver: " + which +
                ".\n\nClose it from its icon in the notification area, then press Learn again.",
            MB_OK | MB_ICONEXCLAMATION);
        Live("Another monitor runs: learning is not possible now.");
        return false;
    }
    // Asked once: the window starts it again whenever learning ends.
    if (!session_.MonitorCloseAgreed() &&
        Ask(dlg_,
            "The monitor is running and reads the receiver; only one program can.\n\nClose the monitor while "
            "you learn? It starts again as soon as learning ends.",
            MB_OKCANCEL | MB_ICONQUESTION) != IDOK)
        return false;
    Live("Closing the monitor ...");
    // Known before the wait: a window closed meanwhile still starts the monitor again.
    session_.MonitorClosing(running.front().image);
    std::string why;
    const tools::MonitorClose closed = WaitForMonitorToClose(running.front(), why);
    // Closed meanwhile: no learning starts, the window closes next.
    if (closed == tools::MonitorClose::Closed) return !session_.CloseAsked();
    if (closed == tools::MonitorClose::NotTaken) session_.MonitorKept();
    if (closed == tools::MonitorClose::StillRunning) {
        Ask(dlg_, "The monitor could not be closed: " + why + ". It is started again when it has ended and you "
            "save or close this window.", MB_OK | MB_ICONEXCLAMATION);
        Live("The monitor still runs: learning is not possible now.");
    } else if (closed == tools::MonitorClose::NotTaken) {
        Ask(dlg_, "The monitor could not be closed: " + why + ".", MB_OK | MB_ICONEXCLAMATION);
        Live("The monitor still runs: learning is not possible now.");
    }
    return false;
}


}  // namespace remote
