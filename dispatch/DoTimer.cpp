// The poll tick: one received (or typed) code from the receiver to the client.
#include <string>

#include "config/QRTLIRSet.h"
#include "dispatch/Dispatch.h"
#include "driver/CardDriverApi.h"
#include "trace/Trace.h"

int32_t g_bInDoTimer = 0;
int32_t g_bPowerShutdown = 0;
int32_t g_bPowerLaunch = 0;

namespace {

// The ids the trace viewer shows after the file's name: fixed numbers that readers
// of old traces know; they are no source lines.
constexpr int32_t kTraceIdDoTimer = 466;
constexpr int32_t kTraceIdIrCode = 485;
constexpr int32_t kTraceIdLookupResult = 488;

// Clears the in-progress flag on every way out of a tick that passed the guard.
class InDoTimerScope {
public:
    InDoTimerScope() { g_bInDoTimer = 1; }
    ~InDoTimerScope() { g_bInDoTimer = 0; }
    InDoTimerScope(const InDoTimerScope&) = delete;
    InDoTimerScope& operator=(const InDoTimerScope&) = delete;
};

}  // namespace

namespace dispatch {

bool ReadIrByte(qrtl::ICardReader& card, uint32_t& code) {
    // A read that leaves the preset untouched delivered nothing: a closed driver
    // library, or a driver that failed before writing.
    uint32_t value = kNoIrValue;
    card.ReadByte(carddriver::kIrDeviceAddress, carddriver::kIrSubAddress, &value);
    if (value == kNoIrValue) return false;
    code = value & 0xFFu;
    return true;
}

}  // namespace dispatch

void CQRTLIRSet::DoTimer(qrtl::IHistoryList* pHistoryList, std::string strByte, BOOL bFake) {
    // A message loop nested inside a tick (the snapshot failure box) must not start another.
    if (g_bInDoTimer) return;
    InDoTimerScope inDoTimer;

    TraceOut(kTraceFlow, kTraceFileSet, kTraceIdDoTimer, "DoTimer : Byte : %s, bFake : %d",
             strByte.c_str(), static_cast<int>(bFake));

    const bool bClientFound = FindTargetClientWindow() != qrtl::kNoWindow;

    g_bPowerShutdown = 0;
    g_bPowerLaunch = 0;

    // While the client runs with control off, the receiver belongs to the client.
    if (bClientFound && m_nControl == 0) return;

    std::string strIrCode;
    if (bFake) {
        strIrCode = strByte;
    } else {
        uint32_t code = 0;
        if (!dispatch::ReadIrByte(*m_services.card, code)) return;
        strIrCode = FormatIrCode(code);
    }

    TraceOut(kTraceIrCode, kTraceFileSet, kTraceIdIrCode, "IRCODE : %s", strIrCode.c_str());

    const auto entry = m_mapController.find(strIrCode);
    const bool bMapped = entry != m_mapController.end();
    if (bMapped) {
        TraceOut(kTraceIrCode, kTraceFileSet, kTraceIdLookupResult, "Lookup Result : %s, %s",
                 strIrCode.c_str(), entry->second.c_str());
        if (!bClientFound && entry->second == kPowerKeyName)
            WaitPowerConfirm(&g_bPowerShutdown, &g_bPowerLaunch);
    }

    if (g_bPowerLaunch) {
        g_bPowerShutdown = 0;
        g_bPowerLaunch = 0;
        LaunchClient();
    } else if (g_bPowerShutdown) {
        g_bPowerShutdown = 0;
        g_bPowerLaunch = 0;
        ApplyShutdownDecision();
    } else if (bMapped) {
        const std::string strHistory = LookUpKey(strIrCode);
        if (pHistoryList != nullptr) pHistoryList->InsertTop(strHistory);
    }
}
