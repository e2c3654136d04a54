#include "setup/EnterEscape.h"

namespace qrtl::setup {

EnterDoes WhatEnterDoes(EnterFocus focus, bool keySelected, bool learning) {
    switch (focus) {
    case EnterFocus::KeyList:
        // While a key is awaited the action chooser would take the keyboard from learning.
        return keySelected && !learning ? EnterDoes::OpenAction : EnterDoes::Nothing;
    case EnterFocus::Findings:
        return EnterDoes::GoToFinding;
    case EnterFocus::WindowList:
        return learning ? EnterDoes::Nothing : EnterDoes::TakeChosenWindow;
    case EnterFocus::Elsewhere:
        return EnterDoes::Nothing;
    }
    return EnterDoes::Nothing;
}

EscapeDoes WhatEscapeDoes(bool learning, bool dragging) {
    if (learning) return EscapeDoes::SkipKey;
    if (dragging) return EscapeDoes::EndDrag;
    return EscapeDoes::Close;
}

}  // namespace qrtl::setup
