// The set-up window's TV applications, decided by its model: taking a window for
// the edited entry, the application selector, Fill, and the key buttons' words.
#include <algorithm>
#include <utility>

#include "config/ProfileKeys.h"
#include "setup/OwnerWords.h"
#include "setup/RemoteSession.h"
#include "setup/SlotWords.h"

namespace qrtl::setup {

namespace {

bool InSlots(int32_t slot) { return slot >= 0 && slot < kSlotCount; }

AppStep Ask(AppAsk ask, std::string question) {
    AppStep step;
    step.ask = ask;
    step.question = std::move(question);
    // Taking a window without TV commands, moving the remote off the application it
    // works with, and removing one are undone only by hand: No is the safe answer.
    step.defaultNo = ask == AppAsk::NoTvCommands || ask == AppAsk::Replace || ask == AppAsk::WorkWithInstead ||
                     ask == AppAsk::Remove;
    return step;
}

AppStep Said(std::string live) {
    AppStep step;
    step.Say(std::move(live));
    return step;
}

}  // namespace

std::string ClearedWords(const KeyEdit& edit) {
    if (!edit.left.code && !edit.left.action) return edit.key + " has no code and no action now.";
    if (!edit.left.code) return edit.key + " has no code now; its action stays.";
    return edit.key + " has no action now; its code stays.";
}

std::string CatalogNotes(const AppCatalog& catalog) {
    std::string words;
    if (!catalog.controlsNote.empty()) words += " Note: " + catalog.controlsNote + ".";
    if (catalog.menusCut) words += " Note: its menus are too large: only the first commands are listed.";
    return words;
}

void RemoteSession::EditActive() {
    const int32_t active = profile_.ClientIndex();
    if (InSlots(active)) profile_.EditClient(active);
}

// ---- Taking a window ----

AppStep RemoteSession::WindowExamined(ClientWindowFacts facts, AppCatalog catalog, bool windowThere) {
    appAsked_ = AppAsk::None;
    takeNotes_.clear();
    // A window that went away meanwhile leaves facts of nobody: nothing is taken.
    if (!windowThere || facts.item.empty()) {
        AppStep step = Ask(AppAsk::WindowGone,
                           "The application closed while it was being examined, or its program cannot be told: "
                           "nothing was taken.\n\nStart it again and take its window once more.");
        step.Say("Nothing was taken: the application's window went away.");
        return step;
    }
    takeFacts_ = std::move(facts);
    takeCatalog_ = std::move(catalog);
    // A window whose commands could not be read at all (hung, or none to read) is
    // not judged: only one that shows commands and none for a TV.
    takeSuggestions_ = SuggestCommands(takeCatalog_);
    takeSlot_ = std::max<int32_t>(0, profile_.ClientIndex());
    Replan(true);
    if (takePlan_.Refused()) {
        // Two entries of one program would drive one key map: refused, or its own entry shown.
        appAsked_ = AppAsk::SameProgram;
        return Ask(AppAsk::SameProgram, SameProgramWords(takePlan_));
    }
    return TakeAfter(AppAsk::SameProgram);
}

void RemoteSession::Replan(bool makeActive) {
    takePlan_ = PlanTakeWindow(takeSlot_, takeFacts_, profile_.Document(),
                               takeCatalog_.Empty() ? nullptr : &takeSuggestions_, makeActive);
}

AppStep RemoteSession::TakeAfter(AppAsk answered) {
    // The owner decides each of these in turn before anything is taken.
    if (answered == AppAsk::SameProgram) {
        const std::string noCommands = NoTvCommandsWords(takePlan_.app, takePlan_.commands);
        if (!noCommands.empty()) {
            appAsked_ = AppAsk::NoTvCommands;
            return Ask(AppAsk::NoTvCommands, noCommands + "\n\nTake it for the remote anyway?");
        }
        answered = AppAsk::NoTvCommands;
    }
    if (answered == AppAsk::NoTvCommands) {
        if (takePlan_.replace.ask) {
            appAsked_ = AppAsk::Replace;
            AppStep step = Ask(AppAsk::Replace, ReplaceQuestion(takePlan_.replace));
            step.replace = takePlan_.replace;
            return step;
        }
        answered = AppAsk::Replace;
    }
    if (answered == AppAsk::Replace && takePlan_.askActive) {
        // Another entry is what the remote works with: the owner says which one it is from now on.
        appAsked_ = AppAsk::WorkWithInstead;
        return Ask(AppAsk::WorkWithInstead, ActiveQuestion(takePlan_));
    }
    return TakeNow();
}

AppStep RemoteSession::TakeNow() {
    appAsked_ = AppAsk::None;
    profile_.Change(takePlan_.changes);
    profile_.EditClient(takeSlot_);
    std::string notes;
    for (const SlotNote& note : takePlan_.notes) notes += (notes.empty() ? "" : " ") + SlotNoteWords(note);
    notes += CatalogNotes(takeCatalog_);
    WindowTaken(std::move(takeCatalog_), takeFacts_.launch.found);
    takeCatalog_ = {};
    takeNotes_ = !notes.empty() && notes[0] == ' ' ? notes.substr(1) : notes;
    AppStep step;
    step.chosen = true;
    step.changed = true;
    if (catalog_.Empty()) return step;
    return FillStep(true, std::move(step));
}

AppStep RemoteSession::AppAnswer(AppReply reply) {
    const AppAsk asked = std::exchange(appAsked_, AppAsk::None);
    const bool yes = reply == AppReply::Yes;
    switch (asked) {
    case AppAsk::None:
    case AppAsk::WindowGone:
        return {};
    case AppAsk::SameProgram: {
        if (!yes) return Said("Nothing was taken: " + takePlan_.app + " has an entry already.");
        profile_.EditClient(takePlan_.sameProgramSlot);
        ApplicationChanged();
        AppStep step = Said("Editing the actions of " + takePlan_.sameProgramApp + ".");
        step.editedOther = true;
        step.readCommands = true;
        return step;
    }
    case AppAsk::NoTvCommands:
        if (!yes) return Said("Nothing was taken: " + NoTvCommandsWords(takePlan_.app, takePlan_.commands));
        return TakeAfter(AppAsk::NoTvCommands);
    case AppAsk::Replace:
        if (reply == AppReply::Cancel || (reply == AppReply::No && takePlan_.replace.freeSlot < 0))
            return Said("Nothing was taken: " + takePlan_.replace.oldApp + " stays.");
        if (reply == AppReply::No) {  // a new entry: both stay
            takeSlot_ = takePlan_.replace.freeSlot;
            Replan(true);
        }
        return TakeAfter(AppAsk::Replace);
    case AppAsk::WorkWithInstead:
        if (!yes) Replan(false);
        return TakeNow();
    case AppAsk::Fill: {
        if (!yes) return {};
        return FillStep(false, {});
    }
    case AppAsk::Remove: {
        if (!yes) return Said("Nothing removed.");
        profile_.Change(removal_.changes);
        takeNotes_.clear();
        // The window goes on with the application the remote works with now.
        profile_.EditClient(-1);
        const int32_t active = profile_.ClientIndex();
        profile_.EditClient(InSlots(active) ? active : removal_.slot);
        ApplicationChanged();
        AppStep step = Said(RemovedWords(removal_) + " Save to keep it.");
        step.changed = true;
        step.editedOther = true;
        return step;
    }
    }
    return {};
}

// ---- Fill ----

AppStep RemoteSession::FillActions(bool ask) { return FillStep(ask, {}); }

AppStep RemoteSession::FillStep(bool ask, AppStep step) {
    const std::string section = profile_.ClientSection();
    fillPlan_ = PlanFill(SuggestCommands(catalog_), profile_.Document(), section);
    if (fillPlan_.Empty()) {
        if (!ask) step.Say("Every key the application's commands suggest has an action already: nothing filled.");
        return step;
    }
    if (ask) {
        appAsked_ = AppAsk::Fill;
        step.ask = AppAsk::Fill;
        step.question = "Fill the keys' actions from the application's menus and controls?\n\n" +
                        Counted(fillPlan_.filled.size(), "key gets", "keys get") +
                        " a command that means the same; keys that have an action keep it. You can change each "
                        "one with Action... before you save.";
        return step;
    }
    for (const FillKey& fill : fillPlan_.filled) profile_.Set(section, fill.key, fill.command);
    step.changed = true;
    step.Say("Filled " + Counted(fillPlan_.filled.size(), "key", "keys") + " from the application's commands" +
             (fillPlan_.kept.empty() ? "." : "; " + std::to_string(fillPlan_.kept.size()) + " kept their action."));
    return step;
}

// ---- The application selector ----

bool RemoteSession::OffersWindowOf(const std::string& item) const {
    return SlotWithProgram(profile_.Document(), item, profile_.ClientIndex()) < 0;
}

std::vector<SlotRow> RemoteSession::ApplicationRows() const { return SlotRows(profile_.Document()); }

std::string RemoteSession::EditedName() const {
    const int32_t slot = profile_.ClientIndex();
    return InSlots(slot) ? profile_.Get(profile::kExeDesc, slot) : std::string();
}

AppStep RemoteSession::SelectApplication(int32_t slot) {
    if (slot < 0 || slot == profile_.ClientIndex()) return {};
    takeNotes_.clear();  // they were about the entry edited then
    profile_.EditClient(slot);
    ApplicationChanged();
    const SlotRow row = ReadSlot(profile_.Document(), slot);
    AppStep step = Said(row.free ? "An empty entry for another TV application: drag the crosshair onto its window, "
                                   "or choose it from the list."
                                 : "Editing the actions of " + row.description + "; the codes of the keys are shared.");
    step.editedOther = true;
    return step;
}

AppStep RemoteSession::WorkWithEdited() {
    const int32_t slot = profile_.ClientIndex();
    const SlotRow row = ReadSlot(profile_.Document(), slot);
    if (row.free) return Said("This entry holds no application yet: take its window first.");
    const std::vector<ProfileChange> changes = PlanMakeActive(profile_.Document(), slot);
    if (changes.empty()) return Said(WorksWithWords(row.description));
    profile_.Change(changes);
    takeNotes_.clear();
    SlotNote note;
    note.code = SlotNoteCode::ActiveNow;
    note.app = row.description;
    note.powerStarts = !profile_.Get(profile::kExeName, slot).empty() || !profile_.Get(profile::kRegPath, slot).empty();
    AppStep step = Said(SlotNoteWords(note) + " Save to keep it.");
    step.changed = true;
    return step;
}

AppStep RemoteSession::AddApplication() {
    const int32_t slot = NextFreeSlot(profile_.Document());
    if (slot < 0) return Said("The remote drives up to three applications: remove one to add another.");
    profile_.EditClient(slot);
    ApplicationChanged();
    takeNotes_.clear();
    AppStep step = Said("Add: drag the crosshair onto the new application's window, or choose it from the list.");
    step.editedOther = true;
    step.focus = AppFocus::WindowList;
    return step;
}

AppStep RemoteSession::RemoveApplication() {
    const int32_t slot = profile_.ClientIndex();
    const SlotRow row = ReadSlot(profile_.Document(), slot);
    if (row.free && row.lines.empty()) return Said("This entry holds no application: nothing to remove.");
    removal_ = PlanRemoveSlot(profile_.Document(), slot);
    appAsked_ = AppAsk::Remove;
    return Ask(AppAsk::Remove, RemoveQuestion(removal_));
}

AppStep RemoteSession::RenameApplication(const std::string& name, bool fits) {
    AppStep step;
    if (!fits) {
        step.Say("Not renamed: the name holds characters the profile cannot keep.");
        step.focus = AppFocus::NameField;
        return step;
    }
    const SlotRename rename = PlanRenameSlot(profile_.Document(), profile_.ClientIndex(), name);
    const std::string refused = RenameWords(rename);
    if (!refused.empty()) {
        step.Say("Not renamed: " + refused);
        step.focus = AppFocus::NameField;
        return step;
    }
    if (rename.changes.empty()) return Said("The name is the same.");
    profile_.Change(rename.changes);
    takeNotes_.clear();  // they name it by its old name
    step.Say("Renamed to " + name + "; the monitor's set-up dialog lists it so once saved.");
    step.changed = true;
    return step;
}

// ---- The key buttons ----

ProfileDocument RemoteSession::EditedAsActive() const {
    EditedProfile view = profile_;
    view.Change(PlanMakeActive(view.Document(), view.ClientIndex()));
    return view.Document();
}

std::string RemoteSession::ActionApplication() const {
    const std::string name = EditedName();
    return name.empty() ? profile_.ClientItem() : name;
}

std::string RemoteSession::TestRefused(int index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= rows_.size()) return {};
    const KeyRow& row = rows_[static_cast<std::size_t>(index)];
    return row.command.empty() ? row.name + " has no action yet: choose one with Action..." : std::string();
}

ClearAsk RemoteSession::ClearOffer(int index) const {
    ClearAsk offer;
    if (index < 0 || static_cast<std::size_t>(index) >= rows_.size()) return offer;
    const KeyRow& row = rows_[static_cast<std::size_t>(index)];
    const KeyParts held = PartsOf(profile_, row.name);
    if (!held.code && !held.action) {
        offer.live = row.name + " has no code and no action: nothing to clear.";
        return offer;
    }
    offer.ask = true;
    if (held.code) offer.code = row.code;
    if (held.action) offer.action = row.action.empty() ? row.command : row.action;
    return offer;
}

}  // namespace qrtl::setup
