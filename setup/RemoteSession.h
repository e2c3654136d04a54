// The remote set-up window's model: everything the window remembers and decides,
// with no window in it. It holds the edited profile and the application's
// commands, learning (the press detector, the key being learned, Learn all, a
// question open), the receiver's fault, the read-only file, and the monitor this
// window closed to learn. The window feeds it events (Learn, a read, a hung read,
// an answer, the monitor gone or back, Save's result) and carries out the steps it
// returns (what to ask, what to say, the receiver to let go, the monitor to start);
// the controls' states and the lines come from View.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "setup/AppCommands.h"
#include "setup/LaunchFinding.h"
#include "setup/PressDetector.h"
#include "setup/RemoteRows.h"
#include "setup/SessionApps.h"
#include "setup/SessionSave.h"
#include "setup/WindowGate.h"

namespace qrtl::setup {

class LearnedCodes;

// "VOL+ → Menu: Audio > Volume up" (UTF-8).
constexpr char kArrow[] = "\xE2\x86\x92";

// What the receiver is to do after an event.
enum class ReceiverStep {
    Keep,
    Release,  // learning ended: give it back at once, without waiting on a read
    Abandon,  // the read in progress is hung: leave it to the driver
};

// What the window does after an event, beyond showing View anew.
struct SessionStep {
    bool said = false;  // `live` holds the status line's new text
    std::string live;
    bool prompted = false;  // `prompt` holds the prompt area's new text
    std::string prompt;
    int select = -1;             // the key row to select; -1: as it is
    std::string question;        // asked with Yes and No; the answer goes to Answer
    ReceiverStep receiver = ReceiverStep::Keep;
    bool learningStarted = false;  // the hang check begins; the focus to the key list
    bool learningEnded = false;    // the hang check ends
    bool monitorBack = false;      // learning ended: start the monitor this window closed (GiveBack)
    bool changed = false;          // the profile changed: rows and findings anew

    void Say(std::string text) {
        said = true;
        live = std::move(text);
    }
    void Prompt(std::string text) {
        prompted = true;
        prompt = std::move(text);
    }
};

// What the window does with the monitor it closed, when the receiver is given back.
enum class MonitorRestart {
    None,       // nothing closed, or one runs now: never a second
    TellStuck,  // the driver still holds this window's read: not started, the owner told
    Start,      // start the program ClosedMonitor() names
};

// The states of the window's controls.
struct ControlStates {
    bool learn = false;              // while learning it reads Skip: the mouse's Escape
    bool learnAll = false;
    bool learnAllReadsStop = false;  // the captions while learning: Skip and Stop
    bool action = false;
    bool test = false;
    bool clear = false;
    bool fill = false;
    bool useWindow = false;
    bool windowList = false;  // the TV application's window list, off with Use this window
    bool save = false;
    bool saveAs = false;
    bool applications = false;  // the application selector
};

// The window's controls that carry an Alt letter.
enum class Control {
    Applications, PowerStarts, Add, Remove, Rename,      // the application selector
    WindowList, UseWindow, Fill,                          // the TV application
    Learn, Action, Test, Clear, LearnAll, Save, Close, SaveAs,
};

struct ControlCaption {
    Control control;
    const char* caption;  // with "&" before its Alt letter
};

// The captions of the window's labels and buttons while learning or not, as the
// window shows them: each letter once in each state.
std::vector<ControlCaption> Captions(bool learning);

// The Alt letter of a caption, lower case; 0 when it has none ("&&" is a plain "&").
char AltLetter(const std::string& caption);

// Where the keyboard goes first: to what the owner still has to do.
enum class FirstFocus { WindowList, KeyList };

// Where a double click on a finding leads.
enum class FindingGoal {
    Stay,        // nothing in this window changes it
    Key,         // `key`: the key list, that key selected
    WindowList,  // the TV application's window is to be taken (again)
    Fill,        // the actions are to be filled from the application
    LearnAll,    // the codes are to be learned
};
struct FindingLead {
    FindingGoal goal = FindingGoal::Stay;
    int key = -1;  // for Key: the row of the key list
};
// A finding that names keys leads to the first of them; the others to the control
// they are about.
FindingLead LeadOf(const FindingRow& finding);

// What the window looks at in the world before it shows the model.
struct World {
    bool monitorRuns = false;  // a monitor runs (and holds the receiver)
    bool clientOpen = false;   // the edited application's window is found now
    LaunchFinding launch;      // where POWER finds the edited application
    std::string driver;        // the card driver's file name, for the words
};

// The lines above the key list, all from one model and one look at the world, so
// that no two of them contradict each other. `client` and `launch` hold the
// profile's names as the profile holds them (its code page).
struct SessionView {
    std::string client;    // "Standin TV, its window is open now"
    std::string launch;    // where POWER finds it
    std::string receiver;  // "Receiver: QRD210DE.DLL ready. ..."
    WindowFacts facts;     // for the banner and the greeting
};

class RemoteSession {
public:
    // `fileText`: the profile as read; `readOnly` when it cannot be written.
    RemoteSession(std::string fileText, bool readOnly);

