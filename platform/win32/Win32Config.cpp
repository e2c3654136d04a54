#include "platform/win32/Win32Config.h"

#include <windows.h>
#include <shlobj.h>

#include <cstddef>
#include <cstring>
#include <vector>

#include "driver/CardDriver.h"
#include "platform/win32/Handle.h"
#include "platform/win32/ModulePath.h"

namespace qrtl::win32 {

namespace {

// Text buffers of 256 bytes: at most 255 characters and the terminating zero.
constexpr DWORD kTextBuffer = 256;
constexpr std::size_t kMaxText = kTextBuffer - 1;

HKEY RootKey(RegRoot root) {
    return root == RegRoot::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

// REG_EXPAND_SZ data with its variables expanded; false when the result is
// longer than the program's 255-character limit.
bool ExpandText(const char* text, std::string& out) {
    const DWORD needed = ::ExpandEnvironmentStringsA(text, nullptr, 0);
    if (needed == 0) return false;
    // One byte more than asked for: the ANSI version may count one extra.
    std::vector<char> expanded(needed + 1, '\0');
    const DWORD written =
        ::ExpandEnvironmentStringsA(text, expanded.data(), static_cast<DWORD>(expanded.size()));
    if (written == 0 || written > expanded.size()) return false;
    expanded.back() = '\0';
    const std::size_t length = std::strlen(expanded.data());
    if (length > kMaxText) return false;
    out.assign(expanded.data(), length);
    return true;
}

// The accounts that may change what every user's logon starts: Administrators
// (S-1-5-32-544), SYSTEM (S-1-5-18) and TrustedInstaller
// (S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464), as their
// identifier authority and sub-authorities.
struct TrustedAccount {
    BYTE authority;
    BYTE count;
    DWORD subAuthorities[6];
};
constexpr TrustedAccount kTrustedAccounts[] = {
    {5, 2, {32, 544}},
    {5, 1, {18}},
    {5, 6, {80, 956008885u, 3418522649u, 1831038044u, 1853292631u, 2271478464u}},
};
// CREATOR OWNER and CREATOR GROUP (S-1-3-0, S-1-3-1): entries for them stand in for
// the owner of files made later and grant nothing on this one; the owner is read apart.
constexpr BYTE kCreatorAuthority = 3;

// The identifier at `sid` within `length` bytes, its authority (0xFF for one beyond
// the last byte of the six) and sub-authorities. False when it does not fit or is not
// of the known revision.
bool ReadSid(const BYTE* sid, std::size_t length, BYTE& authority, BYTE& count,
             DWORD (&subAuthorities)[15]) {
    constexpr std::size_t kHeader = 8;  // revision, count, six big-endian bytes of authority
    if (sid == nullptr || length < kHeader || sid[0] != SID_REVISION) return false;
    count = sid[1];
    if (count > 15 || length < kHeader + 4u * count) return false;
    authority = sid[7];
    for (int i = 2; i < 7; ++i)
        if (sid[i] != 0) authority = 0xFF;
    for (BYTE i = 0; i < count; ++i) std::memcpy(&subAuthorities[i], sid + kHeader + 4u * i, 4);
    return true;
}

enum class SidKind { Trusted, Creator, Other, Damaged };

SidKind KindOf(const BYTE* sid, std::size_t length) {
    BYTE authority = 0;
    BYTE count = 0;
    DWORD sub[15] = {};
    if (!ReadSid(sid, length, authority, count, sub)) return SidKind::Damaged;
    if (authority == kCreatorAuthority) return SidKind::Creator;
    for (const TrustedAccount& account : kTrustedAccounts) {
        if (account.authority == authority && account.count == count &&
            std::memcmp(account.subAuthorities, sub, 4u * count) == 0)
            return SidKind::Trusted;
    }
    return SidKind::Other;
}

// Rights by which someone could place, replace or remove a file in the folder, change
// the file, or give himself such a right.
constexpr DWORD kChangeRights = FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_DELETE_CHILD | DELETE |
                                WRITE_DAC | WRITE_OWNER | GENERIC_WRITE | GENERIC_ALL;
// An allowing entry with a condition has the same layout; it may apply.
constexpr BYTE kAccessAllowedCallbackAceType = 9;

}  // namespace

FolderWriters WritersInDacl(const ACL* dacl) {
    if (dacl == nullptr) return FolderWriters::Users;
    const BYTE* const base = reinterpret_cast<const BYTE*>(dacl);
    const std::size_t size = dacl->AclSize;
    constexpr std::size_t kSidStart = offsetof(ACCESS_ALLOWED_ACE, SidStart);
    std::size_t offset = sizeof(ACL);
    for (WORD i = 0; i < dacl->AceCount; ++i) {
        ACE_HEADER header;
        if (offset + sizeof header > size) return FolderWriters::Unreadable;
        std::memcpy(&header, base + offset, sizeof header);
        if (header.AceSize < sizeof header || offset + header.AceSize > size)
            return FolderWriters::Unreadable;
        // Entries that only pass on to new files do not guard this folder; denying
        // entries are not weighed against the allowing ones (their order decides,
        // and the safe answer needs none of them).
        const bool allows = header.AceType == ACCESS_ALLOWED_ACE_TYPE ||
                            header.AceType == kAccessAllowedCallbackAceType;
        if (allows && (header.AceFlags & INHERIT_ONLY_ACE) == 0) {
            if (header.AceSize < kSidStart) return FolderWriters::Unreadable;
            DWORD mask = 0;
            std::memcpy(&mask, base + offset + sizeof header, sizeof mask);
            if ((mask & kChangeRights) != 0) {
                const SidKind kind = KindOf(base + offset + kSidStart, header.AceSize - kSidStart);
                if (kind == SidKind::Damaged) return FolderWriters::Unreadable;
                if (kind == SidKind::Other) return FolderWriters::Users;
            }
        }
        offset += header.AceSize;
    }
    return FolderWriters::AdministratorsOnly;
}

FolderWriters WritersOf(const void* owner, std::size_t ownerLength, const _ACL* dacl) {
    // The owner may always rewrite the list, and so change the file.
    if (owner == nullptr) return FolderWriters::Unreadable;
    switch (KindOf(static_cast<const BYTE*>(owner), ownerLength)) {
    case SidKind::Trusted:
        return WritersInDacl(dacl);
    case SidKind::Damaged:
        return FolderWriters::Unreadable;
    case SidKind::Creator:
    case SidKind::Other:
        break;
    }
    return FolderWriters::Users;
}

std::string Win32Profile::GetString(const std::string& section, const std::string& key,
                                    const std::string& def, const std::string& path) {
    char buffer[kTextBuffer] = {};
    const DWORD n = ::GetPrivateProfileStringA(section.c_str(), key.c_str(), def.c_str(), buffer,
                                               kTextBuffer, path.c_str());
    return std::string(buffer, n < kTextBuffer ? n : kMaxText);
}

int32_t Win32Profile::GetInt(const std::string& section, const std::string& key, int32_t def,
                             const std::string& path) {
    // The UINT result carries a negative value such as -1 in two's complement.
    return static_cast<int32_t>(
        ::GetPrivateProfileIntA(section.c_str(), key.c_str(), def, path.c_str()));
}

bool Win32Profile::WriteString(const std::string& section, const std::string& key,
                               const std::string& value, const std::string& path) {
    return ::WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(),
                                        path.c_str()) != FALSE;
}

void Win32Profile::BeginWrites(const std::string& path) {
    // The monitor's own behaviour stays: after the wait it writes all the same.
    writeLock_.Acquire(path, kProfileLockWaitMs);
}

void Win32Profile::EndWrites() { writeLock_.Release(); }

std::string Win32Module::FileName() {
    // The profile beside the program must open in a folder named outside the code page.
    return AnsiModulePath();
}

bool Win32Module::GetVersion(uint32_t recordSize, uint32_t& platformId) {
    OSVERSIONINFOEXA info;
    // The size field must never claim more than the record really has.
    if (recordSize > sizeof info) return false;
    std::memset(&info, 0, sizeof info);
    info.dwOSVersionInfoSize = recordSize;
    if (!::GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info))) return false;
    platformId = info.dwPlatformId;
    return true;
}

