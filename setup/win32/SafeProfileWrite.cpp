#include "setup/win32/SafeProfileWrite.h"

#include <windows.h>

#include <cstring>
#include <map>

#include "setup/FilePaths.h"
#include "setup/ProfileFile.h"

#include "setup/ProfileLineCheck.h"
#include "trace/Trace.h"

namespace qrtl::win32 {

namespace {

constexpr char kTempPrefix[] = "qrp";
// A scanner or an indexer holds a file it just saw for a moment: so long we retry.
constexpr DWORD kBusyRetryMs = 1000;
constexpr DWORD kBusyPauseMs = 50;
// A temporary copy of ours this old belongs to a writer that was killed.
constexpr ULONGLONG kStaleTempAge100ns = 60ull * 10000000ull;
// Rounds of asking the owner while another writer keeps changing the same lines.
constexpr int kMergeRounds = 3;

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

// Runs `step` again while another program briefly holds the file; the error of
// the last try, 0 on success.
template <typename Step>
DWORD RetryWhileBusy(Step step) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        if (step()) return 0;
        const DWORD error = ::GetLastError();
        const bool busy = error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED ||
                          error == ERROR_LOCK_VIOLATION;
        if (!busy || ::GetTickCount() - start >= kBusyRetryMs) return error;
        ::Sleep(kBusyPauseMs);
    }
}

