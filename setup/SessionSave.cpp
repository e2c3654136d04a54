#include "setup/SessionSave.h"

#include "setup/FilePaths.h"
#include "setup/RemoteSession.h"

namespace qrtl::setup {

namespace {

constexpr char kStillInWindow[] = "\n\nYour changes are still in this window.";
// A failure stays in the banner; the status line only says that nothing was lost.
constexpr char kNotSaved[] = "Not saved: your changes are still in this window.";
constexpr char kTakeEffectNext[] = "The changes take effect when the monitor starts next.";

// The monitor reads only the profile beside it: a window on another file is news
// that lasts; empty on the monitor's own file.
std::string OnACopy(const SavedFile& file) {
    if (file.monitors) return {};
    return "This window works on " + file.path + " now. The monitor reads " + file.monitorProfile +
           ": copy this file there for it to use.";
}

std::string Quoted(bool present, const std::string& value) { return present ? "\"" + value + "\"" : "removed"; }

}  // namespace

// ---- Save and Save as ----

SaveWay SaveWayFor(bool changed, bool writable) {
    if (!changed) return SaveWay::NothingToSave;
    // A file that cannot be written keeps the work in a copy (also when closing).
    return writable ? SaveWay::Write : SaveWay::SaveAs;
}

std::string ConflictQuestion(const MergeConflict& conflict) {
    const ProfileChange& ours = conflict.ours;
    const std::string line = "[" + ours.section + "]" + (ours.key.empty() ? "" : " " + ours.key);
    return "Another program has changed a line that you changed too, since this window read the profile:\n\n" + line +
           ": now " + Quoted(conflict.theirsPresent, conflict.theirs) + ", yours " +
           Quoted(ours.kind == ChangeKind::Set, ours.value) +
           ".\n\nWrite yours over it? No keeps the other program's value.";
}

std::string RestartQuestion() { return "Restart the monitor now, so that the remote uses the changes?"; }

std::string RestartAlert(ChangesTaken taken, const std::string& why) {
    if (taken == ChangesTaken::NotClosed) return "The monitor could not be restarted: " + why + ".";
    if (taken == ChangesTaken::NotStarted) return NotStartedAgain(why);
    return {};
}

SaveWords SavedWords(const SavedFile& file, const std::string& backup, ChangesTaken taken) {
    SaveWords words;
    // The names alone: the status line is one line, and the folder is the one the window opened.
    words.live = "Saved " + FileNameOf(file.path) + "; the previous file is " + FileNameOf(backup) + ".";
    words.banner = OnACopy(file);
    // A monitor that reads the old profile still is news that lasts: the banner keeps it.
    switch (taken) {
    case ChangesTaken::NotOffered:
        break;
    case ChangesTaken::Declined:
    case ChangesTaken::NotClosed:
        words.banner = kTakeEffectNext;
        words.holds = BannerHolds::MonitorStartsNext;
        break;
    case ChangesTaken::NotStarted:
        words.banner = "The monitor is closed now: start it to use the changes.";
        words.holds = BannerHolds::NoMonitor;
        break;
    case ChangesTaken::Restarted:
        words.live += " The monitor was restarted and uses the changes.";
        break;
    }
    return words;
}

SaveWords SaveFailedWords(const std::string& error) {
    SaveWords words;
    words.alert = "Nothing was saved: " + error + kStillInWindow;
    words.banner = "Not saved: " + error;
    words.live = kNotSaved;
    return words;
}

SaveWords SavedAsWords(const SavedFile& file) {
    SaveWords words;
    words.banner = OnACopy(file);
    words.live = "Saved as " + file.path + (words.banner.empty() ? "; this window works on that file now." : ".");
    return words;
}

SaveWords SaveAsFailedWords(const std::string& path, const std::string& why) {
    SaveWords words;
    words.banner = "Not saved as " + path + ": " + why + ".";
    words.alert = words.banner + kStillInWindow;
    words.live = kNotSaved;
    return words;
}

// ---- Close ----

std::string CloseQuestion(bool changed, bool writable, const std::string& path) {
    if (!changed) return {};
    if (writable) return "Save the changes to " + path + " before closing?";
    return path + " is read-only. Save your changes as a copy before closing?";
}

CloseNext AfterCloseReply(Reply reply) {
    switch (reply) {
    case Reply::Yes:
        return CloseNext::SaveFirst;
    case Reply::No:
        return CloseNext::Close;
    case Reply::Cancel:
        break;
    }
    return CloseNext::Stay;
}

// ---- The monitor ----

MonitorToClose CloseToLearn(const std::vector<SeenMonitor>& running, bool agreedBefore) {
    MonitorToClose plan;
    if (running.empty()) {
        plan.step.go = true;
        return plan;
    }
    for (const SeenMonitor& monitor : running) {
        if (monitor.here) continue;
        const std::string which = monitor.image.empty() ? std::string("another monitor") : monitor.image;
        plan.step.alert = "A monitor that is not the one of this folder is running and reads the receiver: " + which +
                          ".\n\nClose it from its icon in the notification area, then press Learn again.";
        plan.step.live = "Another monitor runs: learning is not possible now.";
        return plan;
    }
    plan.monitor = 0;
    // Asked once: the window starts it again whenever learning ends.
    if (!agreedBefore)
        plan.step.question =
            "The monitor is running and reads the receiver; only one program can.\n\nClose the monitor while you "
            "learn? It starts again as soon as learning ends.";
    return plan;
}

FlowStep ClosedToLearn(CloseResult result, const std::string& why, bool windowClosing) {
    FlowStep step;
    switch (result) {
    case CloseResult::Closed:
        // Closed meanwhile: no learning starts, the window closes next.
        step.go = !windowClosing;
        break;
    case CloseResult::StillRunning:
        step.alert = "The monitor could not be closed: " + why +
                     ". It is started again when it has ended and you save or close this window.";
        step.live = "The monitor still runs: learning is not possible now.";
        break;
    case CloseResult::NotTaken:
        step.alert = "The monitor could not be closed: " + why + ".";
        step.live = "The monitor still runs: learning is not possible now.";
        break;
    case CloseResult::Quit:
        break;
    }
    return step;
}

bool RemoteSession::MonitorSeen(bool runs) {
    if (saveBanner_.empty()) return false;
    bool over = false;
    switch (saveBannerHolds_) {
    case BannerHolds::NextSave:
        break;
    case BannerHolds::NoMonitor:
        over = runs;
        break;
    case BannerHolds::MonitorStartsNext:
        // The monitor that read the old profile has ended, and one runs now: it read the saved one.
        over = runs && monitorGoneSinceSave_;
        monitorGoneSinceSave_ = monitorGoneSinceSave_ || !runs;
        break;
    }
    if (over) saveBanner_.clear();
    return over;
}

int MonitorToRestart(const std::vector<SeenMonitor>& running, bool closedToLearn, bool savedMonitorsFile) {
    if (closedToLearn || !savedMonitorsFile) return -1;
    for (std::size_t i = 0; i < running.size(); ++i)
        if (running[i].here) return static_cast<int>(i);
    return -1;
}

FlowStep RemoteSession::MonitorCloseEnded(CloseResult result, const std::string& why) {
    if (result == CloseResult::NotTaken) MonitorKept();
    return ClosedToLearn(result, why, CloseAsked());
}

FlowStep RemoteSession::LearnAsked(int index, bool all, bool monitorRuns) {
    FlowStep step;
    if (AwaitingMonitor() && !monitorRuns) {
        LearnOnceMonitorShows(index, all);
        step.live = kLearnAfterMonitorStarts;
        return step;
    }
    step.go = true;
    return step;
}

FlowStep RemoteSession::MonitorBack(bool stuck, bool monitorRunsNow) {
    FlowStep step;
    switch (GiveBack(stuck, monitorRunsNow)) {
    case MonitorRestart::None:
        break;
    case MonitorRestart::TellStuck:
        step = MonitorStuckWords();
        break;
    case MonitorRestart::Start:
        step.go = true;
        break;
    }
    return step;
}

FlowStep MonitorStuckWords() {
    FlowStep step;
    // The monitor would load the same driver and wait in the same read.
    step.alert = "The monitor is not started again: the card driver has not answered this window's read for " +
                 std::to_string(kReadHangSeconds) +
                 " s and still holds it. Start the monitor once the card answers again, or restart Windows.";
    step.live = "The monitor is not started again: the card driver has not answered.";
    return step;
}

std::string NotStartedAgain(const std::string& why) { return "The monitor could not be started again: " + why + "."; }

// ---- The receiver ----

FlowStep LearnRefused(ReceiverRefusal refusal, ReceiverFault fault, const std::string& driver) {
    FlowStep step;
    switch (refusal) {
    case ReceiverRefusal::Fault:
        step.alert = "Learning is off: " + ReceiverFaultWords(fault, driver) + ".";
        break;
    case ReceiverRefusal::Busy:
        step.live = "Learning cannot start: the receiver is still busy with its last read.";
        break;
    case ReceiverRefusal::OtherTool:
        step.alert =
            "Another set-up tool reads the receiver now (QRTLProfile learn, or a second set-up window).\n\nLearn "
            "here once it has ended.";
        step.live = "Another set-up tool reads the receiver: learning is not possible now.";
        break;
    }
    return step;
}

}  // namespace qrtl::setup
