// Whether the set-up window may write its profile, and writing a whole new file.
#include "ProfileAccess.h"

#include <windows.h>

#include "platform/win32/Handle.h"

namespace remote {

std::string WhyNotWritable(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return "the file cannot be found";
    if (attributes & FILE_ATTRIBUTE_READONLY) return "the file is marked read-only";
    const qrtl::win32::UniqueFile file(::CreateFileA(path.c_str(), GENERIC_WRITE,
                                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return "this account may not change it";
    return {};
}

bool WriteWholeFile(const std::string& path, std::string_view text, bool replace, std::string& why) {
    const qrtl::win32::UniqueFile file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr,
                                                     replace ? CREATE_ALWAYS : CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                                     nullptr));
    DWORD written = 0;
    if (!file || !::WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) ||
        written != text.size()) {
        why = "it cannot be written there (error " + std::to_string(::GetLastError()) + ")";
        return false;
    }
    return true;
}

}  // namespace remote
