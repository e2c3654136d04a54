// What POWER would start for the active client of a profile, as the monitor's own
// launch does: the folder from HKEY_LOCAL_MACHINE, the file name from the profile,
// and ".exe" added to a name without an extension (the system's process start adds
// it). The profile checker and the set-up window both judge the launch lines here,
// so that they never disagree; each puts the result into its own words.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "config/ProfileReader.h"
#include "platform/Platform.h"

namespace qrtl::setup {

enum class PathKind { Missing, File, Folder };
// What is at a path on this machine.
using PathKindOf = std::function<PathKind(const std::string& path)>;

enum class LaunchState {
    NoLaunchLines,     // no N_RegPath: POWER starts nothing (a choice, not a fault)
    FolderUnreadable,  // the registry value cannot be read
    ProgramMissing,    // nothing at the program's path
    ProgramIsFolder,   // a folder at the program's path: it cannot be started
    Starts,            // a file at the program's path
    NotChecked,        // the path was found, but no file check was asked for
};

struct LaunchFinding {
    LaunchState state = LaunchState::NoLaunchLines;
    int32_t client = 0;      // the active client N
    std::string regPath;     // N_RegPath as written
    std::string regFolder;   // N_RegFolder as written
    std::string exeName;     // N_ExeName as written
    bool extensionAdded = false;  // N_ExeName has no extension: ".exe" is added at the start
    std::string program;     // the path started, ".exe" added where the start adds it
};

// The launch finding of the active client of `document`; `pathKind` may be empty
// (then a readable folder gives NotChecked).
LaunchFinding FindLaunch(const ProfileDocument& document, IRegistry& registry, const PathKindOf& pathKind);

// True when a program file name has no extension, so that the start adds ".exe".
bool StartAddsExtension(const std::string& exeName);

}  // namespace qrtl::setup
