#include "setup/OwnerWords.h"

namespace qrtl::setup {

std::string Counted(std::size_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

std::string LaunchInWords(const LaunchFinding& launch, bool noneFound) {
    const std::string where = "HKEY_LOCAL_MACHINE\\" + launch.regPath;
    switch (launch.state) {
    case LaunchState::NoLaunchLines:
        return noneFound ? "No launch lines: no value under HKEY_LOCAL_MACHINE holds the application's folder, "
                           "so POWER cannot start this application (the monitor reads the folder from "
                           "HKEY_LOCAL_MACHINE only)."
                         : "no launch lines: POWER starts no application";
    case LaunchState::FolderUnreadable:
        return "the folder cannot be read from " + where + " value \"" + launch.regFolder +
               "\": POWER cannot start the application";
    case LaunchState::ProgramMissing:
        return launch.program + " does not exist: POWER cannot start the application";
    case LaunchState::ProgramIsFolder:
        return launch.program + " is a folder, not a program: POWER cannot start the application";
    case LaunchState::Starts:
    case LaunchState::NotChecked:
        break;
    }
    return "starts " + launch.program + " (folder from " + where + ", value \"" + launch.regFolder + "\")";
}

}  // namespace qrtl::setup
