// The set-up window's TV application: a window taken for the edited entry, its
// commands read, the model's steps for them carried out. The model decides; this
// asks what it asks and shows the rest.
#include <utility>

#include "RemoteWindow.h"
#include "UiText.h"
#include "resource.h"

namespace remote {

void RemoteWindow::UseChosenWindow() {
    const HWND chosen = windows_.Chosen();
    if (chosen == nullptr) return view_.Live("Choose the TV application's window in the list first.");
    TakeWindow(chosen);
}

void RemoteWindow::TakeWindow(HWND target) {
    apps_.Take(target, [this](const qrtl::setup::AppStep& step, const std::string& words) { FollowApp(step, words); });
}

void RemoteWindow::FollowApp(const qrtl::setup::AppStep& step, const std::string& words) {
    if (step.editedOther) {  // another entry: its own window and commands
        ReadCatalog();
        FillWindowList();
    }
    if (step.changed || step.editedOther) Refresh();
    // The status line names the window taken; what taking it noted is read whole in the banner.
    if (step.chosen) view_.Live("Chosen: " + words + ".");
    if (step.said) view_.Live(FromAnsi(step.live));
    if (step.focus == qrtl::setup::AppFocus::WindowList) ::SetFocus(windows_.Handle());
    if (step.focus == qrtl::setup::AppFocus::NameField) ::SetFocus(::GetDlgItem(dlg_, res::kAppName));
    if (step.ask == qrtl::setup::AppAsk::None) return;
    const qrtl::setup::AppReply reply = AskApp(dlg_, step);
    if (step.ask != qrtl::setup::AppAsk::WindowGone) FollowApp(session_.AppAnswer(reply), words);
}

void RemoteWindow::ReadCatalog() {
    apps_.ReadCommands([this] {
        Refresh();
        const std::string notes = qrtl::setup::CatalogNotes(session_.Catalog());
        if (!notes.empty()) view_.Live("The TV application's commands are read." + notes);
        if (std::exchange(actionWaiting_, false)) OnAction();
    });
}

}  // namespace remote
