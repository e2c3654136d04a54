// What the owner's edits of one key do to the unsaved profile: an action chosen
// with Action..., and Clear of the key's code, its action or both. Each takes the
// key's name by value: the window works its rows out anew after every change, so
// a name borrowed from the old rows would not outlive the change.
#pragma once

#include <string>
#include <vector>

#include "setup/RemoteRows.h"

namespace qrtl::setup {

// What a key holds that Clear can remove.
struct KeyParts {
    bool code = false;    // a code in the controller's section
    bool action = false;  // a command in the active client's key map
};

enum class ClearPart { Code, Action, Both };

// The outcome of one edit, for the window to word.
struct KeyEdit {
    std::string key;        // "VOL+"
    bool changed = false;   // false: the key held that already, nothing was set
    KeyParts left;          // what the key holds after the edit
};

KeyParts PartsOf(const EditedProfile& profile, const std::string& key);

// Sets `command` (empty: no action) as `key`'s action in the active client's key map.
KeyEdit SetKeyAction(EditedProfile& profile, std::string key, std::string command);

// Removes `part` of what `key` holds; a part the key does not hold is left alone.
KeyEdit ClearKey(EditedProfile& profile, std::string key, ClearPart part);

// The action of `key` in words as `rows` show it; empty when the key is not there.
std::string ActionInRows(const std::vector<KeyRow>& rows, const std::string& key);

}  // namespace qrtl::setup
