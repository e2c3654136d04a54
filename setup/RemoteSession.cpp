#include "setup/RemoteSession.h"

#include <utility>

#include "config/ProfileKeys.h"
#include "config/RemoteCodes.h"
#include "setup/ClientLines.h"
#include "setup/LearnedCodes.h"
#include "setup/OwnerWords.h"

namespace qrtl::setup {

namespace {

std::string HangSeconds() { return std::to_string(kReadHangSeconds) + " s"; }

std::string KeyWords(int index) {
    return std::string(RemoteKeyNames[index]) + " (" + RemoteKeyLegend[index] + ")";
}

}  // namespace

RemoteSession::RemoteSession(std::string fileText, bool readOnly)
    : profile_(fileText), savedText_(std::move(fileText)), readOnly_(readOnly) {}

void RemoteSession::ApplicationChanged() {
    catalog_ = {};
    launchNotFound_ = false;
}

void RemoteSession::WindowTaken(AppCatalog catalog, bool launchFound) {
    catalog_ = std::move(catalog);
    launchNotFound_ = !launchFound;
}

void RemoteSession::Recheck(const CheckEnvironment& environment, const std::string& driver) {
    std::vector<FindingRow> checked = FindingsInWords(profile_, environment);
    rows_ = KeyRows(profile_, catalog_, checked);
    findings_ = OwnerFindings(std::move(checked));
    PutReceiverFinding(findings_, fault_, driver);
}

bool RemoteSession::WritableNow(bool writable) {
    if (readOnly_ == !writable) return false;
    readOnly_ = !writable;
    return true;
}

void RemoteSession::Saved(const std::string& writtenText) {
    takeNotes_.clear();  // the save's result is the news now
    if (writtenText.empty()) {
        profile_.MarkSaved();
        savedText_ = profile_.Text();
    } else {  // the file as written, with what other writers put into it meanwhile
        const int32_t edited = profile_.EditedClient();
        savedText_ = writtenText;
        profile_ = EditedProfile(writtenText);
        profile_.EditClient(edited);
    }
}

void RemoteSession::SavedAs(bool writable) {
    takeNotes_.clear();
    readOnly_ = !writable;
    profile_.MarkSaved();
    savedText_ = profile_.Text();
}

// ---- Learning ----

std::string RemoteSession::MayLearn(bool monitorRuns, const std::string& driver) const {
    const WindowFacts facts = Facts(monitorRuns);
    const OffReason off = GateWindow(facts).learn;
    return off == OffReason::None ? std::string() : WhyOff("Learn", off, facts, driver);
}

SessionStep RemoteSession::ReadingStarted(int index, bool all) {
    const std::vector<int> keys = all ? LearnedCodes(profile_.Document()).LearnAllOrder(index) : std::vector<int>{index};
    detector_.Start(keys);
    learnIndex_ = detector_.Key();
    learnAll_ = all;
    asking_ = false;
    promptBefore_.clear();
    SessionStep step;
    step.learningStarted = true;
    step.select = learnIndex_;
    const std::string listening = "Release all keys: listening to the receiver for one second ...";
    step.Prompt(listening);
    step.Say(listening);
    return step;
}

std::string RemoteSession::PressWords() const {
    return "Press " + KeyWords(learnIndex_) + " on the remote" + (learnAll_ ? "; Escape skips it." : "; Escape stops.");
}

void RemoteSession::PromptKey(SessionStep& step, const std::string& before) const {
    step.select = learnIndex_;
    // The prompt area holds the request itself; the status line also says what came before.
    step.Prompt(PressWords());
    step.Say(before + step.prompt);
}

SessionStep RemoteSession::Read(bool got, uint32_t code) {
    SessionStep step;
    // While a question is open the reads count for nothing, as before it.
    if (!Learning() || asking_) return step;
    const PressDetector::Event event = detector_.OnRead(got, code);
    if (event == PressDetector::Event::Ready) PromptKey(step, std::exchange(promptBefore_, std::string()));
    if (event == PressDetector::Event::Pressed) return Pressed();
    return step;
}

SessionStep RemoteSession::Pressed() {
    const std::string name = RemoteKeyNames[learnIndex_];
    const std::string text = FormatIrCode(detector_.Code());
    LearnedCodes codes(profile_.Document());
    const LearnedCodes::Result result = codes.Assign(learnIndex_, text, false);
    SessionStep step;
    if (result.outcome == LearnedCodes::Outcome::Taken) {
        asking_ = true;
        askedCode_ = text;
        const std::string holder = RemoteKeyNames[result.holder];
        step.question = "Code " + text + " is already " + KeyWords(result.holder) + ".\n\nTake it over for " + name +
                        "? " + holder + " then has no code.";
        return step;
    }
    return Learned(codes, text);
}

SessionStep RemoteSession::Learned(const LearnedCodes& codes, const std::string& code) {
    profile_.Change(codes.Changes());
    const std::string received = std::string("Received ") + code + " " + kArrow + " " + RemoteKeyNames[learnIndex_];
    SessionStep step = NextKey(false, received + ". ");
    step.changed = true;
    if (!step.said) step.Say(received);
    return step;
}

SessionStep RemoteSession::Answer(bool yes) {
    SessionStep step;
    if (!std::exchange(asking_, false) || !Learning()) return step;  // stopped meanwhile
    const std::string name = RemoteKeyNames[learnIndex_];
    LearnedCodes codes(profile_.Document());
    if (!yes) {
        const int holder = codes.HolderOf(askedCode_, learnIndex_);
        step.Say("Code " + askedCode_ + " stays with " + (holder >= 0 ? RemoteKeyNames[holder] : "its key") +
                 ". Press " + name + " again, or Escape.");
        return step;
    }
    codes.Assign(learnIndex_, askedCode_, true);
    return Learned(codes, askedCode_);
}

SessionStep RemoteSession::Skip() { return NextKey(true, std::string()); }

SessionStep RemoteSession::NextKey(bool skipped, const std::string& before) {
    if (!Learning()) return {};
    const std::string last = RemoteKeyNames[learnIndex_];
    if (detector_.Next(!skipped)) {
        learnIndex_ = detector_.Key();
        SessionStep step;
        if (detector_.Waiting())
            promptBefore_ = before;  // asked for once the last key is let go
        else
            PromptKey(step, before);
        return step;
    }
    return Stop(skipped ? (learnAll_ ? "Learning ended: " + last + " skipped." : kLearningStopped) : "");
}

SessionStep RemoteSession::Stop(const std::string& why, bool giveMonitorBack) {
    SessionStep step;
    if (!Learning()) return step;
    // The remote works again as soon as learning ends, not only after Save.
    step.monitorBack = giveMonitorBack && monitorClosed_;
    step.select = learnIndex_;
    learnIndex_ = -1;
    asking_ = false;
    detector_.Stop();
    step.learningEnded = true;
    // Let go at once: a monitor or QRTLProfile learn may read it now.
    step.receiver = ReceiverStep::Release;
    step.Prompt(why);
    if (!why.empty()) step.Say(why);
    return step;
}

SessionStep RemoteSession::ReadRunning(unsigned ms) {
    SessionStep step;
    if (!Learning() || detector_.OnReadRunning(ms) != PressDetector::Event::Hung) return step;
    // The worker is told to stop and leaves when the driver answers; until then the
    // driver stays loaded and the window goes on without the receiver.
    step.select = learnIndex_;
    learnIndex_ = -1;
    asking_ = false;
    fault_ = ReceiverFault::DriverHung;
    step.learningEnded = true;
    step.receiver = ReceiverStep::Abandon;
    step.Say("Learning stopped: the card driver has not answered for " + HangSeconds() +
             ". Check the card, then start the set-up again.");
    return step;
}

bool RemoteSession::DriverBack() {
    if (fault_ != ReceiverFault::DriverMissing) return false;
    fault_ = ReceiverFault::None;
    return true;
}

// ---- The monitor ----

void RemoteSession::MonitorClosing(std::string image) {
    monitorClosed_ = true;
    closeAgreed_ = true;
    closedMonitor_ = std::move(image);
}

SessionStep RemoteSession::MonitorStarted() {
    if (!Learning()) return {};
    // One runs: none is started again afterwards.
    monitorClosed_ = false;
    return Stop("Learning stopped: the monitor was started and reads the receiver now.");
}

MonitorRestart RemoteSession::GiveBack(bool stuck, bool monitorRunsNow) {
    if (!monitorClosed_) return MonitorRestart::None;
    // The monitor would load the same driver and wait in the same read.
    if (stuck) return MonitorRestart::TellStuck;
    monitorClosed_ = false;
    // One was started meanwhile, or the one closed ended only after the wait ran out
    // and still runs: never a second.
    return monitorRunsNow ? MonitorRestart::None : MonitorRestart::Start;
}

void RemoteSession::MonitorStarting(std::string words, uint32_t nowMs, bool forSave) {
    awaitingMonitor_ = true;
    startedForSave_ = forSave;
    // Save's own start is awaited for its words only: a learn asked before it is not made.
    if (forSave) pendingLearn_ = -1;
    startedWords_ = std::move(words);
    startedAtMs_ = nowMs;
}

std::string RemoteSession::MonitorLook(bool shows, uint32_t nowMs) {
    if (!awaitingMonitor_) return {};
    if (!shows && nowMs - startedAtMs_ < kMonitorShowMs) return {};
    awaitingMonitor_ = false;
    // Said only when it runs: a monitor that does not show is not claimed.
    if (!shows) return {};
    const bool sentence = !startedWords_.empty() && startedWords_.back() == '.';
    return startedWords_ + (startedWords_.empty() ? "" : sentence ? " " : ". ") + "The monitor runs again.";
}

bool RemoteSession::TakePendingLearn(int& index, bool& all) {
    if (pendingLearn_ < 0) return false;
    index = std::exchange(pendingLearn_, -1);
    all = pendingAll_;
    return true;
}

// ---- The view ----

SessionView RemoteSession::View(const World& world) const {
    SessionView view;
    const int32_t n = profile_.ClientIndex();
    const std::string item = profile_.ClientItem();
    const std::string caption = profile_.Get(profile::kCaption, n);
    if (!ApplicationChosen()) {
        view.client = "none chosen yet: drag the crosshair onto its window, or choose it from the list";
    } else {
        // The owner's name for it; the program's name of the file format stays out.
        std::string name = n >= 0 && n < profile::kClientSlots ? profile_.Get(profile::kExeDesc, n) : std::string();
        if (name.empty()) name = caption.empty() ? item : caption;
        view.client = name + (world.clientOpen ? ", its window is open now" : ", its window is not found now");
    }
    view.launch = LaunchInWords(world.launch, launchNotFound_);
    view.facts = Facts(world.monitorRuns);
    view.receiver = ReceiverLine(view.facts, world.driver);
    return view;
}

bool RemoteSession::ApplicationChosen() const {
    const int32_t n = profile_.ClientIndex();
    return !profile_.ClientItem().empty() || !profile_.Get(profile::kCaption, n).empty() ||
           !profile_.Get(profile::kClassName, n).empty();
}

WindowFacts RemoteSession::Facts(bool monitorRuns) const {
    WindowFacts facts;
    facts.readOnly = readOnly_;
    facts.receiver = fault_;
    facts.learning = Learning();
    facts.changed = profile_.Changed();
    facts.monitorRuns = monitorRuns;
    facts.takeNotes = takeNotes_;
    return facts;
}

ControlStates RemoteSession::Controls(int selected, bool monitorRuns) const {
    const bool learning = Learning();
    const WindowGate gate = GateWindow(Facts(monitorRuns));
    const bool canLearn = gate.learn == OffReason::None;
    const bool hasRow = selected >= 0 && static_cast<std::size_t>(selected) < rows_.size();
    ControlStates states;
    states.learn = learning || (canLearn && hasRow);
    states.learnAll = canLearn || learning;
    states.learnAllReadsStop = learning;
    states.action = !learning && hasRow;
    states.test = !learning && hasRow && !rows_[static_cast<std::size_t>(selected)].command.empty();
    states.clear = !learning && hasRow;
    states.fill = !learning && !catalog_.Empty();
    states.useWindow = !learning;
    states.windowList = !learning;
    states.save = gate.save == OffReason::None;
    states.saveAs = gate.saveAs == OffReason::None;
    states.applications = !learning;
    return states;
}

// ---- The keyboard and the findings ----

std::vector<ControlCaption> Captions(bool learning) {
    return {
        {Control::Applications, "Appl&ication:"},
        {Control::PowerStarts, "Wor&k with this"},
        {Control::Add, "A&dd"},
        {Control::Remove, "Re&move..."},
        {Control::Rename, "Re&name"},
        {Control::WindowList, "Drag the crosshair onto the TV application's &window, or choose it from the list:"},
        {Control::UseWindow, "&Use this window"},
        {Control::Fill, "&Fill from its menus"},
        // Skip does what Escape does, for the mouse: the key is left as it was, Learn all goes on.
        {Control::Learn, learning ? "Ski&p" : "&Learn"},
        {Control::Action, "&Action..."},
        {Control::Test, "&Test"},
        {Control::Clear, "&Clear..."},
        // Stop shares no letter with Close: the one pressed to end learning must not close the window.
        {Control::LearnAll, learning ? "St&op" : "Lea&rn all"},
        {Control::Save, "&Save"},
        {Control::Close, "Clos&e"},
        {Control::SaveAs, "Sa&ve as..."},
    };
}

char AltLetter(const std::string& caption) {
    for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') continue;
        if (caption[i + 1] == '&') {
            ++i;
            continue;
        }
        const char c = caption[i + 1];
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return 0;
}

FindingLead LeadOf(const FindingRow& finding) {
    const auto key = [](const std::string& name) {
        const int index = RemoteKeyIndex(name);
        return index < 0 ? FindingLead{} : FindingLead{FindingGoal::Key, index};
    };
    const Finding& f = finding.finding;
    switch (finding.kind) {
    case FindingId::CodeUnlearned:
    case FindingId::CodeFormat:
    case FindingId::CodeShared:
    case FindingId::CommandFormat:
    case FindingId::CommandUnmapped:
        if (!f.keys.empty()) return key(f.keys.front());
        break;
    case FindingId::KeyName:
        if (f.nearestKey != nullptr) return key(f.nearestKey);
        break;
    case FindingId::ClientMissing:
    case FindingId::ItemEmpty:
    case FindingId::ItemCase:
    case FindingId::ClientControl:
    case FindingId::Launch:
    case FindingId::LaunchQuote:
    case FindingId::ClientTitle:
        return {FindingGoal::WindowList, -1};
    case FindingId::ClientKeymap:
        return {FindingGoal::Fill, -1};
    case FindingId::NotSetUp:
        return {f.detail == FindingDetail::NothingChosen ? FindingGoal::WindowList : FindingGoal::LearnAll, -1};
    default:
        break;
    }
    if (finding.target == FindingTarget::Key) return key(finding.key);
    if (finding.target == FindingTarget::Client) return {FindingGoal::WindowList, -1};
    return {};
}

}  // namespace qrtl::setup
