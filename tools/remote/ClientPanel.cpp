// The set-up window's TV application: the windows to choose from, taking one for
// the edited slot (its commands read off this thread), its commands read from its
// window or its program file, and the keys' actions filled from them.
#include "RemoteWindow.h"

#include <algorithm>
#include <utility>

#include "UiText.h"
#include "WindowList.h"
#include "dispatch/MonitorSimulation.h"
#include "platform/win32/Win32Config.h"
#include "platform/win32/Win32Desktop.h"
#include "resource.h"
#include "setup/ClientSlots.h"
#include "setup/FillPlan.h"
#include "setup/LaunchFinding.h"
#include "setup/OwnerWords.h"
#include "setup/SlotWords.h"
#include "setup/win32/PathKind.h"
#include "setup/win32/Win32ClientWindow.h"

namespace remote {

namespace {

using qrtl::setup::KeyRow;

constexpr UINT kRoundTripMs = 1000;

// What the owner is told of a read that stopped early.
std::string CatalogNotes(const qrtl::setup::AppCatalog& catalog) {
    std::string words;
    if (!catalog.controlsNote.empty()) words += " Note: " + catalog.controlsNote + ".";
    if (catalog.menusCut) words += " Note: its menus are too large: only the first commands are listed.";
    return words;
}

}  // namespace

// The profile as the monitor would read it were the edited application the one
// POWER starts: its window search and its key map, for finding and testing it.
qrtl::ProfileDocument RemoteWindow::EditedAsActive() const {
    qrtl::setup::EditedProfile view = session_.Profile();
    view.Change(qrtl::setup::PlanMakeActive(view.Document(), view.ClientIndex()));
    return view.Document();
}

HWND RemoteWindow::FindClientNow() {
    qrtl::win32::Win32Desktop desktop;
    const qrtl::ProfileDocument document = EditedAsActive();
    dispatch::MonitorSimulation monitor(document, {nullptr, &desktop});
    // Without any client line the search would take any window with no children.
    if (!monitor.ClientNamed()) return nullptr;
    return reinterpret_cast<HWND>(monitor.FindClientWindow());
}

void RemoteWindow::TakeWindow(HWND target) {
    target = target ? ::GetAncestor(target, GA_ROOT) : nullptr;
    if (target == nullptr || !::IsWindow(target)) {
        Live("That window is gone: choose the TV application's window again.");
        return;
    }
    if (OwnWindow(target)) {
        Live("That is this set-up window: choose the TV application's window.");
        return;
    }
    const std::string words = WindowWords(target);
    Live("Examining " + words + " ...");
    ::UpdateWindow(::GetDlgItem(dlg_, res::kLive));

    // What the window is (its version information, the registry's launch entries)
    // and its commands are read on a worker: a slow application or a large program
    // file must not freeze this window. The window is taken once they are read.
    catalogReader_.StartExamine(target, [this, target, words](CatalogResult& read) {
        OnExamined(target, words, read);
    });
    if (catalogReader_.Reading()) Live("Examining " + words + ": reading its menus and controls ...");
}

void RemoteWindow::OnExamined(HWND target, const std::string& words, CatalogResult& read) {
    const qrtl::setup::ClientWindowFacts& facts = read.facts;
    // A window that went away meanwhile leaves facts of nobody: nothing is taken. One
    // round trip first, so that a window closing on its own thread has done so (a
    // hung one costs a second here).
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutW(target, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kRoundTripMs, &ignored);
    if (!::IsWindow(target) || facts.item.empty()) {
        Ask(dlg_,
            "The application closed while it was being examined, or its program cannot be told: nothing was "
            "taken.\n\nStart it again and take its window once more.",
            MB_OK | MB_ICONEXCLAMATION);
        Live("Nothing was taken: the application's window went away.");
        return;
    }
    // All of the slot's lines together; the owner decides before anything is taken.
    // A window whose commands could not be read at all (hung, or none to read) is
    // not judged: only one that shows commands and none for a TV.
    const std::vector<qrtl::setup::Suggestion> suggestions = qrtl::setup::SuggestCommands(read.catalog);
    const std::vector<qrtl::setup::Suggestion>* judged = read.catalog.Empty() ? nullptr : &suggestions;
    int32_t slot = std::max<int32_t>(0, selector_->Slot());
    qrtl::setup::SlotTakePlan plan = qrtl::setup::PlanTakeWindow(slot, facts, session_.Profile().Document(), judged);
    if (plan.Refused()) {
        // Two entries of one program would drive one key map: refused, or its own entry shown.
        if (Ask(dlg_, FromAnsi(qrtl::setup::SameProgramWords(plan)), MB_YESNO | MB_ICONINFORMATION) == IDYES) {
            selector_->Edit(plan.sameProgramSlot);
            session_.ApplicationChanged();
            ReadCatalog(FindClientNow());
            Refresh();
            Live("Editing the actions of " + FromAnsi(plan.sameProgramApp) + ".");
        } else {
            Live("Nothing was taken: " + FromAnsi(plan.app) + " has an entry already.");
        }
        return;
    }
    const std::string noCommands = FromAnsi(qrtl::setup::NoTvCommandsWords(plan.app, plan.commands));
    if (!noCommands.empty() && Ask(dlg_, noCommands + "\n\nTake it for the remote anyway?",
                                   MB_OKCANCEL | MB_ICONWARNING | MB_DEFBUTTON2) != IDOK) {
        Live("Nothing was taken: " + noCommands);
        return;
    }
    if (plan.replace.ask) {
        const ReplaceAnswer answer = AskReplace(dlg_, plan.replace);
        if (answer == ReplaceAnswer::Cancel) {
            Live("Nothing was taken: " + FromAnsi(plan.replace.oldApp) + " stays.");
            return;
        }
        if (answer == ReplaceAnswer::UseFreeSlot) {
            slot = plan.replace.freeSlot;
            plan = qrtl::setup::PlanTakeWindow(slot, facts, session_.Profile().Document(), judged);
        }
    }
    // Another entry is what the remote works with: the owner says which one it is from now on.
    if (plan.askActive && Ask(dlg_, FromAnsi(qrtl::setup::ActiveQuestion(plan)), MB_YESNO | MB_ICONQUESTION) != IDYES)
        plan = qrtl::setup::PlanTakeWindow(slot, facts, session_.Profile().Document(), judged, false);
    session_.Profile().Change(plan.changes);
    selector_->Edit(slot);
    std::string notes;
    for (const qrtl::setup::SlotNote& note : plan.notes)
        notes += (notes.empty() ? "" : " ") + qrtl::setup::SlotNoteWords(note);
    session_.WindowTaken(std::move(read.catalog), facts.launch.found);
    Refresh();
    Live("Chosen: " + words + ". " + FromAnsi(notes) + CatalogNotes(session_.Catalog()));
    if (!session_.Catalog().Empty()) FillFromCommands(true);
}

void RemoteWindow::ReadCatalog(HWND client) {
    catalogReader_.Cancel();  // another application's commands never arrive here
    auto read = [this](CatalogResult& result) {
        session_.CommandsRead(std::move(result.catalog));
        Refresh();
        const std::string notes = CatalogNotes(session_.Catalog());
        if (!notes.empty()) Live("The TV application's commands are read." + notes);
        if (std::exchange(actionWaiting_, false)) OnAction();
    };
    if (client != nullptr) {
        catalogReader_.Start(client, read);
        return;
    }
    // The application is not running: its program file, where the launch lines
    // name it, still gives the names of its menu commands.
    qrtl::win32::Win32Registry registry;
    const qrtl::setup::LaunchFinding launch =
        qrtl::setup::FindLaunch(session_.Profile().Document(), registry, qrtl::win32::KindOfPath);
    if (launch.state == qrtl::setup::LaunchState::Starts) catalogReader_.StartFile(launch.program, read);
}

void RemoteWindow::FillFromCommands(bool ask) {
    const std::string section = session_.Profile().ClientSection();
    const qrtl::setup::FillPlan plan =
        qrtl::setup::PlanFill(qrtl::setup::SuggestCommands(session_.Catalog()), session_.Profile().Document(), section);
    if (plan.Empty()) {
        if (!ask) Live("Every key the application's commands suggest has an action already: nothing filled.");
        return;
    }
    if (ask &&
        Ask(dlg_,
            "Fill the keys' actions from the application's menus and controls?\n\n" +
                qrtl::setup::Counted(plan.filled.size(), "key gets", "keys get") +
                " a command that means the same; keys that have an action keep it. You can change each "
                "one with Action... before you save.",
            MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    for (const auto& fill : plan.filled) session_.Profile().Set(section, fill.key, fill.command);
    Refresh();
    Live("Filled " + qrtl::setup::Counted(plan.filled.size(), "key", "keys") + " from the application's commands" +
         (plan.kept.empty() ? "." : "; " + std::to_string(plan.kept.size()) + " kept their action."));
}

}  // namespace remote
