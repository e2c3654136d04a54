// QRTLProfile on Windows: writing a profile safely, and the monitor's presence.
#pragma once

#include <string>
#include <vector>

#include "setup/ProfileChange.h"

namespace profiletool {

// Writes the changes through the profile functions, every other line left as it
// was, by the safe write: under the profile's writer lock a temporary copy of the
// file as it is now takes them, the old file becomes PROFILE.bak, the copy replaces
// the profile. Any failure leaves the profile as it was and says why on standard
// error. True when every change was written.
bool WriteProfileKeys(const std::string& path, const std::vector<qrtl::setup::ProfileChange>& changes);

// True while a monitor's main window exists (also hidden, in the tray; any copy):
// it reads the receiver.
bool MonitorRunning();

}  // namespace profiletool
