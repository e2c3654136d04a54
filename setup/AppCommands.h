// What the monitor can post to a TV application: its menu commands, the controls
// of its window and its keys; and which of them each remote key most likely means.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "setup/VirtualKeys.h"

namespace qrtl::setup {

// Where a command was found.
enum class CommandSource {
    LiveMenu,      // the running window's menu bar
    Resource,      // a menu or accelerator table of the application's executable
    Window,        // a control of the running window
    ShortcutText,  // the shortcut text shown after a menu item's tab
};
// "live menu", "resources", "window", "shortcut"
const char* SourceName(CommandSource source);

struct MenuCommand {
    uint32_t id = 0;
    std::string path;      // "Audio > Volume up": '&' removed, shortcut cut off
    std::string shortcut;  // the text after the tab, "Num +"; empty when none
    CommandSource source = CommandSource::LiveMenu;
};

struct ControlCommand {
    uint32_t id = 0;
    std::string text;       // '&' removed
    std::string className;  // "Button" ...
};

struct KeyCommand {
    KeyStroke key;
    uint32_t commandId = 0;  // the command the key gives; 0 when not known
    CommandSource source = CommandSource::Resource;  // Resource: an accelerator table
};

struct AppCatalog {
    std::vector<MenuCommand> menus;    // menu order
    std::vector<ControlCommand> controls;  // window order
    std::vector<KeyCommand> keys;
    // Why the live menu could not be read (empty when it was, or when there is none).
    std::string liveMenuNote;
    // Why the executable's resources could not be read; empty when they were.
    std::string resourceNote;
    // Why the controls' texts are missing (a window that does not answer).
    std::string controlsNote;
    // The menus were read only in part: too many items, or paths too long.
    bool menusCut = false;

    bool Empty() const { return menus.empty() && controls.empty() && keys.empty(); }
    const MenuCommand* FindMenu(uint32_t id) const;
    const ControlCommand* FindControl(uint32_t id) const;
    // Adds a menu's commands from another source, those whose id is not listed yet,
    // up to kMaxMenuItems commands in all (menusCut set when more are left out).
    void MergeMenus(const std::vector<MenuCommand>& more);
    // Adds keys from the menus' shortcut texts where no accelerator gives that key already.
    void AddShortcutKeys();
};

// A menu item's text as shown: "&Volume up\tNum +" -> "Volume up" and "Num +"
// ("&&" stays one '&').
void SplitMenuText(std::string_view raw, std::string& label, std::string& shortcut);
// Text without its '&' markers ("&&" stays one '&').
std::string StripAmpersands(std::string_view text);

// "#9C4A": a WM_COMMAND of that id, as a key map holds it.
std::string CommandIdText(uint32_t id);

// What a command text of a key map does, in words, with what the catalog knows:
// "Menu: Audio > Volume up", "Control: Mute", "Key: Up arrow", "Command 9C4A";
// empty for an empty text.
std::string DescribeCommandText(const AppCatalog& catalog, const std::string& commandText);
// "Control: Mute": a control of the window as the key list and the Action list both
// name it, whatever its kind.
std::string ControlInWords(const ControlCommand& control);

// One command the matcher may offer for a remote key.
struct Candidate {
    std::string commandText;  // "#9C4A" or "*26"
    std::string what;         // "Audio > Volume up", "Mute (control)"
    bool fromMenu = false;
};

struct Suggestion {
    std::string key;                     // "VOL+"
    Candidate best;
    std::vector<Candidate> alternatives;  // in order of preference
};

// The normalised form the matcher compares: lower case (also the Latin-1 letters of
// the ANSI code page), '&' removed, punctuation other than + - / as blanks, blanks
// single, "..." and a trailing ':' dropped.
std::string NormalizeLabel(std::string_view text);

// The remote keys (indexes into RemoteKeyNames) that a label means by the synonym
// table; strong (exact) matches first.
std::vector<int> RemoteKeysForLabel(std::string_view label);

// For each remote key, in the order of the names, the command that means it: a menu
// command before a control of the same meaning, an earlier one in menu order before
// a later one. Keys without a match are left out.
std::vector<Suggestion> SuggestCommands(const AppCatalog& catalog);

}  // namespace qrtl::setup
