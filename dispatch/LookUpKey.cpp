// Client command delivery: a code text through both key maps to a posted message.
#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>

#include "config/QRTLIRSet.h"
#include "trace/Trace.h"

namespace {

constexpr int32_t kLineLookUpKey = 301;
constexpr int32_t kLineKey = 310;
constexpr int32_t kLinePostFailed = 311;

constexpr std::size_t kCommandBuffer = 256;   // the command text's read limit plus its zero
constexpr std::size_t kShortestCommand = 3;   // a marker and at least two characters
constexpr uint32_t kAcceleratorNotify = 0x10000;  // high word 1: the command came from an accelerator
constexpr char kNoClientSuffix[] = " NoClientFound!";

}  // namespace

// The number after the marker, read exactly as base-16 strtol reads it. `long` is
// 64 bits wide on some platforms, so the value is clamped to the signed 32-bit range
// that a 32-bit strtol would saturate to.
CommandText ParseCommandText(const std::string& strCommand) {
    CommandText parsed;
    if (strCommand.size() < kShortestCommand) return parsed;
    parsed.bLongEnough = true;
    parsed.marker = strCommand[0];

    char buffer[kCommandBuffer];
    const std::size_t n = std::min(strCommand.size() - 1, kCommandBuffer - 1);
    std::memcpy(buffer, strCommand.data() + 1, n);
    buffer[n] = '\0';
    parsed.nDigits = std::strlen(buffer);

    char* end = buffer;
    const long value = std::strtol(buffer, &end, 16);
    parsed.nParsed = static_cast<std::size_t>(end - buffer);
    if (value > static_cast<long>(INT32_MAX))
        parsed.number = INT32_MAX;
    else if (value < static_cast<long>(INT32_MIN))
        parsed.number = INT32_MIN;
    else
        parsed.number = static_cast<int32_t>(value);
    return parsed;
}

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

    TraceOut(kTraceFlow, kTraceFileSet, kLineLookUpKey, "LookUpKey : %s", strCommand.c_str());

    const CommandText parsed = ParseCommandText(strCommand);
    if (parsed.bLongEnough) {
        const uint32_t bits = static_cast<uint32_t>(parsed.number);
        TraceOut(kTraceFlow, kTraceFileSet, kLineKey, "KEY : %02X", static_cast<unsigned>(bits));

        uint32_t error = 0;
        if (strCommand[0] == kCommandMarker) {
            error = m_services.desktop->Post(m_hWndClient, kWmCommand,
                                             (bits & 0xFFFFu) | kAcceleratorNotify, 0);
        } else if (strCommand[0] == kKeyDownMarker) {
            error = m_services.desktop->Post(m_hWndClient, kWmKeyDown, bits & 0xFFu, 0);
        }
        // Nothing waits for the client, but a refused post is named: the system drops
        // messages to a program run as administrator (error 5), and the owner would
        // otherwise see keys in the trace that never arrive. The history is the same.
        if (error != 0)
            TraceOut(kTraceFlow, kTraceFileSet, kLinePostFailed, "PostMessage Failed : %u",
                     static_cast<unsigned>(error));
        strCommand = strCode + strCommand;
    }
    return strCommand;
}
