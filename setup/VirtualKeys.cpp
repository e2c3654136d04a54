#include "setup/VirtualKeys.h"

#include <cctype>
#include <cstdio>

namespace qrtl::setup {

namespace {

// Virtual-key codes of the keys that have names (the values of winuser.h).
constexpr uint8_t kVkBack = 0x08, kVkTab = 0x09, kVkReturn = 0x0D, kVkPause = 0x13,
                  kVkEscape = 0x1B, kVkSpace = 0x20, kVkPrior = 0x21, kVkNext = 0x22,
                  kVkEnd = 0x23, kVkHome = 0x24, kVkLeft = 0x25, kVkUp = 0x26, kVkRight = 0x27,
                  kVkDown = 0x28, kVkInsert = 0x2D, kVkDelete = 0x2E, kVkNumpad0 = 0x60,
                  kVkMultiply = 0x6A, kVkAdd = 0x6B, kVkSubtract = 0x6D, kVkDecimal = 0x6E,
                  kVkDivide = 0x6F, kVkF1 = 0x70, kVkShift = 0x10, kVkControl = 0x11,
                  kVkMenu = 0x12;

// ACCEL fVirt bits.
constexpr uint8_t kFVirtKey = 0x01, kFShift = 0x04, kFControl = 0x08, kFAlt = 0x10;

std::vector<NamedKey> BuildNamedKeys() {
    std::vector<NamedKey> keys = {
        {kVkUp, "Up arrow"},      {kVkDown, "Down arrow"},   {kVkLeft, "Left arrow"},
        {kVkRight, "Right arrow"}, {kVkPrior, "Page Up"},     {kVkNext, "Page Down"},
        {kVkHome, "Home"},        {kVkEnd, "End"},           {kVkReturn, "Enter"},
        {kVkEscape, "Escape"},    {kVkSpace, "Space"},       {kVkTab, "Tab"},
        {kVkBack, "Backspace"},   {kVkInsert, "Insert"},     {kVkDelete, "Delete"},
        {kVkPause, "Pause"},
    };
    static const char* const kFNames[] = {"F1", "F2", "F3", "F4",  "F5",  "F6",
                                          "F7", "F8", "F9", "F10", "F11", "F12"};
    for (int i = 0; i < 12; ++i) keys.push_back({static_cast<uint8_t>(kVkF1 + i), kFNames[i]});
    static const char* const kDigits[] = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};
    for (int i = 0; i < 10; ++i) keys.push_back({static_cast<uint8_t>('0' + i), kDigits[i]});
    static const char* const kLetters[] = {"A", "B", "C", "D", "E", "F", "G", "H", "I",
                                           "J", "K", "L", "M", "N", "O", "P", "Q", "R",
                                           "S", "T", "U", "V", "W", "X", "Y", "Z"};
    for (int i = 0; i < 26; ++i) keys.push_back({static_cast<uint8_t>('A' + i), kLetters[i]});
    static const char* const kPad[] = {"Num 0", "Num 1", "Num 2", "Num 3", "Num 4",
                                       "Num 5", "Num 6", "Num 7", "Num 8", "Num 9"};
    for (int i = 0; i < 10; ++i) keys.push_back({static_cast<uint8_t>(kVkNumpad0 + i), kPad[i]});
    keys.push_back({kVkAdd, "Num +"});
    keys.push_back({kVkSubtract, "Num -"});
    keys.push_back({kVkMultiply, "Num *"});
    keys.push_back({kVkDivide, "Num /"});
    keys.push_back({kVkDecimal, "Num ."});
    return keys;
}

// Other spellings menus use for the same keys (German ones included).
struct Alias {
    const char* text;
    uint8_t vk;
};
constexpr Alias kAliases[] = {
    {"up", kVkUp},          {"down", kVkDown},       {"left", kVkLeft},
    {"right", kVkRight},    {"pgup", kVkPrior},      {"pgdn", kVkNext},
    {"pgdown", kVkNext},    {"pageup", kVkPrior},    {"pagedown", kVkNext},
    {"prior", kVkPrior},    {"next", kVkNext},       {"bild auf", kVkPrior},
    {"bild ab", kVkNext},   {"return", kVkReturn},   {"eingabe", kVkReturn},
    {"esc", kVkEscape},     {"spacebar", kVkSpace},  {"leertaste", kVkSpace},
    {"leer", kVkSpace},     {"bksp", kVkBack},       {"back", kVkBack},
    {"ins", kVkInsert},     {"einfg", kVkInsert},    {"del", kVkDelete},
    {"entf", kVkDelete},    {"pos1", kVkHome},       {"ende", kVkEnd},
    {"num plus", kVkAdd},   {"num minus", kVkSubtract}, {"numpad +", kVkAdd},
    {"numpad -", kVkSubtract}, {"gray +", kVkAdd},   {"gray -", kVkSubtract},
    {"+", kVkAdd},          {"-", kVkSubtract},      {"*", kVkMultiply},
    {"/", kVkDivide},       {"pause", kVkPause},     {"break", kVkPause},
};

std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// Blanks at both ends cut, runs of blanks as one.
std::string Squeeze(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c == ' ' || c == '\t') {
            if (!out.empty() && out.back() != ' ') out += ' ';
        } else {
            out += c;
        }
    }
    if (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

struct ModifierWord {
    const char* text;
    uint8_t bit;
};
constexpr ModifierWord kModifierWords[] = {
    {"ctrl", kModCtrl}, {"strg", kModCtrl}, {"control", kModCtrl}, {"shift", kModShift},
    {"umschalt", kModShift}, {"alt", kModAlt},
};

}  // namespace

