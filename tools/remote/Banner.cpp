#include "Banner.h"

#include "UiText.h"
#include "driver/CardDriver.h"
#include "resource.h"

namespace remote {

namespace {

constexpr char kReadOnlyMark[] = " (read-only)";

std::wstring TextOf(HWND wnd) {
    wchar_t text[1024] = {};
    ::GetWindowTextW(wnd, text, 1024);
    return text;
}

void SetIfDifferent(HWND wnd, const std::wstring& text) {
    if (TextOf(wnd) != text) ::SetWindowTextW(wnd, text.c_str());
}

}  // namespace

void Banner::Attach(HWND dlg) {
    dlg_ = dlg;
    caption_ = TextOf(dlg);
}

void Banner::Show(const qrtl::setup::WindowFacts& facts) {
    if (!dlg_) return;
    SetIfDifferent(dlg_, caption_ + (facts.readOnly ? Widen(kReadOnlyMark) : std::wstring()));
    const HWND banner = ::GetDlgItem(dlg_, res::kBanner);
    qrtl::setup::WindowFacts shown = facts;
    shown.takeNotes = FromAnsi(facts.takeNotes);  // the profile's names, in its code page
    const std::wstring text = Widen(qrtl::setup::BannerText(shown, CardDriverFileName(), session_.SaveBanner()));
    if (TextOf(banner) == text) return;
    ::SetWindowTextW(banner, text.c_str());
    ::InvalidateRect(banner, nullptr, TRUE);  // its colour follows whether it says something
}

HBRUSH Banner::Colour(HDC dc, HWND control) const {
    if (!dlg_ || control != ::GetDlgItem(dlg_, res::kBanner) || ::GetWindowTextLengthW(control) == 0) return nullptr;
    ::SetTextColor(dc, ::GetSysColor(COLOR_INFOTEXT));
    ::SetBkColor(dc, ::GetSysColor(COLOR_INFOBK));
    return ::GetSysColorBrush(COLOR_INFOBK);
}

}  // namespace remote
