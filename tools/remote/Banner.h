// The set-up window's banner line and its caption's "(read-only)": what matters
// until it changes (a read-only profile, a card receiver that cannot be read, what
// the last save left to say) stays in the banner, where the status line, which the
// next action overwrites, would lose it. The model says what; this shows it.
#pragma once

#include <windows.h>

#include <string>

#include "setup/RemoteSession.h"

namespace remote {

class Banner {
public:
    // `session` gives the last save's banner line.
    explicit Banner(const qrtl::setup::RemoteSession& session) : session_(session) {}
    Banner(const Banner&) = delete;
    Banner& operator=(const Banner&) = delete;

    // The window's caption as it is now is its own; "(read-only)" goes after it.
    void Attach(HWND dlg);
    // The caption and the banner for `facts`; a text is set only when it differs,
    // so that calling this after every change does not flicker.
    void Show(const qrtl::setup::WindowFacts& facts);
    // WM_CTLCOLORSTATIC: the banner in the tooltip's colours while it says
    // something, so that it stands out; null for other controls.
    HBRUSH Colour(HDC dc, HWND control) const;

private:
    const qrtl::setup::RemoteSession& session_;
    HWND dlg_ = nullptr;
    std::wstring caption_;
};

}  // namespace remote
