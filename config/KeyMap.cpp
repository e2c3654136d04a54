// The loading of the two key maps.
#include "config/QRTLIRSet.h"

void CQRTLIRSet::LoadKeyMap(const std::string& strSection,
                            std::unordered_map<std::string, std::string>& map,
                            int32_t bValueAsKey) {
    qrtl::IProfile& profile = *m_services.profile;
    // The map is not emptied: entries add to it, and an existing key is overwritten.
    for (const char* name : RemoteKeyNames) {
        std::string value = ReadProfileString(profile, strSection, name, m_strIniPath);
        if (bValueAsKey)
            map[value] = name;
        else
            map[name] = std::move(value);
    }
}
