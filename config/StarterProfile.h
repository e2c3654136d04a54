// The profile a fresh install starts with: every setting and comment of a profile,
// but no TV application chosen and no key with a code. The set-up window offers to
// write it when the profile is missing.
#pragma once

#include <string_view>

namespace qrtl {

// The whole file, lines ending in CR LF as Notepad wants them.
std::string_view StarterProfileText();

}  // namespace qrtl
