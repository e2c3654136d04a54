// The set-up window with a profile it cannot write: the caption and a banner say
// so and what to do, Learn and Save stay off (nothing would be kept), and Save as...
// keeps the owner's work in a copy the owner names. When the file becomes writable
// again (its attribute cleared while the window is open), Save comes back.
#include <windows.h>
#include <commdlg.h>

#include "ProfileAccess.h"
#include "RemoteWindow.h"
#include "UiText.h"
#include "platform/win32/Handle.h"
#include "product.h"
#include "resource.h"
#include "setup/FilePaths.h"
#include "setup/ProfileFile.h"
#include "setup/win32/SafeProfileWrite.h"

namespace remote {

std::string WhyNotWritable(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return "the file cannot be found";
    if (attributes & FILE_ATTRIBUTE_READONLY) return "the file is marked read-only";
    const qrtl::win32::UniqueFile file(::CreateFileA(path.c_str(), GENERIC_WRITE,
                                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return "this account may not change it";
    return {};
}

bool WriteWholeFile(const std::string& path, std::string_view text, bool replace, std::string& why) {
    const qrtl::win32::UniqueFile file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr,
                                                     replace ? CREATE_ALWAYS : CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                                     nullptr));
    DWORD written = 0;
    if (!file || !::WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) ||
        written != text.size()) {
        why = "it cannot be written there (error " + std::to_string(::GetLastError()) + ")";
        return false;
    }
    return true;
}

namespace {
std::string ToAnsi(const wchar_t* text) {
    char ansi[MAX_PATH * 2] = {};
    const int n = ::WideCharToMultiByte(CP_ACP, 0, text, -1, ansi, sizeof ansi, nullptr, nullptr);
    return n > 0 ? std::string(ansi) : std::string();
}
}  // namespace

namespace {
// The banner's row in the template (dialog units): the bottom row sits this much
// lower than it does without the banner.
constexpr int kBannerRowDlu = 20;
}  // namespace

void RemoteWindow::FitBanner(bool show) {
    if (show == bannerShown_) return;
    RECT row{0, 0, 0, kBannerRowDlu};
    ::MapDialogRect(dlg_, &row);
    const int dy = show ? row.bottom : -row.bottom;
    for (const int id : {res::kLive, res::kSaveAs, res::kSave, res::kClose}) {
        const HWND item = ::GetDlgItem(dlg_, id);
        RECT at;
        ::GetWindowRect(item, &at);
        ::MapWindowPoints(nullptr, dlg_, reinterpret_cast<POINT*>(&at), 2);
        ::SetWindowPos(item, nullptr, at.left, at.top + dy, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    RECT window;
    ::GetWindowRect(dlg_, &window);
    ::SetWindowPos(dlg_, nullptr, 0, 0, window.right - window.left, window.bottom - window.top + dy,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    bannerShown_ = show;
}

void RemoteWindow::ShowWritable() {
    std::string caption = product::kRemoteCaption;
    if (readOnly_) caption += " (read-only)";
    SetText(dlg_, caption);
    const HWND banner = ::GetDlgItem(dlg_, res::kBanner);
    if (readOnly_)
        SetItemText(dlg_, res::kBanner,
                    " This profile cannot be saved: " + readOnlyWhy_ +
                        ". Learning is off. Keep your changes with \"Save as...\", or make the file writable "
                        "(Properties in Explorer) and Save comes back.");
    ::ShowWindow(banner, readOnly_ ? SW_SHOWNA : SW_HIDE);
    FitBanner(readOnly_);
    EnableButtons();
}

void RemoteWindow::CheckWritableAgain() {
    if (!readOnly_ || !WhyNotWritable(profilePath_).empty()) return;
    readOnly_ = false;
    readOnlyWhy_.clear();
    ShowWritable();
    Live("The profile can be written again: Save and Learn are on.");
}

bool RemoteWindow::SaveAs() {
    StopLearning("");
    std::wstring name = Widen(qrtl::setup::FileNameOf(profilePath_));
    name.resize(MAX_PATH, L'\0');
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = dlg_;
    dialog.lpstrFilter = L"Profiles (*.INI)\0*.INI\0All files\0*.*\0";
    dialog.lpstrFile = &name[0];
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrDefExt = L"INI";
    dialog.lpstrTitle = L"Save a copy of the profile as";
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;
    if (!::GetSaveFileNameW(&dialog)) return false;
    const std::string target = ToAnsi(name.c_str());

    // The file as read, then the owner's changes into it by the safe write.
    std::string error;
    if (!WriteWholeFile(target, savedText_, true, error) ||
        !qrtl::win32::WriteProfileSafely(target, profile_.Changes(), error)) {
        Ask(dlg_, "The copy was not saved: " + FromAnsi(error) + "\n\nYour changes are still in this window.",
            MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    std::string text;
    qrtl::setup::ReadProfileFile(target, text);
    profilePath_ = target;
    savedText_ = text;
    profile_ = qrtl::setup::UnsavedProfile(text);
    readOnlyWhy_ = WhyNotWritable(profilePath_);
    readOnly_ = !readOnlyWhy_.empty();
    ShowWritable();
    Refresh();
    Live("Saved as " + FromAnsi(target) + "; this window now works on that copy.");
    return true;
}

}  // namespace remote
