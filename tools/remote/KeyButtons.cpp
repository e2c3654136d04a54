#include "KeyButtons.h"

#include "ActionDlg.h"
#include "ClearDlg.h"
#include "UiText.h"
#include "WindowList.h"
#include "dispatch/MonitorSimulation.h"
#include "platform/win32/Win32Desktop.h"
#include "setup/KeyEdits.h"

namespace remote {

using qrtl::setup::KeyRow;

KeyDone KeyButtons::Action(int index) const {
    if (!Row(index)) return {};
    // A copy: the refresh below works the rows out anew.
    const KeyRow row = session_.Rows()[static_cast<std::size_t>(index)];
    std::string command = row.command;
    if (!ChooseAction(dlg_, row.name, row.legend, session_.Catalog(), command, session_.ActionApplication())) return {};
    const qrtl::setup::KeyEdit edit = qrtl::setup::SetKeyAction(session_.Profile(), row.name, command);
    if (!edit.changed) return {};
    refresh_();
    return {true, edit.key + " " + kArrow + " " +
                      (command.empty() ? "no action" : FromAnsi(qrtl::setup::ActionInRows(session_.Rows(), edit.key)))};
}

KeyDone KeyButtons::Test(int index) const {
    if (!Row(index)) return {};
    const KeyRow& row = session_.Rows()[static_cast<std::size_t>(index)];
    const std::string refused = session_.TestRefused(index);
    if (!refused.empty()) return {false, refused};
    // The monitor's own search and delivery, with the unsaved profile.
    qrtl::win32::Win32Desktop desktop;
    const qrtl::ProfileDocument document = session_.EditedAsActive();
    dispatch::MonitorSimulation monitor(document, {nullptr, &desktop});
    const HWND client = reinterpret_cast<HWND>(monitor.SendKeyNow(row.name).window);
    const std::string sent = row.name + " " + kArrow + " " + FromAnsi(row.action);
    if (client == nullptr) return {false, sent + ": not posted, the TV application's window is not found."};
    return {false, sent + ", posted to " + WindowCaption(client)};
}

KeyDone KeyButtons::Clear(int index) const {
    if (!Row(index)) return {};
    const KeyRow row = session_.Rows()[static_cast<std::size_t>(index)];  // a copy: the refresh replaces the rows
    const qrtl::setup::ClearAsk asked = session_.ClearOffer(index);
    if (!asked.ask) return {false, asked.live};
    ClearOffer offer{row.name, row.legend, FromAnsi(asked.code), FromAnsi(asked.action)};
    qrtl::setup::ClearPart part = qrtl::setup::ClearPart::Both;
    if (!ChooseClear(dlg_, offer, part)) return {};
    const qrtl::setup::KeyEdit edit = qrtl::setup::ClearKey(session_.Profile(), row.name, part);
    refresh_();
    return {true, qrtl::setup::ClearedWords(edit)};
}

}  // namespace remote
