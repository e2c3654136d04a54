#include "platform/win32/Win32Launcher.h"

#include <windows.h>

#include <vector>

#include "platform/win32/Handle.h"

namespace qrtl::win32 {

namespace {

// The folder of the executable at `path`, where it starts: a program started from the
// Run key would otherwise inherit the monitor's working folder (System32), and find
// neither its own files nor libraries that it loads by bare name. Empty when the path
// names no folder (the working folder is then inherited, as before).
std::string StartFolder(const std::string& path) {
    const std::size_t cut = path.find_last_of("\\/");
    if (cut == std::string::npos) return std::string();
    std::size_t length = cut;
    while (length > 0 && (path[length - 1] == '\\' || path[length - 1] == '/')) --length;
    // A drive's root keeps its backslash: "C:" alone is the working folder on drive C.
    if (length == 0 || path[length - 1] == ':') return path.substr(0, length) + "\\";
    return path.substr(0, length);
}

}  // namespace

bool Win32Launcher::Launch(const std::string& path) {
    // No file name holds a quote: one in the profile's or the registry's text could
    // only end the quoted name early and add arguments of its own.
    if (path.empty() || path.find('"') != std::string::npos) return false;

    // No application name: CreateProcessA then appends ".exe" to a file name without
    // an extension, as profiles rely on. The quotes keep a path with blanks whole, so
    // no program at the first blank can start instead. It may write into the line.
    const std::string quoted = "\"" + path + "\"";
    std::vector<char> commandLine(quoted.begin(), quoted.end());
    commandLine.push_back('\0');

    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOW;
    PROCESS_INFORMATION started{};
    const std::string folder = StartFolder(path);
    if (!::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          folder.empty() ? nullptr : folder.c_str(), &startup, &started)) {
        return false;
    }
    // The started program runs on its own; its handles are not needed here.
    UniqueHandleObj process(started.hProcess);
    UniqueHandleObj thread(started.hThread);
    return true;
}

}  // namespace qrtl::win32
