// Writing a whole new profile file (the starter profile the window offers).
#include "ProfileAccess.h"

#include "setup/win32/SafeProfileWrite.h"

namespace remote {

bool WriteWholeFile(const std::string& path, std::string_view text, bool replace, std::string& why) {
    return qrtl::win32::WriteWholeProfile(path, text, replace, why);
}

}  // namespace remote
