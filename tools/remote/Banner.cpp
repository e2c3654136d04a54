#include "Banner.h"

#include <commdlg.h>

#include "UiText.h"
#include "driver/CardDriver.h"
#include "platform/win32/Handle.h"
#include "setup/win32/SafeProfileWrite.h"
#include "resource.h"

namespace remote {

namespace {

constexpr char kReadOnlyMark[] = " (read-only)";
constexpr char kCopyTitle[] = "Save a copy of the profile";
// Two strings, each ended by a zero, and a zero at the end.
constexpr char kProfileFilter[] = "Profiles (*.ini)\0*.ini\0All files (*.*)\0*.*\0";

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
    const std::wstring text = Widen(qrtl::setup::BannerText(shown, CardDriverFileName(), lastSave_));
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

bool ProfileMarkedReadOnly(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

bool ProfileWritable(const std::string& path) {
    if (ProfileMarkedReadOnly(path)) return false;
    const qrtl::win32::UniqueFile file(::CreateFileA(path.c_str(), GENERIC_WRITE,
                                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return static_cast<bool>(file);
}

std::string AskCopyPath(HWND owner, const std::string& path) {
    char file[MAX_PATH] = {};
    const std::size_t slash = path.find_last_of("\\/");
    const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    name.copy(file, MAX_PATH - 1);
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = kProfileFilter;
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    ofn.lpstrTitle = kCopyTitle;
    ofn.lpstrDefExt = "ini";
    // A read-only file chosen again would fail the same way: the dialog refuses it.
    ofn.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOREADONLYRETURN | OFN_HIDEREADONLY | OFN_EXPLORER;
    if (!::GetSaveFileNameA(&ofn)) return {};
    return file;
}

bool WriteProfileCopy(const std::string& path, const std::string& text, std::string& why) {
    // Under the profile's lock, with a .bak of a file it replaces.
    return qrtl::win32::WriteWholeProfile(path, text, true, why);
}

}  // namespace remote
