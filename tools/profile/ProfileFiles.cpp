#include "tools/profile/ProfileFiles.h"

#include <windows.h>

#include "setup/win32/SafeProfileWrite.h"
#include "product.h"
#include "tools/profile/ProfileTool.h"

namespace profiletool {

namespace {
// The monitor's main window: a dialog with this caption.
constexpr char kMonitorDialogClass[] = "#32770";
}  // namespace

bool WriteProfileKeys(const std::string& path, const std::string& section,
                      const std::vector<std::pair<std::string, std::string>>& keys) {
    std::vector<qrtl::win32::ProfileChange> changes;
    for (const auto& [key, value] : keys) changes.push_back({section, key, value});
    std::string error;
    if (qrtl::win32::WriteProfileSafely(path, changes, error)) return true;
    Fail(error);
    return false;
}

bool MonitorRunning() { return ::FindWindowA(kMonitorDialogClass, product::kMonitorCaption) != nullptr; }

}  // namespace profiletool
