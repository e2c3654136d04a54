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

using qrtl::setup::KeyRow;

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
    if (!ChooseAction(dlg_, row.name, row.legend, session_.Catalog(), command, session_.ActionApplication())) return;
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
    const std::string refused = session_.TestRefused(index);
    if (!refused.empty()) {
        Live(refused);
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
    const qrtl::setup::ClearAsk asked = session_.ClearOffer(index);
    if (!asked.ask) {
        Live(asked.live);
        return;
    }
    ClearOffer offer{row.name, row.legend, FromAnsi(asked.code), FromAnsi(asked.action)};
    qrtl::setup::ClearPart part = qrtl::setup::ClearPart::Both;
    if (!ChooseClear(dlg_, offer, part)) return;
    const qrtl::setup::KeyEdit edit = qrtl::setup::ClearKey(session_.Profile(), row.name, part);
    Refresh();
    SelectKey(index);
    Live(qrtl::setup::ClearedWords(edit));
}

}  // namespace remote
