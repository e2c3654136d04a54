// The action chooser of one key: the application's menu commands and controls,
// the keys by name, and an advanced field for a command id or a virtual key.
#pragma once

#include <windows.h>

#include <string>

#include "setup/AppCommands.h"

namespace remote {

// Runs the chooser over `owner`; true when the owner pressed OK, with the chosen
// command text ("#9C4A", "*26", or empty for no action) in `commandText`. With no
// command known of the application (named `application`, ANSI), the chooser asks to
// start it and shows the raw form only under Advanced.
bool ChooseAction(HWND owner, const std::string& keyName, const std::string& legend,
                  const qrtl::setup::AppCatalog& catalog, std::string& commandText,
                  const std::string& application = {});

}  // namespace remote
