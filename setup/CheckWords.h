// The profile checker's words: one line of QRTLProfile check's output for each
// finding, as scripts read them ("VOL+=5 never matches: ..."). The set-up window
// has words of its own (OwnerWords).
#pragma once

#include <string>

#include "setup/ProfileCheck.h"

namespace qrtl {

std::string CheckText(const Finding& finding);

}  // namespace qrtl
