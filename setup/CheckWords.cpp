#include "setup/CheckWords.h"

#include <cstring>

#include "config/ProfileKeys.h"
#include "product.h"

namespace qrtl {

namespace {

// The value `i` of a finding; empty when the finding has fewer.
const std::string& Value(const Finding& f, std::size_t i) {
    static const std::string none;
    return i < f.values.size() ? f.values[i] : none;
}

const std::string& Key(const Finding& f, std::size_t i) {
    static const std::string none;
    return i < f.keys.size() ? f.keys[i] : none;
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
            {"\"", Value(f, 0), "\" is neither a [section], a comment nor key=value: Windows ignores it"});
    }
}

std::string TimerText(const Finding& f) {
    const std::string value = "Timer=" + Value(f, 0);
    switch (f.detail) {
    case FindingDetail::TimerOff: return value + ": the receiver is never polled";
    case FindingDetail::TimerCostly: return value + " ms polls so often that it costs CPU time; 100 or more is plenty";
    default: return value + " ms: keys answer so late that the remote feels dead";
    }
}

std::string ItemEmptyText(const Finding& f) {
    std::string text = "no " + f.field + ": any program's window with the client's layout counts as ";
    if (f.detail == FindingDetail::ControlOff)
        return text + "the client, and with " + Value(f, 0) + "=0 the remote goes silent";
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
           Value(f, 0) + "] are never sent; write " + key + "=1";
}

std::string LaunchText(const Finding& f) {
    switch (f.launch) {
    case LaunchPart::ExtensionAdded:
        return f.field + "=" + Value(f, 2) + " has no extension: \".exe\" is added when it starts";
    case LaunchPart::NoLaunchLines: return "no " + f.field + ": POWER starts no client";
    case LaunchPart::FolderUnreadable:
        return "the client's folder cannot be read from HKEY_LOCAL_MACHINE\\" + Value(f, 0) + " value \"" +
               Value(f, 1) + "\": POWER cannot start the client";
    case LaunchPart::ProgramNotStartable:
        // A folder at the path is no program either: the words are those of a missing one.
        return Value(f, 3) + " does not exist: POWER cannot start the client";
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

std::string CheckText(const Finding& f) {
    switch (f.kind) {
    case FindingId::Syntax: return SyntaxText(f);
    case FindingId::SectionDuplicate:
        return Concatenated({"section [", Value(f, 0), "] repeated: only the one on line ", Value(f, 1), " is read"});
    case FindingId::KeyDuplicate:
        return Concatenated({"\"", f.field, "\" repeated in [", Value(f, 0), "]: only line ", Value(f, 1), " counts"});
    case FindingId::Timer: return TimerText(f);
    case FindingId::ClientMissing:
        return "Default=" + Value(f, 0) + " names a client without " + Value(f, 1) + ", " + Value(f, 2) + " or " +
               Value(f, 3) + ": no window is ever taken for the client";
    case FindingId::ItemEmpty: return ItemEmptyText(f);
    case FindingId::ItemCase:
        return f.field + "=" + Value(f, 0) + " has lower-case letters and never matches the upper-cased program "
                                             "name; write " +
               Value(f, 1);
    case FindingId::ClientKeymap:
        return "no section [" + Value(f, 0) + "]: keys are recognised but nothing is sent to the client";
    case FindingId::NotSetUp: return NotSetUpText(f);
    case FindingId::CodeUnlearned: return UnlearnedText(f);
    case FindingId::KeyName:
        return Concatenated({"\"", f.field, "\" is not a remote key name; did you mean ", Value(f, 0), "?"});
    case FindingId::CodeFormat:
        return Concatenated({Key(f, 0), "=", Value(f, 0),
                             " never matches: a received code is written with at least two digits, 00 to 255"});
    case FindingId::CodeShared:
        return Concatenated({Key(f, 0), " shares code ", Value(f, 0), " with ", Key(f, 1), ", which takes it: ",
                             Key(f, 0), " is never recognised"});
    case FindingId::CommandFormat: return Concatenated({Key(f, 0), "=", Value(f, 0), ": ", Value(f, 1)});
    case FindingId::CommandUnmapped:
        return Concatenated(
            {Key(f, 0), " has no code in [", profile::kControllerSection, "]: this command is never sent"});
    case FindingId::ClientControl: return ClientControlText(f);
    case FindingId::Launch: return LaunchText(f);
    case FindingId::LaunchWritable:
        return "any user can change HKEY_LOCAL_MACHINE\\" + (f.values.empty() ? std::string() : f.values[0]) +
               ": whoever changes the folder in it decides what POWER starts";
    case FindingId::LaunchQuote:
        // The file name's line when the quote is in it, else the folder from the registry.
        return (Value(f, 2).find('"') != std::string::npos ? f.field + "=" + Value(f, 2)
                                                             : "the client's folder in HKEY_LOCAL_MACHINE\\" +
                                                                   Value(f, 0) + " value \"" + Value(f, 1) + "\"") +
               " holds a quote, which would add arguments to the command line: POWER starts no client";
    }
    return {};
}

}  // namespace qrtl
