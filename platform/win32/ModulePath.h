// The path of a program or library file as the ANSI calls can open it. The programs
// keep those calls (the profile functions, LoadLibraryA), but a per-user install lies
// under the user's own folders, whose names may hold characters outside the ANSI code
// page: GetModuleFileNameA then gives question marks, and everything beside the
// program (its profile, the card driver) seems missing. The folder's short (8.3)
// name, where the volume keeps one, is plain ASCII and opens the same folder.
// Header only, kernel32 alone: a library may use it from DllMain.
#pragma once

#include <windows.h>

#include <cstring>
#include <string>

namespace qrtl::win32 {

// The wide calls, looked up rather than imported: Windows 95/98/Me may lack them, and
// the programs must still start there. Null where missing.
using GetModuleFileNameWFn = DWORD(WINAPI*)(HMODULE, LPWSTR, DWORD);
using GetShortPathNameWFn = DWORD(WINAPI*)(LPCWSTR, LPWSTR, DWORD);

template <typename Fn>
Fn KernelFunction(const char* name) {
    const HMODULE kernel = ::GetModuleHandleA("kernel32.dll");
    return kernel == nullptr ? nullptr
                             : reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(kernel, name)));
}

// `text` in the ANSI code page when it comes back unchanged (no character replaced,
// none mapped to a look-alike); false otherwise.
inline bool ToAnsiExactly(const std::wstring& text, std::string& out) {
    if (text.empty()) {
        out.clear();
        return true;
    }
    const int length = static_cast<int>(text.size());
    const int n = ::WideCharToMultiByte(CP_ACP, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (n <= 0) return false;
    std::string ansi(static_cast<std::size_t>(n), '\0');
    if (::WideCharToMultiByte(CP_ACP, 0, text.data(), length, &ansi[0], n, nullptr, nullptr) != n)
        return false;
    const int back = ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), n, nullptr, 0);
    if (back != length) return false;
    std::wstring again(static_cast<std::size_t>(back), L'\0');
    if (::MultiByteToWideChar(CP_ACP, 0, ansi.data(), n, &again[0], back) != back || again != text)
        return false;
    out = ansi;
    return true;
}

// `path` spelled so that the ANSI calls open it, in at most MAX_PATH - 1 characters:
// as it is when it fits the code page, else its folder by the short name and its file
// name as it is (so that "QRTLIRMoni.INI" still sits beside "QRTLIRMoni.exe") or, when
// that does not fit either, by its short name too. Empty when no such spelling exists:
// the volume keeps no short names, or the file or folder is missing.
inline std::string AnsiPathOf(const std::wstring& path) {
    std::string ansi;
    if (ToAnsiExactly(path, ansi) && ansi.size() < MAX_PATH) return ansi;

    const std::size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos) return std::string();
    // With its backslash: "C:" alone would name the drive's current folder.
    const std::wstring folder = path.substr(0, slash + 1);
    const std::wstring name = path.substr(slash + 1);
    const auto getShortPathName = KernelFunction<GetShortPathNameWFn>("GetShortPathNameW");
    if (getShortPathName == nullptr) return std::string();
    wchar_t shortFolder[MAX_PATH] = {};
    const DWORD n = getShortPathName(folder.c_str(), shortFolder, MAX_PATH);
    std::string folderAnsi;
    if (n == 0 || n >= MAX_PATH || !ToAnsiExactly(std::wstring(shortFolder, n), folderAnsi))
        return std::string();
    if (folderAnsi.empty() || folderAnsi.back() != '\\') folderAnsi += '\\';

    std::string nameAnsi;
    if (!ToAnsiExactly(name, nameAnsi)) {
        wchar_t shortPath[MAX_PATH] = {};
        const DWORD m = getShortPathName(path.c_str(), shortPath, MAX_PATH);
        if (m == 0 || m >= MAX_PATH) return std::string();
        const std::wstring whole(shortPath, m);
        if (!ToAnsiExactly(whole.substr(whole.find_last_of(L"\\/") + 1), nameAnsi)) return std::string();
    }
    const std::string result = folderAnsi + nameAnsi;
    return result.size() < MAX_PATH ? result : std::string();
}

// The full path of `module` (null: the program itself) as the ANSI calls can open it,
// by AnsiPathOf. Where the system has no wide call (Windows 95/98/Me), or no ANSI
// spelling exists, the name GetModuleFileNameA gives, as before.
inline std::string AnsiModulePath(HMODULE module = nullptr) {
    const auto getModuleFileName = KernelFunction<GetModuleFileNameWFn>("GetModuleFileNameW");
    wchar_t wide[MAX_PATH * 4] = {};
    const DWORD n = getModuleFileName ? getModuleFileName(module, wide, MAX_PATH * 4) : 0;
    if (n > 0 && n < MAX_PATH * 4) {
        const std::string ansi = AnsiPathOf(std::wstring(wide, n));
        if (!ansi.empty()) return ansi;
    }
    char path[MAX_PATH] = {};
    const DWORD a = ::GetModuleFileNameA(module, path, MAX_PATH);
    if (a == 0) return std::string();
    // A truncated name comes back filling the buffer, without a terminating zero.
    path[a < MAX_PATH ? a : MAX_PATH - 1] = '\0';
    return std::string(path, std::strlen(path));
}

// The folder of `module` as AnsiModulePath spells it, without a trailing backslash;
// empty when it cannot be told.
inline std::string AnsiModuleFolder(HMODULE module = nullptr) {
    const std::string path = AnsiModulePath(module);
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

}  // namespace qrtl::win32
