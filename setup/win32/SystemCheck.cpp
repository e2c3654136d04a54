#include "setup/win32/SystemCheck.h"

#include "setup/win32/PathKind.h"
#include "setup/win32/Win32KeySecurity.h"

namespace qrtl::win32 {

qrtl::CheckEnvironment SystemCheckEnvironment(qrtl::IRegistry& registry) {
    qrtl::CheckEnvironment environment;
    environment.registry = &registry;
    environment.pathKind = KindOfPath;
    environment.usersCanWrite = MachineKeyUsersCanWrite;
    return environment;
}

}  // namespace qrtl::win32
