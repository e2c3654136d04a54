// Which keys get the application's suggested command and which keep their own:
// the one rule of the set-up window's Fill and of QRTLProfile commands --write.
// An action the owner chose is never replaced.
#pragma once

#include <string>
#include <vector>

#include "config/ProfileReader.h"
#include "setup/AppCommands.h"

namespace qrtl::setup {

struct FillKey {
    std::string key;      // "VOL+"
    std::string command;  // filled: the suggestion; kept: the command it has
};

struct FillPlan {
    std::vector<FillKey> filled;  // keys without a command, in the suggestions' order
    std::vector<FillKey> kept;    // keys with a command, which stays
    bool Empty() const { return filled.empty(); }
};

// The plan for key-map section `section` of `profile`.
FillPlan PlanFill(const std::vector<Suggestion>& suggestions, const ProfileDocument& profile,
                  const std::string& section);

}  // namespace qrtl::setup
