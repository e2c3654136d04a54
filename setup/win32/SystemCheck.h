// The checker's view of this machine, as both set-up tools check a profile
// against it: its registry, what is at a path, who may change a machine key.
#pragma once

#include "setup/ProfileCheck.h"

namespace qrtl::win32 {

// `registry` must outlive the environment's use.
qrtl::CheckEnvironment SystemCheckEnvironment(qrtl::IRegistry& registry);

}  // namespace qrtl::win32
