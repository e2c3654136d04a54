#include "AppSelector.h"

#include <commctrl.h>

#include "UiText.h"
#include "product.h"
#include "config/ProfileKeys.h"
#include "resource.h"
#include "setup/SlotWords.h"
#include "tools/common/ToolDialog.h"

namespace remote {

namespace {

using qrtl::setup::SlotRow;

// A command of the selector that changed nothing.
SelectorResult Handled() { return {true, false, false, {}}; }

// The owner's text in the system's ANSI code page, as the profile holds it; false
// when a character has no place in it.
bool ToAnsi(const std::wstring& text, std::string& ansi) {
    ansi.clear();
    if (text.empty()) return true;
    BOOL lost = FALSE;
    const int n = ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                        &lost);
    if (n <= 0 || lost) return false;
    ansi.assign(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &ansi[0], n, nullptr, nullptr);
    return true;
}

// The name field's subclass: Enter in it renames, rather than pressing the
// window's default button (Save).
constexpr UINT_PTR kNameFieldSubclass = 1;

LRESULT CALLBACK NameFieldProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    const bool enter = wParam == VK_RETURN || (msg == WM_CHAR && wParam == '\r');
    if (msg == WM_GETDLGCODE && lParam != 0 && reinterpret_cast<const MSG*>(lParam)->wParam == VK_RETURN &&
        reinterpret_cast<const MSG*>(lParam)->message == WM_KEYDOWN)
        return ::DefSubclassProc(wnd, msg, wParam, lParam) | DLGC_WANTMESSAGE;
    if (msg == WM_KEYDOWN && enter) {
        const HWND parent = ::GetParent(wnd);
        ::PostMessageW(parent, WM_COMMAND, MAKEWPARAM(res::kAppRename, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(parent, res::kAppRename)));
        return 0;
    }
    if (msg == WM_CHAR && enter) return 0;  // no beep
    if (msg == WM_NCDESTROY) ::RemoveWindowSubclass(wnd, NameFieldProc, kNameFieldSubclass);
    return ::DefSubclassProc(wnd, msg, wParam, lParam);
}

// "Replace Standin TV with Notepad?": Replace, New entry, Cancel.
class ReplaceDialog : public tools::ToolDialog {
public:
    explicit ReplaceDialog(const qrtl::setup::SlotReplace& replace)
        : ToolDialog(res::kDlgReplace), replace_(replace) {}

private:
    bool OnInit() override {
        SetItemText(dlg_, res::kReplaceText, qrtl::setup::ReplaceQuestion(replace_));
        SetText(dlg_, product::kRemoteCaption);
        if (replace_.freeSlot < 0) ::EnableWindow(::GetDlgItem(dlg_, IDNO), FALSE);
        // Cancel has the focus: nothing is replaced by a stray Enter.
        ::SetFocus(::GetDlgItem(dlg_, IDCANCEL));
        return false;
    }
    INT_PTR OnMessage(UINT msg, WPARAM wParam, LPARAM) override {
        if (msg != WM_COMMAND) return FALSE;
        const int id = LOWORD(wParam);
        if (id != IDYES && id != IDNO && id != IDCANCEL) return FALSE;
        ::EndDialog(dlg_, id);
        return TRUE;
    }

    const qrtl::setup::SlotReplace& replace_;
};

}  // namespace

ReplaceAnswer AskReplace(HWND owner, const qrtl::setup::SlotReplace& replace) {
    ReplaceDialog dialog(replace);
    const INT_PTR answer = dialog.RunModal(owner);
    if (answer == IDYES) return ReplaceAnswer::Replace;
    if (answer == IDNO && replace.freeSlot >= 0) return ReplaceAnswer::UseFreeSlot;
    return ReplaceAnswer::Cancel;
}

AppSelector::AppSelector(HWND dlg, qrtl::setup::EditedProfile& profile) : dlg_(dlg), profile_(profile) {
    // The window edits the application POWER starts until the owner picks another.
    const int32_t active = profile_.ClientIndex();
    if (active >= 0 && active < qrtl::setup::kSlotCount) profile_.EditClient(active);
    ::SetWindowSubclass(::GetDlgItem(dlg_, res::kAppName), NameFieldProc, kNameFieldSubclass, 0);
}

AppSelector::~AppSelector() {
    ::RemoveWindowSubclass(::GetDlgItem(dlg_, res::kAppName), NameFieldProc, kNameFieldSubclass);
}

void AppSelector::Fill() {
    const HWND combo = ::GetDlgItem(dlg_, res::kAppSlots);
    ::SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    const std::vector<SlotRow> rows = qrtl::setup::SlotRows(profile_.Document());
    for (const SlotRow& row : rows)
        ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(FromAnsi(qrtl::setup::SelectorLine(row))).c_str()));
    const int32_t slot = Slot();
    ::SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(slot >= 0 && slot < qrtl::setup::kSlotCount ? slot : -1),
                   0);
    std::string name;
    if (slot >= 0 && slot < qrtl::setup::kSlotCount) name = profile_.Get(profile::kExeDesc, slot);
    // A name being typed stays until another application or name is shown.
    if (slot == namedSlot_ && name == namedText_) return;
    namedSlot_ = slot;
    namedText_ = name;
    SetItemText(dlg_, res::kAppName, FromAnsi(name));
}

