// The configuration object: the profile path and the loading of every setting
// at start-up.
#include "config/QRTLIRSet.h"

namespace {

// Record sizes of OSVERSIONINFOEXA and of the older OSVERSIONINFOA.
constexpr uint32_t kVersionInfoExSize = 156;
constexpr uint32_t kVersionInfoSize = 148;

constexpr const char kProfileExtension[] = "INI";

}  // namespace

std::string ProfilePathOf(const std::string& exePath) {
    // Only the last dot of the whole path counts: a dot in a folder name plays no part.
    std::string path = exePath;
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos)
        path += '.';
    else
        path.resize(dot + 1);
    return path + kProfileExtension;
}

void CQRTLIRSet::SetServices(const qrtl::Services& services) { m_services = services; }

void CQRTLIRSet::LoadProfile() {
    qrtl::IProfile& profile = *m_services.profile;
    qrtl::IModule& module = *m_services.module;

    m_strIniPath = ProfilePathOf(module.FileName());

    m_nDefaultClient = profile::ReadInt(profile, profile::kDefaultClient, m_strIniPath);
    const int32_t n = m_nDefaultClient;

    m_strItem = ReadProfileString(profile, profile::kItem, m_strIniPath, n);
    m_strCaption = ReadProfileString(profile, profile::kCaption, m_strIniPath, n);
    m_strClassName = ReadProfileString(profile, profile::kClassName, m_strIniPath, n);

    m_nChild0 = profile::ReadInt(profile, profile::kChild0, m_strIniPath, n);
    m_nChild1 = profile::ReadInt(profile, profile::kChild1, m_strIniPath, n);
    m_nChild2 = profile::ReadInt(profile, profile::kChild2, m_strIniPath, n);
    m_nControl = profile::ReadInt(profile, profile::kControl, m_strIniPath, n);

    // The descriptions have fixed names: the setup dialog offers all three.
    m_astrExeDesc.assign(profile::kClientSlots, std::string());
    for (int i = 0; i < profile::kClientSlots; ++i)
        m_astrExeDesc[static_cast<std::size_t>(i)] =
            ReadProfileString(profile, profile::kExeDesc, m_strIniPath, i);

    m_bShowMainWindow = profile::ReadInt(profile, profile::kShowMainWindow, m_strIniPath);
    m_nTimer = profile::ReadInt(profile, profile::kTimer, m_strIniPath);

    LoadKeyMap(profile::kControllerSection, m_mapController, 1);
    LoadKeyMap(profile::kClientSectionPrefix + m_strItem, m_mapClient, 0);

    // A system that answers neither record is taken for the 9x family.
    m_bWin9x = 1;
    uint32_t platformId = 0;
    if (module.GetVersion(kVersionInfoExSize, platformId) ||
        module.GetVersion(kVersionInfoSize, platformId))
        m_bWin9x = (platformId == qrtl::kPlatformWin32Windows) ? 1 : 0;
}
