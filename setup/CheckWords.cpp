#include "setup/CheckWords.h"

#include <cstring>

#include "config/ProfileKeys.h"
#include "product.h"

namespace qrtl {

namespace {

const std::string& Key(const Finding& f, std::size_t i) {
    static const std::string none;
    return i < f.keys.size() ? f.keys[i] : none;
}

// Where POWER's start comes from, for a launch finding; empty parts without one.
const setup::LaunchFinding& Start(const Finding& f) {
    static const setup::LaunchFinding none;
    return f.start ? *f.start : none;
}

std::string ClientKey(const profile::Key& key, int32_t client) { return profile::KeyName(key, client); }

std::string UpperAscii(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

std::string SyntaxText(const Finding& f) {
    switch (f.detail) {
    case FindingDetail::ByteOrderMark:
        return "the file starts with a UTF-8 byte order mark: Windows does not see the header on this line; "
               "save the file without it";
    case FindingDetail::NoClosingBracket: return "section header without \"]\": Windows reads it as a key line";
    case FindingDetail::BeforeSection: return "key before any [section]: the monitor never reads it";
    case FindingDetail::EmptyKey: return "line with an empty key name: the monitor never reads it";
    default:
        return Concatenated(
            {"\"", f.quoted, "\" is neither a [section], a comment nor key=value: Windows ignores it"});
    }
}

std::string TimerText(const Finding& f) {
    const std::string value = "Timer=" + std::to_string(f.number);
    switch (f.detail) {
    case FindingDetail::TimerOff: return value + ": the receiver is never polled";
    case FindingDetail::TimerCostly: return value + " ms polls so often that it costs CPU time; 100 or more is plenty";
    default: return value + " ms: keys answer so late that the remote feels dead";
    }
}

std::string ItemEmptyText(const Finding& f) {
    std::string text = "no " + f.field + ": any program's window with the client's layout counts as ";
    if (f.detail == FindingDetail::ControlOff)
        return text + "the client, and with " + ClientKey(profile::kControl, f.number) + "=0 the remote goes silent";
    return text + "the client";
}

std::string KeysList(const Finding& f) {
    std::string names;
    for (const std::string& name : f.keys) names += (names.empty() ? "" : ", ") + name;
    return names;
}

std::string UnlearnedText(const Finding& f) {
    const bool one = f.keys.size() == 1;
    return std::to_string(f.keys.size()) + (one ? " key has" : " keys have") + " no code yet: " + KeysList(f) +
           (one ? "; it does" : "; they do") + " nothing until learned";
}

std::string NotSetUpText(const Finding& f) {
    return std::string("the remote is not set up yet: no key has a code") +
           (f.detail == FindingDetail::NothingChosen ? " and no TV application is chosen" : "") + "; " +
           product::kRemoteExe + " (\"" + product::kSetUpLink + "\" in the Start menu) sets it up";
}

std::string ClientControlText(const Finding& f) {
    const std::string& key = f.field;
    return (f.detail == FindingDetail::ControlMissing ? "no " + key + " (0)" : key + "=0") +
           ": while the application runs, the monitor leaves the receiver to it, and the commands of [" +
           f.section + "] are never sent; write " + key + "=1";
}

std::string LaunchText(const Finding& f) {
    switch (f.launch) {
    case LaunchPart::ExtensionAdded:
        return f.field + "=" + Start(f).exeName + " has no extension: \".exe\" is added when it starts";
    case LaunchPart::NoLaunchLines: return "no " + f.field + ": POWER starts no client";
    case LaunchPart::FolderUnreadable:
        return "the client's folder cannot be read from HKEY_LOCAL_MACHINE\\" + Start(f).regPath + " value \"" +
               Start(f).regFolder + "\": POWER cannot start the client";
    case LaunchPart::ProgramNotStartable:
        // A folder at the path is no program either: the words are those of a missing one.
        return Start(f).program + " does not exist: POWER cannot start the client";
    case LaunchPart::None: break;
    }
    return {};
}

}  // namespace

std::string Concatenated(std::initializer_list<std::string_view> parts) {
    return Appended(std::string(), parts);
}

std::string Appended(std::string&& text, std::initializer_list<std::string_view> parts) {
    std::size_t size = text.size();
    for (const std::string_view part : parts) size += part.size();
    std::size_t at = text.size();
    text.resize(size);
    for (const std::string_view part : parts) {
        if (part.empty()) continue;
        std::memcpy(&text[at], part.data(), part.size());
        at += part.size();
    }
    return std::move(text);
}

std::string CommandProblemWords(const CommandProblemCode& problem) {
    switch (problem.fault) {
    case CommandFault::None: return {};
    case CommandFault::TooShort: return "too short, nothing is sent (write #hex or *hex)";
    case CommandFault::NoMarker: return "starts with neither # nor *, nothing is sent";
    case CommandFault::NoNumber: return "no hexadecimal number after the marker, 0 is sent";
    case CommandFault::PartlyRead:
        return "only the first " + std::to_string(problem.digitsRead) + " characters read as a hexadecimal number";
    case CommandFault::AboveCommandId: return "above FFFF: only the low 16 bits are sent";
    case CommandFault::AboveVirtualKey: return "above FF: only the low 8 bits are sent";
    }
    return {};
}

std::string ProfileUnusableWords(ProfileUnusable why) {
    switch (why) {
    case ProfileUnusable::None: return {};
    case ProfileUnusable::TooLarge:
        return "is too large for a profile (more than " + std::to_string(kMaxProfileBytes) + " bytes)";
    case ProfileUnusable::NotText: return "is not a text file";
    case ProfileUnusable::Empty: return "is empty";
    case ProfileUnusable::NoSection: return "has no [section]: it is not a profile";
    }
    return {};
}

std::string CheckText(const Finding& f) {
    switch (f.kind) {
    case FindingId::Syntax: return SyntaxText(f);
    case FindingId::SectionDuplicate:
        return Concatenated(
            {"section [", f.section, "] repeated: only the one on line ", std::to_string(f.otherLine), " is read"});
    case FindingId::KeyDuplicate:
        return Concatenated(
            {"\"", f.field, "\" repeated in [", f.section, "]: only line ", std::to_string(f.otherLine), " counts"});
    case FindingId::Timer: return TimerText(f);
    case FindingId::ClientMissing:
        return "Default=" + std::to_string(f.number) + " names a client without " +
               ClientKey(profile::kItem, f.number) + ", " + ClientKey(profile::kCaption, f.number) + " or " +
               ClientKey(profile::kClassName, f.number) + ": no window is ever taken for the client";
    case FindingId::ItemEmpty: return ItemEmptyText(f);
    case FindingId::ItemCase:
        return f.field + "=" + f.quoted +
               " has lower-case letters and never matches the upper-cased program name; write " + UpperAscii(f.quoted);
    case FindingId::ClientKeymap:
        return "no section [" + f.section + "]: keys are recognised but nothing is sent to the client";
    case FindingId::NotSetUp: return NotSetUpText(f);
    case FindingId::CodeUnlearned: return UnlearnedText(f);
    case FindingId::KeyName:
        return Concatenated({"\"", f.field, "\" is not a remote key name; did you mean ",
                             f.nearestKey != nullptr ? f.nearestKey : "", "?"});
    case FindingId::CodeFormat:
        return Concatenated({Key(f, 0), "=", f.quoted,
                             " never matches: a received code is written with at least two digits, 00 to 255"});
    case FindingId::CodeShared:
        return Concatenated({Key(f, 0), " shares code ", f.quoted, " with ", Key(f, 1), ", which takes it: ",
                             Key(f, 0), " is never recognised"});
    case FindingId::CommandFormat:
        return Concatenated({Key(f, 0), "=", f.quoted, ": ", CommandProblemWords(f.command)});
    case FindingId::CommandUnmapped:
        return Concatenated(
            {Key(f, 0), " has no code in [", profile::kControllerSection, "]: this command is never sent"});
    case FindingId::ClientControl: return ClientControlText(f);
    case FindingId::Launch: return LaunchText(f);
    case FindingId::ClientTitle:
        return Concatenated({f.field, "=", f.quoted, ": the window is found only while its title is exactly this (",
                             ClientKey(profile::kChild0, f.number), "..2 cannot find it): a title that changes with "
                             "the channel or a document's name loses it"});
    case FindingId::LaunchWritable:
        return "any user can change HKEY_LOCAL_MACHINE\\" + Start(f).regPath +
               ": whoever changes the folder in it decides what POWER starts";
    case FindingId::LaunchQuote:
        // The file name's line when the quote is in it, else the folder from the registry.
        return (Start(f).exeName.find('"') != std::string::npos
                    ? f.field + "=" + Start(f).exeName
                    : "the client's folder in HKEY_LOCAL_MACHINE\\" + Start(f).regPath + " value \"" +
                          Start(f).regFolder + "\"") +
               " holds a quote, which would add arguments to the command line: POWER starts no client";
    }
    return {};
}

}  // namespace qrtl
