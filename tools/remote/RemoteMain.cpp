// QRTLRemote.exe: the remote set-up window. It opens the monitor's profile beside
// itself, or the profile named on its command line.
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <string_view>

#include "Banner.h"
#include "MonitorControl.h"
#include "RemoteWindow.h"
#include "UiText.h"
#include "setup/ProfileCheck.h"
#include "platform/win32/Handle.h"
#include "product.h"
#include "config/StarterProfile.h"

namespace {

using remote::Ask;

std::string FullPath(const std::string& path) {
    char full[MAX_PATH] = {};
    const DWORD n = ::GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
    return n == 0 || n >= MAX_PATH ? path : std::string(full, n);
}

// Writes the starter profile, the one a fresh install gets, to `path`; false with
// the reason.
bool WriteStarterProfile(const std::string& path, std::string& why) {
    const std::string_view text = qrtl::StarterProfileText();
    const qrtl::win32::UniqueFile file(
        ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (!file || !::WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) ||
        written != text.size()) {
        why = "it cannot be written there (error " + std::to_string(::GetLastError()) + ")";
        return false;
    }
    return true;
}

// Reads the whole profile; false with the reason in words.
bool ReadProfile(const std::string& path, std::string& bytes, std::string& why) {
    const qrtl::win32::UniqueFile file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                     nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        why = "cannot be read (error " + std::to_string(::GetLastError()) + ")";
        return false;
    }
    const DWORD size = ::GetFileSize(file.get(), nullptr);
    if (size == INVALID_FILE_SIZE || size > qrtl::kMaxProfileBytes) {
        why = "is too large for a profile (" + std::to_string(size) + " bytes, at most " +
              std::to_string(qrtl::kMaxProfileBytes) + ")";
        return false;
    }
    bytes.resize(size);
    DWORD got = 0;
    if (size > 0 && (!::ReadFile(file.get(), &bytes[0], size, &got, nullptr) || got != size)) {
        why = "cannot be read (error " + std::to_string(::GetLastError()) + ")";
        return false;
    }
    why = qrtl::ProfileUnusableReason(bytes);
    return why.empty();
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int show) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);

    const std::string path = FullPath(__argc > 1 ? __argv[1] : remote::ProgramFolder() + product::kProfileName);
    const std::string shown = remote::FromAnsi(path);

    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        if (Ask(nullptr,
                "There is no profile at " + shown +
                    ".\n\nCreate the starter profile there? It names the 27 keys of the remote without codes, "
                    "and no TV application yet.",
                MB_YESNO | MB_ICONQUESTION) != IDYES)
            return 1;
        std::string why;
        if (!WriteStarterProfile(path, why)) {
            Ask(nullptr, "The starter profile was not created at " + shown + ": " + why + ".", MB_OK | MB_ICONSTOP);
            return 1;
        }
    } else if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        Ask(nullptr, shown + " is a folder, not a profile.", MB_OK | MB_ICONSTOP);
        return 1;
    }

    std::string bytes;
    std::string why;
    if (!ReadProfile(path, bytes, why)) {
        Ask(nullptr, shown + " " + why + ".\n\nNothing was changed.", MB_OK | MB_ICONSTOP);
        return 1;
    }

    remote::RemoteWindow window(path, bytes, !remote::ProfileWritable(path));
    if (!window.Create(show == SW_HIDE ? SW_SHOWNORMAL : show)) {
        Ask(nullptr, "The set-up window cannot be created (error " + std::to_string(::GetLastError()) + ").",
            MB_OK | MB_ICONSTOP);
        return 1;
    }
    return window.RunMessageLoop();
}
