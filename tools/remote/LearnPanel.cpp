// The set-up window's learning: the model decides (the press detector, what the
// receiver's refusals and the monitor's start mean), the card receiver reads. The
// receiver is taken only while learning, and the running monitor is asked about
// before each learn: only one program may read it.
#include <string>
#include <utility>
#include <vector>

#include "RemoteWindow.h"
#include "UiText.h"
#include "config/QRTLIRSet.h"
#include "driver/CardDriver.h"
#include "setup/LearnedCodes.h"
#include "resource.h"
#include "tools/common/MonitorControl.h"

namespace remote {

namespace {

using qrtl::win32::ReceiverOpen;

constexpr UINT kHangCheckMs = 250;
constexpr UINT kMonitorLookMs = 100;

qrtl::setup::ReceiverFault FaultOf(ReceiverOpen opened) {
    return opened == ReceiverOpen::NoCard ? qrtl::setup::ReceiverFault::CardNotStarting
                                          : qrtl::setup::ReceiverFault::DriverMissing;
}

}  // namespace

void RemoteWindow::ProbeReceiver() {
    // Another tool reading it now is no problem of the card: asked again at Learn.
    if (!receiver_.TakeLock()) return;
    const ReceiverOpen opened = receiver_.Open();
    if (opened != ReceiverOpen::Ok) session_.ReceiverFailed(FaultOf(opened));
    receiver_.Close();
}

bool RemoteWindow::EnsureReceiver() {
    using qrtl::setup::ReceiverRefusal;
    const auto refuse = [this](ReceiverRefusal refusal) {
        Tell(qrtl::setup::LearnRefused(refusal, session_.Fault(), CardDriverFileName()));
        return false;
    };
    if (session_.Fault() != qrtl::setup::ReceiverFault::None) return refuse(ReceiverRefusal::Fault);
    if (receiver_.IsOpen()) return true;
    if (receiver_.Busy()) return refuse(ReceiverRefusal::Busy);
    if (!receiver_.TakeLock()) return refuse(ReceiverRefusal::OtherTool);
    // Asked before each learn: a monitor started since the last one reads it too.
    if (!CloseMonitorToLearn()) {
        receiver_.Close();
        return false;
    }
    const ReceiverOpen opened = receiver_.Open();
    if (opened == ReceiverOpen::Ok) {
        ShowClient();
        return true;
    }
    receiver_.Close();
    session_.ReceiverFailed(FaultOf(opened));
    Refresh();
    return refuse(ReceiverRefusal::Fault);
}

void RemoteWindow::StartLearning(int index, bool all) {
    if (session_.Learning()) {
        // Learn all reads Stop while learning.
        if (all) Follow(session_.Stop(qrtl::setup::kLearningStopped));
        return;
    }
    if (index < 0 || index >= kRemoteKeyCount) return;
    const qrtl::setup::FlowStep asked = session_.LearnAsked(index, all, tools::FindMonitor() != nullptr);
    Tell(asked);
    if (!asked.go) return;
    // Also when asked by a shortcut: a read-only profile never closes the monitor.
    RecheckWritable();
    const std::string off = session_.MayLearn(tools::FindMonitor() != nullptr, CardDriverFileName());
    if (!off.empty()) {
        Live(off);
        return;
    }
    if (!EnsureReceiver()) return;
    if (!receiver_.Start(dlg_, kMsgRead)) {
        receiver_.Close();
        Tell(qrtl::setup::LearnRefused(qrtl::setup::ReceiverRefusal::Busy, session_.Fault(), CardDriverFileName()));
        return;
    }
    Follow(session_.ReadingStarted(index, all));
}

void RemoteWindow::OnRead() {
    bool got = false;
    uint32_t code = 0;
    while (receiver_.TakeRead(got, code)) Follow(session_.Read(got, code));
    // A worker released during a read has left: the lock goes back now.
    if (!session_.Learning()) receiver_.Busy();
}

void RemoteWindow::CheckReadHang() {
    if (!session_.Learning()) return;
    if (tools::FindMonitor() != nullptr) {
        Follow(session_.MonitorStarted());
        return;
    }
    Follow(session_.ReadRunning(receiver_.ReadRunningForMs()));
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
    if (step.learningStarted) {
        ::SetTimer(dlg_, kTimerHang, kHangCheckMs, nullptr);
        // The focus goes to the key list before the buttons turn off: a disabled
        // button keeps the keyboard nowhere, and Escape must reach the window.
        FocusKeyList();
    }
    if (step.learningEnded) ::KillTimer(dlg_, kTimerHang);
    if (step.receiver == qrtl::setup::ReceiverStep::Release) receiver_.Release();
    if (step.receiver == qrtl::setup::ReceiverStep::Abandon) receiver_.Abandon();
    if (step.changed || step.receiver == qrtl::setup::ReceiverStep::Abandon)
        Refresh();
    else if (step.learningStarted || step.learningEnded)
        EnableButtons();
    if (step.select >= 0) SelectKey(step.select);
    if (step.prompted) SetPrompt(step.prompt);
    if (step.said) Live(step.live);
    // The remote works again at once; the status line then says so.
    if (step.monitorBack && GiveMonitorBack()) {
        const std::string said = ItemText(dlg_, res::kLive);
        SayWhenMonitorShows(said.empty() ? said : said.substr(1), false);
    }
    if (!step.question.empty()) {
        const bool yes = Ask(dlg_, step.question, MB_YESNO | MB_ICONQUESTION) == IDYES;
        Follow(session_.Answer(yes));
    }
}

bool RemoteWindow::ReleaseReceiver() {
    Follow(session_.Stop("", false));
    receiver_.Close();
    return GiveMonitorBack();
}

bool RemoteWindow::GiveMonitorBack() {
    const qrtl::setup::FlowStep back = session_.MonitorBack(receiver_.Stuck(), tools::FindMonitor() != nullptr);
    Tell(back);
    std::string why;
    if (!back.go || MonitorLink::Start(session_.ClosedMonitor(), why)) return back.go;
    Ask(dlg_, FromAnsi(qrtl::setup::NotStartedAgain(why)), MB_OK | MB_ICONEXCLAMATION);
    return false;
}

void RemoteWindow::SayWhenMonitorShows(const std::string& words, bool forSave) {
    // Looked for on a timer, never in a wait here: the window answers meanwhile.
    session_.MonitorStarting(words, ::GetTickCount(), forSave);
    ::SetTimer(dlg_, kTimerMonitorShows, kMonitorLookMs, nullptr);
}

void RemoteWindow::CheckMonitorShows() {
    const std::string said = session_.MonitorLook(tools::FindMonitor() != nullptr, ::GetTickCount());
    if (!session_.AwaitingMonitor()) ::KillTimer(dlg_, kTimerMonitorShows);
    if (!said.empty()) {
        Refresh();
        // Only while the status line still says what the owner was told then.
        if (ItemText(dlg_, res::kLive) == " " + session_.StartedWords()) Live(said);
    }
    int index = 0;
    bool all = false;
    // Taken once the wait is over; a learn begun meanwhile is not stopped by it.
    if (!session_.AwaitingMonitor() && session_.TakePendingLearn(index, all) && !session_.Learning())
        StartLearning(index, all);
}

}  // namespace remote
