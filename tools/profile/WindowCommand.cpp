#include "tools/profile/ProfileTool.h"

namespace profiletool {
int RunWindow(const std::vector<std::string>&) {
    Fail("not built yet");
    return kExitFailed;
}
}  // namespace profiletool
