#include "setup/win32/SafeProfileWrite.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <map>

#include "setup/FilePaths.h"
#include "setup/ProfileCheck.h"

#include "setup/ProfileLineCheck.h"
#include "trace/Trace.h"

namespace qrtl::win32 {

namespace {

// A copy of ours is "qrp", its process's id in 8 hex digits, "_", a number, ".tmp".
constexpr char kTempPrefix[] = "qrp";
constexpr char kTempSuffix[] = ".tmp";
constexpr int kPidDigits = 8;
constexpr int kMaxNameTries = 1000;
// A scanner or an indexer holds a file it just saw for a moment: so long we retry.
constexpr DWORD kBusyRetryMs = 1000;
constexpr DWORD kBusyPauseMs = 50;
// Rounds of asking the owner while another writer keeps changing the same lines.
constexpr int kMergeRounds = 3;

// The temporary copy a Ctrl+C must remove, shared with the console's handler
// thread. Each step holds the lock, so the handler removes the copy between steps,
// never under a write, and the process then ends.
struct PendingTemp {
    PendingTemp() { ::InitializeCriticalSection(&lock); }
    CRITICAL_SECTION lock;
    char path[MAX_PATH] = {};
    HANDLE held = nullptr;  // the copy's open handle, which keeps the copy from being deleted
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
    // The writer's holder of this handle never runs again: the process ends.
    if (pending.held != nullptr) ::CloseHandle(pending.held);
    pending.held = nullptr;
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

// True when the file at `path` is a symbolic link or a junction, or has more names
// than one (a hard link): replacing it would cut the link. Other reparse points
// (a cloud file's placeholder, a deduplicated file) are the file itself.
bool IsLink(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        WIN32_FIND_DATAA found;
        const UniqueFind find(::FindFirstFileA(path.c_str(), &found));
        // The tag is in dwReserved0; a point that cannot be looked at is taken for a link.
        if (!find) return true;
        if (found.dwReserved0 == IO_REPARSE_TAG_SYMLINK || found.dwReserved0 == IO_REPARSE_TAG_MOUNT_POINT)
            return true;
    }
    const UniqueFile file(::CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    return file && ::GetFileInformationByHandle(file.get(), &info) && info.nNumberOfLinks > 1;
}

// The file's data on the disk before it replaces the profile: a power cut after
// the move must not leave an empty profile. A scanner that holds the file for a
// moment is waited for.
bool FlushToDisk(const std::string& path) {
    UniqueFile file;
    const DWORD error = RetryWhileBusy([&] {
        file.reset(::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
        return static_cast<bool>(file);
    });
    if (error != 0) {
        ::SetLastError(error);
        return false;
    }
    return ::FlushFileBuffers(file.get()) != FALSE;
}

// A new copy of ours in `folder`, named after this process, open for reading and
// writing without delete sharing; its path in `path`.
UniqueFile CreateOwnCopy(const std::string& folder, std::string& path) {
    static LONG counter = 0;
    for (int i = 0; i < kMaxNameTries; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "%s%0*lX_%lX%s", kTempPrefix, kPidDigits,
                      static_cast<unsigned long>(::GetCurrentProcessId()),
                      static_cast<unsigned long>(::InterlockedIncrement(&counter)), kTempSuffix);
        path = folder + "\\" + name;
        UniqueFile file(::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file || ::GetLastError() != ERROR_FILE_EXISTS) return file;
    }
    ::SetLastError(ERROR_FILE_EXISTS);
    return UniqueFile();
}

// The process id in the name of a copy of ours; false for any other name.
bool PidOfCopy(const std::string& name, DWORD& pid) {
    const std::size_t prefix = sizeof kTempPrefix - 1;
    const std::size_t suffix = sizeof kTempSuffix - 1;
    if (name.size() < prefix + kPidDigits + 2 + suffix || name.compare(0, prefix, kTempPrefix) != 0 ||
        name[prefix + kPidDigits] != '_' ||
        !ProfileNameEquals(name.substr(name.size() - suffix), kTempSuffix))
        return false;
    const auto hex = [](const std::string& text) {
        return !text.empty() && text.find_first_not_of("0123456789ABCDEFabcdef") == std::string::npos;
    };
    const std::string pidText = name.substr(prefix, kPidDigits);
    if (!hex(pidText) || !hex(name.substr(prefix + kPidDigits + 1, name.size() - prefix - kPidDigits - 1 - suffix)))
        return false;
    pid = static_cast<DWORD>(std::strtoul(pidText.c_str(), nullptr, 16));
    return true;
}

// True only when the system says no such process runs: a process of another user,
// which this one may not open, is taken to run.
bool ProcessEnded(DWORD pid) {
    if (pid == ::GetCurrentProcessId()) return false;
    const UniqueHandleObj process(::OpenProcess(SYNCHRONIZE, FALSE, pid));
    if (!process) return ::GetLastError() == ERROR_INVALID_PARAMETER;
    return ::WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0;
}

// Removes the copies that writers of ours left when they were killed, so that they
// do not pile up and the uninstaller can remove the folder. A copy is judged by the
// process named in it, never by its age: a writer at work keeps its copy.
void RemoveStaleTemps(const std::string& folder) {
    WIN32_FIND_DATAA found;
    const UniqueFind find(
        ::FindFirstFileA((folder + "\\" + kTempPrefix + "*" + kTempSuffix).c_str(), &found));
    if (!find) return;
    do {
        DWORD pid = 0;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !PidOfCopy(found.cFileName, pid)) continue;
        if (ProcessEnded(pid)) ::DeleteFileA((folder + "\\" + found.cFileName).c_str());
    } while (::FindNextFileA(find.get(), &found));
}

// Reads the whole file at `from` into the held `to`, keeping up to `keep` bytes of it
// in `bytes`; `whole` false when there were more. The error, 0 on success.
DWORD CopyInto(const std::string& from, HANDLE to, std::string& bytes, bool& whole, std::size_t keep) {
    UniqueFile source;
    DWORD error = RetryWhileBusy([&] {
        source.reset(::CreateFileA(from.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        return static_cast<bool>(source);
    });
    if (error != 0) return error;
    bytes.clear();
    whole = true;
    char buffer[64 * 1024];
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(source.get(), buffer, sizeof buffer, &got, nullptr)) return ::GetLastError();
        if (got == 0) return 0;
        DWORD put = 0;
        if (!::WriteFile(to, buffer, got, &put, nullptr) || put != got) {
            const DWORD writeError = ::GetLastError();
            return writeError != 0 ? writeError : ERROR_DISK_FULL;
        }
        const std::size_t room = keep > bytes.size() ? keep - bytes.size() : 0;
        bytes.append(buffer, got < room ? got : room);
        if (got > room) whole = false;
    }
}

}  // namespace

SafeProfileWrite::SafeProfileWrite(const std::string& profilePath) : profile_(FullPath(profilePath)) {}

SafeProfileWrite::~SafeProfileWrite() {
    if (!committed_) Discard();
}

void SafeProfileWrite::ForgetCopy() {
    held_.reset();
    temp_.clear();
    Pending().held = nullptr;
    Pending().path[0] = '\0';
}

void SafeProfileWrite::Discard() {
    StepLock lock;
    held_.reset();  // lets the copy be deleted
    if (!temp_.empty()) ::DeleteFileA(temp_.c_str());
    ForgetCopy();
    lock_.Release();
}

bool SafeProfileWrite::CopyIsOurs() const {
    if (temp_.empty()) return false;
    if (copyId_ == FileIdentity()) return ::GetFileAttributesA(temp_.c_str()) != INVALID_FILE_ATTRIBUTES;
    FileIdentity now;
    return IdentityOfPath(temp_, now) && now == copyId_;
}

bool SafeProfileWrite::BeganText(std::string& text) const {
    text = began_;
    return beganWhole_;
}

std::string SafeProfileWrite::CopyText() {
    StepLock lock;
    std::string text;
    if (!CopyIsOurs()) return text;
    ::WritePrivateProfileStringA(nullptr, nullptr, nullptr, temp_.c_str());
    const UniqueFile file(::CreateFileA(temp_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return text;
    char buffer[64 * 1024];
    DWORD got = 0;
    while (::ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr) && got > 0) {
        text.append(buffer, got);
        if (text.size() > kMaxProfileBytes) return std::string();
    }
    return text;
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
    existed_ = exists;
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
    // Made and held at once, and written now: no other writer takes it for a killed writer's.
    held_ = CreateOwnCopy(folder, temp_);
    if (!held_) {
        error_ = "cannot write in the folder " + folder + " (" + ErrorText(::GetLastError()) +
                 "): nothing changed";
        temp_.clear();
        return false;
    }
    // A file system without file indexes leaves it empty: the copy is then told by its name alone.
    copyId_ = FileIdentity();
    IdentityOf(held_.get(), copyId_);
    std::strncpy(pending.path, temp_.c_str(), MAX_PATH - 1);
    pending.held = held_.get();
    began_.clear();
    beganWhole_ = true;
    const DWORD copyError =
        exists ? CopyInto(profile_, held_.get(), began_, beganWhole_, kMaxProfileBytes) : 0;
    if (copyError != 0) {
        error_ = "cannot copy " + profile_ + " to " + temp_ + " (" + ErrorText(copyError) + "): nothing changed";
        held_.reset();
        ::DeleteFileA(temp_.c_str());
        ForgetCopy();
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
    // A copy that is gone would be made again, empty, by the profile functions, and
    // replace the profile with these lines alone.
    if (!CopyIsOurs()) {
        error_ = "the copy " + temp_ + " was removed or replaced by another program: nothing changed";
        return false;
    }
    BOOL written = ::WritePrivateProfileStringA(section.c_str(), key, value, temp_.c_str());
    if (!written && ::GetLastError() == ERROR_SHARING_VIOLATION) {
        // Profile functions that want the file alone get it for the one call;
        // the copy is held again and checked to be the same file.
        held_.reset();
        Pending().held = nullptr;
        written = ::WritePrivateProfileStringA(section.c_str(), key, value, temp_.c_str());
        const DWORD error = ::GetLastError();
        held_.reset(::CreateFileA(temp_.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (held_) Pending().held = held_.get();
        if (!held_ || !CopyIsOurs()) {
            error_ = "the copy " + temp_ + " was removed or replaced by another program: nothing changed";
            return false;
        }
        ::SetLastError(error);
    }
    if (!written) {
        error_ = "cannot " + what + " the copy " + temp_ + " (" + ErrorText(::GetLastError()) + "): nothing changed";
        return false;
    }
    return true;
}

bool SafeProfileWrite::ReplaceText(std::string_view text) {
    StepLock lock;
    if (!CopyIsOurs() || !held_) {
        error_ = "the copy " + temp_ + " was removed or replaced by another program: nothing changed";
        return false;
    }
    DWORD put = 0;
    const bool written = ::SetFilePointer(held_.get(), 0, nullptr, FILE_BEGIN) == 0 && ::SetEndOfFile(held_.get()) &&
                         ::WriteFile(held_.get(), text.data(), static_cast<DWORD>(text.size()), &put, nullptr) &&
                         put == text.size();
    if (!written) {
        const DWORD error = ::GetLastError();
        error_ = "cannot write the copy " + temp_ + " (" + ErrorText(error != 0 ? error : ERROR_DISK_FULL) +
                 "): nothing changed";
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
    std::string tempPath;
    if (!CreateOwnCopy(setup::FolderOf(profile_), tempPath)) {
        error_ = "cannot make " + backup + " (" + ErrorText(::GetLastError()) + "): nothing changed";
        return false;
    }
    const char* temp = tempPath.c_str();
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
    if (!CopyIsOurs()) {
        error_ = "the copy " + temp_ + " was removed or replaced by another program: nothing changed";
        return false;
    }
    // Whatever the profile functions still hold goes to the copy now (Windows 9x caches).
    ::WritePrivateProfileStringA(nullptr, nullptr, nullptr, temp_.c_str());
    const bool flushed = held_ ? ::FlushFileBuffers(held_.get()) != FALSE : FlushToDisk(temp_);
    if (!flushed) {
        error_ = "cannot write the copy " + temp_ + " to the disk (" + ErrorText(::GetLastError()) +
                 "): nothing changed";
        return false;
    }
    if (::GetFileAttributesA(profile_.c_str()) != INVALID_FILE_ATTRIBUTES && !MakeBackup()) return false;
    // The move needs the copy free to be renamed.
    held_.reset();
    Pending().held = nullptr;
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
    ForgetCopy();
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

bool WriteWholeProfile(const std::string& path, std::string_view text, bool replace, std::string& error) {
    SafeProfileWrite write(path);
    if (!write.Begin()) {
        error = write.Error();
        return false;
    }
    if (!replace && write.Existed()) {
        error = FullPath(path) + " exists already: nothing changed";
        return false;
    }
    if (write.ReplaceText(text) && write.Commit()) return true;
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
    // A removal and a setting of one line are asked apart.
    const auto answerKey = [](const ProfileChange& c) {
        return c.section + "\n" + c.key + "\n" + std::to_string(static_cast<int>(c.kind)) + "\n" + c.value;
    };
    for (int round = 0; round < kMergeRounds; ++round) {
        SafeProfileWrite write(path);
        if (!write.Begin()) {
            error = write.Error();
            return false;
        }
        // Planned from the very bytes the copy holds: a write between a second read
        // and the copy, by a program that takes no lock, would be lost.
        std::string nowText;
        if (!write.BeganText(nowText)) {
            error = FullPath(path) + " is larger than " + std::to_string(kMaxProfileBytes) +
                    " bytes: nothing changed";
            return false;
        }
        const setup::MergePlan plan = setup::PlanMerge(base, ProfileDocument::Parse(nowText), changes);
        std::vector<setup::MergeConflict> open;
        const auto answered = [&](const setup::MergeConflict& conflict) {
            const auto known = answers.find(answerKey(conflict.ours));
            return known != answers.end() && known->second.first == conflict.theirs;
        };
        for (const setup::MergeConflict& conflict : plan.conflicts)
            if (!answered(conflict)) open.push_back(conflict);
        if (open.empty()) {
            const std::vector<ProfileChange> toWrite = setup::ChangesToWrite(
                plan, [&](const setup::MergeConflict& conflict) { return answers[answerKey(conflict.ours)].second; });
            if (!write.Write(toWrite)) {
                error = write.Error();
                return false;
            }
            savedText = write.CopyText();
            if (ProfileUnusableReason(savedText) != ProfileUnusable::None) savedText.clear();
            if (!write.Commit()) {
                error = write.Error();
                return false;
            }
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
