// One line a set-up writer puts into the profile: the window's unsaved changes,
// the client lines, the learned codes and the filled actions all travel as this.
#pragma once

#include <string>

namespace qrtl::setup {

// What a change does to its key.
enum class ChangeKind {
    Set,            // KEY=value (an empty value keeps the key, without a value)
    RemoveKey,      // the key's line goes
    RemoveSection,  // the section's header and its lines go (`key` is empty)
};

struct ProfileChange {
    std::string section;
    std::string key;
    std::string value;  // empty: "KEY=" (the key stays, without a value)
    ChangeKind kind = ChangeKind::Set;

    bool operator==(const ProfileChange& other) const {
        return section == other.section && key == other.key && value == other.value && kind == other.kind;
    }
};

}  // namespace qrtl::setup
