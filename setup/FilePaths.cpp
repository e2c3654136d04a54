#include "setup/FilePaths.h"

namespace qrtl::setup {

namespace {
constexpr char kSeparators[] = "\\/";
}  // namespace

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of(kSeparators);
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string FileNameOf(const std::string& path) {
    const std::size_t slash = path.find_last_of(kSeparators);
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace qrtl::setup
