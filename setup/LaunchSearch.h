// Where POWER finds the TV application to start it: a value under
// HKEY_LOCAL_MACHINE whose text is the executable's folder.
#pragma once

#include <string>
#include <string_view>

#include "platform/Platform.h"

namespace qrtl::setup {

struct LaunchLines {
    bool found = false;
    std::string regPath;    // N_RegPath: key under HKEY_LOCAL_MACHINE
    std::string regFolder;  // N_RegFolder: the value's name in it
    std::string exeName;    // N_ExeName: the executable's file name
    std::string where;      // "App Paths", "Uninstall", "Software\Vendor"
};

// True when the two name the same folder: without case, with or without one
// trailing backslash.
bool SameFolder(std::string_view a, std::string_view b);

// Looks for the folder of `exePath` (a full path) in this order: App Paths\<exe>
// value Path; the InstallLocation of every Uninstall entry; the text values of
// every key one and two levels below Software\<Vendor>. Values longer than the
// monitor reads (255 characters) do not count.
LaunchLines FindLaunchLines(IRegistry& registry, const std::string& exePath);

}  // namespace qrtl::setup
