#include "ProfileAccess.h"

#include <commdlg.h>

#include "UiText.h"
#include "platform/win32/Handle.h"
#include "platform/win32/ProfileLock.h"
#include "product.h"
#include "setup/win32/SafeProfileWrite.h"
#include "tools/common/MonitorControl.h"

namespace remote {

namespace {

constexpr char kCopyTitle[] = "Save a copy of the profile";
// Two strings, each ended by a zero, and a zero at the end.
constexpr char kProfileFilter[] = "Profiles (*.ini)\0*.ini\0All files (*.*)\0*.*\0";

}  // namespace

bool WriteWholeFile(const std::string& path, std::string_view text, bool replace, std::string& why) {
    return qrtl::win32::WriteWholeProfile(path, text, replace, why);
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

bool ProfileWritableNow(const std::string& path, bool glance, bool wasReadOnly) {
    return glance && !wasReadOnly ? !ProfileMarkedReadOnly(path) : ProfileWritable(path);
}

bool WriteOwnersChanges(HWND owner, const std::string& path, const std::string& baseText,
                        const std::vector<qrtl::setup::ProfileChange>& changes, std::string& savedText, std::string& error) {
    const auto keepOurs = [owner](const qrtl::setup::MergeConflict& conflict) {
        return Ask(owner, FromAnsi(qrtl::setup::ConflictQuestion(conflict)), MB_YESNO | MB_ICONQUESTION) == IDYES;
    };
    return qrtl::win32::WriteChangesSince(path, baseText, changes, keepOurs, savedText, error);
}

qrtl::setup::SavedFile FileAt(const std::string& path) {
    const std::string monitorProfile = tools::ProgramFolder() + product::kProfileName;
    const std::string full = qrtl::win32::FullPath(path);
    return {path, monitorProfile, ::lstrcmpiA(full.c_str(), qrtl::win32::FullPath(monitorProfile).c_str()) == 0};
}

}  // namespace remote
