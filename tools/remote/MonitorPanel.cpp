// The set-up window and the running monitor: closing it to learn, and restarting
// it after Save so that it reads the saved profile. The model decides which one,
// whether to ask and what a result means (setup/SessionSave.h); this file finds,
// closes and starts them. While the monitor closes, the window is disabled and
// takes no command.
#include <string>
#include <vector>

#include "RemoteWindow.h"
#include "UiText.h"
#include "tools/common/MonitorControl.h"

namespace remote {

namespace {

constexpr DWORD kMonitorCloseMs = 10000;

std::vector<qrtl::setup::SeenMonitor> Seen(const std::vector<tools::RunningMonitor>& running) {
    std::vector<qrtl::setup::SeenMonitor> seen;
    for (const tools::RunningMonitor& monitor : running)
        seen.push_back({monitor.image, tools::FromProgramFolder(monitor.image)});
    return seen;
}

qrtl::setup::CloseResult ResultOf(tools::MonitorClose closed) {
    switch (closed) {
    case tools::MonitorClose::Closed:
        return qrtl::setup::CloseResult::Closed;
    case tools::MonitorClose::NotTaken:
        return qrtl::setup::CloseResult::NotTaken;
    case tools::MonitorClose::StillRunning:
        return qrtl::setup::CloseResult::StillRunning;
    case tools::MonitorClose::Quit:
        break;
    }
    return qrtl::setup::CloseResult::Quit;
}

}  // namespace

void RemoteWindow::Tell(const qrtl::setup::FlowStep& step) {
    if (!step.alert.empty()) Ask(dlg_, FromAnsi(step.alert), MB_OK | MB_ICONEXCLAMATION);
    if (!step.live.empty()) Live(FromAnsi(step.live));
}

qrtl::setup::ChangesTaken RemoteWindow::RestartMonitorForChanges(bool closedToLearn) {
    using qrtl::setup::ChangesTaken;
    const std::vector<tools::RunningMonitor> running = tools::RunningMonitors();
    const int which = qrtl::setup::MonitorToRestart(Seen(running), closedToLearn);
    if (which < 0) return ChangesTaken::NotOffered;
    if (Ask(dlg_, qrtl::setup::RestartQuestion(), MB_YESNO | MB_ICONQUESTION) != IDYES) return ChangesTaken::Declined;
    const tools::RunningMonitor& monitor = running[static_cast<std::size_t>(which)];
    std::string why;
    ChangesTaken taken = ChangesTaken::Restarted;
    if (WaitForMonitorToClose(monitor, why) != tools::MonitorClose::Closed)
        taken = ChangesTaken::NotClosed;
    else if (!tools::LaunchMonitor(monitor.image, why))
        taken = ChangesTaken::NotStarted;
    const std::string alert = qrtl::setup::RestartAlert(taken, why);
    if (!alert.empty()) Ask(dlg_, FromAnsi(alert), MB_OK | MB_ICONEXCLAMATION);
    return taken;
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
    const qrtl::setup::MonitorToClose plan = qrtl::setup::CloseToLearn(Seen(running), session_.MonitorCloseAgreed());
    Tell(plan.step);
    if (plan.monitor < 0) return plan.step.go;
    if (!plan.step.question.empty() &&
        Ask(dlg_, FromAnsi(plan.step.question), MB_OKCANCEL | MB_ICONQUESTION) != IDOK)
        return false;
    Live(qrtl::setup::kClosingMonitor);
    const tools::RunningMonitor& monitor = running[static_cast<std::size_t>(plan.monitor)];
    // Known before the wait: a window closed meanwhile still starts the monitor again.
    session_.MonitorClosing(monitor.image);
    std::string why;
    const qrtl::setup::FlowStep closed = session_.MonitorCloseEnded(ResultOf(WaitForMonitorToClose(monitor, why)), why);
    Tell(closed);
    return closed.go;
}

}  // namespace remote
