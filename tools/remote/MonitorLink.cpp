#include "MonitorLink.h"

#include "UiText.h"

namespace remote {

namespace {

constexpr DWORD kMonitorCloseMs = 10000;
constexpr UINT kMonitorLookMs = 100;

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

std::vector<qrtl::setup::SeenMonitor> MonitorLink::Look() {
    running_ = tools::RunningMonitors();
    std::vector<qrtl::setup::SeenMonitor> seen;
    for (const tools::RunningMonitor& monitor : running_)
        seen.push_back({monitor.image, tools::FromProgramFolder(monitor.image)});
    return seen;
}

qrtl::setup::CloseResult MonitorLink::Close(int index, std::string& why) {
    session_.WaitBegins();
    const tools::MonitorClose closed =
        tools::CloseMonitor(running_[static_cast<std::size_t>(index)], owner_, kMonitorCloseMs, why);
    // A close asked meanwhile comes now, after what the wait was for.
    if (session_.WaitEnds()) ::PostMessageW(owner_, WM_CLOSE, 0, 0);
    return ResultOf(closed);
}

bool MonitorLink::CloseToLearn() {
    const qrtl::setup::MonitorToClose plan = qrtl::setup::CloseToLearn(Look(), session_.MonitorCloseAgreed());
    view_.Tell(plan.step);
    if (plan.monitor < 0) return plan.step.go;
    if (!plan.step.question.empty() &&
        Ask(owner_, FromAnsi(plan.step.question), MB_OKCANCEL | MB_ICONQUESTION) != IDOK)
        return false;
    view_.Live(qrtl::setup::kClosingMonitor);
    // Known before the wait: a window closed meanwhile still starts the monitor again.
    session_.MonitorClosing(Image(plan.monitor));
    std::string why;
    const qrtl::setup::CloseResult result = Close(plan.monitor, why);
    const qrtl::setup::FlowStep closed = session_.MonitorCloseEnded(result, why);
    view_.Tell(closed);
    return closed.go;
}

qrtl::setup::ChangesTaken MonitorLink::RestartForChanges(bool closedToLearn, bool savedMonitorsFile) {
    using qrtl::setup::ChangesTaken;
    const int which = qrtl::setup::MonitorToRestart(Look(), closedToLearn, savedMonitorsFile);
    if (which < 0) return ChangesTaken::NotOffered;
    if (Ask(owner_, qrtl::setup::RestartQuestion(), MB_YESNO | MB_ICONQUESTION) != IDYES) return ChangesTaken::Declined;
    std::string why;
    ChangesTaken taken = ChangesTaken::Restarted;
    if (Close(which, why) != qrtl::setup::CloseResult::Closed)
        taken = ChangesTaken::NotClosed;
    else if (!Start(Image(which), why))
        taken = ChangesTaken::NotStarted;
    const std::string alert = qrtl::setup::RestartAlert(taken, why);
    if (!alert.empty()) Ask(owner_, FromAnsi(alert), MB_OK | MB_ICONEXCLAMATION);
    return taken;
}

bool MonitorLink::GiveBack(bool stuck) {
    const qrtl::setup::FlowStep back = session_.MonitorBack(stuck, tools::FindMonitor() != nullptr);
    view_.Tell(back);
    std::string why;
    if (!back.go || Start(session_.ClosedMonitor(), why)) return back.go;
    Ask(owner_, FromAnsi(qrtl::setup::NotStartedAgain(why)), MB_OK | MB_ICONEXCLAMATION);
    return false;
}

void MonitorLink::SayWhenShows(const std::string& words, bool forSave) {
    session_.MonitorStarting(words, ::GetTickCount(), forSave);
    ::SetTimer(owner_, kTimerMonitorShows, kMonitorLookMs, nullptr);
}

std::string MonitorLink::LookForStarted() {
    const std::string said = session_.MonitorLook(tools::FindMonitor() != nullptr, ::GetTickCount());
    if (!session_.AwaitingMonitor()) ::KillTimer(owner_, kTimerMonitorShows);
    return said;
}

}  // namespace remote
