// Where the client application's executable is: a folder from the registry
// and a file name from the profile.
#include "config/QRTLIRSet.h"

namespace {
constexpr std::size_t kMaxRegistryText = 255;
}

std::string CQRTLIRSet::GetClientExePath(int32_t nClient) {
    qrtl::IProfile& profile = *m_services.profile;
    const std::string regPath = ReadProfileString(profile, profile::kRegPath, m_strIniPath, nClient);
    const std::string regFolder =
        ReadProfileString(profile, profile::kRegFolder, m_strIniPath, nClient);
    const std::string exeName = ReadProfileString(profile, profile::kExeName, m_strIniPath, nClient);

    std::string folder;
    if (!m_services.registry->ReadMachineString(regPath, regFolder, folder)) return std::string();
    if (folder.size() > kMaxRegistryText) folder.resize(kMaxRegistryText);
    // Nothing is trimmed: a folder ending in a backslash gives two in a row.
    return folder + "\\" + exeName;
}
