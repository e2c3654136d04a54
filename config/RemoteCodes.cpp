// The remote key names, the code texts and the command-text read.
#include "config/RemoteCodes.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <utility>

namespace {

constexpr std::size_t kCommandBuffer = 256;   // the command text's read limit plus its zero
constexpr std::size_t kShortestCommand = 3;   // a marker and at least two characters

std::string FormatCode(const char* format, uint32_t code) {
    char text[12];
    std::snprintf(text, sizeof text, format, static_cast<int>(code));
    return text;
}

// Loading order: a later name wins a code that several names share. The synonyms
// are spelt as menus spell them; German words with umlauts are there with
// "ae"/"oe"/"ue" as well.
constexpr RemoteKey kKeys[] = {
    {"POWER", "power on / off",
     {{"exit", true}, {"quit", true}, {"close", true}, {"beenden", true}, {"schlie\xDF" "en", true},
      {"exit program", true}, {"power off", false}, {"programm beenden", true}}},
    {"ZOOM", "zoom", {{"zoom", false}, {"full screen", false}, {"fullscreen", false}, {"vollbild", false}}},
    {"SCAN", "scan channels",
     {{"scan", false}, {"channel scan", false}, {"scan channels", false}, {"auto scan", false},
      {"sendersuchlauf", false}, {"suchlauf", false}, {"kanalsuche", false}}},
    {"TVFMSW", "TV / FM radio",
     {{"tv / fm", false}, {"tv / radio", false}, {"radio", false}, {"fm radio", false}, {"radio / tv", false}}},
    {"SWITCH", "switch video source",
     {{"source", false}, {"input", false}, {"video source", false}, {"switch source", false}, {"quelle", false},
      {"eingang", false}, {"videoquelle", false}, {"video input", false}}},
    {"VOL+", "volume up",
     {{"volume up", false}, {"louder", false}, {"vol +", false}, {"volume +", false}, {"increase volume", false},
      {"lauter", false}, {"lautst\xE4rke +", false}, {"lautstaerke +", false}}},
    {"VOL-", "volume down",
     {{"volume down", false}, {"quieter", false}, {"softer", false}, {"vol -", false}, {"volume -", false},
      {"decrease volume", false}, {"leiser", false}, {"lautst\xE4rke -", false}, {"lautstaerke -", false}}},
    {"CH+", "channel up",
     {{"next channel", false}, {"channel up", false}, {"program up", false}, {"programme up", false},
      {"next program", false}, {"ch +", false}, {"channel +", false}, {"n\xE4" "chster sender", false},
      {"naechster sender", false}, {"sender +", false}, {"kanal +", false}, {"programm +", false}}},
    {"CH-", "channel down",
     {{"previous channel", false}, {"channel down", false}, {"program down", false}, {"programme down", false},
      {"previous program", false}, {"ch -", false}, {"channel -", false}, {"vorheriger sender", false},
      {"sender -", false}, {"kanal -", false}, {"programm -", false}}},
    {"MUTE", "mute",
     {{"mute", false}, {"sound off", false}, {"audio off", false}, {"stumm", false}, {"ton aus", false},
      {"stummschalten", false}}},
    {"REVIEW", "previous channel",
     {{"review", false}, {"recall", false}, {"last channel", false}, {"jump back", false}, {"letzter sender", false}}},
    {"RESET+", "reset +", {{"reset", false}, {"zur\xFC" "cksetzen", false}, {"zuruecksetzen", false}}},
    {"RESET-", "reset -", {}},
    {"FREZE+", "freeze picture",
     {{"freeze", false}, {"freeze picture", false}, {"still picture", false}, {"standbild", false},
      {"einfrieren", false}}},
    {"FREZE-", "live picture",
     {{"unfreeze", false}, {"live picture", false}, {"live", true}, {"standbild aus", false}}},
    {"FUNC", "function / menu",
     {{"options", true}, {"settings", true}, {"setup", true}, {"menu", true}, {"preferences", true},
      {"einstellungen", true}, {"optionen", true}}},
    {"BTN0", "digit 0", {{"0", true}}},
    {"BTN1", "digit 1", {{"1", true}}},
    {"BTN2", "digit 2", {{"2", true}}},
    {"BTN3", "digit 3", {{"3", true}}},
    {"BTN4", "digit 4", {{"4", true}}},
    {"BTN5", "digit 5", {{"5", true}}},
    {"BTN6", "digit 6", {{"6", true}}},
    {"BTN7", "digit 7", {{"7", true}}},
    {"BTN8", "digit 8", {{"8", true}}},
    {"BTN9", "digit 9", {{"9", true}}},
    {"BTN100", "100+ (three-digit channel)", {{"100 +", true}, {"100", true}, {"- / - -", true}}},
};
static_assert(std::size(kKeys) == kRemoteKeyCount, "one row for each key of the remote");

template <std::size_t... I>
constexpr std::array<const char*, kRemoteKeyCount> Column(const char* RemoteKey::*field, std::index_sequence<I...>) {
    return {{(kKeys[I].*field)...}};
}

}  // namespace

const RemoteKey (&RemoteKeys)[kRemoteKeyCount] = kKeys;
const std::array<const char*, kRemoteKeyCount> RemoteKeyNames =
    Column(&RemoteKey::name, std::make_index_sequence<kRemoteKeyCount>());
const std::array<const char*, kRemoteKeyCount> RemoteKeyLegend =
    Column(&RemoteKey::legend, std::make_index_sequence<kRemoteKeyCount>());

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
