// The remote key names and the loading of the two key maps.
#include "config/QRTLIRSet.h"

// Loading order: a later name wins a code that several names share.
const char* const RemoteKeyNames[kRemoteKeyCount] = {
    "POWER",  "ZOOM",   "SCAN",   "TVFMSW", "SWITCH", "VOL+", "VOL-", "CH+",  "CH-",
    "MUTE",   "REVIEW", "RESET+", "RESET-", "FREZE+", "FREZE-", "FUNC", "BTN0", "BTN1",
    "BTN2",   "BTN3",   "BTN4",   "BTN5",   "BTN6",   "BTN7", "BTN8", "BTN9", "BTN100",
};

const char* const RemoteKeyLegend[kRemoteKeyCount] = {
    "power on / off",   "zoom",         "scan channels", "TV / FM radio", "switch video source",
    "volume up",        "volume down",  "channel up",    "channel down",  "mute",
    "previous channel", "reset +",      "reset -",       "freeze picture", "live picture",
    "function / menu",  "digit 0",      "digit 1",       "digit 2",       "digit 3",
    "digit 4",          "digit 5",      "digit 6",       "digit 7",       "digit 8",
    "digit 9",          "100+ (three-digit channel)",
};

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
