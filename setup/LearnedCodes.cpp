#include "setup/LearnedCodes.h"

namespace qrtl::setup {

int RemoteKeyIndex(std::string_view name) {
    for (int i = 0; i < kRemoteKeyCount; ++i)
        if (ProfileNameEquals(name, RemoteKeyNames[i])) return i;
    return -1;
}

LearnedCodes::LearnedCodes(const ProfileDocument& profile) {
    // Read as the monitor reads it: the stored text, quotes and the 255-character cut.
    for (int i = 0; i < kRemoteKeyCount; ++i)
        original_[i] = codes_[i] = profile.GetString(profile::kControllerSection, RemoteKeyNames[i]);
}

int LearnedCodes::HolderOf(const std::string& codeText, int index) const {
    if (codeText.empty()) return -1;
    for (int i = 0; i < kRemoteKeyCount; ++i)
        if (i != index && codes_[i] == codeText) return i;
    return -1;
}

LearnedCodes::Result LearnedCodes::Assign(int index, const std::string& codeText, bool takeOver) {
    Result result;
    result.holder = HolderOf(codeText, index);
    if (result.holder >= 0) {
        if (!takeOver) {
            result.outcome = Outcome::Taken;
            return result;
        }
        // Every other key with the code loses it: the monitor maps a code to one key.
        for (int i = 0; i < kRemoteKeyCount; ++i)
            if (i != index && codes_[i] == codeText) codes_[i].clear();
        codes_[index] = codeText;
        result.outcome = Outcome::TakenOver;
        return result;
    }
    result.outcome = codes_[index] == codeText ? Outcome::Same : Outcome::Learned;
    codes_[index] = codeText;
    return result;
}

void LearnedCodes::Clear(int index) { codes_.at(index).clear(); }

std::vector<int> LearnedCodes::LearnAllOrder(int first) const {
    std::vector<int> without;
    std::vector<int> every;
    for (int i = first < 0 ? 0 : first; i < kRemoteKeyCount; ++i) {
        every.push_back(i);
        if (codes_[i].empty()) without.push_back(i);
    }
    return without.empty() ? every : without;
}

std::vector<ProfileChange> LearnedCodes::Changes() const {
    std::vector<ProfileChange> changes;
    for (int i = 0; i < kRemoteKeyCount; ++i)
        if (codes_[i] != original_[i]) changes.push_back({profile::kControllerSection, RemoteKeyNames[i], codes_[i]});
    return changes;
}

}  // namespace qrtl::setup
