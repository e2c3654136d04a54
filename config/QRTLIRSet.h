// The configuration-and-dispatch object: every setting of the profile file and
// every operation of the remote key dispatch. Exactly one instance exists.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/Platform.h"

// Code text to key name, and key name to command text; exact, case-sensitive keys.
using ControllerKeyMap = std::unordered_map<std::string, std::string>;
using ClientKeyMap = std::unordered_map<std::string, std::string>;

// The 27 remote key names in loading order; a later name wins a shared code.
constexpr int kRemoteKeyCount = 27;
extern const char* const RemoteKeyNames[kRemoteKeyCount];

// Profile sections and keys.
namespace profile {
constexpr const char kMain[] = "Main";
constexpr const char kClient[] = "Client";
constexpr const char kControllerSection[] = "KeyMap_Controler";
constexpr const char kClientSectionPrefix[] = "KeyMap_";
}  // namespace profile

// The receiver's I2C address of the last infrared code.
constexpr int32_t kIrDeviceAddress = 0x64;
constexpr int32_t kIrSubAddress = 0;

// Window messages the dispatch posts to the client.
constexpr uint32_t kWmKeyDown = 0x0100;
constexpr uint32_t kWmCommand = 0x0111;

// Process-wide dispatch flags.
extern int32_t g_bInDoTimer;
extern int32_t g_bPowerShutdown;
extern int32_t g_bPowerLaunch;

// A received receiver byte as code text: "%02d", "00" to "255".
std::string FormatIrCode(uint32_t code);

// "%d_Name" of the [Client] keys for client index `nClient` ("-1_Item" for -1).
std::string ClientKey(int32_t nClient, const char* name);

// A command text as the client command delivery reads it: a marker, then a number
// in base 16 read as strtol reads it.
constexpr char kCommandMarker = '#';  // WM_COMMAND, the number's low 16 bits
constexpr char kKeyDownMarker = '*';  // WM_KEYDOWN, the number's low 8 bits
struct CommandText {
    bool bLongEnough = false;     // a marker and at least two more characters
    char marker = 0;
    int32_t number = 0;           // saturated to the signed 32-bit range
    std::size_t nDigits = 0;      // characters after the marker (up to the read limit)
    std::size_t nParsed = 0;      // of those, how many the base-16 read consumed
};
CommandText ParseCommandText(const std::string& strCommand);

// One text value of the profile: empty default, at most 255 characters.
std::string ReadProfileString(qrtl::IProfile& profile, const std::string& section,
                              const std::string& key, const std::string& path);

// Finds the process that owns `hWnd` in a snapshot of `desktop` and copies its
// executable name (at most 255 characters) into `pszExeName`, a 256-character buffer.
BOOL FoundAtProcessName(qrtl::IDesktop& desktop, qrtl::WindowHandle hWnd, char* pszExeName);

// Enumeration callback of the second search strategy; lParam carries the object.
BOOL EnumClientWindowProc(qrtl::WindowHandle hWnd, std::intptr_t lParam);

class CQRTLIRSet {
public:
    CQRTLIRSet() = default;
    virtual ~CQRTLIRSet() = default;

    CQRTLIRSet(const CQRTLIRSet&) = delete;
    CQRTLIRSet& operator=(const CQRTLIRSet&) = delete;

    // The platform the object works through; set once before LoadProfile.
    void SetServices(const qrtl::Services& services);
    const qrtl::Services& Services() const { return m_services; }

    // Configuration.
    void LoadProfile();
    void LoadKeyMap(const std::string& strSection,
                    std::unordered_map<std::string, std::string>& map, int32_t bValueAsKey);
    std::string GetClientExePath(int32_t nClient);
    // What SetAutoRun did.
    enum class AutoRun {
        Done,               // the Run value was written, or removed from every key
        NotWritten,         // no key could take the value
        MachineValueStays,  // a value under HKEY_LOCAL_MACHINE cannot be removed here
    };
    AutoRun SetAutoRun(BOOL bSet);
    // The words for AutoRun::MachineValueStays: who must remove which value.
    static std::string MachineRunValueStaysText();

    // Dispatch.
    void DoTimer(qrtl::IHistoryList* pHistoryList, std::string strByte, BOOL bFake);
    BOOL GetClientCommand(std::string strCode, std::string& strCommand);
    std::string LookUpKey(std::string strCode);
    qrtl::WindowHandle FindTargetClientWindow();
    qrtl::WindowHandle FindWindowByProfile();
    void WaitPowerConfirm(int32_t* pbShutdown, int32_t* pbLaunch);
    void ShutdownWindows();
    // The session end that a shutdown asked for was cancelled (WM_ENDSESSION with
    // FALSE): the card driver closed for it is opened again. Nothing otherwise.
    void OnSessionEndCancelled();

    // Members, in this order.
    std::string m_strIniPath;
    std::string m_strItem;
    std::string m_strCaption;
    std::string m_strClassName;
    int32_t m_nChild0 = 0;
    int32_t m_nChild1 = 0;
    int32_t m_nChild2 = 0;
    int32_t m_nControl = 0;
    int32_t m_nTimer = 0;
    int32_t m_nDefaultClient = 0;
    qrtl::WindowHandle m_hWndClient = qrtl::kNoWindow;
    ControllerKeyMap m_mapController;
    ClientKeyMap m_mapClient;
    int32_t m_bShowMainWindow = 0;
    std::vector<std::string> m_astrExeDesc;
    int32_t m_bWin9x = 0;

private:
    bool RemoveMachineRunValue();
    bool MachineRunValueIs(const std::string& data);
    AutoRun WriteUserRunValue(const std::string& data);
    void LaunchClient();
    void ApplyShutdownDecision();
    void ReopenCardAfterShutdown();

    qrtl::Services m_services;
    int32_t m_bCardClosedForShutdown = 0;
};

// Whether `path` lies inside `folder` (a path without a trailing backslash): the
// names compared without regard to case, on whole folder names ("C:\Program
// Files" does not hold "C:\Program Files Extra\x.exe").
bool IsInsideFolder(const std::string& path, const std::string& folder);

// The one configuration object of the program.
extern CQRTLIRSet theSet;
