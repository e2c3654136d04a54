// Virtual-key codes in words, for people: "Up arrow", "Page Up", "Num 0", and the
// shortcut texts that menus show after a tab ("Up", "PgUp", "Num +", "Ctrl+O").
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qrtl::setup {

// Modifier bits of a key stroke.
constexpr uint8_t kModShift = 0x01;
constexpr uint8_t kModCtrl = 0x02;
constexpr uint8_t kModAlt = 0x04;

struct KeyStroke {
    uint8_t vk = 0;         // virtual-key code; 0: none
    uint8_t modifiers = 0;  // kMod... bits
    // One WM_KEYDOWN carries a key without modifiers only: "*VK" cannot say Ctrl.
    bool Postable() const { return vk != 0 && modifiers == 0; }
    bool operator==(const KeyStroke& o) const { return vk == o.vk && modifiers == o.modifiers; }
};

struct NamedKey {
    uint8_t vk;
    const char* name;  // in words: "Up arrow", "Page Up", "F5", "Num 0", "A"
};

// Every key that has a name in words, in the order a list of keys by name shows
// them: arrows, Page Up/Down, Home/End, Enter, Escape, Space, Tab, Backspace,
// Insert, Delete, F1-F12, digits, letters, numeric pad.
const std::vector<NamedKey>& NamedVirtualKeys();

// The key's name in words; "key 0xNN" for a code without one.
std::string VirtualKeyName(uint8_t vk);

// The code of a key named in words or as menus write it ("Up arrow", "Up",
// "PgUp", "Page Up", "Num +", "Esc", "F5", "5", "a"), without case; 0 when unknown.
uint8_t VirtualKeyFromName(std::string_view name);

// A menu's shortcut text ("F5", "Ctrl+O", "Shift+Num +", "Alt+F4", "Strg+O") as a
// key stroke; false when it names no key.
bool ParseShortcutText(std::string_view text, KeyStroke& out);

// An accelerator table entry (ACCEL fVirt and key) as a key stroke: with FVIRTKEY
// the key is a virtual-key code, else a character (a letter's upper case is its
// code; control characters are Ctrl+letter). False when it gives no key.
bool KeyStrokeFromAccelerator(uint8_t fVirt, uint16_t key, KeyStroke& out);

// "Ctrl+Shift+Up arrow"
std::string KeyStrokeText(const KeyStroke& stroke);

// The command text that posts the key: "*26"; empty when not postable.
std::string KeyCommandText(const KeyStroke& stroke);

}  // namespace qrtl::setup
