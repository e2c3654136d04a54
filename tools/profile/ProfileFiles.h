// QRTLProfile on Windows: writing a profile safely, and the monitor's presence.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace profiletool {

// Writes the keys into `section` through the profile functions, every other line
// left as it was, by the safe write: a temporary copy beside the profile takes the
// keys, the old file becomes PROFILE.bak, the copy replaces the profile. Any
// failure leaves the profile as it was and says why on standard error. True when
// every key was written.
bool WriteProfileKeys(const std::string& path, const std::string& section,
                      const std::vector<std::pair<std::string, std::string>>& keys);

// True while the monitor's main window exists (also hidden, in the tray).
bool MonitorRunning();

}  // namespace profiletool