bool Win32Module::ProtectedFolders(std::vector<std::string>& folders) {
    folders.clear();
    // Looked up rather than imported: the first Windows 95 lacks it.
    using SHGetFolderPathFn = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPSTR);
    const UniqueHModule shell(::LoadLibraryA("shell32.dll"));
    const auto getFolderPath = shell ? reinterpret_cast<SHGetFolderPathFn>(reinterpret_cast<void*>(
                                           ::GetProcAddress(shell.get(), "SHGetFolderPathA")))
                                     : nullptr;
    if (getFolderPath == nullptr) return false;

    const auto add = [&folders](const char* folder) {
        std::size_t length = std::strlen(folder);
        while (length > 0 && folder[length - 1] == '\\') --length;
        if (length > 0) folders.emplace_back(folder, length);
    };
    for (const int csidl : {CSIDL_PROGRAM_FILES, CSIDL_PROGRAM_FILESX86}) {
        char path[MAX_PATH] = {};
        if (getFolderPath(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path) == S_OK) add(path);
    }
    // A 32-bit program on 64-bit Windows is told the x86 folder only; the registry's
    // 64-bit view names the other one. Absent elsewhere.
    UniqueHKey key;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion", 0,
                        KEY_QUERY_VALUE | KEY_WOW64_64KEY, key.put()) == ERROR_SUCCESS) {
        char path[MAX_PATH] = {};
        DWORD type = REG_NONE;
        DWORD size = sizeof path - 1;
        if (::RegQueryValueExA(key.get(), "ProgramW6432Dir", nullptr, &type,
                               reinterpret_cast<BYTE*>(path), &size) == ERROR_SUCCESS &&
            type == REG_SZ)
            add(path);
    }
    return true;
}

