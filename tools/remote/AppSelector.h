// The application selector at the top of the set-up window: the three TV
// applications the profile holds, which one the window edits, which one POWER
// starts and the keys drive, Add, Remove and a new name. The decisions are the
// window's model (setup/RemoteSession); this class only shows the entries and asks.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "setup/RemoteSession.h"

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
    // The selector's controls are in `dlg`; `session` decides.
    AppSelector(HWND dlg, qrtl::setup::RemoteSession& session);
    ~AppSelector();
    AppSelector(const AppSelector&) = delete;
    AppSelector& operator=(const AppSelector&) = delete;

    // The slots again, from the profile as it is now (after any change).
    void Fill();
    // Off while learning.
    void Enable(bool on);
    SelectorResult OnCommand(int id, int code);

private:
    // What the window does after the model's step: asks, says, moves the focus.
    SelectorResult Follow(qrtl::setup::AppStep step);
    SelectorResult Rename();

    HWND dlg_;
    qrtl::setup::RemoteSession& session_;
    int32_t namedSlot_ = -1;  // the entry and name the name field shows, while the owner types
    std::string namedText_;
};

// The owner's answer when the slot names another application.
enum class ReplaceAnswer { Replace, UseFreeSlot, Cancel };

// "Replace Standin TV with Notepad for this slot?" with the buttons Replace, Use a
// free slot (only when one is free) and Cancel.
ReplaceAnswer AskReplace(HWND owner, const qrtl::setup::SlotReplace& replace);

// Asks the question of an application step with the buttons its kind has.
qrtl::setup::AppReply AskApp(HWND owner, const qrtl::setup::AppStep& step);

}  // namespace remote
