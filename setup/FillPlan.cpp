#include "setup/FillPlan.h"

namespace qrtl::setup {

FillPlan PlanFill(const std::vector<Suggestion>& suggestions, const ProfileDocument& profile,
                  const std::string& section) {
    FillPlan plan;
    for (const Suggestion& s : suggestions) {
        // The value as the monitor reads it, so that what it would ignore counts as none.
        const std::string existing = profile.GetString(section, s.key);
        if (existing.empty())
            plan.filled.push_back({s.key, s.best.commandText});
        else
            plan.kept.push_back({s.key, existing});
    }
    return plan;
}

}  // namespace qrtl::setup