FolderWriters Win32Module::WhoMayChange(const std::string& path) {
    // Looked up rather than imported: Windows 95/98/Me keep no rights and need not
    // export them; advapi32 is loaded already, for the registry.
    using GetFileSecurityFn = BOOL(WINAPI*)(LPCSTR, SECURITY_INFORMATION, PSECURITY_DESCRIPTOR,
                                            DWORD, LPDWORD);
    using GetDaclFn = BOOL(WINAPI*)(PSECURITY_DESCRIPTOR, LPBOOL, PACL*, LPBOOL);
    using GetOwnerFn = BOOL(WINAPI*)(PSECURITY_DESCRIPTOR, PSID*, LPBOOL);
    if (::GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return FolderWriters::Missing;
    }
    const HMODULE advapi = ::GetModuleHandleA("advapi32.dll");
    if (advapi == nullptr) return FolderWriters::NoSecurity;
    const auto getFileSecurity = reinterpret_cast<GetFileSecurityFn>(
        reinterpret_cast<void*>(::GetProcAddress(advapi, "GetFileSecurityA")));
    const auto getDacl = reinterpret_cast<GetDaclFn>(
        reinterpret_cast<void*>(::GetProcAddress(advapi, "GetSecurityDescriptorDacl")));
    const auto getOwner = reinterpret_cast<GetOwnerFn>(
        reinterpret_cast<void*>(::GetProcAddress(advapi, "GetSecurityDescriptorOwner")));
    if (getFileSecurity == nullptr || getDacl == nullptr || getOwner == nullptr)
        return FolderWriters::NoSecurity;

    constexpr SECURITY_INFORMATION kWanted = OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
    DWORD needed = 0;
    const BOOL sized = getFileSecurity(path.c_str(), kWanted, nullptr, 0, &needed);
    const DWORD error = ::GetLastError();
    if (!sized && error == ERROR_CALL_NOT_IMPLEMENTED) return FolderWriters::NoSecurity;
    if (sized || error != ERROR_INSUFFICIENT_BUFFER) return FolderWriters::Unreadable;
    // DWORD elements: the descriptor and its list are read with their natural alignment.
    std::vector<DWORD> descriptor(needed / sizeof(DWORD) + 1, 0);
    const DWORD size = static_cast<DWORD>(descriptor.size() * sizeof(DWORD));
    if (!getFileSecurity(path.c_str(), kWanted, descriptor.data(), size, &needed))
        return FolderWriters::Unreadable;
    BOOL present = FALSE;
    BOOL defaulted = FALSE;
    PACL dacl = nullptr;
    PSID owner = nullptr;
    if (!getDacl(descriptor.data(), &present, &dacl, &defaulted) ||
        !getOwner(descriptor.data(), &owner, &defaulted))
        return FolderWriters::Unreadable;
    // A descriptor without a list guards nothing, as a null list does.
    if (!present) dacl = nullptr;
    // The owner lies inside the descriptor read: it is read no further than its end.
    const BYTE* const begin = reinterpret_cast<const BYTE*>(descriptor.data());
    const BYTE* const ownerBytes = static_cast<const BYTE*>(owner);
    if (ownerBytes < begin || ownerBytes >= begin + size) return FolderWriters::Unreadable;
    return WritersOf(owner, static_cast<std::size_t>(begin + size - ownerBytes), dacl);
}

