// Splitting a Windows or POSIX path into its folder and its file name, as the
// set-up tools need it for launch lines, client items and the profile's folder.
#pragma once

#include <string>

namespace qrtl::setup {

// The folder of `path` without its trailing separator; empty when `path` names no folder.
std::string FolderOf(const std::string& path);

// The last part of `path`: the whole of it when it names no folder.
std::string FileNameOf(const std::string& path);

}  // namespace qrtl::setup
