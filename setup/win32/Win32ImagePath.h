// The file of the program that owns a window, as the system knows it, and only
// when it is a local file: a network path would make the set-up tools connect out
// with the owner's credentials, and the process itself controls its module list.
#pragma once

#include <windows.h>

#include <string>

namespace qrtl::win32 {

// `path` in the "C:\\..." form when it is a local file (not on a network drive);
// else empty, and `why` (when given) says so in words.
std::string LocalImageFile(const std::string& path, std::string* why);

// The executable of the process that owns `hWnd`: its image path as the system
// knows it, a module snapshot of that process only where the system does not say.
// Empty when it cannot be told, or when it is no local file (a network or device
// path, which `refused`, when given, says in words): such a file is never opened.
std::string ExePathOfWindow(HWND hWnd, std::string* refused = nullptr);

}  // namespace qrtl::win32
