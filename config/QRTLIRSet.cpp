// The configuration object: the profile path, the loading of every setting at
// start-up, and the one text read that all profile reads go through.
#include "config/QRTLIRSet.h"

namespace {

// The profile text buffer holds 256 bytes, so at most 255 characters arrive.
constexpr std::size_t kMaxProfileText = 255;

// Record sizes of OSVERSIONINFOEXA and of the older OSVERSIONINFOA.
constexpr uint32_t kVersionInfoExSize = 156;
constexpr uint32_t kVersionInfoSize = 148;

constexpr int32_t kDefaultClient = 0;
constexpr int32_t kDefaultTimerMs = 3000;
constexpr int kExeDescCount = 3;

constexpr const char kProfileExtension[] = "INI";

}  // namespace

std::string ClientKey(int32_t nClient, const char* name) {
    return std::to_string(nClient) + "_" + name;
}

std::string ReadProfileString(qrtl::IProfile& profile, const std::string& section,
                              const std::string& key, const std::string& path) {
    std::string value = profile.GetString(section, key, std::string(), path);
    // Bounded here as well, whatever the profile implementation hands back.
    if (value.size() > kMaxProfileText) value.resize(kMaxProfileText);
    return value;
}

void CQRTLIRSet::SetServices(const qrtl::Services& services) { m_services = services; }

void CQRTLIRSet::LoadProfile() {
    qrtl::IProfile& profile = *m_services.profile;
    qrtl::IModule& module = *m_services.module;

    // Only the last dot of the whole path counts: a dot in a folder name plays no part.
    std::string path = module.FileName();
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos)
        path += '.';
    else
        path.resize(dot + 1);
    m_strIniPath = path + kProfileExtension;

    m_nDefaultClient = profile.GetInt(profile::kClient, "Default", kDefaultClient, m_strIniPath);
    const int32_t n = m_nDefaultClient;

    m_strItem = ReadProfileString(profile, profile::kClient, ClientKey(n, "Item"), m_strIniPath);
    m_strCaption =
        ReadProfileString(profile, profile::kClient, ClientKey(n, "Caption"), m_strIniPath);
    m_strClassName =
        ReadProfileString(profile, profile::kClient, ClientKey(n, "ClassName"), m_strIniPath);

    m_nChild0 = profile.GetInt(profile::kClient, ClientKey(n, "Child0"), 0, m_strIniPath);
    m_nChild1 = profile.GetInt(profile::kClient, ClientKey(n, "Child1"), 0, m_strIniPath);
    m_nChild2 = profile.GetInt(profile::kClient, ClientKey(n, "Child2"), 0, m_strIniPath);
    m_nControl = profile.GetInt(profile::kClient, ClientKey(n, "Control"), 0, m_strIniPath);

    // The descriptions have fixed names: the setup dialog offers all three.
    m_astrExeDesc.assign(kExeDescCount, std::string());
    for (int i = 0; i < kExeDescCount; ++i)
        m_astrExeDesc[static_cast<std::size_t>(i)] =
            ReadProfileString(profile, profile::kClient, ClientKey(i, "ExeDesc"), m_strIniPath);

    m_bShowMainWindow = profile.GetInt(profile::kMain, "ShowMainWindow", 0, m_strIniPath);
    m_nTimer = profile.GetInt(profile::kMain, "Timer", kDefaultTimerMs, m_strIniPath);

    LoadKeyMap(profile::kControllerSection, m_mapController, 1);
    LoadKeyMap(profile::kClientSectionPrefix + m_strItem, m_mapClient, 0);

    // A system that answers neither record is taken for the 9x family.
    m_bWin9x = 1;
    uint32_t platformId = 0;
    if (module.GetVersion(kVersionInfoExSize, platformId) ||
        module.GetVersion(kVersionInfoSize, platformId))
        m_bWin9x = (platformId == qrtl::kPlatformWin32Windows) ? 1 : 0;
}
