// The three-way merge of a set-up writer's changes: the profile as the writer read
// it, the profile as it is now (another writer, such as the monitor's setup
// dialog, may have changed it meanwhile), and the writer's own changes. Only the
// lines the writer changed are written; a line both changed is a conflict that
// the owner decides.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "config/ProfileReader.h"
#include "setup/ProfileChange.h"

namespace qrtl::setup {

struct MergeConflict {
    ProfileChange ours;
    // A key: false when the other writer removed the line. A section (ours removes
    // it): false when the other writer removed it too, which is no conflict.
    bool theirsPresent = false;
    // A key: the value in the file now. A section: its lines now, "KEY=value"
    // joined by ", ", so that the owner sees what a removal would take with it.
    std::string theirs;
    std::size_t index = 0;  // of `ours` in the writer's change list
};

struct MergePlan {
    std::vector<ProfileChange> write;       // ours, changed against the base, not touched by the other
    std::vector<MergeConflict> conflicts;   // changed on both sides to different values
    std::vector<std::size_t> writeIndex;    // of each of `write` in the writer's change list
};

// `ours` in the order it is applied: each change is judged against the base with
// the changes before it applied (a section removed and filled again is a change
// of every line filled). A change the base holds already is left out; a removal
// makes its line or section absent, which an empty value is not. A removed
// section whose lines another writer changed is a conflict like a key's.
MergePlan PlanMerge(const ProfileDocument& base, const ProfileDocument& now,
                    const std::vector<ProfileChange>& ours);

// The changes to write, in the writer's order: the plan's, and of its conflicts
// those that `keepOurs` keeps.
std::vector<ProfileChange> ChangesToWrite(const MergePlan& plan,
                                          const std::function<bool(const MergeConflict&)>& keepOurs);

}  // namespace qrtl::setup
