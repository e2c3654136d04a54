// The profile checker's words: one line of QRTLProfile check's output for each
// finding, as scripts read them ("VOL+=5 never matches: ..."). The set-up window
// has words of its own (OwnerWords).
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include "setup/ProfileCheck.h"

namespace qrtl {

std::string CheckText(const Finding& finding);

// "too short, nothing is sent (write #hex or *hex)"; empty when the command is sent as meant.
std::string CommandProblemWords(const CommandProblemCode& problem);

// "is empty": why a file is no profile; empty when it is one.
std::string ProfileUnusableWords(ProfileUnusable why);

// The parts one after the other, made with one allocation: a large profile has
// tens of thousands of findings, each worded after every change in the window.
std::string Concatenated(std::initializer_list<std::string_view> parts);
// `text` with the parts after it, grown at most once; no part may lie in `text`.
std::string Appended(std::string&& text, std::initializer_list<std::string_view> parts);

}  // namespace qrtl
