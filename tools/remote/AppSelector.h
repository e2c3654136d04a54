// The application selector at the top of the set-up window: the three TV
// applications the profile holds, which one the window edits, which one POWER
// starts and the keys drive, Add, Remove and a new name. The decisions are the
// window's model (setup/RemoteSession); this class only shows the entries and asks.
#pragma once

#include <windows.h>

#include <string>

#include "setup/RemoteSession.h"

namespace remote {

class AppSelector {
public:
    // The selector's controls are in `dlg`; `session` decides.
    AppSelector(HWND dlg, qrtl::setup::RemoteSession& session);
    ~AppSelector();
    AppSelector(const AppSelector&) = delete;
    AppSelector& operator=(const AppSelector&) = delete;

    // The entries again, from the profile as it is now (after any change).
    void Fill();
    // Off while learning.
    void Enable(bool on);
    // A command of the selector's controls: true with the model's step for the window
    // to carry out; false when the command is another control's.
    bool OnCommand(int id, int code, qrtl::setup::AppStep& step);

private:
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
