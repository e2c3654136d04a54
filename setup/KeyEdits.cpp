#include "setup/KeyEdits.h"

#include "config/ProfileKeys.h"

namespace qrtl::setup {

KeyParts PartsOf(const EditedProfile& profile, const std::string& key) {
    KeyParts parts;
    parts.code = !profile.Get(profile::kControllerSection, key).empty();
    parts.action = !profile.Get(profile.ClientSection(), key).empty();
    return parts;
}

KeyEdit SetKeyAction(EditedProfile& profile, std::string key, std::string command) {
    KeyEdit edit;
    edit.key = std::move(key);
    const std::string section = profile.ClientSection();
    if (profile.Get(section, edit.key) != command) {
        profile.Set(section, edit.key, command);
        edit.changed = true;
    }
    edit.left = PartsOf(profile, edit.key);
    return edit;
}

KeyEdit ClearKey(EditedProfile& profile, std::string key, ClearPart part) {
    KeyEdit edit;
    edit.key = std::move(key);
    const KeyParts held = PartsOf(profile, edit.key);
    if (part != ClearPart::Action && held.code) {
        profile.Set(profile::kControllerSection, edit.key, "");
        edit.changed = true;
    }
    if (part != ClearPart::Code && held.action) {
        profile.Set(profile.ClientSection(), edit.key, "");
        edit.changed = true;
    }
    edit.left = PartsOf(profile, edit.key);
    return edit;
}

std::string ActionInRows(const std::vector<KeyRow>& rows, const std::string& key) {
    for (const KeyRow& row : rows)
        if (row.name == key) return row.action;
    return {};
}

}  // namespace qrtl::setup
