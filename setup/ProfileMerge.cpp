#include "setup/ProfileMerge.h"

namespace qrtl::setup {

namespace {

// A line as the monitor reads it: present or not, and its value.
struct LineState {
    bool present = false;
    std::string value;
    bool operator==(const LineState& other) const {
        return present == other.present && (!present || value == other.value);
    }
};

LineState StateOf(const ProfileDocument& document, const ProfileChange& change) {
    const ProfileDocument::Entry* entry = document.Find(change.section, change.key);
    if (entry == nullptr || !entry->hasValue) return {};
    return {true, entry->value};
}

}  // namespace

MergePlan PlanMerge(const ProfileDocument& base, const ProfileDocument& now,
                    const std::vector<ProfileChange>& ours) {
    MergePlan plan;
    for (const ProfileChange& change : ours) {
        const LineState mine{true, change.value};
        const LineState before = StateOf(base, change);
        const LineState theirs = StateOf(now, change);
        if (mine == before) continue;  // set back to what the file held
        if (theirs == before || theirs == mine) {
            plan.write.push_back(change);
            continue;
        }
        plan.conflicts.push_back({change, theirs.present, theirs.value});
    }
    return plan;
}

}  // namespace qrtl::setup
