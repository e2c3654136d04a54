// The set-up window's words for what the core found: the launch of the TV
// application, and counts with their plurals. The window shows them; the profile
// assistant keeps its own words (scripts read those).
#pragma once

#include <string>

#include "setup/LaunchFinding.h"

namespace qrtl::setup {

// "1 key", "2 keys": `count` with `one` or `many`.
std::string Counted(std::size_t count, const char* one, const char* many);

// The window's line about POWER's start. `noneFound`: the application was just
// taken and no value under HKEY_LOCAL_MACHINE holds its folder.
std::string LaunchInWords(const LaunchFinding& launch, bool noneFound);

}  // namespace qrtl::setup
