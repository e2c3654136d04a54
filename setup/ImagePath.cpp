#include "setup/ImagePath.h"

#include <cctype>

namespace qrtl::setup {

namespace {

bool Slash(char c) { return c == '\\' || c == '/'; }

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        const char a = text[i];
        const char b = prefix[i];
        if (Slash(a) && Slash(b)) continue;
        if (std::tolower(static_cast<unsigned char>(a)) != std::tolower(static_cast<unsigned char>(b)))
            return false;
    }
    return true;
}

// "C:\..." with a letter, a colon and a separator.
bool DrivePath(std::string_view path) {
    const char letter = static_cast<char>(path.empty() ? 0 : path[0] | 0x20);  // ASCII lower case
    return path.size() >= 3 && letter >= 'a' && letter <= 'z' && path[1] == ':' && Slash(path[2]);
}

}  // namespace

ImagePathKind ClassifyImagePath(std::string_view path, std::string* local) {
    if (StartsWithNoCase(path, "\\\\?\\UNC\\")) return ImagePathKind::Network;
    if (StartsWithNoCase(path, "\\\\?\\") || StartsWithNoCase(path, "\\??\\")) {
        const std::string_view rest = path.substr(4);
        if (!DrivePath(rest)) return ImagePathKind::Device;
        path = rest;
    } else if (StartsWithNoCase(path, "\\\\.\\")) {
        return ImagePathKind::Device;
    } else if (path.size() >= 2 && Slash(path[0]) && Slash(path[1])) {
        return ImagePathKind::Network;
    } else if (!path.empty() && Slash(path[0])) {
        return ImagePathKind::Device;  // "\Device\HarddiskVolume1\...": not a path to open as it is
    }
    if (!DrivePath(path)) return ImagePathKind::NotFull;
    if (local != nullptr) *local = std::string(path);
    return ImagePathKind::Local;
}

}  // namespace qrtl::setup