void AppSelector::Enable(bool on) {
    for (int id : {res::kAppSlots, res::kAppActive, res::kAppAdd, res::kAppRemove, res::kAppName, res::kAppRename})
        ::EnableWindow(::GetDlgItem(dlg_, id), on ? TRUE : FALSE);
}

void AppSelector::Edit(int32_t slot) {
    profile_.EditClient(slot);
    Fill();
}

SelectorResult AppSelector::OnCommand(int id, int code) {
    switch (id) {
    case res::kAppSlots:
        if (code == CBN_SELCHANGE) return Select();
        return Handled();
    case res::kAppActive: return MakeActive();
    case res::kAppAdd: return Add();
    case res::kAppRemove: return Remove();
    case res::kAppRename: return Rename();
    case res::kAppName: return Handled();
    default: return {};
    }
}

SelectorResult AppSelector::Select() {
    const auto at = ::SendDlgItemMessageW(dlg_, res::kAppSlots, CB_GETCURSEL, 0, 0);
    if (at < 0 || at == Slot()) return Handled();
    Edit(static_cast<int32_t>(at));
    const SlotRow row = qrtl::setup::ReadSlot(profile_.Document(), Slot());
    SelectorResult result{true, true, false, {}};
    if (row.free)
        result.live = "An empty entry for another TV application: drag the crosshair onto its window, or choose "
                      "it from the list.";
    else
        result.live = "Editing the actions of " + FromAnsi(row.description) + "; the codes of the keys are shared.";
    return result;
}

SelectorResult AppSelector::MakeActive() {
    const SlotRow row = qrtl::setup::ReadSlot(profile_.Document(), Slot());
    if (row.free) return {true, false, false, "This entry holds no application yet: take its window first."};
    const auto changes = qrtl::setup::PlanMakeActive(profile_.Document(), Slot());
    const std::string app = FromAnsi(row.description);
    if (changes.empty()) return {true, false, false, qrtl::setup::WorksWithWords(app)};
    profile_.Change(changes);
    Fill();
    qrtl::setup::SlotNote note;
    note.code = qrtl::setup::SlotNoteCode::ActiveNow;
    note.app = app;
    return {true, false, true, qrtl::setup::SlotNoteWords(note) + " Save to keep it."};
}

SelectorResult AppSelector::Add() {
    const int32_t slot = qrtl::setup::NextFreeSlot(profile_.Document());
    if (slot < 0)
        return {true, false, false, "The remote drives up to three applications: remove one to add another."};
    Edit(slot);
    ::SetFocus(::GetDlgItem(dlg_, res::kWindows));
    return {true, true, false,
            "Add: drag the crosshair onto the new application's window, or choose it from the list."};
}

SelectorResult AppSelector::Remove() {
    const int32_t slot = Slot();
    const SlotRow row = qrtl::setup::ReadSlot(profile_.Document(), slot);
    if (row.free && row.lines.empty()) return {true, false, false, "This entry holds no application: nothing to remove."};
    const qrtl::setup::SlotRemoval removal = qrtl::setup::PlanRemoveSlot(profile_.Document(), slot);
    if (Ask(dlg_, FromAnsi(qrtl::setup::RemoveQuestion(removal)), MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) !=
        IDYES)
        return {true, false, false, "Nothing removed."};
    profile_.Change(removal.changes);
    // The window goes on with the application POWER starts now.
    profile_.EditClient(-1);
    const int32_t active = profile_.ClientIndex();
    Edit(active >= 0 && active < qrtl::setup::kSlotCount ? active : slot);
    return {true, true, true, FromAnsi(qrtl::setup::RemovedWords(removal)) + " Save to keep it."};
}

SelectorResult AppSelector::Rename() {
    wchar_t typed[256] = {};
    ::GetDlgItemTextW(dlg_, res::kAppName, typed, 256);
    const std::string name = Narrow(typed);
    std::string ansi;
    if (!ToAnsi(typed, ansi)) {
        ::SetFocus(::GetDlgItem(dlg_, res::kAppName));
        return {true, false, false, "Not renamed: the name holds characters the profile cannot keep."};
    }
    const qrtl::setup::SlotRename rename = qrtl::setup::PlanRenameSlot(profile_.Document(), Slot(), ansi);
    const std::string refused = qrtl::setup::RenameWords(rename);
    if (!refused.empty()) {
        ::SetFocus(::GetDlgItem(dlg_, res::kAppName));
        return {true, false, false, "Not renamed: " + FromAnsi(refused)};
    }
    if (rename.changes.empty()) return {true, false, false, "The name is the same."};
    profile_.Change(rename.changes);
    Fill();
    return {true, false, true, "Renamed to " + name + "; the monitor's set-up dialog lists it so once saved."};
}

}  // namespace remote
