// The window's side of the profile file: whether it can be written now, where the
// owner wants a copy, and writing a whole file (the starter profile, a copy).
// Save's own write of the owner's changes is setup/win32/SafeProfileWrite.h.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace remote {

// Writes `text` as the whole file at `path`, under the profile's lock: a new file
// only, or replacing one (`replace`, with a .bak of it); through a temporary file
// beside it, so that a failure leaves `path` as it was. False with the reason in words.
bool WriteWholeFile(const std::string& path, std::string_view text, bool replace, std::string& why);

// True when the profile can be opened for writing now (attributes and rights).
bool ProfileWritable(const std::string& path);
// The read-only mark alone, without opening the file: for a look every second,
// which must never hold the file open while another program replaces it.
bool ProfileMarkedReadOnly(const std::string& path);

// Asks the owner where to keep a copy of the profile at `path`; empty when the
// owner cancels.
std::string AskCopyPath(HWND owner, const std::string& path);

}  // namespace remote
