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

using qrtl::setup::PressDetector;
using qrtl::win32::ReceiverOpen;

constexpr UINT kHangCheckMs = 250;
constexpr DWORD kMonitorShowMs = 5000;
constexpr DWORD kMonitorLookMs = 100;

// Waits for a started monitor's window, so that "runs again" is said only when it does.
bool MonitorShows() {
    for (DWORD waited = 0;; waited += kMonitorLookMs) {
        if (tools::FindMonitor() != nullptr) return true;
        if (waited >= kMonitorShowMs) return false;
        ::Sleep(kMonitorLookMs);
    }
}

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
    if (opened != ReceiverOpen::Ok) receiverFault_ = FaultOf(opened);
    receiver_.Close();
}

bool RemoteWindow::EnsureReceiver() {
    if (receiverFault_ != qrtl::setup::ReceiverFault::None) {
        Ask(dlg_, "Learning is off: " + qrtl::setup::ReceiverFaultWords(receiverFault_, CardDriverFileName()) + ".",
            MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    if (receiver_.IsOpen()) return true;
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
        receiverFault_ = FaultOf(opened);
        Refresh();
        Ask(dlg_, "Learning is off: " + qrtl::setup::ReceiverFaultWords(receiverFault_, CardDriverFileName()) + ".",
            MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    ShowClient();
    return true;
}

void RemoteWindow::StartLearning(int index, bool all) {
    if (learnIndex_ >= 0) {
        // Learn all reads Stop while learning.
        if (all) StopLearning("Learning stopped.");
        return;
    }
    if (index < 0 || index >= kRemoteKeyCount) return;
    // Also when asked by a shortcut: a read-only profile never closes the monitor.
    if (!LearnAllowed()) return;
    const std::vector<int> keys =
        all ? qrtl::setup::LearnedCodes(profile_.Document()).LearnAllOrder(index) : std::vector<int>{index};
    if (!EnsureReceiver()) return;
    if (!receiver_.Start(dlg_, kMsgRead)) {
        receiver_.Close();
        Live("Learning cannot start: the receiver is still busy with its last read.");
        return;
    }
    detector_.Start(keys);
    learnIndex_ = detector_.Key();
    learnAll_ = all;
    promptBefore_.clear();
    ::SetTimer(dlg_, kTimerHang, kHangCheckMs, nullptr);
    SelectKey(learnIndex_);
    // The focus goes to the key list before the buttons turn off: a disabled button
    // keeps the keyboard nowhere, and Escape must reach the window.
    ::SendMessageW(dlg_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(keys_), TRUE);
    EnableButtons();
    const HWND learnAll = ::GetDlgItem(dlg_, res::kLearnAll);
    wchar_t caption[64] = {};
    ::GetWindowTextW(learnAll, caption, 64);
    learnAllCaption_ = caption;
    SetItemText(dlg_, res::kLearnAll, "St&op");
    const std::string listening = "Release all keys: listening to the receiver for one second ...";
    SetPrompt(listening);
    Live(listening);
}

void RemoteWindow::PromptKey(const std::string& before) {
    const std::string name = RemoteKeyNames[learnIndex_];
    SelectKey(learnIndex_);
    // The prompt area holds the request itself; the status line also says what came before.
    const std::string press = "Press " + name + " (" + RemoteKeyLegend[learnIndex_] + ") on the remote" +
                              (learnAll_ ? "; Escape skips it." : "; Escape stops.");
    SetPrompt(press);
    Live(before + press);
}

void RemoteWindow::OnRead(WPARAM, LPARAM) {
    bool got = false;
    uint32_t code = 0;
    while (receiver_.TakeRead(got, code)) {
        // While a question is open the reads count for nothing, as before it.
        if (learnIndex_ < 0 || asking_) continue;
        const PressDetector::Event event = detector_.OnRead(got, code);
        if (event == PressDetector::Event::Ready)
            PromptKey(std::exchange(promptBefore_, std::string()));
        else if (event == PressDetector::Event::Pressed)
            OnPress();
    }
}

void RemoteWindow::OnPress() {
    const std::string name = RemoteKeyNames[learnIndex_];
    const std::string text = FormatIrCode(detector_.Code());
    qrtl::setup::LearnedCodes codes(profile_.Document());
    auto result = codes.Assign(learnIndex_, text, false);
    if (result.outcome == qrtl::setup::LearnedCodes::Outcome::Taken) {
        const std::string holder = RemoteKeyNames[result.holder];
        asking_ = true;
        const int answer = Ask(dlg_,
                               "Code " + text + " is already " + holder + " (" + RemoteKeyLegend[result.holder] +
                                   ").\n\nTake it over for " + name + "? " + holder + " then has no code.",
                               MB_YESNO | MB_ICONQUESTION);
        asking_ = false;
        if (learnIndex_ < 0) return;  // stopped meanwhile
        if (answer != IDYES) {
            Live("Code " + text + " stays with " + holder + ". Press " + name + " again, or Escape.");
            return;
        }
        result = codes.Assign(learnIndex_, text, true);
    }
    profile_.Change(codes.Changes());
    Refresh();
    const std::string received = std::string("Received ") + text + " " + kArrow + " " + name;
    Live(received);
    NextKey(false, received + ". ");
}

void RemoteWindow::NextKey(bool skipped, const std::string& before) {
    if (learnIndex_ < 0) return;
    const std::string last = RemoteKeyNames[learnIndex_];
    if (detector_.Next(!skipped)) {
        learnIndex_ = detector_.Key();
        if (detector_.Waiting())
            promptBefore_ = before;  // asked for once the last key is let go
        else
            PromptKey(before);
        return;
    }
    StopLearning(skipped ? (learnAll_ ? "Learning ended: " + last + " skipped." : "Learning stopped.") : "");
}

void RemoteWindow::StopLearning(const std::string& why) {
    if (learnIndex_ < 0) return;
    const int last = learnIndex_;
    learnIndex_ = -1;
    detector_.Stop();
    ::KillTimer(dlg_, kTimerHang);
    // Let go at once: a monitor or QRTLProfile learn may read it now.
    receiver_.Close();
    RestoreLearnAll();
    SetPrompt(why);
    if (!why.empty()) Live(why);
    SelectKey(last);
    EnableButtons();
}

void RemoteWindow::CheckReadHang() {
    if (learnIndex_ < 0) return;
    if (tools::FindMonitor() != nullptr) {
        // Started while we read: one runs, so none is started again afterwards.
        monitorClosed_ = false;
        StopLearning("Learning stopped: the monitor was started and reads the receiver now.");
        return;
    }
    if (detector_.OnReadRunning(receiver_.ReadRunningForMs()) != PressDetector::Event::Hung) return;
    // The worker is told to stop and leaves when the driver answers; until then the
    // driver stays loaded and the window goes on without the receiver.
    receiver_.Abandon();
    ::KillTimer(dlg_, kTimerHang);
    receiverFault_ = qrtl::setup::ReceiverFault::DriverHung;
    const int last = learnIndex_;
    learnIndex_ = -1;
    RestoreLearnAll();
    Refresh();
    SelectKey(last);
    Live("Learning stopped: the card driver has not answered for " + HangSeconds() +
         ". Check the card, then start the set-up again.");
}

void RemoteWindow::RestoreLearnAll() {
    if (!learnAllCaption_.empty()) ::SetDlgItemTextW(dlg_, res::kLearnAll, learnAllCaption_.c_str());
    learnAllCaption_.clear();
}

bool RemoteWindow::ReleaseReceiver() {
    StopLearning("");
    receiver_.Close();
    if (!monitorClosed_) return false;
    if (receiver_.Stuck()) {
        // The monitor would load the same driver and wait in the same read.
        Ask(dlg_,
            "The monitor is not started again: the card driver has not answered this window's read for " +
                HangSeconds() + " and still holds it. Start the monitor once the card answers again, or restart "
                "Windows.",
            MB_OK | MB_ICONEXCLAMATION);
        Live("The monitor is not started again: the card driver has not answered.");
        return false;
    }
    monitorClosed_ = false;
    // One was started meanwhile, or the one closed ended only after the wait ran out
    // and still runs: never a second.
    if (tools::FindMonitor() != nullptr) return false;
    std::string why;
    if (!tools::LaunchMonitor(closedMonitor_, why)) {
        Ask(dlg_, "The monitor could not be started again: " + why + ".", MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    return MonitorShows();
}

}  // namespace remote
