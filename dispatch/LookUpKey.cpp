// Client command delivery: a code text through both key maps to a posted message.
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>

#include "config/QRTLIRSet.h"
#include "trace/Trace.h"

namespace {

constexpr int32_t kLineLookUpKey = 301;
constexpr int32_t kLineKey = 310;

constexpr std::size_t kCommandBuffer = 256;   // the command text's read limit plus its zero
constexpr std::size_t kShortestCommand = 3;   // a marker and at least two characters
constexpr char kCommandMarker = '#';
constexpr char kKeyDownMarker = '*';
constexpr uint32_t kAcceleratorNotify = 0x10000;  // high word 1: the command came from an accelerator
constexpr char kNoClientSuffix[] = " NoClientFound!";

// The number after the marker, read exactly as base-16 strtol reads it. `long` is
// 64 bits wide on some platforms, so the value is clamped to the signed 32-bit range
// that a 32-bit strtol would saturate to.
int32_t ParseCommandNumber(const std::string& digits) {
    char buffer[kCommandBuffer];
    const std::size_t n = digits.size() < kCommandBuffer - 1 ? digits.size() : kCommandBuffer - 1;
    std::memcpy(buffer, digits.data(), n);
    buffer[n] = '\0';

    const long value = std::strtol(buffer, nullptr, 16);
    if (value > static_cast<long>(INT32_MAX)) return INT32_MAX;
    if (value < static_cast<long>(INT32_MIN)) return INT32_MIN;
    return static_cast<int32_t>(value);
}

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

    TraceOut(kTraceFlow, kTraceFileSet, kLineLookUpKey, "LookUpKey : %s", strCommand.c_str());

    if (strCommand.size() >= kShortestCommand) {
        const int32_t number = ParseCommandNumber(strCommand.substr(1));
        const uint32_t bits = static_cast<uint32_t>(number);
        TraceOut(kTraceFlow, kTraceFileSet, kLineKey, "KEY : %02X", static_cast<unsigned>(bits));

        // The post's result is not acted on: the message is posted and forgotten.
        if (strCommand[0] == kCommandMarker) {
            m_services.desktop->Post(m_hWndClient, kWmCommand, (bits & 0xFFFFu) | kAcceleratorNotify, 0);
        } else if (strCommand[0] == kKeyDownMarker) {
            m_services.desktop->Post(m_hWndClient, kWmKeyDown, bits & 0xFFu, 0);
        }
        strCommand = strCode + strCommand;
    }
    return strCommand;
}
