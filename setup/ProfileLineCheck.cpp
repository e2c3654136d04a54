#include "setup/ProfileLineCheck.h"

#include "config/ProfileReader.h"

namespace qrtl::setup {

namespace {

// What the profile functions strip at the ends: blanks, tabs, form and line feeds,
// and 0x1A, the old end-of-file mark.
bool Blank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\x1A'; }
bool Quote(char c) { return c == '"' || c == '\''; }

LineProblem CheckText(std::string_view text) {
    // A NUL ends the string the profile functions get: the rest would be lost.
    if (text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos) return LineProblem::LineBreak;
    if (text.size() > kProfileTextLimit) return LineProblem::TooLong;
    if (!text.empty() && (Blank(text.front()) || Blank(text.back()))) return LineProblem::EdgeBlank;
    return LineProblem::None;
}

}  // namespace

LineProblem CheckProfileSection(std::string_view section) {
    if (section.empty()) return LineProblem::Empty;
    const LineProblem text = CheckText(section);
    if (text != LineProblem::None) return text;
    if (section.find(']') != std::string_view::npos) return LineProblem::SectionEnd;
    return LineProblem::None;
}

LineProblem CheckProfileKey(std::string_view key) {
    if (key.empty()) return LineProblem::Empty;
    const LineProblem text = CheckText(key);
    if (text != LineProblem::None) return text;
    if (key.find('=') != std::string_view::npos) return LineProblem::KeyEquals;
    if (key.front() == '[' || key.front() == ';') return LineProblem::KeyStart;
    return LineProblem::None;
}

LineProblem CheckProfileValue(std::string_view value) {
    const LineProblem text = CheckText(value);
    if (text != LineProblem::None) return text;
    if (!value.empty() && (Quote(value.front()) || Quote(value.back()))) return LineProblem::EdgeQuote;
    return LineProblem::None;
}

LineCheck CheckProfileLine(std::string_view section, std::string_view key, std::string_view value) {
    LineCheck check;
    if ((check.problem = CheckProfileSection(section)) != LineProblem::None)
        check.part = LineCheck::Part::Section;
    else if ((check.problem = CheckProfileKey(key)) != LineProblem::None)
        check.part = LineCheck::Part::Key;
    else if ((check.problem = CheckProfileValue(value)) != LineProblem::None)
        check.part = LineCheck::Part::Value;
    return check;
}

std::string LineProblemWords(LineProblem problem) {
    switch (problem) {
    case LineProblem::None: return {};
    case LineProblem::LineBreak: return "holds a line break, which would end the line in the profile";
    case LineProblem::Empty: return "is empty";
    case LineProblem::SectionEnd: return "holds a ']', which would end the section's name";
    case LineProblem::KeyEquals: return "holds a '=', which would end the key's name";
    case LineProblem::KeyStart: return "begins with '[' or ';', which would read as a section or a comment";
    case LineProblem::TooLong: return "is longer than the 255 characters the monitor reads";
    case LineProblem::EdgeBlank: return "begins or ends with a blank, which the profile functions strip";
    case LineProblem::EdgeQuote: return "begins or ends with a quote, which the profile functions strip";
    }
    return {};
}

std::string LineCheckWords(const LineCheck& check) {
    const char* part = check.part == LineCheck::Part::Section ? "the section name "
                       : check.part == LineCheck::Part::Key  ? "the key "
                                                             : "the value ";
    return part + LineProblemWords(check.problem);
}

}  // namespace qrtl::setup
