#include "setup/win32/Win32ImagePath.h"

#include <tlhelp32.h>

#include <cstring>

#include "platform/win32/Handle.h"
#include "setup/ImagePath.h"

namespace qrtl::win32 {

namespace {

constexpr DWORD kQueryLimitedInformation = 0x1000;  // PROCESS_QUERY_LIMITED_INFORMATION, Vista and later

using QueryFullProcessImageNameFn = BOOL(WINAPI*)(HANDLE, DWORD, LPSTR, PDWORD);
using GetProcessImageFileNameFn = DWORD(WINAPI*)(HANDLE, LPSTR, DWORD);

// "\Device\HarddiskVolume1\TV\tv.exe" -> "C:\TV\tv.exe", through the drives' device names.
std::string DrivePathOf(const std::string& devicePath) {
    char drives[MAX_PATH] = {};
    const DWORD n = ::GetLogicalDriveStringsA(MAX_PATH - 1, drives);
    if (n == 0 || n >= MAX_PATH) return {};
    for (const char* drive = drives; *drive != '\0'; drive += std::strlen(drive) + 1) {
        const char name[3] = {drive[0], ':', '\0'};
        char device[MAX_PATH] = {};
        if (::QueryDosDeviceA(name, device, MAX_PATH) == 0) continue;
        const std::size_t length = std::strlen(device);
        if (devicePath.size() > length && devicePath.compare(0, length, device) == 0 &&
            devicePath[length] == '\\')
            return name + devicePath.substr(length);
    }
    return {};
}

// The process's image path as the system knows it: the process cannot change it,
// unlike its module list. Functions newer than Windows XP are looked up at run time.
std::string ImagePathFromSystem(DWORD processId) {
    UniqueHandleObj process(::OpenProcess(kQueryLimitedInformation, FALSE, processId));
    if (!process) process = UniqueHandleObj(::OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, processId));
    if (!process) return {};
    char path[MAX_PATH] = {};
    if (const HMODULE kernel = ::GetModuleHandleA("kernel32.dll")) {
        const auto query = reinterpret_cast<QueryFullProcessImageNameFn>(
            reinterpret_cast<void*>(::GetProcAddress(kernel, "QueryFullProcessImageNameA")));
        DWORD size = MAX_PATH;
        if (query != nullptr && query(process.get(), 0, path, &size) && size > 0 && size < MAX_PATH)
            return std::string(path, size);
    }
    // Windows XP: the NT path from the process status library of the system folder.
    char system[MAX_PATH] = {};
    const UINT length = ::GetSystemDirectoryA(system, MAX_PATH);
    if (length == 0 || length >= MAX_PATH - 12) return {};
    const UniqueHModule psapi(::LoadLibraryA((std::string(system, length) + "\\psapi.dll").c_str()));
    if (!psapi) return {};
    const auto imageFileName = reinterpret_cast<GetProcessImageFileNameFn>(
        reinterpret_cast<void*>(::GetProcAddress(psapi.get(), "GetProcessImageFileNameA")));
    if (imageFileName == nullptr) return {};
    const DWORD n = imageFileName(process.get(), path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return {};
    return DrivePathOf(std::string(path, n));
}

// The first module of the snapshot, the way before: the process controls its module
// list, so this is the fallback only.
std::string ImagePathFromSnapshot(DWORD processId) {
    const UniqueSnapshot snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId));
    if (!snapshot) return {};
    MODULEENTRY32 entry{};
    entry.dwSize = sizeof entry;
    if (!::Module32First(snapshot.get(), &entry)) return {};
    entry.szExePath[MAX_PATH - 1] = '\0';
    return entry.szExePath;
}

}  // namespace

std::string LocalImageFile(const std::string& path, std::string* why) {
    std::string local;
    const setup::ImagePathKind kind = setup::ClassifyImagePath(path, &local);
    const bool remote = kind == setup::ImagePathKind::Local &&
                        ::GetDriveTypeA(local.substr(0, 3).c_str()) == DRIVE_REMOTE;
    if (kind == setup::ImagePathKind::Local && !remote) return local;
    if (why != nullptr)
        *why = kind == setup::ImagePathKind::Network || remote
                   ? "the program runs from the network (" + path + "): its file is not read"
                   : "the program's path " + path + " is not a local file: its file is not read";
    return {};
}

std::string ExePathOfWindow(HWND hWnd, std::string* refused) {
    DWORD processId = 0;
    ::GetWindowThreadProcessId(hWnd, &processId);
    if (processId == 0) return {};
    std::string path = ImagePathFromSystem(processId);
    if (path.empty()) path = ImagePathFromSnapshot(processId);
    if (path.empty()) return {};
    return LocalImageFile(path, refused);
}

}  // namespace qrtl::win32
