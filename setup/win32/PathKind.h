// What is at a path on this machine, for the launch finding of both set-up tools.
#pragma once

#include <string>

#include "setup/LaunchFinding.h"

namespace qrtl::win32 {

qrtl::setup::PathKind KindOfPath(const std::string& path);

}  // namespace qrtl::win32
