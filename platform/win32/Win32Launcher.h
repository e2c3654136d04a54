// Starts the client application.
#pragma once

#include "platform/Platform.h"

namespace qrtl::win32 {

// Starts the executable from its quoted full path, so that a path with blanks cannot
// start a different program and a name without an extension gets ".exe"; does not
// wait for it. A path holding a quote starts nothing: it names no file, and the
// quote would end the quoted name early and add arguments.
class Win32Launcher : public ILauncher {
public:
    bool Launch(const std::string& path) override;
};

}  // namespace qrtl::win32
