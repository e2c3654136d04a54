// The one check every profile line our tools write goes through: a text from
// another program or the registry must never end its line, open a section or hide
// a key of its own in the owner's profile, and must read back as it was written.
#pragma once

#include <string>
#include <string_view>

namespace qrtl::setup {

enum class LineProblem {
    None,
    LineBreak,      // CR, LF or NUL: the line would end there, and the rest be a line of its own
    Empty,          // a section or key without a name
    SectionEnd,     // ']' in a section name ends the name early
    KeyEquals,      // '=' in a key ends the key early
    KeyStart,       // a key beginning with '[' or ';' reads as a section or a comment
    TooLong,        // the monitor reads 255 characters
    EdgeBlank,      // the profile functions strip blanks at the ends
    EdgeQuote,      // ... and one pair of quotes around a value
};

LineProblem CheckProfileSection(std::string_view section);
LineProblem CheckProfileKey(std::string_view key);
LineProblem CheckProfileValue(std::string_view value);

// Which part of a line is wrong, and how; Part::None when the line can be written.
struct LineCheck {
    enum class Part { None, Section, Key, Value } part = Part::None;
    LineProblem problem = LineProblem::None;
    bool Ok() const { return problem == LineProblem::None; }
};
LineCheck CheckProfileLine(std::string_view section, std::string_view key, std::string_view value);

// "holds a line break, which would end the line in the profile"
std::string LineProblemWords(LineProblem problem);
// "the value holds a line break, ..."
std::string LineCheckWords(const LineCheck& check);

}  // namespace qrtl::setup
