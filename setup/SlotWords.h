// The application selector's texts and the slot plans' notes and questions in the
// owner's words: no key or section names of the profile, no registry paths.
#pragma once

#include <string>

#include "setup/ClientSlots.h"

namespace qrtl::setup {

// "Standin TV", "Standin TV (2)" for a second entry of that name, "(empty)", and
// "Other TV viewer (not set up)" for a name without an application.
std::string SelectorText(const SlotRow& row);
// The selector's line: SelectorText, and "  (remote works with it)" for the entry
// Default names while it holds an application; an empty entry that Default names
// works with nothing, and says nothing of the kind.
std::string SelectorLine(const SlotRow& row);

std::string SlotNoteWords(const SlotNote& note);

// "Replace Standin TV with Notepad in this entry of the list?" and what a new entry offers.
std::string ReplaceQuestion(const SlotReplace& replace);

// "Notepad shows no TV commands: only 1 of 27 keys found a meaning."; empty when
// the window shows TV commands or they were not read.
std::string NoTvCommandsWords(const std::string& app, const TvCommandCount& count);

// "Remove Standin TV? Its 12 actions are removed too."
std::string RemoveQuestion(const SlotRemoval& removal);
// "Standin TV is removed. POWER now starts Notepad."
std::string RemovedWords(const SlotRemoval& removal);

// "The remote works with Standin TV now. Should it work with Notepad instead?"
// with what Yes and No do.
std::string ActiveQuestion(const SlotTakePlan& plan);
// Why the program cannot have a second entry, and the offer to switch to its own.
std::string SameProgramWords(const SlotTakePlan& plan);
// "The remote works with: Standin TV; POWER starts it." for the one Default names.
std::string WorksWithWords(const std::string& app);

// Why the name is refused; empty when it is taken.
std::string RenameWords(const SlotRename& rename);

}  // namespace qrtl::setup