const std::vector<NamedKey>& NamedVirtualKeys() {
    static const std::vector<NamedKey> keys = BuildNamedKeys();
    return keys;
}

std::string VirtualKeyName(uint8_t vk) {
    for (const NamedKey& key : NamedVirtualKeys())
        if (key.vk == vk) return key.name;
    char text[16];
    std::snprintf(text, sizeof text, "key 0x%02X", vk);
    return text;
}

uint8_t VirtualKeyFromName(std::string_view name) {
    const std::string wanted = Lower(Squeeze(name));
    if (wanted.empty()) return 0;
    for (const NamedKey& key : NamedVirtualKeys())
        if (Lower(key.name) == wanted) return key.vk;
    for (const Alias& alias : kAliases)
        if (wanted == alias.text) return alias.vk;
    // "Num+" and "Num 5" written without the blank.
    if (wanted.size() == 4 && wanted.compare(0, 3, "num") == 0)
        return VirtualKeyFromName(std::string("num ") + wanted[3]);
    // "Up arrow" without its word, and arrows named "Arrow up".
    if (wanted.size() > 6 && wanted.compare(0, 6, "arrow ") == 0)
        return VirtualKeyFromName(wanted.substr(6));
    return 0;
}

bool ParseShortcutText(std::string_view text, KeyStroke& out) {
    std::string rest = Squeeze(text);
    KeyStroke stroke;
    // Modifiers joined with '+' ("Ctrl+Shift+O"); a final "+" is the key itself ("Num +").
    for (;;) {
        const std::size_t plus = rest.find('+');
        if (plus == std::string::npos || plus + 1 >= rest.size()) break;
        const std::string word = Lower(Squeeze(rest.substr(0, plus)));
        uint8_t bit = 0;
        for (const ModifierWord& m : kModifierWords)
            if (word == m.text) bit = m.bit;
        if (bit == 0) break;
        stroke.modifiers |= bit;
        rest = Squeeze(rest.substr(plus + 1));
    }
    stroke.vk = VirtualKeyFromName(rest);
    if (stroke.vk == 0) return false;
    out = stroke;
    return true;
}

bool KeyStrokeFromAccelerator(uint8_t fVirt, uint16_t key, KeyStroke& out) {
    KeyStroke stroke;
    if (fVirt & kFVirtKey) {
        if (key == 0 || key > 0xFF) return false;
        stroke.vk = static_cast<uint8_t>(key);
        if (fVirt & kFShift) stroke.modifiers |= kModShift;
        if (fVirt & kFControl) stroke.modifiers |= kModCtrl;
        if (fVirt & kFAlt) stroke.modifiers |= kModAlt;
    } else {
        // A character: Ctrl+letter arrives as its control character.
        if (key >= 1 && key <= 26) {
            stroke.vk = static_cast<uint8_t>('A' + key - 1);
            stroke.modifiers = kModCtrl;
        } else if (key >= 'a' && key <= 'z') {
            stroke.vk = static_cast<uint8_t>(key - 'a' + 'A');
        } else if (key >= 'A' && key <= 'Z') {
            stroke.vk = static_cast<uint8_t>(key);
            stroke.modifiers = kModShift;
        } else if (key >= '0' && key <= '9') {
            stroke.vk = static_cast<uint8_t>(key);
        } else if (key == ' ') {
            stroke.vk = kVkSpace;
        } else if (key == '+') {
            stroke.vk = kVkAdd;
        } else if (key == '-') {
            stroke.vk = kVkSubtract;
        } else {
            return false;
        }
        if (fVirt & kFAlt) stroke.modifiers |= kModAlt;
    }
    if (stroke.vk == kVkShift || stroke.vk == kVkControl || stroke.vk == kVkMenu) return false;
    out = stroke;
    return true;
}

std::string KeyStrokeText(const KeyStroke& stroke) {
    std::string text;
    if (stroke.modifiers & kModCtrl) text += "Ctrl+";
    if (stroke.modifiers & kModAlt) text += "Alt+";
    if (stroke.modifiers & kModShift) text += "Shift+";
    return text + VirtualKeyName(stroke.vk);
}

std::string KeyCommandText(const KeyStroke& stroke) {
    if (!stroke.Postable()) return {};
    char text[8];
    std::snprintf(text, sizeof text, "*%02X", stroke.vk);
    return text;
}

}  // namespace qrtl::setup
