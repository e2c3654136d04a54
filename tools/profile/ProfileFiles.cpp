#include "tools/profile/ProfileFiles.h"

#include "setup/win32/SafeProfileWrite.h"
#include "tools/common/MonitorControl.h"
#include "tools/profile/ProfileTool.h"

namespace profiletool {

bool WriteProfileKeys(const std::string& path, const std::vector<qrtl::setup::ProfileChange>& changes) {
    std::string error;
    if (qrtl::win32::WriteProfileSafely(path, changes, error)) return true;
    Fail(error);
    return false;
}

bool MonitorRunning() { return tools::FindMonitor() != nullptr; }

}  // namespace profiletool
