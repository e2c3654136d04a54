// The model's view into the set-up window's controls: which buttons can be used
// and their captions, the lines that state the world, the prompt and the status
// line. It holds the window's handles and the prompt's font, nothing the model knows.
#pragma once

#include <windows.h>

#include <string>

#include "KeyList.h"
#include "platform/win32/Handle.h"
#include "setup/RemoteSession.h"

namespace remote {

class ControlView {
public:
    // `keys` takes the focus from a control being disabled.
    void Attach(HWND dlg, KeyList& keys);

    // Enables what can be used now, with the captions that go with it. A control
    // about to be disabled hands the focus to the key list first: a disabled window
    // passes it to nobody, and Tab, the arrows and Escape would do nothing.
    void Show(const qrtl::setup::ControlStates& states) const;
    // The Application, POWER and receiver lines.
    void ShowLines(const qrtl::setup::SessionView& view) const;
    // The prompt above the key list: what the owner is asked to do now. It takes
    // the receiver line's place while a key is awaited (`learning`).
    void Prompt(const std::string& text, bool learning) const;
    // The status line, and what it says now.
    void Live(const std::string& text) const;
    std::string LiveText() const;
    // A step of the model told: its alert in a message box, then its status line.
    // The model's words keep the system's code page.
    void Tell(const qrtl::setup::FlowStep& step) const;
    // The focus to control `id`; to the key list when `id` is off now.
    void FocusOn(int id) const;
    // Where a finding leads: its key selected, or the control it is about.
    void GoTo(const qrtl::setup::FindingLead& lead) const;

private:
    void KeepFocusOff(HWND control) const;

    HWND dlg_ = nullptr;
    KeyList* keys_ = nullptr;
    qrtl::win32::UniqueHFont promptFont_;
};

}  // namespace remote
