// QRTLProfile on Windows: writing a profile safely, and the monitor's presence.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace profiletool {

// The full path of `path`: the profile functions look for a bare name in the
// Windows folder, not in the current one.
std::string FullPath(const std::string& path);

// Writes the keys into `section` through the profile functions, every other line
// left as it was. First copies the profile to PROFILE.bak; a failed copy or write
// leaves the profile as it was (restored from the copy) and says why on standard
// error. True when every key was written.
bool WriteProfileKeys(const std::string& path, const std::string& section,
                      const std::vector<std::pair<std::string, std::string>>& keys);

// True while the monitor's main window exists (also hidden, in the tray).
bool MonitorRunning();

}  // namespace profiletool
