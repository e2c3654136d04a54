// The set-up window's banner line and its caption's "(read-only)": what matters
// until it changes (a read-only profile, a card receiver that cannot be read, the
// last save's result) stays in the banner, where the status line, which the next
// action overwrites, would lose it. Also the file side of a read-only profile:
// whether it can be written now, and the copy that Save as... writes.
#pragma once

#include <windows.h>

#include <string>

#include "setup/WindowGate.h"

namespace remote {

class Banner {
public:
    Banner() = default;
    Banner(const Banner&) = delete;
    Banner& operator=(const Banner&) = delete;

    // The window's caption as it is now is its own; "(read-only)" goes after it.
    void Attach(HWND dlg);
    // The caption and the banner for `facts`; a text is set only when it differs,
    // so that calling this after every change does not flicker.
    void Show(const qrtl::setup::WindowFacts& facts);
    // The last save's result in words, shown until the next save.
    void SaveResult(std::string words) { lastSave_ = std::move(words); }
    // WM_CTLCOLORSTATIC: the banner in the tooltip's colours while it says
    // something, so that it stands out; null for other controls.
    HBRUSH Colour(HDC dc, HWND control) const;

private:
    HWND dlg_ = nullptr;
    std::wstring caption_;
    std::string lastSave_;
};

// True when the profile can be opened for writing now (attributes and rights).
bool ProfileWritable(const std::string& path);
// The read-only mark alone, without opening the file: for a look every second,
// which must never hold the file open while another program replaces it.
bool ProfileMarkedReadOnly(const std::string& path);

// Asks the owner where to keep a copy of the profile at `path`; empty when the
// owner cancels.
std::string AskCopyPath(HWND owner, const std::string& path);

// Writes `text` as the whole file at `path`: into a temporary file beside it
// first, which then replaces it, so that a failure leaves `path` as it was. False
// with the reason in words.
bool WriteProfileCopy(const std::string& path, const std::string& text, std::string& why);

}  // namespace remote
