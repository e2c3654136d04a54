#include "tools/profile/ProfileTool.h"

namespace profiletool {
int RunLearn(const std::vector<std::string>&) {
    Fail("not built yet");
    return kExitFailed;
}
}  // namespace profiletool
