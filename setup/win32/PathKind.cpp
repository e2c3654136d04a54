#include "setup/win32/PathKind.h"

#include <windows.h>

namespace qrtl::win32 {

qrtl::setup::PathKind KindOfPath(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return qrtl::setup::PathKind::Missing;
    // A folder of the program's name is no program: the start fails on it.
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? qrtl::setup::PathKind::Folder : qrtl::setup::PathKind::File;
}

}  // namespace qrtl::win32
