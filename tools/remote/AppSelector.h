// The application selector at the top of the set-up window: the three TV
// applications the profile holds, which one the window edits, which one POWER
// starts and the keys drive, Add, Remove and a new name. The decisions are the
// slot plans of setup/ClientSlots.h; this class only shows them and asks.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "setup/ClientSlots.h"
#include "setup/RemoteRows.h"

namespace remote {

// What a command of the selector did, for the window to follow it.
struct SelectorResult {
    bool handled = false;      // the command was the selector's
    bool slotChanged = false;  // another application is edited now: its window and commands
    bool changed = false;      // the profile changed: show it again
    std::string live;          // the status line's text; empty: leave it
};

class AppSelector {
public:
    // The selector's controls are in `dlg`; it edits `profile`, the window's own.
    AppSelector(HWND dlg, qrtl::setup::EditedProfile& profile);
    ~AppSelector();
    AppSelector(const AppSelector&) = delete;
    AppSelector& operator=(const AppSelector&) = delete;

    // The slots again, from the profile as it is now (after any change).
    void Fill();
    // Off while learning.
    void Enable(bool on);
    // The slot the window edits.
    int32_t Slot() const { return profile_.ClientIndex(); }
    // Edits `slot` from now on (Add, a free slot taken for a new application).
    void Edit(int32_t slot);
    SelectorResult OnCommand(int id, int code);

private:
    SelectorResult Select();
    SelectorResult MakeActive();
    SelectorResult Add();
    SelectorResult Remove();
    SelectorResult Rename();

    HWND dlg_;
    qrtl::setup::EditedProfile& profile_;
    int32_t namedSlot_ = -1;  // the slot and name the name field shows
    std::string namedText_;
};

// The owner's answer when the slot names another application.
enum class ReplaceAnswer { Replace, UseFreeSlot, Cancel };

// "Replace Standin TV with Notepad for this slot?" with the buttons Replace, Use a
// free slot (only when one is free) and Cancel.
ReplaceAnswer AskReplace(HWND owner, const qrtl::setup::SlotReplace& replace);

}  // namespace remote
