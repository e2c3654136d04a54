// Whether users other than administrators may change a key under
// HKEY_LOCAL_MACHINE: a key whose value decides what POWER starts is then no
// better than a file any user can replace.
#pragma once

#include <string>

namespace qrtl::win32 {

// True when the key's own access list lets Everyone, Authenticated Users or Users
// set its values, make keys below it, delete it, or change its access list or
// owner (or when it has no access list at all). False when it grants none of that,
// and when the system does not say (no key, no right to read its security).
bool MachineKeyUsersCanWrite(const std::string& path);

}  // namespace qrtl::win32
