// One line a set-up writer puts into the profile: the window's unsaved changes,
// the client lines, the learned codes and the filled actions all travel as this.
#pragma once

#include <string>

namespace qrtl::setup {

struct ProfileChange {
    std::string section;
    std::string key;
    std::string value;  // empty: "KEY=" (the key stays, without a value)

    bool operator==(const ProfileChange& other) const {
        return section == other.section && key == other.key && value == other.value;
    }
};

}  // namespace qrtl::setup
