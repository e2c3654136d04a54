// Keys in words and the shortcut texts of menus.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "setup/VirtualKeys.h"

namespace {

using qrtl::setup::KeyStroke;

TEST(VirtualKeys, ShortcutTexts_KeyAndModifiers) {
    struct Case {
        const char* text;
        const char* words;  // null: not a key
        bool postable;
    };
    const std::vector<Case> cases = {
        {"Up", "Up arrow", true},          {"PgUp", "Page Up", true},
        {"Page Down", "Page Down", true},  {"Num +", "Num +", true},
        {"Num+", "Num +", true},           {"F5", "F5", true},
        {"Space", "Space", true},          {"Esc", "Escape", true},
        {"Ctrl+O", "Ctrl+O", false},       {"Strg+O", "Ctrl+O", false},
        {"Shift+Num +", "Shift+Num +", false}, {"Alt+F4", "Alt+F4", false},
        {"ctrl + shift + up", "Ctrl+Shift+Up arrow", false},
        {"m", "M", true},                  {"7", "7", true},
        {"Entf", "Delete", true},          {"Bild auf", "Page Up", true},
        {"Hyper+X", nullptr, false},       {"", nullptr, false},
    };
    for (const Case& c : cases) {
        KeyStroke stroke;
        const bool parsed = qrtl::setup::ParseShortcutText(c.text, stroke);
        EXPECT_EQ(parsed, c.words != nullptr) << c.text;
        if (!parsed) continue;
        EXPECT_EQ(qrtl::setup::KeyStrokeText(stroke), c.words) << c.text;
        EXPECT_EQ(stroke.Postable(), c.postable) << c.text;
    }
}

TEST(VirtualKeys, AcceleratorEntries_AsKeyStrokes) {
    constexpr uint8_t kVirt = 0x01, kShift = 0x04, kCtrl = 0x08, kAlt = 0x10;
    const std::vector<std::tuple<uint8_t, uint16_t, const char*>> cases = {
        {kVirt, 0x26, "Up arrow"},
        {kVirt | kCtrl, 'O', "Ctrl+O"},
        {kVirt | kAlt | kShift, 0x73, "Alt+Shift+F4"},
        {0, 'm', "M"},             // a character: lower case is the plain key
        {0, 'M', "Shift+M"},
        {0, 0x0F, "Ctrl+O"},       // a control character
        {kVirt, 0x10, nullptr},    // Shift alone is no key
        {kVirt, 0x1FF, nullptr},
    };
    for (const auto& [fVirt, key, words] : cases) {
        KeyStroke stroke;
        const bool made = qrtl::setup::KeyStrokeFromAccelerator(fVirt, key, stroke);
        EXPECT_EQ(made, words != nullptr) << int(fVirt) << " " << key;
        if (made) {
            EXPECT_EQ(qrtl::setup::KeyStrokeText(stroke), words);
        }
    }
}

TEST(VirtualKeys, EveryNamedKey_NameReadsBackToItsCode) {
    for (const auto& key : qrtl::setup::NamedVirtualKeys())
        EXPECT_EQ(qrtl::setup::VirtualKeyFromName(key.name), key.vk) << key.name;
    EXPECT_EQ(qrtl::setup::VirtualKeyName(0xE5), "key 0xE5");
}

}  // namespace
