// The profile checker: what in a profile the monitor would read differently from
// what its writer meant, found with the monitor's own loading code.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "config/ProfileReader.h"
#include "platform/Platform.h"
#include "setup/LaunchFinding.h"

namespace qrtl {

enum class Severity { Error, Warning, Note };

// What a finding is about, for code that decides by it; its name in `id`.
enum class FindingId {
    Syntax,
    SectionDuplicate,
    KeyDuplicate,
    Timer,
    ClientMissing,
    ItemEmpty,
    ItemCase,
    ClientKeymap,
    NotSetUp,
    CodeUnlearned,
    KeyName,
    CodeFormat,
    CodeShared,
    CommandFormat,
    CommandUnmapped,
    ClientControl,
    Launch,
};

// The stable name of a finding for scripts: "code-format", "timer" ...
const char* FindingIdName(FindingId id);

// Which part of the launch a launch finding tells.
enum class LaunchPart { None, ExtensionAdded, NoLaunchLines, FolderUnreadable, ProgramNotStartable };

struct Finding {
    int line = 0;
    Severity severity = Severity::Warning;
    std::string text;  // the checker's words, as QRTLProfile check prints them
    std::string id;    // FindingIdName(kind)
    FindingId kind = FindingId::Syntax;
    // The remote keys the finding is about, in the keys' order ("VOL+"); for a
    // shared code the loser first and the key that takes it second.
    std::vector<std::string> keys;
    // The profile key of the line ("Timer", "1_Item"), when one is.
    std::string field;
    // The values the words quote: the code, the command, the timer ...; for
    // not-set-up "no-client" when no TV application is chosen either.
    std::vector<std::string> values;
    LaunchPart launch = LaunchPart::None;
};

// What only the real system can answer; without a registry the client's
// installation is not checked.
struct CheckEnvironment {
    IRegistry* registry = nullptr;
    // What is at the program's path; without it the program file is not checked.
    setup::PathKindOf pathKind;
};

// The findings of one profile, ordered by line.
std::vector<Finding> CheckProfile(const ProfileDocument& document,
                                  const CheckEnvironment& environment = {});

// Why `bytes` cannot be taken for a profile at all (empty, binary, too large, no
// section); empty when it can.
std::string ProfileUnusableReason(std::string_view bytes);

// The largest profile file the tools accept.
constexpr std::size_t kMaxProfileBytes = 1024 * 1024;

// Why the monitor would not post a command text as its writer meant ("too short,
// nothing is sent ..."); empty when it would.
std::string CommandProblem(const std::string& command);

// "FILE:LINE: error|warning|note: TEXT [ID]"
std::string FormatFinding(const std::string& file, const Finding& finding);
// "N errors, N warnings, N notes"
std::string FormatSummary(const std::vector<Finding>& findings);
// 2 with an error, 1 with a warning, else 0.
int CheckExitStatus(const std::vector<Finding>& findings);

}  // namespace qrtl
