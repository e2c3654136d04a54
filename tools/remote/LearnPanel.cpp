// The set-up window's learning and its look at the world: the model decides, the
// learning link reads, the monitor link closes and starts the monitor.
#include "RemoteWindow.h"
#include "UiText.h"
#include "config/QRTLIRSet.h"
#include "driver/CardDriver.h"
#include "tools/common/MonitorControl.h"

namespace remote {

void RemoteWindow::StartLearning(int index, bool all) {
    if (session_.Learning()) {
        if (all) Follow(session_.Stop(qrtl::setup::kLearningStopped));  // Learn all reads Stop
        return;
    }
    if (index < 0 || index >= kRemoteKeyCount) return;
    const qrtl::setup::FlowStep asked = session_.LearnAsked(index, all, tools::FindMonitor() != nullptr);
    view_.Tell(asked);
    if (!asked.go) return;
    // Also when asked by a shortcut: a read-only profile never closes the monitor.
    RecheckWritable();
    const std::string off = session_.MayLearn(tools::FindMonitor() != nullptr, CardDriverFileName());
    if (!off.empty()) return view_.Live(off);
    const ReceiverTaken taken = learn_.Take();
    if (taken == ReceiverTaken::Faulted) {
        Refresh();
        learn_.Refuse(qrtl::setup::ReceiverRefusal::Fault);
    }
    if (taken == ReceiverTaken::Opened) ShowClient();  // the monitor may have been closed for it
    if (taken != ReceiverTaken::Opened && taken != ReceiverTaken::Open) return;
    if (learn_.Read()) Follow(session_.ReadingStarted(index, all));
}

void RemoteWindow::OnRead() {
    learn_.TakeReads([this](bool got, std::uint32_t code) { Follow(session_.Read(got, code)); });
}

void RemoteWindow::CheckReadHang() {
    if (!session_.Learning()) return;
    if (tools::FindMonitor() != nullptr) return Follow(session_.MonitorStarted());
    Follow(session_.ReadRunning(learn_.ReadRunningForMs()));
}

void RemoteWindow::LookAgain() {
    if (session_.Waiting()) return;  // the monitor is closing: nothing changes meanwhile
    session_.MonitorSeen(tools::FindMonitor() != nullptr);  // the banner follows below
    RecheckWritable(true);
    if (session_.Fault() == qrtl::setup::ReceiverFault::DriverMissing && qrtl::win32::CardReceiver::DriverPresent() &&
        session_.DriverBack())
        Refresh();  // the finding goes, Learn comes back
    else
        ShowClient();
}

void RemoteWindow::Follow(const qrtl::setup::SessionStep& step) {
    learn_.Follow(step);
    // The focus goes to the key list before the buttons turn off: a disabled
    // button keeps the keyboard nowhere, and Escape must reach the window.
    if (step.learningStarted) keys_.Focus();
    if (step.changed || step.receiver == qrtl::setup::ReceiverStep::Abandon)
        Refresh();
    else if (step.learningStarted || step.learningEnded)
        EnableButtons();
    if (step.select >= 0) keys_.Select(step.select);
    if (step.prompted) view_.Prompt(step.prompt, session_.Learning());
    if (step.said) view_.Live(step.live);
    // The remote works again at once; the status line then says so.
    if (step.monitorBack && monitors_.GiveBack(learn_.Stuck())) monitors_.SayWhenShows(view_.LiveText(), false);
    if (!step.question.empty())
        Follow(session_.Answer(Ask(dlg_, step.question, MB_YESNO | MB_ICONQUESTION) == IDYES));
}

bool RemoteWindow::ReleaseReceiver() {
    Follow(session_.Stop("", false));
    learn_.Close();
    return monitors_.GiveBack(learn_.Stuck());
}

void RemoteWindow::CheckMonitorShows() {
    const std::string said = monitors_.LookForStarted();
    if (!said.empty()) {
        Refresh();
        // Only while the status line still says what the owner was told then.
        if (view_.LiveText() == session_.StartedWords()) view_.Live(said);
    }
    int index = 0;
    bool all = false;
    // Taken once the wait is over; a learn begun meanwhile is not stopped by it.
    if (!session_.AwaitingMonitor() && session_.TakePendingLearn(index, all) && !session_.Learning())
        StartLearning(index, all);
}

}  // namespace remote
