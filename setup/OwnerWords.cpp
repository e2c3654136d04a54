#include "setup/OwnerWords.h"

#include "setup/CheckWords.h"

namespace qrtl::setup {

namespace {

std::string Joined(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) text += (text.empty() ? "" : ", ") + name;
    return text;
}

const std::string& First(const std::vector<std::string>& list) {
    static const std::string none;
    return list.empty() ? none : list.front();
}

const std::string& Second(const std::vector<std::string>& list) {
    static const std::string none;
    return list.size() < 2 ? none : list[1];
}

std::string TimerSentence(const Finding& f) {
    const std::string ms = std::to_string(f.number);
    switch (f.detail) {
    case FindingDetail::TimerOff: return "The monitor never listens to the receiver: its polling interval is 0.";
    case FindingDetail::TimerCostly:
        return "The monitor listens to the receiver every " + ms + " ms, which costs CPU time; every 100 ms is plenty.";
    default: return "The monitor listens to the receiver only every " + ms + " ms: keys answer late.";
    }
}

std::string LaunchSentence(const Finding& f) {
    switch (f.launch) {
    case LaunchPart::NoLaunchLines: return "POWER does not start the TV application.";
    case LaunchPart::FolderUnreadable:
        return "POWER cannot start the TV application: its folder is not found. Take its window again.";
    case LaunchPart::ProgramNotStartable:
        return "POWER cannot start the TV application: " + (f.start ? f.start->program : std::string()) +
               " is not there.";
    case LaunchPart::ExtensionAdded:
    case LaunchPart::None:
        break;
    }
    return {};
}

}  // namespace

