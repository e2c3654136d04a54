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
    std::string text = std::string("The ") + what + " of the window of " + note.app + " is not kept";
    if (!note.reason.Kept()) text += " (it " + NotKeptWords(note.reason) + ")";
    return text + ": the monitor finds the window by its other marks.";
}

// "1 action is", "12 actions are".
std::string ActionsAre(int count) {
    return Counted(static_cast<std::size_t>(count), "action", "actions") + (count == 1 ? " is" : " are");
}

}  // namespace

std::string SelectorText(const SlotRow& row) {
    if (row.description.empty()) return "(empty)";
    if (row.free) return row.description + " (not set up)";
    if (row.sameNameOrdinal > 1) return row.description + " (" + std::to_string(row.sameNameOrdinal) + ")";
    return row.description;
}

std::string SelectorLine(const SlotRow& row) {
    std::string text = SelectorText(row);
    if (row.active && !row.free) text += "  (remote works with it)";
    return text;
}

std::string SlotNoteWords(const SlotNote& note) {
    switch (note.code) {
    case SlotNoteCode::TitleLeftEmpty: return TextLeftEmpty(note, "title");
    case SlotNoteCode::ClassLeftEmpty: return TextLeftEmpty(note, "type");
    case SlotNoteCode::ItemLeftEmpty:
        return "The program name of " + note.app + " is not kept (it " + NotKeptWords(note.reason) +
               "): the monitor cannot tell its window from others that look like it.";
    case SlotNoteCode::LineLeftEmpty:
        return "A setting for " + note.app + " is not kept: " + LineCheckWords(note.reason.check) + ".";
    case SlotNoteCode::TitleNeeded:
        return "The window of " + note.app + " is told from others of its kind only by its title, \"" + note.title +
               "\": if the title changes, the remote no longer finds it.";
    case SlotNoteCode::LaunchNotKept: return "POWER cannot start " + note.app + ": " + NotKeptWords(note.reason) + ".";
    case SlotNoteCode::LaunchFound:
        return "POWER starts " + note.app + " from the folder Windows records for it" + PlaceWords(note.where) + ".";
    case SlotNoteCode::LaunchNotFound:
        return "POWER cannot start " + note.app + ": Windows does not say where it is installed. Start " + note.app +
               " yourself before you use the remote.";
    case SlotNoteCode::LaunchCleared: return "POWER no longer starts " + note.oldExe + ".";
    // "POWER starts it" only where it can: the launch note before it says why not.
    case SlotNoteCode::ActiveNow:
        return "The remote now works with " + note.app + (note.powerStarts ? "; POWER starts it." : ".");
    case SlotNoteCode::ActiveAlready:
        return "The remote still works with " + note.app + (note.powerStarts ? "; POWER starts it." : ".");
    case SlotNoteCode::ActiveStays:
        return "The remote still works with " + note.oldApp + "; " + note.app + " waits in the list.";
    case SlotNoteCode::ForwardsKeys: return "The monitor now passes the remote's keys to " + note.app + " while it runs.";
    case SlotNoteCode::NameKept: return "The name you gave it, " + note.app + ", is kept.";
    case SlotNoteCode::ActionsRemoved:
        if (note.count == 0) return note.oldApp + " had no actions.";
        return "The " + Counted(static_cast<std::size_t>(note.count), "action", "actions") + " of " + note.oldApp +
               (note.count == 1 ? " is" : " are") + " removed with it.";
    }
    return {};
}

std::string ReplaceQuestion(const SlotReplace& replace) {
    std::string text = "Replace " + replace.oldApp + " with " + replace.newApp + " in this entry of the list?";
    if (replace.freeSlot >= 0)
        text += "\n\nNew entry keeps " + replace.oldApp + " and adds " + replace.newApp + " beside it.";
    else
        text += "\n\nThe list is full: to keep " + replace.oldApp + ", remove another application first.";
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
    const std::string app = removal.app.empty() ? "this entry" : removal.app;
    std::string text = "Remove " + app + " from the remote's applications?";
    if (removal.actionsRemoved && removal.actions > 0) text += " Its " + ActionsAre(removal.actions) + " removed too.";
    if (removal.sharedWith >= 0) text += " Its actions stay: another entry uses them too.";
    return text;
}

std::string RemovedWords(const SlotRemoval& removal) {
    std::string text = (removal.app.empty() ? std::string("The entry") : removal.app) + " is removed.";
    if (removal.newActive < 0) return text;
    if (removal.newActiveApp.empty()) return text + " The remote works with no application now.";
    return text + " The remote now works with " + removal.newActiveApp + "; POWER starts it.";
}

std::string ActiveQuestion(const SlotTakePlan& plan) {
    return "The remote works with " + plan.activeApp + " now. Should it work with " + plan.app +
           " instead?\n\nYes: POWER starts " + plan.app + " and the remote's keys control it.\nNo: the remote "
           "stays with " + plan.activeApp + "; " + plan.app + " waits in the list until you choose Work with this.";
}

std::string SameProgramWords(const SlotTakePlan& plan) {
    return plan.app + " is in the list already, as " + plan.sameProgramApp +
           ": two entries of one program would share one set of actions. Switch to that entry?";
}

std::string WorksWithWords(const std::string& app) {
    return app.empty() ? "The remote works with no application yet."
                       : "The remote works with: " + app + "; POWER starts it.";
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
