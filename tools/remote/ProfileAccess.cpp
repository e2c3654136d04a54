// Writing a whole new profile file (the starter profile the window offers).
#include "ProfileAccess.h"

#include <windows.h>

#include "platform/win32/Handle.h"

namespace remote {

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
