// The configuration-and-dispatch object: every setting of the profile file and
// every operation of the remote key dispatch. The monitor makes one; the set-up
// tools make more, each over given profile lines and services of its own (to
// judge a profile, to prove client lines, to send a test key). The dispatch's
// flags (dispatch/Dispatch.h) are the process's, shared by every instance.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "config/ProfileKeys.h"
#include "config/RemoteCodes.h"
#include "platform/Platform.h"

// Code text to key name, and key name to command text; exact, case-sensitive keys.
using ControllerKeyMap = std::unordered_map<std::string, std::string>;
using ClientKeyMap = std::unordered_map<std::string, std::string>;

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

// The profile of the executable at `exePath`: its path with the text after the last
// dot replaced by "INI".
std::string ProfilePathOf(const std::string& exePath);

// Whether `path` lies inside `folder` (a path without a trailing backslash): the
// names compared without regard to case, on whole folder names ("C:\Program
// Files" does not hold "C:\Program Files Extra\x.exe").
bool IsInsideFolder(const std::string& path, const std::string& folder);

// The one configuration object of the program.
extern CQRTLIRSet theSet;
