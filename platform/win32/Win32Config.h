// The configuration's view of Windows: the profile file functions, the running
// module, and the registry values the program reads and writes.
#pragma once

#include <cstddef>

#include "platform/Platform.h"
#include "platform/win32/ProfileLock.h"

// The system's access control list, declared here so that this header needs no <windows.h>.
struct _ACL;

namespace qrtl::win32 {

class Win32Profile : public IProfile {
public:
    std::string GetString(const std::string& section, const std::string& key,
                          const std::string& def, const std::string& path) override;
    int32_t GetInt(const std::string& section, const std::string& key, int32_t def,
                   const std::string& path) override;
    bool WriteString(const std::string& section, const std::string& key, const std::string& value,
                     const std::string& path) override;
    void BeginWrites(const std::string& path) override;
    void EndWrites() override;

private:
    ProfileLock writeLock_;
};

class Win32Module : public IModule {
public:
    std::string FileName() override;
    bool GetVersion(uint32_t recordSize, uint32_t& platformId) override;
    bool ProtectedFolders(std::vector<std::string>& folders) override;
    FolderWriters WhoMayChange(const std::string& path) override;
    std::string DriverLibraryPath() override;
};

// Who may change a file or folder guarded by `dacl` (a null list guards nothing):
// Users when an entry that applies to it itself grants anyone but Administrators,
// SYSTEM and TrustedInstaller a right to write or append data, add or delete files,
// or change the rights or the owner; Unreadable when the list is damaged.
FolderWriters WritersInDacl(const _ACL* dacl);

// As WritersInDacl, and Users as well when the owner, the identifier at `owner` within
// `ownerLength` bytes, is anyone but those three: an owner may always rewrite the list.
FolderWriters WritersOf(const void* owner, std::size_t ownerLength, const _ACL* dacl);

class Win32Registry : public IRegistry {
public:
    bool ReadMachineString(const std::string& path, const std::string& name,
                           std::string& out) override;
    RegWrite SetString(RegRoot root, const std::string& path, const std::string& name,
                       const std::string& data) override;
    bool DeleteValue(RegRoot root, const std::string& path, const std::string& name) override;
    bool MachineSubKeys(const std::string& path, std::vector<std::string>& names) override;
    bool MachineStringValues(const std::string& path,
                             std::vector<std::pair<std::string, std::string>>& values) override;
};

}  // namespace qrtl::win32
