// The set-up window's TV applications as the model decides them: taking a
// window for an entry (with the owner's answers), the application selector (pick,
// work with, add, remove, rename), filling the keys' actions from the
// application's commands, and the key buttons' words. The window asks what a
// step asks, feeds the answer back, and shows the rest.
#pragma once

#include <cstdint>
#include <string>

#include "setup/ClientSlots.h"
#include "setup/FillPlan.h"
#include "setup/KeyEdits.h"

namespace qrtl::setup {

// What an application step asks the owner, and so the buttons the window gives it.
enum class AppAsk {
    None,
    WindowGone,       // OK alone (a warning): nothing was taken; no answer comes back
    SameProgram,      // Yes / No: switch to the entry that has the program
    NoTvCommands,     // OK / Cancel, Cancel the default: take it anyway
    Replace,          // Replace / New entry / Cancel, Cancel the default (`replace`)
    WorkWithInstead,  // Yes / No, No the default: the remote keeps the one it works with
    Fill,             // Yes / No
    Remove,           // Yes / No, No the default
};

// The owner's answer: Yes (OK, Replace), No (New entry), Cancel.
enum class AppReply { Yes, No, Cancel };

// Where the keyboard goes after a step.
enum class AppFocus { Stay, WindowList, NameField };

// What the window does after an application event. Every text here holds the
// profile's names as the profile holds them (its code page).
struct AppStep {
    AppAsk ask = AppAsk::None;
    std::string question;
    // No (Cancel) is the default button: a stray Enter keeps things as they are.
    bool defaultNo = false;
    SlotReplace replace;  // for AppAsk::Replace
    bool said = false;    // `live` holds the status line's new text
    std::string live;
    // A window was taken: the status line names it ("Chosen: <window>."); what
    // taking it changed or could not keep goes to the banner (WindowFacts::takeNotes).
    bool chosen = false;
    bool changed = false;        // the profile changed: rows, findings and the selector anew
    bool editedOther = false;    // another entry is edited: its window list and its commands anew
    bool readCommands = false;   // the edited application's commands are to be read now
    AppFocus focus = AppFocus::Stay;

    void Say(std::string text) {
        said = true;
        live = std::move(text);
    }
};

// What the window asks before Clear..., or why nothing is asked.
struct ClearAsk {
    bool ask = false;  // else `live` says why nothing is cleared
    std::string live;
    std::string code;    // what the key holds, empty when nothing
    std::string action;
};

// After Clear: what the key holds now.
std::string ClearedWords(const KeyEdit& edit);

// What the owner is told of a read of the application's commands that stopped
// early (" Note: ..."); empty when it read them all.
std::string CatalogNotes(const AppCatalog& catalog);

}  // namespace qrtl::setup
