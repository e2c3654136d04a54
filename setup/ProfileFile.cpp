#include "setup/ProfileFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include "setup/ProfileCheck.h"

namespace qrtl::setup {

ProfileReadResult ReadProfileFile(const std::string& path, std::string& bytes) {
    ProfileReadResult result;
    bytes.clear();
    errno = 0;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        result.systemError = errno;
        result.status = errno == ENOENT ? ProfileRead::Missing : ProfileRead::CannotOpen;
        return result;
    }
    // At most one byte past the limit: that byte tells "too large", and a huge file
    // (a sparse gigabyte) is never held in memory.
    char buffer[64 * 1024];
    std::size_t n = 0;
    while (bytes.size() <= kMaxProfileBytes &&
           (n = std::fread(buffer, 1, std::min(sizeof buffer, kMaxProfileBytes + 1 - bytes.size()), file)) > 0)
        bytes.append(buffer, n);
    const bool failed = std::ferror(file) != 0;
    result.systemError = failed ? errno : 0;
    std::fclose(file);
    if (failed) {
        result.status = ProfileRead::CannotRead;
        return result;
    }
    result.unusable = ProfileUnusableReason(bytes);
    if (result.unusable != ProfileUnusable::None) result.status = ProfileRead::Unusable;
    return result;
}

}  // namespace qrtl::setup
