// The set-up window's TV application: taking a window for the edited entry (its
// commands read off this thread), its commands read, and the keys' actions filled
// from them. The model decides each of these; this asks what it asks, shows the rest.
#include <utility>

#include "RemoteWindow.h"
#include "UiText.h"
#include "WindowList.h"
#include "resource.h"

namespace remote {

void RemoteWindow::UseChosenWindow() {
    const HWND chosen = windows_.Chosen();
    if (chosen == nullptr) return Live("Choose the TV application's window in the list first.");
    TakeWindow(chosen);
}

void RemoteWindow::TakeWindow(HWND target) {
    target = target ? ::GetAncestor(target, GA_ROOT) : nullptr;
    if (target == nullptr || !::IsWindow(target))
        return Live("That window is gone: choose the TV application's window again.");
    if (OwnWindow(target)) return Live("That is this set-up window: choose the TV application's window.");
    const std::string words = WindowWords(target);
    Live("Examining " + words + " ...");
    ::UpdateWindow(::GetDlgItem(dlg_, res::kLive));
    // Read on a worker, so that a slow application or a large program file does not
    // freeze this window. A window gone meanwhile leaves facts of nobody: one round
    // trip first lets a window closing on its own thread finish (a hung one costs 1 s).
    catalogReader_.StartExamine(target, [this, target, words](CatalogResult& read) {
        DWORD_PTR ignored = 0;
        ::SendMessageTimeoutW(target, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &ignored);
        FollowApp(session_.WindowExamined(std::move(read.facts), std::move(read.catalog), ::IsWindow(target) != FALSE),
                  words);
    });
    if (catalogReader_.Reading()) Live("Examining " + words + ": reading its menus and controls ...");
}

void RemoteWindow::FollowApp(const qrtl::setup::AppStep& step, const std::string& words) {
    if (step.editedOther) {  // another entry: its own window and commands
        ReadCatalog();
        FillWindowList();
    }
    if (step.changed || step.editedOther) Refresh();
    // The status line names the window taken; what taking it noted is read whole in the banner.
    if (step.chosen) Live("Chosen: " + words + ".");
    if (step.said) Live(FromAnsi(step.live));
    if (step.focus == qrtl::setup::AppFocus::WindowList) ::SetFocus(windows_.Handle());
    if (step.focus == qrtl::setup::AppFocus::NameField) ::SetFocus(::GetDlgItem(dlg_, res::kAppName));
    if (step.ask == qrtl::setup::AppAsk::None) return;
    const qrtl::setup::AppReply reply = AskApp(dlg_, step);
    if (step.ask != qrtl::setup::AppAsk::WindowGone) FollowApp(session_.AppAnswer(reply), words);
}

void RemoteWindow::ReadCatalog() {
    catalogReader_.StartFor(FindClient(session_.EditedAsActive()), session_.Profile().Document(),
                            [this](CatalogResult& result) {
                                session_.CommandsRead(std::move(result.catalog));
                                Refresh();
                                const std::string notes = qrtl::setup::CatalogNotes(session_.Catalog());
                                if (!notes.empty()) Live("The TV application's commands are read." + notes);
                                if (std::exchange(actionWaiting_, false)) OnAction();
                            });
}

}  // namespace remote
