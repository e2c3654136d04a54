// The remote's key names and the rules for the texts that travel between the
// receiver, the profile and the client: the received-code text, the command text
// and the message it becomes. Config, dispatch and the tools all build on this.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>

// One way a program's menu or button names a key's meaning. `exact`: only a label
// that is the word itself counts ("5", "Exit"), never one that merely holds it
// ("Exit full screen").
struct KeySynonym {
    const char* text;
    bool exact;
};

// One key of the remote, everything known of it side by side.
struct RemoteKey {
    const char* name;    // in the profile and on the remote: "VOL+"
    const char* legend;  // in words, for people: "volume up"
    // How TV applications' menus name what the key does, in English and German, in
    // the ANSI code page (Windows-1252) that menus are read in.
    std::initializer_list<KeySynonym> synonyms;
};

// The 27 remote keys in loading order; a later name wins a shared code.
constexpr int kRemoteKeyCount = 27;
extern const RemoteKey (&RemoteKeys)[kRemoteKeyCount];
// The table's columns: the names, and the legends every program that names a key
// to its owner takes.
extern const std::array<const char*, kRemoteKeyCount> RemoteKeyNames;
extern const std::array<const char*, kRemoteKeyCount> RemoteKeyLegend;

// The key that starts the client or shuts Windows down while no client runs.
constexpr char kPowerKeyName[] = "POWER";

// A received receiver byte as code text: "%02d", "00" to "255".
std::string FormatIrCode(uint32_t code);

// The power prompt's own rendering of a code: plain "%d", so "5" where the tick
// has "05".
std::string FormatPromptCode(uint32_t code);

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

// Window messages the dispatch posts to the client, and the bits of the number
// each one carries.
constexpr uint32_t kWmKeyDown = 0x0100;
constexpr uint32_t kWmCommand = 0x0111;
constexpr uint32_t kCommandIdMask = 0xFFFFu;       // WM_COMMAND: the command id
constexpr uint32_t kVirtualKeyMask = 0xFFu;        // WM_KEYDOWN: the virtual key
constexpr uint32_t kAcceleratorNotify = 0x10000u;  // high word 1: the command came from an accelerator
