#include "setup/LearnedCodes.h"

#include <algorithm>
#include <cstdint>

namespace qrtl::setup {

namespace {

// A name of up to 8 characters upper-cased into one number, so that a name is
// compared with each key's in one step: the checker asks for every line of a key
// map. The keys' names are upper case (and at most 6 long), so this is the
// profile's comparison.
std::uint64_t PackedUpper(std::string_view name) {
    std::uint64_t packed = 0;
    for (const char c : name)
        packed = packed << 8 | static_cast<unsigned char>((c >= 'a' && c <= 'z') ? c - 'a' + 'A' : c);
    return packed;
}

}  // namespace

int RemoteKeyIndex(std::string_view name) {
    struct Known {
        std::uint64_t packed;
        std::size_t size;
        int index;
    };
    // Ordered by the packed name, for a binary search.
    static const auto keys = [] {
        std::array<Known, kRemoteKeyCount> known;
        for (int i = 0; i < kRemoteKeyCount; ++i) {
            const std::string_view keyName = RemoteKeyNames[i];
            known[static_cast<std::size_t>(i)] = {PackedUpper(keyName), keyName.size(), i};
        }
        std::sort(known.begin(), known.end(), [](const Known& a, const Known& b) { return a.packed < b.packed; });
        return known;
    }();
    if (name.size() > sizeof(std::uint64_t)) return -1;
    const std::uint64_t packed = PackedUpper(name);
    const auto found = std::lower_bound(keys.begin(), keys.end(), packed,
                                        [](const Known& key, std::uint64_t value) { return key.packed < value; });
    return found != keys.end() && found->packed == packed && found->size == name.size() ? found->index : -1;
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
