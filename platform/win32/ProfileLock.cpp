#include "platform/win32/ProfileLock.h"

#include <cstdint>
#include <cstdio>

namespace qrtl::win32 {

namespace {
constexpr char kLockPrefix[] = "QRTLIRMoni.Profile.";

// FNV-1a, 64 bits: a stable hash, the same in every program of ours.
uint64_t Fnv1a(const std::string& text, uint64_t hash = 14695981039346656037ull) {
    for (const unsigned char c : text) {
        hash ^= c;
        hash *= 1099511628211ull;
    }
    return hash;
}
}  // namespace

std::string FullPath(const std::string& path) {
    char full[MAX_PATH] = {};
    const DWORD n = ::GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
    if (n == 0 || n >= MAX_PATH) return path;
    return std::string(full, n);
}

std::string LongPath(const std::string& path) {
    // Looked up rather than imported: the first Windows 95 lacks it.
    using GetLongPathNameFn = DWORD(WINAPI*)(LPCSTR, LPSTR, DWORD);
    static const auto getLongPathName = reinterpret_cast<GetLongPathNameFn>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "GetLongPathNameA")));
    if (getLongPathName == nullptr) return path;
    char longName[MAX_PATH] = {};
    const DWORD n = getLongPathName(path.c_str(), longName, MAX_PATH);
    return n == 0 || n >= MAX_PATH ? path : std::string(longName, n);
}

bool IdentityOf(HANDLE file, FileIdentity& identity) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (file == INVALID_HANDLE_VALUE || file == nullptr || !::GetFileInformationByHandle(file, &info)) return false;
    // A file system that keeps no index says 0 for every file.
    if (info.nFileIndexHigh == 0 && info.nFileIndexLow == 0) return false;
    identity = {info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
    return true;
}

bool IdentityOfPath(const std::string& path, FileIdentity& identity) {
    // Backup semantics: a folder opens too.
    const UniqueFile file(::CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return file && IdentityOf(file.get(), identity);
}

std::string ProfileLockName(const std::string& path) {
    // A short name (PROGRA~1) and its long name are one file.
    std::string full = LongPath(FullPath(path));
    for (char& c : full)
        if (c == '/') c = '\\';
    if (!full.empty()) ::CharUpperBuffA(&full[0], static_cast<DWORD>(full.size()));
    const std::size_t cut = full.find_last_of('\\');
    FileIdentity folder;
    uint64_t hash = 0;
    // The folder, not the file: a save puts a new file, with an index of its own, in the old one's place.
    // A drive's or a share's root opens only with its last backslash, other folders either way.
    if (cut != std::string::npos &&
        (IdentityOfPath(full.substr(0, cut + 1), folder) || IdentityOfPath(full.substr(0, cut), folder))) {
        char id[40];
        std::snprintf(id, sizeof id, "%08lx.%08lx%08lx\\", static_cast<unsigned long>(folder.volume),
                      static_cast<unsigned long>(folder.indexHigh), static_cast<unsigned long>(folder.indexLow));
        hash = Fnv1a(full.substr(cut + 1), Fnv1a(id));
    } else {
        hash = Fnv1a(full);
    }
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return kLockPrefix + std::string(text);
}

bool ProfileLock::Acquire(const std::string& path, DWORD timeoutMs) {
    Release();
    mutex_.reset(::CreateMutexA(nullptr, FALSE, ProfileLockName(path).c_str()));
    if (!mutex_) return false;
    const DWORD waited = ::WaitForSingleObject(mutex_.get(), timeoutMs);
    // Abandoned: a writer ended inside the lock; its temporary copy never replaced the file.
    held_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
    return held_;
}

void ProfileLock::Release() {
    if (held_) ::ReleaseMutex(mutex_.get());
    held_ = false;
    mutex_.reset();
}

}  // namespace qrtl::win32
