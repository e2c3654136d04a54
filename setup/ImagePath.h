// Which paths of a program's file the set-up tools may open: a local file only. A
// network path would make the tool connect out with the owner's credentials, and a
// device path opens what is no file; both come from a process that may be hostile.
#pragma once

#include <string>
#include <string_view>

namespace qrtl::setup {

enum class ImagePathKind {
    Local,    // "C:\Program Files\TV\tv.exe" (also as "\\?\C:\...")
    Network,  // "\\server\share\...", "\\?\UNC\server\..."
    Device,   // "\\.\...", other "\\?\..." and NT paths "\Device\..."
    NotFull,  // relative, or no path at all
};

// The kind of `path`; for Local, `local` receives it in the "C:\..." form.
ImagePathKind ClassifyImagePath(std::string_view path, std::string* local = nullptr);

}  // namespace qrtl::setup