    // ---- The profile and the application's commands
    EditedProfile& Profile() { return profile_; }
    const EditedProfile& Profile() const { return profile_; }
    // The file as last read or saved: what the owner's changes are against.
    const std::string& SavedText() const { return savedText_; }
    const AppCatalog& Catalog() const { return catalog_; }
    // Another application is edited: its commands are not known yet.
    void ApplicationChanged();
    void CommandsRead(AppCatalog catalog) { catalog_ = std::move(catalog); }
    // A window taken for the edited application, and whether its launch lines were found.
    void WindowTaken(AppCatalog catalog, bool launchFound);
    bool LaunchNotFound() const { return launchNotFound_; }

    // ---- The rows and findings, worked out anew from the profile
    void Recheck(const CheckEnvironment& environment, const std::string& driver);
    const std::vector<KeyRow>& Rows() const { return rows_; }
    const std::vector<FindingRow>& Findings() const { return findings_; }

    // ---- The file
    bool ReadOnly() const { return readOnly_; }
    // The file became writable or read-only; true when that is news.
    bool WritableNow(bool writable);
    // Saved: `writtenText` is the file as written with other writers' lines in it,
    // empty when it is exactly the window's profile.
    void Saved(const std::string& writtenText);
    // Saved as a copy, which the window works on from now on.
    void SavedAs(bool writable);

    // ---- Learning
    bool Learning() const { return learnIndex_ >= 0; }
    int LearnKey() const { return learnIndex_; }
    bool LearnAll() const { return learnAll_; }
    bool Asking() const { return asking_; }
    // Learn (key `index`) or Learn all (the keys without a code from `index` on).
    // Empty when learning may start once the receiver is taken (ReadingStarted);
    // else the status line's reason why not.
    std::string MayLearn(bool monitorRuns, const std::string& driver) const;
    // The receiver reads for the run Learn asked for: the keys it learns.
    SessionStep ReadingStarted(int index, bool all);
    // One read of the receiver.
    SessionStep Read(bool got, uint32_t code);
    // The owner's answer to the step's question.
    SessionStep Answer(bool yes);
    // Escape: the key being learned is skipped (a single key's Learn stops).
    SessionStep Skip();
    // Learning stops; `why` for the prompt and the status line (empty: nothing said).
    // `giveMonitorBack`: false when Save, Save as or Close start the monitor themselves.
    SessionStep Stop(const std::string& why, bool giveMonitorBack = true);
    // How long the read in progress has run; hung past the limit.
    SessionStep ReadRunning(unsigned ms);

    // ---- The receiver
    ReceiverFault Fault() const { return fault_; }
    void ReceiverFailed(ReceiverFault fault) { fault_ = fault; }
    // The driver file is there again: a missing driver is no fault any more (a card
    // that does not start, or a hung read, is found out only by using it).
    bool DriverBack();

    // ---- The monitor
    // The owner agreed to close the monitor `image` to learn: known before the wait,
    // so that a window closed meanwhile still starts it again.
    void MonitorClosing(std::string image);
    // The owner agreed once to close the monitor to learn: a later Learn closes it
    // again without asking.
    bool MonitorCloseAgreed() const { return closeAgreed_; }
    // The monitor was not closed after all (it refused): nothing to start again.
    void MonitorKept() { monitorClosed_ = false; }
    // A monitor started while this window read the receiver: learning stops, and
    // none is started again afterwards.
    SessionStep MonitorStarted();
    bool MonitorClosedToLearn() const { return monitorClosed_; }
    const std::string& ClosedMonitor() const { return closedMonitor_; }
    // Learning is over and the receiver given back (Save, Save as, Close): what to do
    // with the monitor this window closed. `stuck`: a read is still inside the driver.
    MonitorRestart GiveBack(bool stuck, bool monitorRunsNow);

