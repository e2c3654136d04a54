#include "setup/ProfileMerge.h"

#include <algorithm>
#include <map>
#include <set>

namespace qrtl::setup {

namespace {

// A line as the monitor reads it: present or not, and its value.
struct LineState {
    bool present = false;
    std::string value;
    bool operator==(const LineState& other) const {
        return present == other.present && (!present || value == other.value);
    }
    bool operator!=(const LineState& other) const { return !(*this == other); }
};

std::string Lower(const std::string& name) {
    std::string lower = name;
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

LineState StateOf(const ProfileDocument& document, const std::string& section, const std::string& key) {
    const ProfileDocument::Entry* entry = document.Find(section, key);
    if (entry == nullptr || !entry->hasValue) return {};
    return {true, entry->value};
}

// The same lines, in the same order, names compared as the profile functions do.
bool SameSection(const ProfileDocument::Section* a, const ProfileDocument::Section* b) {
    if (a == nullptr || b == nullptr) return a == b;
    return a->entries.size() == b->entries.size() &&
           std::equal(a->entries.begin(), a->entries.end(), b->entries.begin(),
                      [](const ProfileDocument::Entry& x, const ProfileDocument::Entry& y) {
                          return ProfileNameEquals(x.key, y.key) && x.hasValue == y.hasValue && x.value == y.value;
                      });
}

std::string SectionLines(const ProfileDocument::Section& section) {
    std::string lines;
    for (const ProfileDocument::Entry& entry : section.entries) {
        if (!lines.empty()) lines += ", ";
        lines += entry.hasValue ? entry.key + "=" + entry.value : entry.key;
    }
    return lines;
}

// The base with the writer's earlier changes applied, as far as the plan needs it.
class AppliedBase {
public:
    explicit AppliedBase(const ProfileDocument& base) : base_(base) {}

    LineState Line(const std::string& section, const std::string& key) const {
        const auto changed = lines_.find(Lower(section) + '\n' + Lower(key));
        if (changed != lines_.end()) return changed->second;
        if (removed_.count(Lower(section)) != 0) return {};
        return StateOf(base_, section, key);
    }
    // Whether the section has a header or a line after the earlier changes.
    bool HasSection(const std::string& section) const {
        const std::string prefix = Lower(section) + '\n';
        for (auto it = lines_.lower_bound(prefix); it != lines_.end() && it->first.compare(0, prefix.size(), prefix) == 0;
             ++it)
            if (it->second.present) return true;
        return removed_.count(Lower(section)) == 0 && base_.FindSection(section) != nullptr;
    }
    void Apply(const ProfileChange& change) {
        const std::string section = Lower(change.section);
        if (change.kind == ChangeKind::RemoveSection) {
            removed_.insert(section);
            const std::string prefix = section + '\n';
            auto it = lines_.lower_bound(prefix);
            while (it != lines_.end() && it->first.compare(0, prefix.size(), prefix) == 0) it = lines_.erase(it);
            return;
        }
        lines_[section + '\n' + Lower(change.key)] =
            change.kind == ChangeKind::Set ? LineState{true, change.value} : LineState{};
    }

private:
    const ProfileDocument& base_;
    std::map<std::string, LineState> lines_;  // lower-cased "section\nkey"
    std::set<std::string> removed_;           // lower-cased names of removed sections
};

}  // namespace

MergePlan PlanMerge(const ProfileDocument& base, const ProfileDocument& now,
                    const std::vector<ProfileChange>& ours) {
    MergePlan plan;
    AppliedBase before(base);
    for (std::size_t i = 0; i < ours.size(); ++i) {
        const ProfileChange& change = ours[i];
        bool changes = false;
        bool theirsChanged = false;
        bool theirsAgree = false;
        MergeConflict conflict{change, false, {}, i};
        if (change.kind == ChangeKind::RemoveSection) {
            const ProfileDocument::Section* atBase = base.FindSection(change.section);
            const ProfileDocument::Section* atNow = now.FindSection(change.section);
            changes = before.HasSection(change.section);
            theirsChanged = !SameSection(atBase, atNow);
            theirsAgree = atNow == nullptr;
            conflict.theirsPresent = atNow != nullptr;
            if (atNow != nullptr) conflict.theirs = SectionLines(*atNow);
        } else {
            const LineState mine =
                change.kind == ChangeKind::Set ? LineState{true, change.value} : LineState{};
            const LineState theirs = StateOf(now, change.section, change.key);
            changes = mine != before.Line(change.section, change.key);
            // The other writer is judged against the file as both read it.
            theirsChanged = theirs != StateOf(base, change.section, change.key);
            theirsAgree = theirs == mine;
            conflict.theirsPresent = theirs.present;
            conflict.theirs = theirs.value;
        }
        before.Apply(change);
        if (!changes) continue;  // the file held it already
        if (!theirsChanged || theirsAgree) {
            plan.write.push_back(change);
            plan.writeIndex.push_back(i);
        } else {
            plan.conflicts.push_back(std::move(conflict));
        }
    }
    return plan;
}

std::vector<ProfileChange> ChangesToWrite(const MergePlan& plan,
                                          const std::function<bool(const MergeConflict&)>& keepOurs) {
    std::vector<std::pair<std::size_t, ProfileChange>> ordered;
    for (std::size_t k = 0; k < plan.write.size(); ++k)
        ordered.emplace_back(k < plan.writeIndex.size() ? plan.writeIndex[k] : k, plan.write[k]);
    for (const MergeConflict& conflict : plan.conflicts)
        if (keepOurs(conflict)) ordered.emplace_back(conflict.index, conflict.ours);
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<ProfileChange> changes;
    for (auto& entry : ordered) changes.push_back(std::move(entry.second));
    return changes;
}

}  // namespace qrtl::setup