std::string Counted(std::size_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

std::string LaunchInWords(const LaunchFinding& launch, bool noneFound) {
    switch (launch.state) {
    case LaunchState::NoLaunchLines:
        return noneFound ? "Windows does not say where this application is installed: POWER cannot start it"
                         : "POWER starts no application";
    case LaunchState::FolderUnreadable:
        return "the application's folder is not found any more: POWER cannot start the application; take its "
               "window again";
    case LaunchState::ProgramMissing:
        return launch.program + " does not exist: POWER cannot start the application";
    case LaunchState::ProgramIsFolder:
        return launch.program + " is a folder, not a program: POWER cannot start the application";
    case LaunchState::Starts:
    case LaunchState::NotChecked:
        break;
    }
    return "starts " + launch.program;
}

namespace {

// `text` with the owner's sentence for `f` after it; `text` alone for a finding
// the owner need not see. Grown in place: a large profile has many findings.
std::string SentenceAfter(std::string&& text, const Finding& f) {
    const std::string& key = First(f.keys);
    switch (f.kind) {
    case FindingId::Syntax:
        return Appended(std::move(text),
                        {"Line ", std::to_string(f.line), " of the profile cannot be read; it is ignored."});
    case FindingId::SectionDuplicate:
        return Appended(std::move(text),
                        {"Part of the profile is repeated on line ", std::to_string(f.line),
                         "; only the first is read."});
    case FindingId::KeyDuplicate:
        return Appended(std::move(text),
                        {"A setting is repeated on line ", std::to_string(f.line), "; only the first counts."});
    case FindingId::Timer: return Appended(std::move(text), {TimerSentence(f)});
    case FindingId::ClientMissing:
        return Appended(std::move(text), {"No TV application is chosen: drag the crosshair onto its window, or choose "
                                          "it from the list."});
    case FindingId::ItemEmpty:
        return Appended(std::move(text), {"The TV application's program is not named, so any window that looks like "
                                          "it counts. Take its window again."});
    case FindingId::ItemCase:
        return Appended(std::move(text),
                        {"The TV application's program name never matches as written. Take its window again."});
    case FindingId::ClientKeymap:
        return Appended(std::move(text), {"The TV application has no actions yet: keys are recognised but nothing is "
                                          "sent. Use Fill or Action..."});
    case FindingId::NotSetUp:
        return Appended(std::move(text),
                        {f.detail == FindingDetail::NothingChosen
                             ? "The remote is not set up yet: choose the TV application and learn its keys."
                             : "The remote is not set up yet: learn its keys."});
    case FindingId::CodeUnlearned:
        return Appended(std::move(text),
                        {Counted(f.keys.size(), "key has", "keys have"), " no code yet: ", Joined(f.keys),
                         f.keys.size() == 1 ? ". It does" : ". They do", " nothing until learned."});
    case FindingId::KeyName:
        return Appended(std::move(text),
                        {"\"", f.field, "\" is not a key of the remote; perhaps ", f.nearestKey != nullptr ? f.nearestKey : "",
                         " is meant."});
    case FindingId::CodeFormat:
        return Appended(std::move(text), {key, "'s code is never received as written. Learn ", key, " again."});
    case FindingId::CodeShared:
        return Appended(std::move(text), {key, " and ", Second(f.keys), " have the same code, and ", Second(f.keys),
                                          " takes it: ", key, " is never recognised. Learn one of them again."});
    case FindingId::CommandFormat:
        return Appended(std::move(text), {key, "'s action is not sent as meant. Choose it again with Action..."});
    case FindingId::CommandUnmapped:
        return Appended(std::move(text), {key, " has an action but no code yet. Learn it to use it."});
    case FindingId::ClientControl:
        return Appended(std::move(text), {"While the TV application runs, the monitor leaves the remote to it and "
                                          "sends no action. Take its window again to change that."});
    case FindingId::Launch: return Appended(std::move(text), {LaunchSentence(f)});
    case FindingId::LaunchQuote:
        return Appended(std::move(text), {"POWER does not start the TV application while its file name or folder "
                                          "holds a quote. Take its window again."});
    case FindingId::ClientTitle:
        return Appended(std::move(text), {"The TV application's window is found only while its title is \"", f.quoted,
                                          "\": if the title changes, the remote no longer finds it. Take its window "
                                          "again: where its kind and program tell it, no title is kept."});
    case FindingId::LaunchWritable:
        return Appended(std::move(text), {"Any user of this computer can change where POWER finds the TV "
                                          "application: reinstall it as an administrator, or ask one to protect its "
                                          "settings."});
    }
    return std::move(text);
}

}  // namespace

std::string OwnerSentence(const Finding& f) { return SentenceAfter(std::string(), f); }

std::vector<FindingRow> OwnerFindings(std::vector<FindingRow> rows) {
    // A key with an action but no code is one of the keys without a code: it is
    // named once, in their line, not once more on its own.
    std::vector<std::string> withAction;
    for (const FindingRow& row : rows)
        if (row.kind == FindingId::CommandUnmapped) withAction.push_back(First(row.finding.keys));
    // Kept in place, in their order: a large profile has tens of thousands.
    std::size_t kept = 0;
    for (FindingRow& row : rows) {
        if (row.kind == FindingId::CommandUnmapped) continue;
        // Written over the checker's words, in their place.
        std::string text = std::move(row.text);
        text.assign(SeverityInWords(row.severity)).append(": ");
        const std::size_t severity = text.size();
        text = SentenceAfter(std::move(text), row.finding);
        if (text.size() == severity) continue;
        FindingRow& owner = rows[kept++];
        if (&owner != &row) owner = std::move(row);
        owner.text = std::move(text);
        if (owner.kind == FindingId::CodeUnlearned && !withAction.empty()) {
            if (withAction.size() == owner.finding.keys.size())
                owner.text += withAction.size() == 1 ? " It has an action already." : " They all have an action already.";
            else
                owner.text += " " + Joined(withAction) + (withAction.size() == 1 ? " has" : " have") +
                              " an action already.";
        }
    }
    rows.erase(rows.begin() + static_cast<std::ptrdiff_t>(kept), rows.end());
    return rows;
}

}  // namespace qrtl::setup
