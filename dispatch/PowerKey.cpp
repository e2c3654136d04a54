// The POWER key while no client runs: the prompt, the launch and the shutdown.
#include <string>

#include "config/QRTLIRSet.h"
#include "dispatch/Dispatch.h"

namespace {

constexpr uint32_t kPromptPassMs = 100;
constexpr int64_t kPromptSeconds = 2;  // the watch ends once more than this has elapsed

}  // namespace

void CQRTLIRSet::WaitPowerConfirm(int32_t* pbShutdown, int32_t* pbLaunch) {
    // The window is painted once and stays unrepainted: no messages are
    // dispatched while the thread watches the receiver.
    m_services.prompt->Show();

    const int64_t start = m_services.clock->NowSeconds();
    *pbShutdown = 0;
    *pbLaunch = 1;

    bool bDone = false;
    int64_t elapsed = 0;
    while (!bDone && elapsed <= kPromptSeconds) {
        m_services.clock->SleepMs(kPromptPassMs);

        uint32_t code = 0;
        const bool bRead = dispatch::ReadIrByte(*m_services.card, code);
        // A clock set back gives a negative count, which keeps the prompt up.
        elapsed = m_services.clock->NowSeconds() - start;

        if (bRead) {
            // Plain "%d" here, unlike the tick's "%02d": a code mapped as "05" is not seen.
            const auto entry = m_mapController.find(FormatPromptCode(code));
            // Checked before the time test, so a key in the last pass still decides.
            if (entry != m_mapController.end()) {
                bDone = true;
                *pbShutdown = entry->second == kPowerKeyName ? 1 : 0;
                *pbLaunch = 0;
            }
        }
    }

    m_services.prompt->Destroy();
}

void CQRTLIRSet::LaunchClient() {
    const std::string path = GetClientExePath(m_nDefaultClient);
    // Nothing to start when the client's installation cannot be found.
    if (path.empty()) return;
    m_services.launcher->Launch(path);
}

void CQRTLIRSet::ApplyShutdownDecision() {
    // Read anew at each use, so a change in the setup dialog applies at once.
    const int32_t bShutDown = profile::ReadInt(*m_services.profile, profile::kShutDown, m_strIniPath);
    if (bShutDown == 0) return;
    ShutdownWindows();
}

void CQRTLIRSet::ShutdownWindows() {
    // The driver library goes first, whether or not Windows then agrees to end.
    m_services.card->Close();
    m_bCardClosedForShutdown = 1;
    // A refused request leaves the program running: the remote must go on working.
    if (!m_services.shutdown->RequestShutdown(m_bWin9x != 0)) ReopenCardAfterShutdown();
}

void CQRTLIRSet::OnSessionEndCancelled() {
    // Another program (one with unsaved work, say) stopped the end of the session.
    if (m_bCardClosedForShutdown) ReopenCardAfterShutdown();
}

void CQRTLIRSet::ReopenCardAfterShutdown() {
    m_bCardClosedForShutdown = 0;
    m_services.card->Reopen();
}
