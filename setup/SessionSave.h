// The set-up window's ending and its dealings with the running monitor, decided
// without a window: what Save does first, the question about another writer's
// line, what is said after Save, Save as or a failure, Close's question and its
// answers, which monitor Learn may close and what its close result means, and
// whether Save offers to restart the monitor. The window carries out the Win32
// side (the file dialog, the safe write, the message boxes, finding, closing and
// starting monitors) and feeds the results back.
//
// Paths, the profile's values and the system's reasons come in the system's code
// page, and the words here keep them as they are: the window converts a whole
// text at once (every fixed word here is plain ASCII).
#pragma once

#include <string>
#include <vector>

#include "setup/ProfileMerge.h"
#include "setup/WindowGate.h"

namespace qrtl::setup {

// What the window does after a step of Save, Close or the monitor, beyond showing
// the model anew.
struct FlowStep {
    std::string alert;     // told first in a message box with OK only
    std::string question;  // asked; the answer comes back as the next event
    std::string live;      // the status line's new text; empty: as it is
    bool go = false;       // what was asked for goes on (learning starts, the window closes)
};

// ---- Save and Save as

enum class SaveWay {
    NothingToSave,  // said, and nothing written
    SaveAs,         // the file cannot be written: the work goes into a copy
    Write,          // the owner's own changes go into the file as it is now
};
SaveWay SaveWayFor(bool changed, bool writable);
constexpr char kNothingToSave[] = "Nothing to save.";
// Save as... without a file chosen.
constexpr char kNoFileChosen[] = "Not saved: no file chosen.";

// Another writer changed a line the owner changed too: Yes writes the owner's.
std::string ConflictQuestion(const MergeConflict& conflict);

// What became of a monitor that kept running while the owner saved.
enum class ChangesTaken {
    NotOffered,  // none of this folder runs, the one closed to learn is started, or a copy was saved
    Declined,    // the owner keeps it running with the old profile
    NotClosed,   // it did not end
    NotStarted,  // it ended but did not start again
    Restarted,   // it runs with the saved profile
};

// "Restart the monitor now, so that the remote uses the changes?"
std::string RestartQuestion();
// The alert for a restart that went wrong (`why`: the system's reason); empty otherwise.
std::string RestartAlert(ChangesTaken taken, const std::string& why);

// The words after Save, Save as or a failure: the status line's (`live`), and the
// banner's, which holds only what stays true until the next save (a failure, a
// monitor not restarted, a window that works on a copy) so that no line is said
// twice.
// How long the banner's line of a save stays true.
enum class BannerHolds {
    NextSave,          // a failure, a window on a copy: until the next save
    NoMonitor,         // "the monitor is closed now": while none runs
    MonitorStartsNext, // "the changes take effect when the monitor starts next": until it has
};
struct SaveWords {
    std::string alert;   // a failure, told in a message box with OK
    std::string live;
    std::string banner;  // empty: the banner has nothing of the save
    BannerHolds holds = BannerHolds::NextSave;
};
// Where the window's file is: `path`, and the file the monitor reads, which `path`
// is or is not (a copy saved elsewhere, or a profile named at the start).
struct SavedFile {
    std::string path;
    std::string monitorProfile;
    bool monitors = true;  // `path` is the monitor's file
};
// Saved, the previous content now in `backup`.
SaveWords SavedWords(const SavedFile& file, const std::string& backup, ChangesTaken taken);
// Nothing written: `error` says why.
SaveWords SaveFailedWords(const std::string& error);
// Saved as `file`, which the window works on from now on.
SaveWords SavedAsWords(const SavedFile& file);
// Nothing written to `path`: `why` says why.
SaveWords SaveAsFailedWords(const std::string& path, const std::string& why);

// ---- Close

// Close's question; empty when the window closes at once (nothing unsaved).
// Yes on a read-only profile goes to Save as..., and the question says so.
std::string CloseQuestion(bool changed, bool writable, const std::string& path);
enum class Reply { Yes, No, Cancel };
enum class CloseNext {
    Stay,       // the owner cancelled, or the save failed
    SaveFirst,  // Save (Save as... when read-only), then close if it saved
    Close,
};
CloseNext AfterCloseReply(Reply reply);

// ---- The monitor

// A running monitor as the window finds it.
struct SeenMonitor {
    std::string image;  // its program file, empty when the system does not tell
    bool here = false;  // from this program's folder
};

// What Learn does about the running monitors before it takes the receiver.
struct MonitorToClose {
    FlowStep step;     // go: learning may start at once, no monitor runs
    int monitor = -1;  // the one to close after the owner's OK (or at once, without a question)
};
// Only the monitor of this folder is closed (another copy or version is the
// owner's to close), and the owner is asked only once in a window.
MonitorToClose CloseToLearn(const std::vector<SeenMonitor>& running, bool agreedBefore);
constexpr char kClosingMonitor[] = "Closing the monitor ...";

// How a close of the monitor went.
enum class CloseResult {
    Closed,        // its process has ended
    NotTaken,      // the Close command could not be posted
    StillRunning,  // it did not end in time
    Quit,          // this program is ending
};
// Closed to learn: `go` when learning starts; `windowClosing` when the window was
// closed during the wait (it closes next, no learning). RemoteSession::MonitorCloseEnded
// keeps what it means for the restart.
FlowStep ClosedToLearn(CloseResult result, const std::string& why, bool windowClosing);
// Learning stopped by the owner (Stop, or Escape on a single key).
constexpr char kLearningStopped[] = "Learning stopped.";
constexpr char kLearnAfterMonitorStarts[] = "The monitor is starting again: learning begins as soon as it is closed.";

// After Save: the monitor of this folder that kept running, which the owner may
// restart so that it reads the saved profile; -1 when none is offered (none runs
// here, the one closed to learn is started again anyway, or the file saved is not
// the one the monitor reads, which a restart would not make it use).
int MonitorToRestart(const std::vector<SeenMonitor>& running, bool closedToLearn, bool savedMonitorsFile);

// The monitor this window closed is not started again: a read is stuck in the driver.
FlowStep MonitorStuckWords();
// The monitor could not be started again (`why`: the system's reason).
std::string NotStartedAgain(const std::string& why);

// ---- The receiver, before learning

enum class ReceiverRefusal {
    Fault,      // the card or its driver cannot be read (the session's fault)
    Busy,       // this window's last read has not come back
    OtherTool,  // another set-up tool holds the receiver's lock
};
FlowStep LearnRefused(ReceiverRefusal refusal, ReceiverFault fault, const std::string& driver);

}  // namespace qrtl::setup