std::string Win32Module::DriverLibraryPath() {
    // The start-up load searches the executable's folder first, then the system folder.
    const std::string name = CardDriverFileName();
    const std::string exe = FileName();
    const std::size_t slash = exe.find_last_of("\\/");
    std::vector<std::string> candidates;
    if (slash != std::string::npos) candidates.push_back(exe.substr(0, slash + 1) + name);
    char system[MAX_PATH] = {};
    const UINT n = ::GetSystemDirectoryA(system, MAX_PATH);
    if (n > 0 && n < MAX_PATH) candidates.push_back(std::string(system, n) + "\\" + name);
    for (const std::string& candidate : candidates) {
        const DWORD attributes = ::GetFileAttributesA(candidate.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
            return candidate;
    }
    return std::string();
}

bool Win32Registry::ReadMachineString(const std::string& path, const std::string& name,
                                      std::string& out) {
    // Query access only: a standard user may read HKLM but not open it for writing.
    UniqueHKey key;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_QUERY_VALUE, key.put()) !=
        ERROR_SUCCESS)
        return false;

    char buffer[kTextBuffer] = {};
    DWORD type = REG_NONE;
    DWORD size = kTextBuffer;
    if (::RegQueryValueExA(key.get(), name.c_str(), nullptr, &type,
                           reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS)
        return false;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return false;

    // Registry text need not end in a zero; a full buffer without one does not fit.
    if (size == kTextBuffer && buffer[kMaxText] != '\0') return false;
    buffer[size < kTextBuffer ? size : kMaxText] = '\0';

    if (type == REG_EXPAND_SZ) return ExpandText(buffer, out);
    out.assign(buffer, std::strlen(buffer));
    return true;
}

RegWrite Win32Registry::SetString(RegRoot root, const std::string& path, const std::string& name,
                                  const std::string& data) {
    // The key is opened, never created.
    UniqueHKey key;
    if (::RegOpenKeyExA(RootKey(root), path.c_str(), 0, KEY_SET_VALUE, key.put()) != ERROR_SUCCESS)
        return RegWrite::NoKey;
    const DWORD size = static_cast<DWORD>(data.size() + 1);  // with the terminating zero
    if (::RegSetValueExA(key.get(), name.c_str(), 0, REG_SZ,
                         reinterpret_cast<const BYTE*>(data.c_str()), size) != ERROR_SUCCESS)
        return RegWrite::Failed;
    return RegWrite::Done;
}

bool Win32Registry::DeleteValue(RegRoot root, const std::string& path, const std::string& name) {
    UniqueHKey key;
    if (::RegOpenKeyExA(RootKey(root), path.c_str(), 0, KEY_SET_VALUE, key.put()) != ERROR_SUCCESS)
        return false;
    return ::RegDeleteValueA(key.get(), name.c_str()) == ERROR_SUCCESS;
}

bool Win32Registry::MachineSubKeys(const std::string& path, std::vector<std::string>& names) {
    names.clear();
    UniqueHKey key;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_ENUMERATE_SUB_KEYS, key.put()) !=
        ERROR_SUCCESS)
        return false;
    for (DWORD index = 0;; ++index) {
        char name[kTextBuffer] = {};
        DWORD size = kTextBuffer;
        const LONG result =
            ::RegEnumKeyExA(key.get(), index, name, &size, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_MORE_DATA) continue;  // a name too long for any profile line
        if (result != ERROR_SUCCESS) break;
        names.emplace_back(name, size);
    }
    return true;
}

bool Win32Registry::MachineStringValues(const std::string& path,
                                        std::vector<std::pair<std::string, std::string>>& values) {
    values.clear();
    UniqueHKey key;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_QUERY_VALUE, key.put()) !=
        ERROR_SUCCESS)
        return false;
    for (DWORD index = 0;; ++index) {
        char name[kTextBuffer] = {};
        DWORD nameSize = kTextBuffer;
        char data[kTextBuffer] = {};
        DWORD dataSize = kTextBuffer;
        DWORD type = REG_NONE;
        const LONG result = ::RegEnumValueA(key.get(), index, name, &nameSize, nullptr, &type,
                                            reinterpret_cast<BYTE*>(data), &dataSize);
        // Longer than the monitor reads: it could not use the value either.
        if (result == ERROR_MORE_DATA) continue;
        if (result != ERROR_SUCCESS) break;
        if (type != REG_SZ && type != REG_EXPAND_SZ) continue;
        if (dataSize == kTextBuffer && data[kMaxText] != '\0') continue;
        data[dataSize < kTextBuffer ? dataSize : kMaxText] = '\0';
        std::string text;
        if (type == REG_EXPAND_SZ) {
            if (!ExpandText(data, text)) continue;
        } else {
            text.assign(data, std::strlen(data));
        }
        values.push_back({std::string(name, nameSize), text});
    }
    return true;
}

}  // namespace qrtl::win32
