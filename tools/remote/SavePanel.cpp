// The set-up window's ending: Save (only the owner's own changes go into the file
// as it is now), Close, and a profile it cannot write: Learn and Save stay off
// (what is learned could not be kept, and learning closes the monitor) until the
// file becomes writable or Save as... has written the owner's work to a copy, which
// the window then works on. The decisions are the set-up core's; this file follows
// the file and says them.
#include <string>

#include "Banner.h"
#include "tools/common/MonitorControl.h"
#include "RemoteWindow.h"
#include "UiText.h"
#include "driver/CardDriver.h"
#include "product.h"
#include "resource.h"
#include "setup/win32/SafeProfileWrite.h"

namespace remote {

namespace {

bool SamePath(const std::string& a, const std::string& b) { return ::lstrcmpiA(a.c_str(), b.c_str()) == 0; }

}  // namespace

qrtl::setup::WindowFacts RemoteWindow::Facts() const { return session_.Facts(tools::FindMonitor() != nullptr); }

bool RemoteWindow::RecheckWritable(bool glance) {
    // A glance opens the file only when it may have become writable.
    const bool writable = glance && !session_.ReadOnly() ? !ProfileMarkedReadOnly(profilePath_)
                                                          : ProfileWritable(profilePath_);
    if (session_.WritableNow(writable)) {
        ShowClient();
        EnableButtons();
    }
    return !session_.ReadOnly();
}

bool RemoteWindow::SaveAs() {
    Follow(session_.Stop("", false));
    const std::string path = AskCopyPath(dlg_, profilePath_);
    if (path.empty()) {
        Live("Not saved: no file chosen.");
        return false;
    }
    std::string why;
    if (!WriteProfileCopy(path, session_.Profile().Text(), why)) {
        const std::string words = "Not saved as " + FromAnsi(path) + ": " + FromAnsi(why) + ".";
        Ask(dlg_, words + "\n\nYour changes are still in this window.", MB_OK | MB_ICONEXCLAMATION);
        banner_.SaveResult(words);
        ShowClient();
        Live(words);
        return false;
    }
    profilePath_ = path;
    session_.SavedAs(ProfileWritable(path));
    std::string words = "Saved as " + FromAnsi(path) + "; this window works on that file now.";
    // The monitor reads only the profile beside it.
    const std::string monitorProfile = tools::ProgramFolder() + product::kProfileName;
    if (!SamePath(path, monitorProfile))
        words += " The monitor reads " + FromAnsi(monitorProfile) + ": copy this file there for it to use.";
    const bool started = ReleaseReceiver();
    banner_.SaveResult(words);
    Refresh();
    Live(words);
    if (started) SayWhenMonitorShows(words);
    return true;
}

// ---- Save and Close ----

bool RemoteWindow::Save() {
    Follow(session_.Stop("", false));
    if (!session_.Profile().Changed()) {
        Live("Nothing to save.");
        return true;
    }
    // A file that cannot be written keeps the work in a copy (also when closing).
    if (!RecheckWritable()) return SaveAs();
    // Another writer (the monitor's setup dialog, QRTLProfile) may have changed the
    // file since it was read: only the owner's own changes go into it.
    const auto keepOurs = [&](const qrtl::setup::MergeConflict& conflict) {
        const std::string theirs = conflict.theirsPresent ? "\"" + conflict.theirs + "\"" : "removed";
        const qrtl::setup::ProfileChange& ours = conflict.ours;
        const std::string yours = ours.kind == qrtl::setup::ChangeKind::Set ? "\"" + ours.value + "\"" : "removed";
        const std::string line = "[" + ours.section + "]" + (ours.key.empty() ? "" : " " + ours.key);
        return Ask(dlg_,
                   "Another program has changed a line that you changed too, since this window read the profile:\n\n" +
                       FromAnsi(line) + ": now " + FromAnsi(theirs) + ", yours " + FromAnsi(yours) +
                       ".\n\nWrite yours over it? No keeps the other program's value.",
                   MB_YESNO | MB_ICONQUESTION) == IDYES;
    };
    std::string error;
    std::string savedText;
    if (!qrtl::win32::WriteChangesSince(profilePath_, session_.SavedText(), session_.Profile().Changes(), keepOurs,
                                          savedText, error)) {
        Ask(dlg_, "Nothing was saved: " + FromAnsi(error) + "\n\nYour changes are still in this window.",
            MB_OK | MB_ICONEXCLAMATION);
        Live("Not saved: " + FromAnsi(error));
        banner_.SaveResult("Not saved: " + FromAnsi(error));
        ShowClient();
        return false;
    }
    session_.Saved(savedText);
    std::string saved = "Saved " + FromAnsi(profilePath_) + "; the previous file is " + FromAnsi(profilePath_) +
                        qrtl::win32::kBackupSuffix + ".";
    const bool closedToLearn = session_.MonitorClosedToLearn();
    const bool started = ReleaseReceiver();
    banner_.SaveResult(saved);
    // A monitor that kept running reads the profile only at its start.
    if (!closedToLearn) saved += RestartMonitorForChanges();
    Refresh();
    Live(saved);
    if (started) SayWhenMonitorShows(saved);
    return true;
}

void RemoteWindow::Close() {
    if (session_.Closing()) return;
    Follow(session_.Stop("", false));
    if (session_.Profile().Changed()) {
        // Yes on a read-only profile goes to Save as...: the question says so.
        const std::string question = RecheckWritable()
                                         ? "Save the changes to " + FromAnsi(profilePath_) + " before closing?"
                                         : FromAnsi(profilePath_) + " is read-only. Save your changes as a copy "
                                                                    "before closing?";
        const int answer = Ask(dlg_, question, MB_YESNOCANCEL | MB_ICONQUESTION);
        if (answer == IDCANCEL) return;
        if (answer == IDYES && !Save()) return;
    }
    session_.BeginClosing();
    ReleaseReceiver();
    receiver_.Close();
    ::DestroyWindow(dlg_);
}

}  // namespace remote
