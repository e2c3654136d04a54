// The profile checker: what in a profile the monitor would read differently from
// what its writer meant, found with the monitor's own loading code.
#pragma once

#include <functional>
#include <memory>
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
    ClientTitle,
};
constexpr int kFindingIdCount = static_cast<int>(FindingId::ClientTitle) + 1;

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

// Why the monitor would not post a command text as its writer meant.
enum class CommandFault {
    None,
    TooShort,         // fewer than a marker and two characters: nothing is sent
    NoMarker,         // neither # nor *: nothing is sent
    NoNumber,         // no hexadecimal number after the marker: 0 is sent
    PartlyRead,       // only the first `digitsRead` characters read as the number
    AboveCommandId,   // #: above FFFF, only the low 16 bits are sent
    AboveVirtualKey,  // *: above FF, only the low 8 bits are sent
};
struct CommandProblemCode {
    CommandFault fault = CommandFault::None;
    std::size_t digitsRead = 0;  // PartlyRead: how many characters the number took
    bool Ok() const { return fault == CommandFault::None; }
};

// One finding: what it is about and the values that tell it. The checker's words
// for it are CheckText(finding), its name for scripts FindingIdName(finding.kind).
struct Finding {
    int line = 0;
    Severity severity = Severity::Warning;
    FindingId kind = FindingId::Syntax;
    FindingDetail detail = FindingDetail::None;
    // The remote keys the finding is about, in the keys' order ("VOL+"); for a
    // shared code the loser first and the key that takes it second.
    std::vector<std::string> keys;
    // The profile key the finding is about ("Timer", "1_Item"), when one is.
    std::string field;
    // The profile's text the finding quotes: syntax the line; item-case the item as
    // written; code-format and code-shared the code; command-format and
    // command-unmapped the command; client-title the title.
    std::string quoted;
    // The section named: section-duplicate and key-duplicate the repeated one,
    // client-keymap the missing key map, client-control the key map not sent.
    std::string section;
    // section-duplicate: the line of the section that is read; key-duplicate: the
    // line that counts.
    int otherLine = 0;
    // timer: the interval in ms; client-missing, item-empty and client-title: the client N.
    int32_t number = 0;
    const char* nearestKey = nullptr;  // key-name: the remote key name meant, perhaps
    CommandProblemCode command;        // command-format: what is wrong with it
    LaunchPart launch = LaunchPart::None;
    // launch and launch-writable: where POWER's start comes from and what it starts.
    std::shared_ptr<const setup::LaunchFinding> start;
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

// Why bytes cannot be taken for a profile at all.
enum class ProfileUnusable { None, TooLarge, NotText, Empty, NoSection };
// Why `bytes` cannot be taken for a profile at all; None when it can.
ProfileUnusable ProfileUnusableReason(std::string_view bytes);

// The largest profile file the tools accept.
constexpr std::size_t kMaxProfileBytes = 1024 * 1024;

// Why the monitor would not post a command text as its writer meant; Ok() when it would.
CommandProblemCode CommandProblem(const std::string& command);

// "FILE:LINE: error|warning|note: TEXT [ID]"
std::string FormatFinding(const std::string& file, const Finding& finding);
// "N errors, N warnings, N notes"
std::string FormatSummary(const std::vector<Finding>& findings);
// 2 with an error, 1 with a warning, else 0.
int CheckExitStatus(const std::vector<Finding>& findings);

}  // namespace qrtl
