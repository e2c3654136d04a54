#include "setup/SlotWords.h"

#include "setup/OwnerWords.h"

namespace qrtl::setup {

namespace {

// Where FindLaunchLines found the folder, as the owner knows those places.
std::string PlaceWords(const std::string& where) {
    if (where == "App Paths") return " (in its list of program paths)";
    if (where == "Uninstall") return " (in its list of installed programs)";
    if (where == "Software\\Vendor") return " (in its maker's settings)";
    return {};
}

// "holds a line break, which ...": why a text is not kept, said of the text itself.
std::string NotKeptWords(const NotKeptReason& reason) {
    switch (reason.why) {
    case NotKept::None: return {};
    case NotKept::Text: return LineProblemWords(reason.check.problem);
    case NotKept::MayBeCut: return "has 255 characters or more, and may have been cut";
    case NotKept::NotAnsi: return "holds characters the ANSI code page cannot hold";
    case NotKept::RegistryKey:
        return "the registry key's name cannot be kept in the profile (it " + LineProblemWords(reason.check.problem) +
               ")";
    case NotKept::RegistryValue:
        return "the registry value's name cannot be kept in the profile (it " +
               LineProblemWords(reason.check.problem) + ")";
    case NotKept::NotBareName: return "the program's file name is not a bare file name";
    case NotKept::ProgramName:
        return "the program's file name cannot be kept in the profile (it " + LineProblemWords(reason.check.problem) +
               ")";
    case NotKept::Quote:
        return "the program's folder or file name holds a quote, which would break the command line";
    }
    return {};
}

std::string TextLeftEmpty(const SlotNote& note, const char* what) {
    std::string text = note.app + "'s window " + what + " is not kept";
    if (!note.reason.Kept()) text += " (it " + NotKeptWords(note.reason) + ")";
    return text + ": the monitor finds the window by its other marks.";
}

// "Its 1 action is", "Its 12 actions are".
std::string ActionsAre(int count) {
    return Counted(static_cast<std::size_t>(count), "action", "actions") + (count == 1 ? " is" : " are");
}

}  // namespace

std::string SelectorText(const SlotRow& row) {
    if (row.description.empty()) return "free";
    if (row.free) return row.description + " (not set up)";
    if (row.sameNameOrdinal > 1) return row.description + " (" + std::to_string(row.sameNameOrdinal) + ")";
    return row.description;
}

std::string SlotNoteWords(const SlotNote& note) {
    switch (note.code) {
    case SlotNoteCode::TitleLeftEmpty: return TextLeftEmpty(note, "title");
    case SlotNoteCode::ClassLeftEmpty: return TextLeftEmpty(note, "type");
    case SlotNoteCode::ItemLeftEmpty:
        return note.app + "'s program name is not kept (it " + NotKeptWords(note.reason) +
               "): the monitor cannot tell its window from others that look like it.";
    case SlotNoteCode::LineLeftEmpty:
        return "A setting for " + note.app + " is not kept: " + LineCheckWords(note.reason.check) + ".";
    case SlotNoteCode::TitleNeeded:
        return note.app + "'s window is told from others of its kind only by its title, \"" + note.title +
               "\": if the title changes, the remote no longer finds it.";
    case SlotNoteCode::LaunchNotKept: return "POWER cannot start " + note.app + ": " + NotKeptWords(note.reason) + ".";
    case SlotNoteCode::LaunchFound:
        return "POWER starts " + note.app + " from the folder Windows records for it" + PlaceWords(note.where) + ".";
    case SlotNoteCode::LaunchNotFound:
        return "POWER cannot start " + note.app + ": Windows does not record its folder where the monitor looks. "
               "Start " + note.app + " yourself before you use the remote.";
    case SlotNoteCode::LaunchCleared: return "POWER no longer starts " + note.oldExe + ".";
    case SlotNoteCode::ActiveNow:
        return note.app + " is now the application that POWER starts and the remote's keys control.";
    case SlotNoteCode::ActiveAlready:
        return note.app + " stays the application that POWER starts and the remote's keys control.";
    case SlotNoteCode::ForwardsKeys: return "The monitor now passes the remote's keys to " + note.app + " while it runs.";
    case SlotNoteCode::NameKept: return "The name you gave it, " + note.app + ", is kept.";
    case SlotNoteCode::ActionsRemoved:
        if (note.count == 0) return note.oldApp + " had no actions.";
        return note.oldApp + "'s " + ActionsAre(note.count) + " removed with it.";
    }
    return {};
}

std::string ReplaceQuestion(const SlotReplace& replace) {
    std::string text = "Replace " + replace.oldApp + " with " + replace.newApp + " for this slot?";
    if (replace.freeSlot >= 0)
        text += "\n\nUse a free slot to keep " + replace.oldApp + " and add " + replace.newApp + " beside it.";
    else
        text += "\n\nEvery slot is in use: to keep " + replace.oldApp + ", remove another application first.";
    return text;
}

std::string NoTvCommandsWords(const std::string& app, const TvCommandCount& count) {
    if (!count.NoTvCommands()) return {};
    const std::string found = count.keysWithMeaning == 0
                                  ? "none of the " + Counted(static_cast<std::size_t>(count.keys), "key", "keys")
                                  : "only " + std::to_string(count.keysWithMeaning) + " of " +
                                        Counted(static_cast<std::size_t>(count.keys), "key", "keys");
    return app + " shows no TV commands: " + found + " found a meaning.";
}

std::string RemoveQuestion(const SlotRemoval& removal) {
    const std::string app = removal.app.empty() ? "this slot's lines" : removal.app;
    std::string text = "Remove " + app + " from the remote's applications?";
    if (removal.actionsRemoved && removal.actions > 0) text += " Its " + ActionsAre(removal.actions) + " removed too.";
    if (removal.sharedWith >= 0) text += " Its actions stay: another slot uses them too.";
    return text;
}

std::string RemovedWords(const SlotRemoval& removal) {
    std::string text = (removal.app.empty() ? std::string("The slot") : removal.app) + " is removed.";
    if (removal.newActive < 0) return text;
    if (removal.newActiveApp.empty()) return text + " No application is set up for POWER now.";
    return text + " POWER now starts " + removal.newActiveApp + ".";
}

std::string RenameWords(const SlotRename& rename) {
    switch (rename.problem) {
    case RenameProblem::None: return {};
    case RenameProblem::BadText: return "The name " + LineProblemWords(rename.text) + ".";
    case RenameProblem::HasNul: return "The name holds a NUL character, which ends the text in the profile.";
    case RenameProblem::NoSuchSlot: return "Only the first three applications have a name.";
    }
    return {};
}

}  // namespace qrtl::setup
