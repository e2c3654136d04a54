// What Enter and Escape do in the set-up window, by where the focus is and what
// is under way. The window has no default button: Enter never saves (Save is a
// button of its own), and a dialog's Escape closes only when nothing is under way.
#pragma once

namespace qrtl::setup {

// Where the focus is when Enter comes (a key row double-clicked counts as the key list).
enum class EnterFocus { KeyList, Findings, WindowList, Elsewhere };

enum class EnterDoes {
    Nothing,
    OpenAction,        // the selected key's action, as a double click on its row
    GoToFinding,       // to what the selected finding is about
    TakeChosenWindow,  // the window chosen in the list, as "Use this window"
};

// `keySelected`: a key row is selected; `learning`: a key is awaited.
EnterDoes WhatEnterDoes(EnterFocus focus, bool keySelected, bool learning);

enum class EscapeDoes {
    SkipKey,  // the key being learned is skipped
    EndDrag,  // the finder's drag ends, nothing taken
    Close,    // the window closes, as any dialog does
};

EscapeDoes WhatEscapeDoes(bool learning, bool dragging);

}  // namespace qrtl::setup
