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
    LaunchWritable,
    LaunchQuote,
};

// The stable name of a finding for scripts: "code-format", "timer" ...
const char* FindingIdName(FindingId id);

// The case of a finding whose kind has more than one.
enum class FindingDetail {
    None,
    ByteOrderMark,     // syntax: the first line's header is hidden behind a UTF-8 mark
    NoEquals,          // syntax: neither a section, a comment nor key=value
    NoClosingBracket,  // syntax: a section header without "]"
    BeforeSection,     // syntax: a key before any section
    EmptyKey,          // syntax: a line with an empty key name
    TimerOff,          // timer: 0 or less, the receiver is never polled
    TimerCostly,       // timer: so short that it costs CPU time
    TimerSluggish,     // timer: so long that keys answer late
    ControlOff,        // item-empty: and the control line is 0, so the remote goes silent
    ControlMissing,    // client-control: no control line at all, which reads as 0
    NothingChosen,     // not-set-up: no TV application chosen either
};

// Which part of the launch a launch finding tells.
enum class LaunchPart { None, ExtensionAdded, NoLaunchLines, FolderUnreadable, ProgramNotStartable };

// One finding: what it is about and the values that tell it, and the checker's
// words for it (CheckText), as QRTLProfile check prints them.
struct Finding {
    int line = 0;
    Severity severity = Severity::Warning;
    std::string text;  // CheckText(*this)
    std::string id;    // FindingIdName(kind)
    FindingId kind = FindingId::Syntax;
    FindingDetail detail = FindingDetail::None;
    // The remote keys the finding is about, in the keys' order ("VOL+"); for a
    // shared code the loser first and the key that takes it second.
    std::vector<std::string> keys;
    // The profile key the finding is about ("Timer", "1_Item"), when one is.
    std::string field;
    // The values the words quote, by kind: syntax {line text}; section-duplicate
    // {section, first line}; key-duplicate {section, line that counts}; timer {ms};
    // client-missing {N, item key, caption key, class key}; item-empty {control key};
    // item-case {item, upper-cased}; client-keymap {section}; key-name {nearest key};
    // code-format and code-shared {code}; command-format {command, problem};
    // command-unmapped {command}; client-control {section}; launch {registry path,
    // value name, file name, program path}; launch-writable {registry path}.
    std::vector<std::string> values;
    LaunchPart launch = LaunchPart::None;
};

// What only the real system can answer; without a registry the client's
// installation is not checked.
struct CheckEnvironment {
    IRegistry* registry = nullptr;
    // What is at the program's path; without it the program file is not checked.
    setup::PathKindOf pathKind;
    // Whether users other than administrators may change the key under
    // HKEY_LOCAL_MACHINE; not asked when not set.
    std::function<bool(const std::string& machineKey)> usersCanWrite;
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
