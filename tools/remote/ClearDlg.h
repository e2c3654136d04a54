// The question Clear asks before it removes anything of a key: its code, its
// action or both, each offered only when the key holds it.
#pragma once

#include <windows.h>

#include <string>

#include "setup/KeyEdits.h"

namespace remote {

// What the key holds, as the window shows it: its code ("20") and its action in
// words; empty when it holds none.
struct ClearOffer {
    std::string key;
    std::string legend;
    std::string code;
    std::string action;
};

// Runs the question over `owner`; true when the owner chose, with the choice in `part`.
bool ChooseClear(HWND owner, const ClearOffer& offer, qrtl::setup::ClearPart& part);

}  // namespace remote