    // After Save the monitor this window closed was started again: `words`, said
    // then, get " The monitor runs again." once its window shows, within a limit.
    // `nowMs`: a millisecond clock.
    // `forSave`: started by Save or Save as (a learn waiting for it is dropped), not
    // at the end of learning.
    void MonitorStarting(std::string words, uint32_t nowMs, bool forSave = true);
    bool AwaitingMonitor() const { return awaitingMonitor_; }
    bool StartedForSave() const { return startedForSave_; }
    // Learn pressed while the monitor started again is not up yet: the learn waits
    // for it (to close it) rather than race it for the receiver.
    void LearnOnceMonitorShows(int index, bool all) {
        pendingLearn_ = index;
        pendingAll_ = all;
    }
    // The learn that waited, once the monitor shows (or the wait ran out): false when none.
    bool TakePendingLearn(int& index, bool& all);
    const std::string& StartedWords() const { return startedWords_; }
    // A look for the started monitor's window: the words to say now, empty while
    // it is awaited still, or when the limit passed without it.
    std::string MonitorLook(bool shows, uint32_t nowMs);

    // While the window waits for the monitor to close it takes no command; a close
    // asked meanwhile comes afterwards.
    void WaitBegins() {
        waiting_ = true;
        closeAsked_ = false;
    }
    // The wait has ended: true when a close was asked meanwhile.
    bool WaitEnds() {
        waiting_ = false;
        return closeAsked_;
    }
    bool Waiting() const { return waiting_; }
    bool CloseAsked() const { return closeAsked_; }
    void CloseAskedWhileWaiting() { closeAsked_ = true; }
    // The window is closing: a second close does nothing.
    void BeginClosing() { closing_ = true; }
    bool Closing() const { return closing_; }

    // ---- The view
    SessionView View(const World& world) const;
    WindowFacts Facts(bool monitorRuns) const;
    // `selected`: the selected key row, -1 when none.
    ControlStates Controls(int selected, bool monitorRuns) const;
    // No application chosen yet: no program, title or kind of window named.
    bool ApplicationChosen() const;
    FirstFocus StartFocus() const { return ApplicationChosen() ? FirstFocus::KeyList : FirstFocus::WindowList; }

    // ---- Save, Close and the monitor's close (SessionSave.h words them)
    // What the last Save or Save as left to say in the banner: `banner` of the
    // words the owner was told then, held as long as `holds` says.
    void SaveSaid(std::string banner, BannerHolds holds) {
        saveBanner_ = std::move(banner);
        saveBannerHolds_ = holds;
        monitorGoneSinceSave_ = false;
    }
    const std::string& SaveBanner() const { return saveBanner_; }
    // A look at the monitor (`runs`: one runs now): true when the save's banner
    // line stopped being true and went.
    bool MonitorSeen(bool runs);
    // How the close of the monitor to learn went: `go` when learning starts. A close
    // not taken leaves nothing to start again; a window closed during the wait
    // closes next.
    FlowStep MonitorCloseEnded(CloseResult result, const std::string& why);
    // Learn pressed (key `index`, or Learn all from it): `go` unless the monitor
    // started again is not up yet, when the learn waits for it (to close it) rather
    // than race it for the receiver.
    FlowStep LearnAsked(int index, bool all, bool monitorRuns);
    // GiveBack with its words: `go` when the monitor this window closed is to be
    // started (ClosedMonitor() names it); a stuck read is told instead.
    FlowStep MonitorBack(bool stuck, bool monitorRunsNow);

