// The set-up window's texts are UTF-8 in the program ("Received 20 → VOL+") and
// UTF-16 in its controls: the window and its controls are Unicode windows.
#pragma once

#include <windows.h>

#include <string>

#include "setup/RemoteSession.h"

namespace remote {

// Text of code page `codePage` in UTF-16.
inline std::wstring ToWide(UINT codePage, const std::string& text) {
    if (text.empty()) return {};
    const int n = ::MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (n <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), &wide[0], n);
    return wide;
}

inline std::wstring Widen(const std::string& text) { return ToWide(CP_UTF8, text); }

inline std::string Narrow(const std::wstring& text) {
    if (text.empty()) return {};
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                        nullptr, nullptr);
    if (n <= 0) return {};
    std::string narrow(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &narrow[0], n, nullptr,
                          nullptr);
    return narrow;
}

// Text of the system's ANSI code page (window captions of other programs, paths).
inline std::string FromAnsi(const std::string& text) { return Narrow(ToWide(CP_ACP, text)); }

inline void SetText(HWND wnd, const std::string& utf8) { ::SetWindowTextW(wnd, Widen(utf8).c_str()); }

inline void SetItemText(HWND dialog, int id, const std::string& utf8) {
    ::SetDlgItemTextW(dialog, id, Widen(utf8).c_str());
}

inline std::string ItemText(HWND dialog, int id) {
    wchar_t text[512] = {};
    ::GetDlgItemTextW(dialog, id, text, 512);
    return Narrow(text);
}

// A message box over `owner` with the program's caption.
int Ask(HWND owner, const std::string& text, UINT flags);

// A line looked at again every second is set only when it changes: no flicker.
inline void SetItemTextIfChanged(HWND dialog, int id, const std::string& utf8) {
    if (ItemText(dialog, id) != utf8) SetItemText(dialog, id, utf8);
}

using qrtl::setup::kArrow;

}  // namespace remote
