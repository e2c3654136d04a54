// Writing a profile so that it is never left half-written and no writer of ours
// loses another's work: under the profile's lock (platform/win32/ProfileLock.h)
// the changes go into a temporary copy of the file as it is now, through the
// profile functions (the owner's comments and other lines stay), the old file
// becomes PROFILE.bak, and the copy replaces the profile in one move. A Ctrl+C, a
// crash or a full disk before the move leaves the profile as it was; a Ctrl+C
// removes the temporary copy. A copy is named after the process that made it and
// held open without delete sharing until the move: a later write removes only the
// copies of ours whose process has ended, never a writer's at work.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win32/Handle.h"
#include "platform/win32/ProfileLock.h"
#include "setup/ProfileChange.h"
#include "setup/ProfileMerge.h"

namespace qrtl::win32 {

using setup::ProfileChange;

constexpr char kBackupSuffix[] = ".bak";

class SafeProfileWrite {
public:
    explicit SafeProfileWrite(const std::string& profilePath);
    // Removes the temporary copy unless it was committed.
    ~SafeProfileWrite();
    SafeProfileWrite(const SafeProfileWrite&) = delete;
    SafeProfileWrite& operator=(const SafeProfileWrite&) = delete;

    // Step 1: the profile's lock, then the temporary copy beside the profile (a
    // missing profile gives an empty copy). False, with the reason in Error(), when
    // another writer keeps the lock, the profile is a link, or the folder or the
    // profile cannot be written.
    bool Begin();
    // The profile's bytes as Begin copied them (empty when it was missing): what a
    // merge is planned from. False when the file was larger than a profile may be.
    bool BeganText(std::string& text) const;
    // The copy as it is now, with the writes so far; empty when it cannot be read.
    std::string CopyText();
    // True when the profile existed at Begin.
    bool Existed() const { return existed_; }
    // Step 2, for a whole new file: the copy becomes `text`.
    bool ReplaceText(std::string_view text);
    // Step 2: one value into the copy.
    bool Write(const std::string& section, const std::string& key, const std::string& value);
    bool Write(const std::vector<ProfileChange>& changes);
    // One key, or with an empty key one section, out of the copy.
    bool Remove(const std::string& section, const std::string& key);
    // Steps 3 and 4: PROFILE.bak from the old file, then the copy replaces the profile.
    bool Commit();
    // Ends an unfinished write: the copy is removed, the lock let go.
    void Discard();

    const std::string& Error() const { return error_; }

private:
    // One profile function call into the copy; `what` names it in the error.
    bool Put(const std::string& section, const char* key, const char* value, const std::string& what);
    bool MakeBackup();
    // The copy made in Begin is still there under its name, the same file.
    bool CopyIsOurs() const;
    void ForgetCopy();

    std::string profile_;  // full path
    std::string temp_;
    UniqueFile held_;        // the copy, open without delete sharing
    FileIdentity copyId_;    // which file the copy is
    std::string began_;      // the profile's bytes at Begin, up to the profile limit
    bool beganWhole_ = true;
    bool existed_ = false;
    std::string error_;
    ProfileLock lock_;
    bool committed_ = false;
};

// The whole safe write of `changes` into the profile at `path`. On failure the
// profile is unchanged and `error` says why in one sentence.
bool WriteProfileSafely(const std::string& path, const std::vector<ProfileChange>& changes,
                        std::string& error);

// The whole file at `path` becomes `text` (Save as..., a new profile), through the
// same lock, copy, .bak and move; with `replace` false an existing file is left
// alone and named in `error`. On failure the file is unchanged.
bool WriteWholeProfile(const std::string& path, std::string_view text, bool replace, std::string& error);

// The safe write of a writer that read the profile earlier (its text `baseText`)
// and changed it since: only the lines it changed are written, into the file as
// it is now. A line that another writer changed too is written only when
// `keepOurs` (asked with the lock let go) says so. On success `savedText` is the
// file as written.
bool WriteChangesSince(const std::string& path, const std::string& baseText,
                       const std::vector<ProfileChange>& changes,
                       const std::function<bool(const setup::MergeConflict&)>& keepOurs,
                       std::string& savedText, std::string& error);

}  // namespace qrtl::win32