    // ---- The TV applications (SessionApps.cpp): taking a window, the selector, Fill
    // The window edits the application the remote works with until the owner picks another.
    void EditActive();
    // A window examined for the edited entry, with its commands as read; `windowThere`
    // false when it went away meanwhile. The owner's answers go to AppAnswer.
    AppStep WindowExamined(ClientWindowFacts facts, AppCatalog catalog, bool windowThere);
    // The answer to the question of the last application step.
    AppStep AppAnswer(AppReply reply);
    // Fill: the keys without an action get the application's commands; `ask` first.
    AppStep FillActions(bool ask);
    // The application selector: `slot` picked in its list, Work with this, Add, Remove.
    AppStep SelectApplication(int32_t slot);
    AppStep WorkWithEdited();
    AppStep AddApplication();
    AppStep RemoveApplication();
    // Rename to `name` (the profile's code page); `fits` false when the owner's text
    // holds characters that code page cannot.
    AppStep RenameApplication(const std::string& name, bool fits);
    // Whether the window list offers a window of program `item` for the edited entry:
    // not when another entry has that program (one program, one entry).
    bool OffersWindowOf(const std::string& item) const;
    // The selector's lines, and the name of the edited entry for its name field.
    std::vector<SlotRow> ApplicationRows() const;
    std::string EditedName() const;
    // The profile as the monitor would read it were the edited application the one
    // the remote works with: its window search and its key map, to find and test it.
    ProfileDocument EditedAsActive() const;
    // The edited application as the Action... chooser names it.
    std::string ActionApplication() const;
    // Test on key row `index`: why nothing is sent, empty when it is sent.
    std::string TestRefused(int index) const;
    // Clear... on key row `index`: what the owner is offered, or why nothing.
    ClearAsk ClearOffer(int index) const;

private:
    // ---- The TV applications (SessionApps.cpp)
    // The checks of taking a window that follow `answered`, until a question or the taking.
    AppStep TakeAfter(AppAsk answered);
    AppStep TakeNow();
    AppStep FillStep(bool ask, AppStep step);
    void Replan(bool makeActive);
    AppAsk appAsked_ = AppAsk::None;  // the question open, its answer awaited
    ClientWindowFacts takeFacts_;     // the window being taken
    AppCatalog takeCatalog_;
    std::vector<Suggestion> takeSuggestions_;
    int32_t takeSlot_ = 0;
    SlotTakePlan takePlan_;
    FillPlan fillPlan_;  // asked about
    SlotRemoval removal_;
    std::string takeNotes_;  // what taking the last window noted, for the banner


    SessionStep Pressed();
    // The key being learned got `code`: the codes written, the next key asked for.
    SessionStep Learned(const LearnedCodes& codes, const std::string& code);
    SessionStep NextKey(bool skipped, const std::string& before);
    // "Press VOL+ (volume up) on the remote; Escape stops."
    std::string PressWords() const;
    void PromptKey(SessionStep& step, const std::string& before) const;

    EditedProfile profile_;
    std::string savedText_;
    bool readOnly_ = false;
    AppCatalog catalog_;
    bool launchNotFound_ = false;  // the application taken has no launch lines to be found
    std::vector<KeyRow> rows_;
    std::vector<FindingRow> findings_;

    PressDetector detector_;
    int learnIndex_ = -1;  // the key being learned (the detector's), -1 when none
    bool learnAll_ = false;
    bool asking_ = false;
    std::string promptBefore_;  // said before the next key's prompt
    std::string askedCode_;      // the code asked about while a question is open

    ReceiverFault fault_ = ReceiverFault::None;  // learning is off while set
    bool monitorClosed_ = false;  // this window closed the monitor to learn
    std::string closedMonitor_;   // the program file of that monitor, started again
    bool closeAgreed_ = false;    // the owner agreed to close it to learn
    int pendingLearn_ = -1;       // Learn pressed while the monitor starts again
    bool pendingAll_ = false;
    bool startedForSave_ = false;
    bool waiting_ = false;        // the monitor is closing: no command is taken
    bool closeAsked_ = false;     // the window was closed during that wait
    bool closing_ = false;
    bool awaitingMonitor_ = false;  // started again after Save, its window not seen yet
    std::string startedWords_;      // what the owner was told then
    uint32_t startedAtMs_ = 0;

    // ---- Save, Close and the monitor's close
    std::string saveBanner_;  // the banner's line of the last save, empty when none lasts
    BannerHolds saveBannerHolds_ = BannerHolds::NextSave;
    bool monitorGoneSinceSave_ = false;  // no monitor was seen running since that save
};

// How long a monitor started again is looked for before "runs again" is said.
constexpr uint32_t kMonitorShowMs = 5000;

}  // namespace qrtl::setup
