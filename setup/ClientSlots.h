// The TV applications the profile holds, one per slot (clients 0, 1 and 2 of
// [Client]; Default names the active one), and what taking a window for a slot,
// adding, removing, renaming or activating one changes. Every plan is a list of
// profile changes that the set-up window's unsaved profile applies and window
// --write writes, with structured notes; the words for the owner are made in
// setup/SlotWords.h.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "config/ProfileReader.h"
#include "config/RemoteCodes.h"
#include "setup/AppCommands.h"
#include "setup/ClientLines.h"
#include "setup/RemoteRows.h"

namespace qrtl::setup {

// The slots the setup dialog lists by their descriptions.
constexpr int32_t kSlotCount = profile::kClientSlots;

// One line of the application selector.
struct SlotRow {
    int32_t slot = 0;
    std::string item;         // its item name; empty when none
    std::string description;  // its description, else its item; empty when neither
    // 2 or 3 when an earlier slot shows the same description, so that the selector
    // can tell them apart; 0 otherwise.
    int sameNameOrdinal = 0;
    bool active = false;  // Default names it
    bool free = true;     // nothing identifies an application: it can be taken
    std::vector<ProfileChange> lines;  // its own [Client] lines, in file order, as read
};

// The three slots, in order.
std::vector<SlotRow> SlotRows(const ProfileDocument& profile);
// One slot (any client index, also beyond the three), without the same-name ordinal.
SlotRow ReadSlot(const ProfileDocument& profile, int32_t slot);
// The slot Default names (which may be none of the three).
int32_t ActiveSlot(const ProfileDocument& profile);
// The first free one of the three slots other than `except`; -1 when none is free.
// Add takes this slot.
int32_t NextFreeSlot(const ProfileDocument& profile, int32_t except = -1);
// How many remote keys have an action in the key map of `item`.
int CountActions(const ProfileDocument& profile, const std::string& item);

// How many remote keys the taken window's commands mean (from SuggestCommands).
struct TvCommandCount {
    bool known = false;      // false: the commands were not read, nothing to say
    int keysWithMeaning = 0;  // keys with a suggested command
    int tvKeys = 0;           // of them, keys other than those every program has
    int keys = kRemoteKeyCount;
    // Fewer TV keys than this: the window is no TV application.
    static constexpr int kFewestTvKeys = 2;
    bool NoTvCommands() const { return known && tvKeys < kFewestTvKeys; }
};
TvCommandCount CountTvCommands(const std::vector<Suggestion>& suggestions);

// The slot names another application: the window asks before replacing it.
struct SlotReplace {
    bool ask = false;
    std::string oldApp;
    std::string newApp;
    int32_t freeSlot = -1;  // what "Use a free slot" takes; -1 when every slot is used
};

struct SlotTakePlan {
    int32_t slot = 0;
    std::string app;  // the application taken, by its description
    // Every [Client] line of the slot together (identity, description, Control,
    // Default and launch lines, found or empty) and, when another application is
    // replaced, the removal of its key map.
    std::vector<ProfileChange> changes;
    std::vector<SlotNote> notes;
    SlotReplace replace;
    TvCommandCount commands;
    // Another entry has the same program: the window refuses the plan, since both
    // would drive one key map, and offers that entry instead. -1 when none.
    int32_t sameProgramSlot = -1;
    std::string sameProgramApp;  // that entry's description
    bool Refused() const { return sameProgramSlot >= 0; }
    // The remote works with another entry now: the window asks whether it should
    // work with this one instead (the plan as made for `makeActive`).
    bool askActive = false;
    std::string activeApp;  // the entry the remote works with now
};

// The plan for taking the window of `facts` for `slot`. `suggestions`: the
// commands the window offers for remote keys (null when they were not read).
// `makeActive`: the remote works with the taken application from now on (Default
// names the slot); false keeps the one it works with.
SlotTakePlan PlanTakeWindow(int32_t slot, const ClientWindowFacts& facts, const ProfileDocument& current,
                            const std::vector<Suggestion>* suggestions = nullptr, bool makeActive = true);

// The one of the three slots other than `except` whose program is `item`; -1 when
// none. One program has one entry: its windows are not offered for another.
int32_t SlotWithProgram(const ProfileDocument& profile, const std::string& item, int32_t except);

struct SlotRemoval {
    int32_t slot = 0;
    std::string app;
    std::vector<ProfileChange> changes;
    bool actionsRemoved = false;  // its key map goes with it
    int actions = 0;              // how many actions that key map held
    int32_t sharedWith = -1;      // the slot of the same application that keeps the key map
    int32_t newActive = -1;       // Default moves to this slot; -1 when it stays
    std::string newActiveApp;     // that slot's description; empty when it is free
};

// Clears the slot's lines (every "N_" key of [Client]) and its key map unless
// another slot uses the same item; Default moves to another used slot, else 0.
SlotRemoval PlanRemoveSlot(const ProfileDocument& current, int32_t slot);

enum class RenameProblem {
    None,
    BadText,    // text: what the profile would do to it
    HasNul,     // a NUL character would end the text in the profile
    NoSuchSlot, // only the three slots have a description
};

struct SlotRename {
    RenameProblem problem = RenameProblem::None;
    LineProblem text = LineProblem::None;  // BadText: what is wrong with it
    std::vector<ProfileChange> changes;  // empty when refused or unchanged
};

// A new description for the slot, checked as every text of the profile.
SlotRename PlanRenameSlot(const ProfileDocument& current, int32_t slot, const std::string& name);

// Default for `slot`; empty when it is the active one already.
std::vector<ProfileChange> PlanMakeActive(const ProfileDocument& current, int32_t slot);

}  // namespace qrtl::setup
