// The profile keys' names and the reads every setting goes through.
#include "config/ProfileKeys.h"

namespace {
// The profile text buffer holds 256 bytes, so at most 255 characters arrive.
constexpr std::size_t kMaxProfileText = 255;
}  // namespace

namespace profile {

std::string KeyName(const Key& key, int32_t nClient) {
    if (!key.bPerClient) return key.name;
    return std::to_string(nClient) + "_" + key.name;
}

int32_t ReadInt(qrtl::IProfile& profile, const Key& key, const std::string& path, int32_t nClient) {
    return profile.GetInt(key.section, KeyName(key, nClient), key.def, path);
}

}  // namespace profile

std::string ReadProfileString(qrtl::IProfile& profile, const std::string& section,
                              const std::string& key, const std::string& path) {
    std::string value = profile.GetString(section, key, std::string(), path);
    // Bounded here as well, whatever the profile implementation hands back.
    if (value.size() > kMaxProfileText) value.resize(kMaxProfileText);
    return value;
}

std::string ReadProfileString(qrtl::IProfile& profile, const profile::Key& key,
                              const std::string& path, int32_t nClient) {
    return ReadProfileString(profile, key.section, profile::KeyName(key, nClient), path);
}
