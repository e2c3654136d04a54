// QRTLRemote.exe: the remote set-up window. It opens the monitor's profile beside
// itself, or the profile named on its command line.
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <string_view>

#include "ProfileAccess.h"
#include "RemoteWindow.h"
#include "UiText.h"
#include "setup/CheckWords.h"
#include "setup/ProfileFile.h"
#include "platform/win32/ProfileLock.h"
#include "tools/common/MonitorControl.h"
#include "platform/win32/Handle.h"
#include "product.h"
#include "config/StarterProfile.h"

namespace {

using remote::Ask;

// Writes the starter profile, the one a fresh install gets, to `path`; false with
// the reason.
bool WriteStarterProfile(const std::string& path, std::string& why) {
    return remote::WriteWholeFile(path, qrtl::StarterProfileText(), false, why);
}

// Reads the whole profile; false with the reason in words.
bool ReadProfile(const std::string& path, std::string& bytes, std::string& why) {
    const qrtl::setup::ProfileReadResult read = qrtl::setup::ReadProfileFile(path, bytes);
    if (read.status == qrtl::setup::ProfileRead::Ok) return true;
    why = read.status == qrtl::setup::ProfileRead::Unusable
              ? qrtl::ProfileUnusableWords(read.unusable)
              : "cannot be read (error " + std::to_string(read.systemError) + ")";
    return false;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int show) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);

    const std::string path =
        qrtl::win32::FullPath(__argc > 1 ? __argv[1] : tools::ProgramFolder() + product::kProfileName);
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
    if (!window.ShowModeless(nullptr, show == SW_HIDE ? SW_SHOWNORMAL : show)) {
        Ask(nullptr, "The set-up window cannot be created (error " + std::to_string(::GetLastError()) + ").",
            MB_OK | MB_ICONSTOP);
        return 1;
    }
    return window.RunMessageLoop();
}
