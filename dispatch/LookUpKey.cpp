// Client command delivery: a code text through both key maps to a posted message.
#include <string>

#include "config/QRTLIRSet.h"
#include "trace/Trace.h"

namespace {

// The ids the trace viewer shows after the file's name: fixed numbers that readers
// of old traces know; they are no source lines.
constexpr int32_t kTraceIdLookUpKey = 301;
constexpr int32_t kTraceIdKey = 310;
constexpr int32_t kTraceIdPostFailed = 311;

constexpr char kNoClientSuffix[] = " NoClientFound!";

}  // namespace

BOOL CQRTLIRSet::GetClientCommand(std::string strCode, std::string& strCommand) {
    strCommand = strCode;
    const auto key = m_mapController.find(strCode);
    if (key == m_mapController.end()) return 0;
    const auto command = m_mapClient.find(key->second);
    if (command == m_mapClient.end()) return 0;
    strCommand = command->second;
    return 1;
}

std::string CQRTLIRSet::LookUpKey(std::string strCode) {
    // The window is searched again here: the tick's earlier result is never reused.
    if (FindTargetClientWindow() == qrtl::kNoWindow) return strCode + kNoClientSuffix;

    std::string strCommand;
    if (!GetClientCommand(strCode, strCommand)) return strCode;

    TraceOut(kTraceFlow, kTraceFileSet, kTraceIdLookUpKey, "LookUpKey : %s", strCommand.c_str());

    const CommandText parsed = ParseCommandText(strCommand);
    if (parsed.bLongEnough) {
        const uint32_t bits = static_cast<uint32_t>(parsed.number);
        TraceOut(kTraceFlow, kTraceFileSet, kTraceIdKey, "KEY : %02X", static_cast<unsigned>(bits));

        uint32_t error = 0;
        if (strCommand[0] == kCommandMarker) {
            error = m_services.desktop->Post(m_hWndClient, kWmCommand,
                                             (bits & kCommandIdMask) | kAcceleratorNotify, 0);
        } else if (strCommand[0] == kKeyDownMarker) {
            error = m_services.desktop->Post(m_hWndClient, kWmKeyDown, bits & kVirtualKeyMask, 0);
        }
        // Nothing waits for the client, but a refused post is named: the system drops
        // messages to a program run as administrator (error 5), and the owner would
        // otherwise see keys in the trace that never arrive. The history is the same.
        if (error != 0)
            TraceOut(kTraceFlow, kTraceFileSet, kTraceIdPostFailed, "PostMessage Failed : %u",
                     static_cast<unsigned>(error));
        strCommand = strCode + strCommand;
    }
    return strCommand;
}
