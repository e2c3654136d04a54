// One named mutex per profile file, taken by every writer of ours (the set-up
// window, QRTLProfile, the monitor's setup dialog) while it writes, so that two
// writers never interleave: each applies its changes to the file as the other left
// it. The name comes from the identity of the file's folder (its volume's serial
// number and its file index) and the file's name, so every way of reaching one
// file (a mapped drive and its UNC path, subst, a junction, "c:\x\..\X\QRTLIRMONI.ini")
// shares a lock, and a save, which puts a new file in the old one's place, keeps it.
// Where the system cannot tell the identity (Windows 9x) the normalised full path
// stands in for it.
#pragma once

#include <windows.h>

#include <string>

#include "platform/win32/Handle.h"

namespace qrtl::win32 {

// `path` made absolute by the system (relative parts, "..", short names resolved
// where the file exists); `path` itself when the system cannot tell.
std::string FullPath(const std::string& path);

// `path` with its short names (PROGRA~1) made long where the file exists; `path`
// itself where it does not, or where the system cannot tell (Windows 95).
std::string LongPath(const std::string& path);

// Which file or folder an open handle is: the same for every path that reaches it.
struct FileIdentity {
    DWORD volume = 0;
    DWORD indexHigh = 0;
    DWORD indexLow = 0;
    bool operator==(const FileIdentity& other) const {
        return volume == other.volume && indexHigh == other.indexHigh && indexLow == other.indexLow;
    }
    bool operator!=(const FileIdentity& other) const { return !(*this == other); }
};
bool IdentityOf(HANDLE file, FileIdentity& identity);
// Of the file or folder at `path`, opened without access to its data; false when
// it is missing or the system cannot tell.
bool IdentityOfPath(const std::string& path, FileIdentity& identity);

// The mutex name for the profile at `path`: a fixed prefix and a hash of its
// folder's identity and its upper-cased name, or of the upper-cased full path
// where the folder's identity cannot be had (a path may be longer than a mutex
// name may be).
std::string ProfileLockName(const std::string& path);

class ProfileLock {
public:
    ProfileLock() = default;
    ~ProfileLock() { Release(); }
    ProfileLock(const ProfileLock&) = delete;
    ProfileLock& operator=(const ProfileLock&) = delete;

    // Waits up to `timeoutMs` for the lock of the profile at `path`; true when this
    // object holds it (also when its last holder ended without releasing it).
    bool Acquire(const std::string& path, DWORD timeoutMs);
    void Release();
    bool Held() const { return held_; }

private:
    UniqueHandleObj mutex_;
    bool held_ = false;
};

// How long a writer waits for another writer of the same profile.
constexpr DWORD kProfileLockWaitMs = 10000;

}  // namespace qrtl::win32
