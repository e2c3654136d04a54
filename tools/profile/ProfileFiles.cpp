#include "tools/profile/ProfileFiles.h"

#include <windows.h>

#include "product.h"
#include "tools/profile/ProfileTool.h"

namespace profiletool {

namespace {
// The monitor's main window: a dialog with this caption.
constexpr char kMonitorDialogClass[] = "#32770";
constexpr char kBackupSuffix[] = ".bak";
}  // namespace

std::string FullPath(const std::string& path) {
    char full[MAX_PATH] = {};
    const DWORD n = ::GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
    if (n == 0 || n >= MAX_PATH) return path;
    return std::string(full, n);
}

bool WriteProfileKeys(const std::string& path, const std::string& section,
                      const std::vector<std::pair<std::string, std::string>>& keys) {
    const std::string profile = FullPath(path);
    const DWORD attributes = ::GetFileAttributesA(profile.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        Fail(path + " is read-only: nothing written");
        return false;
    }
    const std::string backup = profile + kBackupSuffix;
    if (!::CopyFileA(profile.c_str(), backup.c_str(), FALSE)) {
        Fail("cannot copy " + path + " to " + path + kBackupSuffix + " (error " +
             std::to_string(::GetLastError()) + "; a read-only folder?): nothing written");
        return false;
    }
    for (const auto& [key, value] : keys) {
        if (::WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(),
                                         profile.c_str()))
            continue;
        const DWORD error = ::GetLastError();
        // Put the whole file back rather than leave some keys written.
        const bool restored = ::CopyFileA(backup.c_str(), profile.c_str(), FALSE) != FALSE;
        Fail("cannot write " + key + " into " + path + " (error " + std::to_string(error) + "); " +
             (restored ? "the profile is as it was" : "its previous content is in " + path + kBackupSuffix));
        return false;
    }
    return true;
}

bool MonitorRunning() { return ::FindWindowA(kMonitorDialogClass, product::kMonitorCaption) != nullptr; }

}  // namespace profiletool
