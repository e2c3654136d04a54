// The set-up window's learning: the press detector of the set-up core decides,
// the card receiver reads; this file says it in the window's words. The receiver
// is taken only while learning, and the running monitor is asked about before
// each learn: only one program may read it.
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

std::string HangSeconds() { return std::to_string(qrtl::setup::kReadHangSeconds) + " s"; }

qrtl::setup::ReceiverFault FaultOf(ReceiverOpen opened) {
    return opened == ReceiverOpen::NoCard ? qrtl::setup::ReceiverFault::CardNotStarting
                                          : qrtl::setup::ReceiverFault::DriverMissing;
}

constexpr char kOtherToolReads[] =
    "Another set-up tool reads the receiver now (QRTLProfile learn, or a second set-up window).\n\nLearn "
    "here once it has ended.";

}  // namespace

void RemoteWindow::ProbeReceiver() {
    // Another tool reading it now is no problem of the card: asked again at Learn.
    if (!receiver_.TakeLock()) return;
    const ReceiverOpen opened = receiver_.Open();
    if (opened != ReceiverOpen::Ok) session_.ReceiverFailed(FaultOf(opened));
    receiver_.Close();
}

bool RemoteWindow::EnsureReceiver() {
    if (session_.Fault() != qrtl::setup::ReceiverFault::None) {
        Ask(dlg_, "Learning is off: " + qrtl::setup::ReceiverFaultWords(session_.Fault(), CardDriverFileName()) + ".",
            MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    if (receiver_.IsOpen()) return true;
    if (receiver_.Busy()) {
        Live("Learning cannot start: the receiver is still busy with its last read.");
        return false;
    }
    if (!receiver_.TakeLock()) {
        Ask(dlg_, kOtherToolReads, MB_OK | MB_ICONEXCLAMATION);
        Live("Another set-up tool reads the receiver: learning is not possible now.");
        return false;
    }
    // Asked before each learn: a monitor started since the last one reads it too.
    if (!CloseMonitorToLearn()) {
        receiver_.Close();
        return false;
    }
    const ReceiverOpen opened = receiver_.Open();
    if (opened != ReceiverOpen::Ok) {
        receiver_.Close();
        session_.ReceiverFailed(FaultOf(opened));
        Refresh();
        Ask(dlg_, "Learning is off: " + qrtl::setup::ReceiverFaultWords(session_.Fault(), CardDriverFileName()) + ".",
            MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    ShowClient();
    return true;
}

void RemoteWindow::StartLearning(int index, bool all) {
    if (session_.Learning()) {
        // Learn all reads Stop while learning.
        if (all) Follow(session_.Stop("Learning stopped."));
        return;
    }
    if (index < 0 || index >= kRemoteKeyCount) return;
    if (session_.AwaitingMonitor() && tools::FindMonitor() == nullptr) {
        // Started again when learning ended and not up yet: closed once it is, not raced.
        session_.LearnOnceMonitorShows(index, all);
        Live("The monitor is starting again: learning begins as soon as it is closed.");
        return;
    }
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
        Live("Learning cannot start: the receiver is still busy with its last read.");
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
    const bool monitorRuns = tools::FindMonitor() != nullptr;
    switch (session_.GiveBack(receiver_.Stuck(), monitorRuns)) {
    case qrtl::setup::MonitorRestart::None:
        return false;
    case qrtl::setup::MonitorRestart::TellStuck:
        // The monitor would load the same driver and wait in the same read.
        Ask(dlg_,
            "The monitor is not started again: the card driver has not answered this window's read for " +
                HangSeconds() + " and still holds it. Start the monitor once the card answers again, or restart "
                "Windows.",
            MB_OK | MB_ICONEXCLAMATION);
        Live("The monitor is not started again: the card driver has not answered.");
        return false;
    case qrtl::setup::MonitorRestart::Start:
        break;
    }
    std::string why;
    if (!tools::LaunchMonitor(session_.ClosedMonitor(), why)) {
        Ask(dlg_, "The monitor could not be started again: " + why + ".", MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    return true;
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
        if (session_.StartedForSave()) banner_.SaveResult(said);
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
