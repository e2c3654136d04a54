// Writing a whole new profile file (the starter profile the window offers).
#pragma once

#include <string>
#include <string_view>

namespace remote {

// Writes `text` as the whole file at `path`: a new file only, or replacing one
// (`replace`); false with the reason in words.
bool WriteWholeFile(const std::string& path, std::string_view text, bool replace, std::string& why);

}  // namespace remote
