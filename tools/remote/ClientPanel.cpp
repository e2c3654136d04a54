// The set-up window's TV application: the windows to choose from, taking one for
// the edited entry (its commands read off this thread), its commands read from its
// window or its program file, and the keys' actions filled from them. The model
// decides each of these; this file asks the owner what it asks and shows the rest.
#include "RemoteWindow.h"

#include <utility>

#include "UiText.h"
#include "WindowList.h"
#include "dispatch/MonitorSimulation.h"
#include "platform/win32/Win32Config.h"
#include "platform/win32/Win32Desktop.h"
#include "resource.h"
#include "setup/LaunchFinding.h"
#include "setup/win32/PathKind.h"

namespace remote {

namespace {

constexpr UINT kRoundTripMs = 1000;

}  // namespace

qrtl::ProfileDocument RemoteWindow::EditedAsActive() const { return session_.EditedAsActive(); }

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
    // A window that went away meanwhile leaves facts of nobody. One round trip
    // first, so that a window closing on its own thread has done so (a hung one
    // costs a second here).
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutW(target, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kRoundTripMs, &ignored);
    FollowApp(session_.WindowExamined(std::move(read.facts), std::move(read.catalog), ::IsWindow(target) != FALSE),
              words);
}

void RemoteWindow::FollowApp(const qrtl::setup::AppStep& step, const std::string& words) {
    if (step.editedOther) {  // another entry: its own window and commands
        ReadCatalog(FindClientNow());
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

void RemoteWindow::ReadCatalog(HWND client) {
    catalogReader_.Cancel();  // another application's commands never arrive here
    auto read = [this](CatalogResult& result) {
        session_.CommandsRead(std::move(result.catalog));
        Refresh();
        const std::string notes = qrtl::setup::CatalogNotes(session_.Catalog());
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

void RemoteWindow::FillFromCommands(bool ask) { FollowApp(session_.FillActions(ask), {}); }

}  // namespace remote
