// The remote key names, the code texts and the command-text read.
#include "config/RemoteCodes.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr std::size_t kCommandBuffer = 256;   // the command text's read limit plus its zero
constexpr std::size_t kShortestCommand = 3;   // a marker and at least two characters

std::string FormatCode(const char* format, uint32_t code) {
    char text[12];
    std::snprintf(text, sizeof text, format, static_cast<int>(code));
    return text;
}

}  // namespace

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

std::string FormatIrCode(uint32_t code) { return FormatCode("%02d", code); }

std::string FormatPromptCode(uint32_t code) { return FormatCode("%d", code); }

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
