// The set-up window and the running monitor: closing it to learn, and restarting
// it after Save so that it reads the saved profile. The model decides which one,
// whether to ask and what a result means (setup/SessionSave.h); MonitorLink finds,
// closes and starts them.
#include <string>

#include "RemoteWindow.h"
#include "UiText.h"

namespace remote {

void RemoteWindow::Tell(const qrtl::setup::FlowStep& step) {
    if (!step.alert.empty()) Ask(dlg_, FromAnsi(step.alert), MB_OK | MB_ICONEXCLAMATION);
    if (!step.live.empty()) Live(FromAnsi(step.live));
}

qrtl::setup::ChangesTaken RemoteWindow::RestartMonitorForChanges(bool closedToLearn, bool savedMonitorsFile) {
    using qrtl::setup::ChangesTaken;
    const int which = qrtl::setup::MonitorToRestart(monitors_.Look(), closedToLearn, savedMonitorsFile);
    if (which < 0) return ChangesTaken::NotOffered;
    if (Ask(dlg_, qrtl::setup::RestartQuestion(), MB_YESNO | MB_ICONQUESTION) != IDYES) return ChangesTaken::Declined;
    std::string why;
    ChangesTaken taken = ChangesTaken::Restarted;
    if (monitors_.Close(which, why) != qrtl::setup::CloseResult::Closed)
        taken = ChangesTaken::NotClosed;
    else if (!MonitorLink::Start(monitors_.Image(which), why))
        taken = ChangesTaken::NotStarted;
    const std::string alert = qrtl::setup::RestartAlert(taken, why);
    if (!alert.empty()) Ask(dlg_, FromAnsi(alert), MB_OK | MB_ICONEXCLAMATION);
    return taken;
}

bool RemoteWindow::CloseMonitorToLearn() {
    const qrtl::setup::MonitorToClose plan = qrtl::setup::CloseToLearn(monitors_.Look(), session_.MonitorCloseAgreed());
    Tell(plan.step);
    if (plan.monitor < 0) return plan.step.go;
    if (!plan.step.question.empty() &&
        Ask(dlg_, FromAnsi(plan.step.question), MB_OKCANCEL | MB_ICONQUESTION) != IDOK)
        return false;
    Live(qrtl::setup::kClosingMonitor);
    // Known before the wait: a window closed meanwhile still starts the monitor again.
    session_.MonitorClosing(monitors_.Image(plan.monitor));
    std::string why;
    const qrtl::setup::CloseResult result = monitors_.Close(plan.monitor, why);
    const qrtl::setup::FlowStep closed = session_.MonitorCloseEnded(result, why);
    Tell(closed);
    return closed.go;
}

}  // namespace remote
