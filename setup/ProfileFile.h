// Reading the profile file whole, as both set-up tools do before they work on it:
// the outcome as a code, which each tool words in its own way.
#pragma once

#include <string>

#include "setup/ProfileCheck.h"

namespace qrtl::setup {

enum class ProfileRead {
    Ok,
    Missing,     // no such file
    CannotOpen,  // it exists but cannot be opened (rights, a folder, a lock)
    CannotRead,  // opened, but reading failed
    Unusable,    // read, but no profile: too large, binary, empty, no section
};

struct ProfileReadResult {
    ProfileRead status = ProfileRead::Ok;
    int systemError = 0;  // errno of the failed open or read
    ProfileUnusable unusable = ProfileUnusable::None;  // for Unusable: why (ProfileUnusableWords)
};

// Reads the file at `path` into `bytes`: at most kMaxProfileBytes and one byte more,
// so that a larger file is Unusable ("too large") without ever being held whole.
ProfileReadResult ReadProfileFile(const std::string& path, std::string& bytes);

}  // namespace qrtl::setup
