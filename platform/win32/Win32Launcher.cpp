#include "platform/win32/Win32Launcher.h"

#include <windows.h>

#include <vector>

#include "platform/win32/Handle.h"

namespace qrtl::win32 {

bool Win32Launcher::Launch(const std::string& path) {
    if (path.empty()) return false;

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
    if (!::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          nullptr, &startup, &started)) {
        return false;
    }
    // The started program runs on its own; its handles are not needed here.
    UniqueHandleObj process(started.hProcess);
    UniqueHandleObj thread(started.hThread);
    return true;
}

}  // namespace qrtl::win32
