// Whether the set-up window may write its profile, and why not in words.
#pragma once

#include <string>
#include <string_view>

namespace remote {

// Why the file at `path` cannot be written ("the file is marked read-only", ...);
// empty when it can be opened for writing.
std::string WhyNotWritable(const std::string& path);

// Writes `text` as the whole file at `path`: a new file only, or replacing one
// (`replace`); false with the reason in words.
bool WriteWholeFile(const std::string& path, std::string_view text, bool replace, std::string& why);

}  // namespace remote
