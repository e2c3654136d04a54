// The three-way merge of a set-up writer's changes: the profile as the writer read
// it, the profile as it is now (another writer, such as the monitor's setup
// dialog, may have changed it meanwhile), and the writer's own changes. Only the
// lines the writer changed are written; a line both changed is a conflict that
// the owner decides.
#pragma once

#include <string>
#include <vector>

#include "config/ProfileReader.h"
#include "setup/ProfileChange.h"

namespace qrtl::setup {

struct MergeConflict {
    ProfileChange ours;
    bool theirsPresent = false;  // false: the other writer removed the line
    std::string theirs;          // the value in the file now
};

struct MergePlan {
    std::vector<ProfileChange> write;       // ours, changed against the base, not touched by the other
    std::vector<MergeConflict> conflicts;   // changed on both sides to different values
};

// `ours` holds one change per section and key; a change whose value the base holds
// already is no change of the writer and is left out.
MergePlan PlanMerge(const ProfileDocument& base, const ProfileDocument& now,
                    const std::vector<ProfileChange>& ours);

}  // namespace qrtl::setup
