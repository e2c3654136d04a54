// Writing a profile so that it is never left half-written: the changes go into a
// temporary copy beside it, through the profile functions (the owner's comments and
// other lines stay), the old file becomes PROFILE.bak, and the copy replaces the
// profile in one move. A Ctrl+C, a crash or a full disk before the move leaves the
// profile as it was; a Ctrl+C removes the temporary copy.
#pragma once

#include <string>
#include <vector>

#include "platform/win32/Handle.h"

namespace qrtl::win32 {

struct ProfileChange {
    std::string section;
    std::string key;
    std::string value;  // empty: "KEY=" (the key stays, without a value)
    bool remove = false;  // the key goes; with an empty key, the whole section
};

constexpr char kBackupSuffix[] = ".bak";

class SafeProfileWrite {
public:
    explicit SafeProfileWrite(const std::string& profilePath);
    // Removes the temporary copy unless it was committed.
    ~SafeProfileWrite();
    SafeProfileWrite(const SafeProfileWrite&) = delete;
    SafeProfileWrite& operator=(const SafeProfileWrite&) = delete;

    // Step 1: the temporary copy beside the profile (a missing profile gives an
    // empty copy). False, with the reason in Error(), when the folder or the
    // profile cannot be written.
    bool Begin();
    // Step 2: one value into the copy.
    bool Write(const std::string& section, const std::string& key, const std::string& value);
    bool Write(const std::vector<ProfileChange>& changes);
    // One key, or with an empty key one section, out of the copy.
    bool Remove(const std::string& section, const std::string& key);
    // Steps 3 and 4: PROFILE.bak from the old file, then the copy replaces the profile.
    bool Commit();

    const std::string& ProfilePath() const { return profile_; }
    const std::string& TempPath() const { return temp_; }
    const std::string& Error() const { return error_; }

private:
    void Discard();
    // One profile function call into the copy; `what` names it in the error.
    bool Put(const std::string& section, const char* key, const char* value, const std::string& what);

    std::string profile_;  // full path
    std::string temp_;
    std::string error_;
    bool committed_ = false;
};

// The whole safe write of `changes` into the profile at `path`. On failure the
// profile is unchanged and `error` says why in one sentence.
bool WriteProfileSafely(const std::string& path, const std::vector<ProfileChange>& changes,
                        std::string& error);

}  // namespace qrtl::win32
