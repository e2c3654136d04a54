// The window's side of the profile file: whether it can be written now, where the
// owner wants a copy, writing a whole file (the starter profile, a copy), and Save's
// write of the owner's changes (setup/win32/SafeProfileWrite.h) with its question.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "setup/ProfileChange.h"
#include "setup/SessionSave.h"

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

// Whether the profile can be written now. A `glance` (the look every second) opens
// the file only when it was read-only (`wasReadOnly`).
bool ProfileWritableNow(const std::string& path, bool glance, bool wasReadOnly);

// The owner's `changes` since the file read as `baseText` written into `path`; a line
// another writer changed meanwhile is asked about over `owner`. False with `error`.
bool WriteOwnersChanges(HWND owner, const std::string& path, const std::string& baseText,
                        const std::vector<qrtl::setup::ProfileChange>& changes, std::string& savedText, std::string& error);

// The file at `path` and the one the monitor reads, which is only the profile beside it.
qrtl::setup::SavedFile FileAt(const std::string& path);

}  // namespace remote
