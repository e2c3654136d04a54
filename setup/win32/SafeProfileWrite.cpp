#include "setup/win32/SafeProfileWrite.h"

#include <windows.h>

#include <cstring>

#include "setup/ProfileLineCheck.h"
#include "trace/Trace.h"

namespace qrtl::win32 {

namespace {

constexpr char kTempPrefix[] = "qrp";

// The temporary copy a Ctrl+C must remove, shared with the console's handler
// thread. Each step holds the lock, so the handler removes the copy between steps,
// never under a write, and the process then ends.
struct PendingTemp {
    PendingTemp() { ::InitializeCriticalSection(&lock); }
    CRITICAL_SECTION lock;
    char path[MAX_PATH] = {};
    bool handlerInstalled = false;
};

PendingTemp& Pending() {
    static PendingTemp pending;
    return pending;
}

BOOL WINAPI OnConsoleControl(DWORD) {
    PendingTemp& pending = Pending();
    // The lock is kept: the process is about to end, and no step may follow.
    ::EnterCriticalSection(&pending.lock);
    if (pending.path[0] != '\0') ::DeleteFileA(pending.path);
    pending.path[0] = '\0';
    return FALSE;  // the default handler ends the process
}

class StepLock {
public:
    StepLock() { ::EnterCriticalSection(&Pending().lock); }
    ~StepLock() { ::LeaveCriticalSection(&Pending().lock); }
    StepLock(const StepLock&) = delete;
    StepLock& operator=(const StepLock&) = delete;
};

std::string FullPath(const std::string& path) {
    char full[MAX_PATH] = {};
    const DWORD n = ::GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
    if (n == 0 || n >= MAX_PATH) return path;
    return std::string(full, n);
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
}

std::string ErrorText(DWORD error) {
    switch (error) {
    case ERROR_ACCESS_DENIED: return "access denied";
    case ERROR_WRITE_PROTECT: return "write-protected";
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return "the disk is full";
    case ERROR_SHARING_VIOLATION: return "another program has it open";
    case ERROR_PATH_NOT_FOUND: return "the folder does not exist";
    default: return "error " + std::to_string(error);
    }
}

}  // namespace

SafeProfileWrite::SafeProfileWrite(const std::string& profilePath) : profile_(FullPath(profilePath)) {}

SafeProfileWrite::~SafeProfileWrite() {
    if (!committed_) Discard();
}

void SafeProfileWrite::Discard() {
    StepLock lock;
    if (!temp_.empty()) ::DeleteFileA(temp_.c_str());
    temp_.clear();
    Pending().path[0] = '\0';
}

bool SafeProfileWrite::Begin() {
    StepLock lock;
    PendingTemp& pending = Pending();
    if (!pending.handlerInstalled)
        pending.handlerInstalled = ::SetConsoleCtrlHandler(OnConsoleControl, TRUE) != FALSE;

    const DWORD attributes = ::GetFileAttributesA(profile_.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (exists && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        error_ = profile_ + " is a folder: nothing changed";
        return false;
    }
    if (exists && (attributes & FILE_ATTRIBUTE_READONLY)) {
        error_ = profile_ + " is read-only: nothing changed";
        return false;
    }
    const std::string folder = FolderOf(profile_);
    char temp[MAX_PATH] = {};
    if (!::GetTempFileNameA(folder.c_str(), kTempPrefix, 0, temp)) {
        error_ = "cannot write in the folder " + folder + " (" + ErrorText(::GetLastError()) +
                 "): nothing changed";
        return false;
    }
    temp_ = temp;
    std::strncpy(pending.path, temp, MAX_PATH - 1);
    if (exists && !::CopyFileA(profile_.c_str(), temp_.c_str(), FALSE)) {
        error_ = "cannot copy " + profile_ + " to " + temp_ + " (" + ErrorText(::GetLastError()) +
                 "): nothing changed";
        ::DeleteFileA(temp_.c_str());
        temp_.clear();
        pending.path[0] = '\0';
        return false;
    }
    return true;
}

bool SafeProfileWrite::Write(const std::string& section, const std::string& key,
                             const std::string& value) {
    StepLock lock;
    if (temp_.empty()) {
        error_ = "no temporary copy to write into: nothing changed";
        return false;
    }
    // Whatever a caller hands in, no text may end its line and start lines of its own.
    const setup::LineCheck check = setup::CheckProfileLine(section, key, value);
    if (!check.Ok()) {
        error_ = "refused to write a line of [" + EscapeControlText(section) + "]: " + setup::LineCheckWords(check) +
                 ": nothing changed";
        return false;
    }
    if (!::WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), temp_.c_str())) {
        error_ = "cannot write " + key + " into the copy " + temp_ + " (" +
                 ErrorText(::GetLastError()) + "): nothing changed";
        return false;
    }
    return true;
}

bool SafeProfileWrite::Write(const std::vector<ProfileChange>& changes) {
    for (const ProfileChange& change : changes)
        if (!Write(change.section, change.key, change.value)) return false;
    return true;
}

bool SafeProfileWrite::Commit() {
    StepLock lock;
    if (temp_.empty()) {
        error_ = "no temporary copy to put in place: nothing changed";
        return false;
    }
    // Whatever the profile functions still hold goes to the copy now (Windows 9x caches).
    ::WritePrivateProfileStringA(nullptr, nullptr, nullptr, temp_.c_str());

    if (::GetFileAttributesA(profile_.c_str()) != INVALID_FILE_ATTRIBUTES) {
        const std::string backup = profile_ + kBackupSuffix;
        ::SetFileAttributesA(backup.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (!::CopyFileA(profile_.c_str(), backup.c_str(), FALSE)) {
            error_ = "cannot make " + backup + " (" + ErrorText(::GetLastError()) + "): nothing changed";
            return false;
        }
    }
    if (!::MoveFileExA(temp_.c_str(), profile_.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = ::GetLastError();
        // Windows 9x has no MoveFileEx: copy over the profile, then remove the copy.
        if (error != ERROR_CALL_NOT_IMPLEMENTED || !::CopyFileA(temp_.c_str(), profile_.c_str(), FALSE)) {
            error_ = "cannot replace " + profile_ + " (" +
                     ErrorText(error == ERROR_CALL_NOT_IMPLEMENTED ? ::GetLastError() : error) +
                     "): nothing changed";
            return false;
        }
        ::DeleteFileA(temp_.c_str());
    }
    temp_.clear();
    Pending().path[0] = '\0';
    committed_ = true;
    return true;
}

bool WriteProfileSafely(const std::string& path, const std::vector<ProfileChange>& changes,
                        std::string& error) {
    SafeProfileWrite write(path);
    if (write.Begin() && write.Write(changes) && write.Commit()) return true;
    error = write.Error();
    return false;
}

}  // namespace qrtl::win32