// True when the file at `path` is a symbolic link (a reparse point) or has more
// names than one (a hard link): replacing it would cut the link.
bool IsLink(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return true;
    const UniqueFile file(::CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    return file && ::GetFileInformationByHandle(file.get(), &info) && info.nNumberOfLinks > 1;
}

// The file's data on the disk before it replaces the profile: a power cut after
// the move must not leave an empty profile.
bool FlushToDisk(const std::string& path) {
    const UniqueFile file(::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    return file && ::FlushFileBuffers(file.get());
}

ULONGLONG AsNumber(const FILETIME& time) {
    return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// Removes the temporary copies of writers of ours that were killed (older than a
// minute), so that they do not pile up and the uninstaller can remove the folder.
void RemoveStaleTemps(const std::string& folder) {
    FILETIME nowTime;
    ::GetSystemTimeAsFileTime(&nowTime);
    const ULONGLONG now = AsNumber(nowTime);
    WIN32_FIND_DATAA found;
    const UniqueFind find(::FindFirstFileA((folder + "\\" + kTempPrefix + "*.tmp").c_str(), &found));
    if (!find) return;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        const ULONGLONG written = AsNumber(found.ftLastWriteTime);
        if (written < now && now - written > kStaleTempAge100ns)
            ::DeleteFileA((folder + "\\" + found.cFileName).c_str());
    } while (::FindNextFileA(find.get(), &found));
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
    lock_.Release();
}

bool SafeProfileWrite::Begin() {
    StepLock lock;
    PendingTemp& pending = Pending();
    if (!pending.handlerInstalled)
        pending.handlerInstalled = ::SetConsoleCtrlHandler(OnConsoleControl, TRUE) != FALSE;

    if (!lock_.Acquire(profile_, kProfileLockWaitMs)) {
        error_ = "another program keeps writing " + profile_ + " (waited " +
                 std::to_string(kProfileLockWaitMs / 1000) + " s): nothing changed";
        return false;
    }
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
    if (exists && IsLink(profile_)) {
        error_ = profile_ + " is a link to another file, which a save would cut: write the file it links to "
                 "instead; nothing changed";
        return false;
    }
    const std::string folder = setup::FolderOf(profile_);
    RemoveStaleTemps(folder);
    char temp[MAX_PATH] = {};
    if (!::GetTempFileNameA(folder.c_str(), kTempPrefix, 0, temp)) {
        error_ = "cannot write in the folder " + folder + " (" + ErrorText(::GetLastError()) +
                 "): nothing changed";
        return false;
    }
    temp_ = temp;
    std::strncpy(pending.path, temp, MAX_PATH - 1);
    const DWORD copyError =
        exists ? RetryWhileBusy([&] { return ::CopyFileA(profile_.c_str(), temp_.c_str(), FALSE) != FALSE; }) : 0;
    if (copyError != 0) {
        error_ = "cannot copy " + profile_ + " to " + temp_ + " (" + ErrorText(copyError) + "): nothing changed";
        ::DeleteFileA(temp_.c_str());
        temp_.clear();
        pending.path[0] = '\0';
        return false;
    }
    return true;
}

bool SafeProfileWrite::Put(const std::string& section, const char* key, const char* value,
                           const std::string& what) {
    StepLock lock;
    if (temp_.empty()) {
        error_ = "no temporary copy to write into: nothing changed";
        return false;
    }
    // Whatever a caller hands in, no text may end its line and start lines of its own;
    // a removal names only a section, or a section and a key.
    setup::LineCheck check;
    if (key != nullptr && value != nullptr) {
        check = setup::CheckProfileLine(section, key, value);
    } else if ((check.problem = setup::CheckProfileSection(section)) != setup::LineProblem::None) {
        check.part = setup::LineCheck::Part::Section;
    } else if (key != nullptr && (check.problem = setup::CheckProfileKey(key)) != setup::LineProblem::None) {
        check.part = setup::LineCheck::Part::Key;
    }
    if (!check.Ok()) {
        error_ = "refused to write a line of [" + EscapeControlText(section) + "]: " + setup::LineCheckWords(check) +
                 ": nothing changed";
        return false;
    }
    if (!::WritePrivateProfileStringA(section.c_str(), key, value, temp_.c_str())) {
        error_ = "cannot " + what + " the copy " + temp_ + " (" + ErrorText(::GetLastError()) + "): nothing changed";
        return false;
    }
    return true;
}

bool SafeProfileWrite::Write(const std::string& section, const std::string& key,
                             const std::string& value) {
    return Put(section, key.c_str(), value.c_str(), "write " + key + " into");
}

bool SafeProfileWrite::Remove(const std::string& section, const std::string& key) {
    // A null value removes the key, a null key the whole section.
    if (key.empty()) return Put(section, nullptr, nullptr, "remove [" + section + "] from");
    return Put(section, key.c_str(), nullptr, "remove " + key + " from");
}

bool SafeProfileWrite::Write(const std::vector<ProfileChange>& changes) {
    for (const ProfileChange& change : changes) {
        if (change.kind != setup::ChangeKind::Set ? !Remove(change.section, change.key) : !Write(change.section, change.key, change.value))
            return false;
    }
    return true;
}

bool SafeProfileWrite::MakeBackup() {
    // By a copy of its own and a move: a .bak that is a link is replaced, never
    // written through, and a half-made copy never takes the old backup's place.
    const std::string backup = profile_ + kBackupSuffix;
    char temp[MAX_PATH] = {};
    if (!::GetTempFileNameA(setup::FolderOf(profile_).c_str(), kTempPrefix, 0, temp)) {
        error_ = "cannot make " + backup + " (" + ErrorText(::GetLastError()) + "): nothing changed";
        return false;
    }
    DWORD error = RetryWhileBusy([&] { return ::CopyFileA(profile_.c_str(), temp, FALSE) != FALSE; });
    if (error == 0) {
        ::SetFileAttributesA(backup.c_str(), FILE_ATTRIBUTE_NORMAL);
        error = RetryWhileBusy([&] { return ::MoveFileExA(temp, backup.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE; });
        // Windows 9x has no MoveFileEx: the old backup goes first.
        if (error == ERROR_CALL_NOT_IMPLEMENTED) {
            ::DeleteFileA(backup.c_str());
            error = ::MoveFileA(temp, backup.c_str()) ? 0 : ::GetLastError();
        }
    }
    if (error != 0) {
        ::DeleteFileA(temp);
        error_ = "cannot make " + backup + " (" + ErrorText(error) + "): nothing changed";
        return false;
    }
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
    if (!FlushToDisk(temp_)) {
        error_ = "cannot write the copy " + temp_ + " to the disk (" + ErrorText(::GetLastError()) +
                 "): nothing changed";
        return false;
    }
    if (::GetFileAttributesA(profile_.c_str()) != INVALID_FILE_ATTRIBUTES && !MakeBackup()) return false;
    DWORD error = RetryWhileBusy([&] {
        return ::MoveFileExA(temp_.c_str(), profile_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) !=
               FALSE;
    });
    if (error == ERROR_CALL_NOT_IMPLEMENTED) {
        // Windows 9x has no MoveFileEx: copy over the profile, then remove the copy.
        error = ::CopyFileA(temp_.c_str(), profile_.c_str(), FALSE) ? 0 : ::GetLastError();
        if (error == 0) ::DeleteFileA(temp_.c_str());
    }
    if (error != 0) {
        error_ = "cannot replace " + profile_ + " (" + ErrorText(error) + "): nothing changed";
        return false;
    }
    temp_.clear();
    Pending().path[0] = '\0';
    committed_ = true;
    lock_.Release();
    return true;
}

bool WriteProfileSafely(const std::string& path, const std::vector<ProfileChange>& changes,
                        std::string& error) {
    SafeProfileWrite write(path);
    if (write.Begin() && write.Write(changes) && write.Commit()) return true;
    error = write.Error();
    return false;
}

bool WriteChangesSince(const std::string& path, const std::string& baseText,
                       const std::vector<ProfileChange>& changes,
                       const std::function<bool(const setup::MergeConflict&)>& keepOurs,
                       std::string& savedText, std::string& error) {
    const ProfileDocument base = ProfileDocument::Parse(baseText);
    // The owner's answers, by section and key, for the value the other writer left.
    std::map<std::string, std::pair<std::string, bool>> answers;
    const auto answerKey = [](const ProfileChange& c) { return c.section + "\n" + c.key; };
    for (int round = 0; round < kMergeRounds; ++round) {
        SafeProfileWrite write(path);
        if (!write.Begin()) {
            error = write.Error();
            return false;
        }
        std::string nowText;
        const setup::ProfileReadResult read = setup::ReadProfileFile(FullPath(path), nowText);
        if (read.status != setup::ProfileRead::Ok && read.status != setup::ProfileRead::Missing &&
            read.status != setup::ProfileRead::Unusable) {
            error = "cannot read " + FullPath(path) + " again before writing: nothing changed";
            return false;
        }
        const setup::MergePlan plan =
            nowText == baseText ? setup::MergePlan{changes, {}}
                                : setup::PlanMerge(base, ProfileDocument::Parse(nowText), changes);
        std::vector<ProfileChange> toWrite = plan.write;
        std::vector<setup::MergeConflict> open;
        for (const setup::MergeConflict& conflict : plan.conflicts) {
            const auto known = answers.find(answerKey(conflict.ours));
            if (known == answers.end() || known->second.first != conflict.theirs)
                open.push_back(conflict);
            else if (known->second.second)
                toWrite.push_back(conflict.ours);
        }
        if (open.empty()) {
            if (!write.Write(toWrite) || !write.Commit()) {
                error = write.Error();
                return false;
            }
            if (setup::ReadProfileFile(FullPath(path), savedText).status != setup::ProfileRead::Ok)
                savedText.clear();
            return true;
        }
        // The owner is asked with the lock let go: the monitor's setup dialog must not wait on a question.
        write.Discard();
        for (const setup::MergeConflict& conflict : open)
            answers[answerKey(conflict.ours)] = {conflict.theirs, keepOurs(conflict)};
    }
    error = "another program keeps changing the same lines of " + FullPath(path) + ": nothing changed";
    return false;
}

}  // namespace qrtl::win32
