// The set-up window's key buttons besides learning: Action..., Test and Clear...
#include "RemoteWindow.h"

#include <string>

#include "ActionDlg.h"
#include "ClearDlg.h"
#include "UiText.h"
#include "WindowList.h"
#include "dispatch/MonitorSimulation.h"
#include "platform/win32/Win32Desktop.h"
#include "setup/KeyEdits.h"

namespace remote {

namespace {

using qrtl::setup::KeyRow;

// After Clear: what the key holds now.
std::string ClearedWords(const qrtl::setup::KeyEdit& edit) {
    if (!edit.left.code && !edit.left.action) return edit.key + " has no code and no action now.";
    if (!edit.left.code) return edit.key + " has no code now; its action stays.";
    return edit.key + " has no action now; its code stays.";
}

}  // namespace

void RemoteWindow::OnAction() {
    const int index = SelectedKey();
    if (index < 0 || static_cast<std::size_t>(index) >= session_.Rows().size()) return;
    // The program file's menus name the commands: the chooser opens once they are read.
    if (catalogReader_.ReadingFile()) {
        actionWaiting_ = true;
        return;
    }
    // A copy: Refresh below works the rows out anew.
    const KeyRow row = session_.Rows()[static_cast<std::size_t>(index)];
    std::string command = row.command;
    const qrtl::setup::EditedProfile& edited = session_.Profile();
    const int32_t n = edited.ClientIndex();
    std::string application = n >= 0 && n < profile::kClientSlots ? edited.Get(profile::kExeDesc, n) : "";
    if (application.empty()) application = edited.ClientItem();
    if (!ChooseAction(dlg_, row.name, row.legend, session_.Catalog(), command, application)) return;
    const qrtl::setup::KeyEdit edit = qrtl::setup::SetKeyAction(session_.Profile(), row.name, command);
    if (!edit.changed) return;
    Refresh();
    SelectKey(index);
    Live(edit.key + " " + kArrow + " " +
         (command.empty() ? "no action" : FromAnsi(qrtl::setup::ActionInRows(session_.Rows(), edit.key))));
}

void RemoteWindow::OnTest() {
    const int index = SelectedKey();
    if (index < 0 || static_cast<std::size_t>(index) >= session_.Rows().size()) return;
    const KeyRow& row = session_.Rows()[static_cast<std::size_t>(index)];
    if (row.command.empty()) {
        Live(row.name + " has no action yet: choose one with Action...");
        return;
    }
    // The monitor's own search and delivery, with the unsaved profile.
    qrtl::win32::Win32Desktop desktop;
    const qrtl::ProfileDocument document = EditedAsActive();
    dispatch::MonitorSimulation monitor(document, {nullptr, &desktop});
    const HWND client = reinterpret_cast<HWND>(monitor.SendKeyNow(row.name).window);
    if (client == nullptr) {
        Live(row.name + " " + kArrow + " " + FromAnsi(row.action) + ": not posted, the TV application's window is not found.");
        return;
    }
    Live(row.name + " " + kArrow + " " + FromAnsi(row.action) + ", posted to " + WindowCaption(client));
}

void RemoteWindow::OnClear() {
    const int index = SelectedKey();
    if (index < 0 || static_cast<std::size_t>(index) >= session_.Rows().size()) return;
    const KeyRow row = session_.Rows()[static_cast<std::size_t>(index)];  // a copy: Refresh replaces the rows
    const qrtl::setup::KeyParts held = qrtl::setup::PartsOf(session_.Profile(), row.name);
    if (!held.code && !held.action) {
        Live(row.name + " has no code and no action: nothing to clear.");
        return;
    }
    ClearOffer offer{row.name, row.legend, held.code ? FromAnsi(row.code) : std::string(),
                     held.action ? FromAnsi(row.action.empty() ? row.command : row.action) : std::string()};
    qrtl::setup::ClearPart part = qrtl::setup::ClearPart::Both;
    if (!ChooseClear(dlg_, offer, part)) return;
    const qrtl::setup::KeyEdit edit = qrtl::setup::ClearKey(session_.Profile(), row.name, part);
    Refresh();
    SelectKey(index);
    Live(ClearedWords(edit));
}

}  // namespace remote
