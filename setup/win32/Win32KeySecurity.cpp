#include "setup/win32/Win32KeySecurity.h"

#include <windows.h>

#include <vector>

#include "platform/win32/Handle.h"

namespace qrtl::win32 {

namespace {

// Rights that let their holder decide what the key's values say.
constexpr ACCESS_MASK kWriteRights = KEY_SET_VALUE | KEY_CREATE_SUB_KEY | DELETE | WRITE_DAC | WRITE_OWNER |
                                     GENERIC_WRITE | GENERIC_ALL;

// S-1-1-0 Everyone, S-1-5-11 Authenticated Users, S-1-5-32-545 Users.
class BroadGroups {
public:
    BroadGroups() {
        SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
        SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
        Add(&world, 1, SECURITY_WORLD_RID, 0);
        Add(&nt, 1, SECURITY_AUTHENTICATED_USER_RID, 0);
        Add(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_USERS);
    }
    ~BroadGroups() {
        for (PSID sid : sids_) ::FreeSid(sid);
    }
    BroadGroups(const BroadGroups&) = delete;
    BroadGroups& operator=(const BroadGroups&) = delete;
    bool Holds(PSID sid) const {
        for (PSID broad : sids_)
            if (::EqualSid(broad, sid)) return true;
        return false;
    }

private:
    void Add(SID_IDENTIFIER_AUTHORITY* authority, BYTE count, DWORD first, DWORD second) {
        PSID sid = nullptr;
        if (::AllocateAndInitializeSid(authority, count, first, second, 0, 0, 0, 0, 0, 0, &sid)) sids_.push_back(sid);
    }
    std::vector<PSID> sids_;
};

}  // namespace

bool MachineKeyUsersCanWrite(const std::string& path) {
    HKEY opened = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, READ_CONTROL, &opened) != ERROR_SUCCESS) return false;
    const UniqueHKey key(opened);
    DWORD size = 0;
    if (::RegGetKeySecurity(key.get(), DACL_SECURITY_INFORMATION, nullptr, &size) != ERROR_INSUFFICIENT_BUFFER ||
        size == 0)
        return false;
    std::vector<BYTE> descriptor(size);
    if (::RegGetKeySecurity(key.get(), DACL_SECURITY_INFORMATION, descriptor.data(), &size) != ERROR_SUCCESS)
        return false;
    BOOL present = FALSE;
    BOOL defaulted = FALSE;
    PACL dacl = nullptr;
    if (!::GetSecurityDescriptorDacl(descriptor.data(), &present, &dacl, &defaulted) || !present) return false;
    if (dacl == nullptr) return true;  // no access list: everyone may do anything
    const BroadGroups broad;
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
        void* entry = nullptr;
        if (!::GetAce(dacl, i, &entry)) continue;
        const auto* header = static_cast<const ACE_HEADER*>(entry);
        // An entry only for keys below does not apply to this one.
        if (header->AceType != ACCESS_ALLOWED_ACE_TYPE || (header->AceFlags & INHERIT_ONLY_ACE)) continue;
        auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(entry);
        if ((allowed->Mask & kWriteRights) != 0 && broad.Holds(&allowed->SidStart)) return true;
    }
    return false;
}

}  // namespace qrtl::win32
